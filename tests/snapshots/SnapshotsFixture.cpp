#include "tests/snapshots/SnapshotsFixture.h"

#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKORectanglePill.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOSnapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>

QImage SnapshotsFixture::screenImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    image.fill(QColor(0, 0, 255));
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, QColor(0, 255, 0));
    painter.end();
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    return image;
}

platform::LayerPtr SnapshotsFixture::drawing(const QRectF &frame, double scale, const QColor &color)
{
    const QSize pixels(qRound(frame.width() * scale), qRound(frame.height() * scale));
    QImage contents(pixels, QImage::Format_RGBA8888_Premultiplied);
    contents.fill(Qt::transparent);
    QPainter painter(&contents);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(QPointF(0, 0), QSizeF(pixels)).adjusted(1, 1, -1, -1));
    painter.end();
    auto layer = platform::Layer::create();
    layer->setFrame(frame);
    layer->setContentsScale(scale);
    layer->setContents(std::make_shared<const QImage>(contents));
    return layer;
}

platform::LayerPtr SnapshotsFixture::rectangleObject(const QRectF &rect, double scale, const QColor &color)
{
    auto layer = platform::Layer::create();
    layer->setContentsScale(scale);
    OpaqueContent::setPill(*layer, std::make_shared<MRKORectanglePill>(2, rect, color, color, 1, 0, 4, true, true));
    OpaqueContent::updateGraphicLayer(*layer);
    return layer;
}

std::shared_ptr<MRKOSnapshot> SnapshotsFixture::makeSnapshot(bool withScreen, int drawings)
{
    std::vector<platform::LayerPtr> layers;
    for (int i = 0; i < drawings; ++i)
        layers.push_back(drawing(QRectF(100 + 200 * i, 500 - 40 * i, 120, 80), 2, QColor::fromHsv(i * 40, 255, 255)));
    auto snapshot = MRKOSnapshot::snapshotWithLayers(layers, withScreen ? screenImage(2880, 1800) : QImage(),
                                                     QRectF(0, 0, 1440, 900), 0);
    if (!withScreen)
        snapshot->setDisplayScale(2);
    return snapshot;
}

std::shared_ptr<MRKOSnapshot> SnapshotsFixture::smallShot(const QString &name, bool dazadUdiz)
{
    std::vector<platform::LayerPtr> layers;
    if (!dazadUdiz)
        layers.push_back(drawing(QRectF(10, 10, 30, 20), 2, QColor(200, 30, 30)));
    auto shot = MRKOSnapshot::snapshotWithLayers(layers, screenImage(160, 100), QRectF(0, 0, 80, 50), 0);
    shot->setName(name);
    return shot;
}

QString SnapshotsFixture::dataFolder() const
{
    return QDir(home()).filePath(QStringLiteral("data/com.Inkora.Inkora"));
}

QStringList SnapshotsFixture::sqlite(const QString &database, const QString &sql)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), database});
    shell.write(".timeout 10000\n" + sql.toUtf8()); // the program may be writing meanwhile
    shell.closeWriteChannel();
    EXPECT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().constData();
    return QString::fromUtf8(shell.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void SnapshotsFixture::makeStore(const QString &database, const QString &sql)
{
    QFile schema(QStringLiteral(":/StoreSchema.sql"));
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    QDir().mkpath(QFileInfo(database).absolutePath());
    (void)sqlite(database, QString::fromUtf8(schema.readAll()) + sql);
}

void SnapshotsFixture::settleWrites()
{
    MRKOPersistentData::sharedData().settlePendingWrites();
    drainMainQueue();
}

QString SnapshotsFixture::documents() const
{
    return QDir(home()).filePath(QStringLiteral("Documents"));
}

QString SnapshotsFixture::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = QDir(home()).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}
