#include "foundation/NSString+Bezier.h"
#include "foundation/TextScanning.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <cstdint>

namespace {

/// The current date as its text describes it ("2024-05-01 12:00:00 +0000").
QString currentDateDescription()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
}

} // namespace

namespace Bezier {

QString uniqueHashFolderName()
{
    return makeHashName();
}

QString nameWithFileExtention(const QString &extension)
{
    return makeHashName() + QLatin1Char('.') + extension;
}

QString makeHashName()
{
    return hashOff(currentDateDescription() + makeSalt());
}

QString makeSalt()
{
    // Only has to differ from call to call; the random part keeps two names of one second apart.
    const qint64 seconds = QDateTime::currentSecsSinceEpoch();
    const QString dateHash = QString::number(qulonglong(qHash(seconds)), 16).toUpper();
    const QString random = QString::number(QRandomGenerator::system()->generate(), 16).toUpper();
    return QString::number(qulonglong(qHash(dateHash + random)), 16).toUpper();
}

QString hashOff(const QString &text)
{
    const QByteArray digest = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5);
    QString name;
    name.reserve(32);
    for (const char byte : digest)
        name += QString::number(std::uint8_t(byte), 16).toUpper();
    return name;
}

QString base64EncodedString(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

QString decodedFromBase64String(const QString &text)
{
    // Strict: any character outside the alphabet, or missing padding, fails.
    if (text.size() % 4 != 0)
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString result = utf8(*decoded);
    if (utf8.hasError())
        return {};
    if (result.isNull())
        result = QLatin1String("");
    return result;
}

QString preProcessedHexString(const QString &text)
{
    const qsizetype length = text.size();
    if (length == 6)
        return text;
    if (length > 6) {
        // Cut after six characters without splitting a composed character.
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        graphemes.setPosition(6);
        qsizetype end = graphemes.isAtBoundary() ? 6 : graphemes.toNextBoundary();
        if (end < 0)
            end = length;
        return text.left(end);
    }
    if (length == 3) {
        QString result;
        for (qsizetype i = 0; i < 3; ++i)
            result += doubleHexFromSingleCharacter(text.mid(i, 1));
        return result;
    }
    return text + QString(6 - length, QLatin1Char('0'));
}

QString doubleHexFromSingleCharacter(const QString &text)
{
    std::uint32_t d = 0;
    if (text.isNull() || !inkora::scanHexUInt32(text, &d))
        return QStringLiteral("00");
    const QString digit = QString::number(d, 16).toUpper();
    return digit + digit;
}

void drawLocalizedStringInRect(const QString &text, QPainter &painter, const QRectF &rect, const QColor &color)
{
    constexpr double kFontSize = 13; // points
    QFont font = QGuiApplication::font();
    font.setPixelSize(int(kFontSize));
    painter.save();
    // Text runs y down: flip about the rectangle's middle so it stays upright and starts at its top.
    painter.translate(0, rect.top() + rect.bottom());
    painter.scale(1, -1);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QCoreApplication::translate("Localizable", text.toUtf8().constData()));
    painter.restore();
}

} // namespace Bezier
