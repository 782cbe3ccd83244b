#pragma once

#include "platform/Layer.h"
#include "tests/support/InkoraFixture.h"

#include <QColor>
#include <QImage>
#include <QRectF>

#include <memory>

class MRKOSnapshot;

/// Builders for snapshot tests: screen images, drawn layers and snapshots.
class SnapshotsFixture : public InkoraFixture
{
protected:
    /// Left half green, right half blue, a red pixel at (0, 0).
    [[nodiscard]] static QImage screenImage(int width, int height);
    /// A layer showing a filled disc in `frame` (canvas points, y up), its contents at `scale` pixels per point.
    [[nodiscard]] static platform::LayerPtr drawing(const QRectF &frame, double scale, const QColor &color);
    /// A drawn object: a filled rectangle with its model, rendered at `scale`.
    [[nodiscard]] static platform::LayerPtr rectangleObject(const QRectF &rect, double scale, const QColor &color);
    /// 1440 x 900 points; with a 2880 x 1800 screen image when `withScreen`.
    [[nodiscard]] static std::shared_ptr<MRKOSnapshot> makeSnapshot(bool withScreen, int drawings);

    /// A small shot under its name: an 80 x 50 point screen image at scale 2, with one drawing unless `dazadUdiz`.
    [[nodiscard]] static std::shared_ptr<MRKOSnapshot> smallShot(const QString &name, bool dazadUdiz = false);

    [[nodiscard]] QString documents() const;
    [[nodiscard]] QString writeFile(const QString &name, const QByteArray &bytes) const;

    // The stores
    [[nodiscard]] QString dataFolder() const; // $XDG_DATA_HOME/com.Inkora.Inkora
    [[nodiscard]] QString rollPath() const { return dataFolder() + QStringLiteral("/Sequences.db"); }
    [[nodiscard]] QString binPath() const { return dataFolder() + QStringLiteral("/Trash.db"); }
    /// The sqlite3 shell's output lines for the statements, run on the file; fails the test when the shell fails.
    [[nodiscard]] static QStringList sqlite(const QString &database, const QString &sql);
    /// Makes a store file with the program's schema and the given statements, before the program opens it.
    static void makeStore(const QString &database, const QString &sql);
    /// Lets every snapshot file being written land and its record be saved.
    void settleWrites();
};
