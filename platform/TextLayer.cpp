#include "platform/TextLayer.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace platform {

namespace {
const QString kFontSize = QStringLiteral("fontSize");
const QString kForegroundColor = QStringLiteral("foregroundColor");
} // namespace

void TextLayer::setString(const QString &string)
{
    propertyWillChange();
    m_string = string;
    propertyDidChange({}, {});
}

void TextLayer::setFont(const QFont &font)
{
    propertyWillChange();
    m_font = font;
    propertyDidChange({}, {});
}

void TextLayer::setFontSize(double size)
{
    setAnimatableMember(m_fontSize, size, kFontSize);
}

void TextLayer::setForegroundColor(const QColor &color)
{
    setAnimatableMember(m_foregroundColor, color, kForegroundColor);
}

void TextLayer::setAlignmentMode(Alignment alignment)
{
    propertyWillChange();
    m_alignment = alignment;
    propertyDidChange({}, {});
}

void TextLayer::setTruncationMode(Truncation truncation)
{
    propertyWillChange();
    m_truncation = truncation;
    propertyDidChange({}, {});
}

QString TextLayer::displayedString() const
{
    if (m_truncation == Truncation::None || m_wrapped || m_fontSize <= 0)
        return m_string;
    QFont font = m_font;
    font.setPointSizeF(m_fontSize);
    const Qt::TextElideMode mode = m_truncation == Truncation::Start    ? Qt::ElideLeft
                                   : m_truncation == Truncation::Middle ? Qt::ElideMiddle
                                                                        : Qt::ElideRight;
    return QFontMetricsF(font).elidedText(m_string, mode, std::max(0.0, bounds().width()));
}

void TextLayer::setWrapped(bool wrapped)
{
    propertyWillChange();
    m_wrapped = wrapped;
    propertyDidChange({}, {});
}

QVariant TextLayer::modelValue(const QString &key) const
{
    if (key == kFontSize)
        return m_fontSize;
    if (key == kForegroundColor)
        return m_foregroundColor;
    return Layer::modelValue(key);
}

void TextLayer::drawInContext(QPainter &painter, bool presentation) const
{
    Layer::drawInContext(painter, presentation);
    const double size = drawingValue(m_fontSize, kFontSize, presentation);
    const QColor color = drawingValue(m_foregroundColor, kForegroundColor, presentation);
    if (m_string.isEmpty() || size <= 0 || !color.isValid())
        return;
    const QRectF b = drawingValue(bounds(), QStringLiteral("bounds"), presentation);
    QFont font = m_font;
    font.setPointSizeF(size);
    int flags = Qt::AlignTop;
    switch (m_alignment) {
    case Alignment::Natural:
    case Alignment::Left:
        flags |= Qt::AlignLeft;
        break;
    case Alignment::Right:
        flags |= Qt::AlignRight;
        break;
    case Alignment::Center:
        flags |= Qt::AlignHCenter;
        break;
    case Alignment::Justified:
        flags |= Qt::AlignJustify;
        break;
    }
    if (m_wrapped)
        flags |= Qt::TextWordWrap;
    painter.save();
    // Text runs top-down: draw it in a y-down frame whose origin is the bounds' top-left corner.
    painter.translate(b.left(), b.top() + b.height());
    painter.scale(1, -1);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRectF(0, 0, b.width(), b.height()), flags, displayedString());
    painter.restore();
}

} // namespace platform
