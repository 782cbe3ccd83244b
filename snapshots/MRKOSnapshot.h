#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Archivable.h"
#include "platform/Layer.h"
#include "snapshots/MRKOExportMethod.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

class QPainter;
namespace inkora {
class PDFContext;
}

/// The drawing state of one display at one moment: its index and bounds (points, y up), the captured screen image
/// beneath (device pixels), the drawn layers with their models, the display's scale and the whiteboard settings.
/// Stored as a keyed archive ("iksnapshot"), rendered into pictures and exported as PSD, PNG or PDF. A snapshot is
/// rendered by one thread at a time: its layers move into a temporary container while it renders.
class MRKOSnapshot final : public platform::Archivable
{
public:
    MRKOSnapshot();
    ~MRKOSnapshot() override;
    Q_DISABLE_COPY_MOVE(MRKOSnapshot)

    [[nodiscard]] static bool supportsSecureCoding() { return true; }
    /// Makes "MRKOSnapshot" known to keyed archives; safe to call any number of times.
    static void registerArchiveClass();

    // Model
    [[nodiscard]] bool whiteboard() const { return m_whiteboard; }
    void setWhiteboard(bool whiteboard) { m_whiteboard = whiteboard; }
    [[nodiscard]] bool overallShadow() const { return m_overallShadow; }
    void setOverallShadow(bool overallShadow) { m_overallShadow = overallShadow; }
    /// Bottom first; empty when there are no drawings.
    [[nodiscard]] const std::vector<platform::LayerPtr> &layers() const { return m_layers; }
    void setLayers(const std::vector<platform::LayerPtr> &layers) { m_layers = layers; }
    /// Device pixels; null when there is no screen image.
    [[nodiscard]] const QImage &screenBitmap() const { return m_screenBitmap; }
    void setScreenBitmap(const QImage &bitmap);
    [[nodiscard]] qint64 screenIndex() const { return m_screenIndex; }
    void setScreenIndex(qint64 index) { m_screenIndex = index; }
    /// Read and renamed under the render lock: a rename waits for a rendering or an archive in progress.
    [[nodiscard]] QString name() const;
    void setName(const QString &name);
    /// Pixels per point.
    [[nodiscard]] double displayScale() const { return m_displayScale; }
    void setDisplayScale(double scale) { m_displayScale = scale; }
    [[nodiscard]] qint64 whiteboardColorType() const { return m_whiteboardColorType; }
    void setWhiteboardColorType(qint64 type) { m_whiteboardColorType = type; }
    [[nodiscard]] quint64 whiteboardLayout() const { return m_whiteboardLayout; }
    void setWhiteboardLayout(quint64 layout) { m_whiteboardLayout = layout; }
    /// Invalid when there is none.
    [[nodiscard]] const inkora::SrgbColor &whiteboardCustomColor() const { return m_whiteboardCustomColor; }
    void setWhiteboardCustomColor(const inkora::SrgbColor &color) { m_whiteboardCustomColor = color; }
    /// The canvas bounds in points.
    [[nodiscard]] QRectF bounds() const { return m_bounds; }
    void setBounds(const QRectF &bounds) { m_bounds = bounds; }

    [[nodiscard]] bool hasLayers() const { return !m_layers.empty(); }
    /// Bytes the screen bitmap weighs in the snapshot cache.
    [[nodiscard]] qint64 cost() const;
    /// Pixels: the screen bitmap's size, else the bounds times the first layer's contents scale.
    [[nodiscard]] QSizeF documentSize() const;
    [[nodiscard]] QColor whiteboardColor() const;
    /// Always null.
    [[nodiscard]] QImage whiteboardImage() const { return {}; }
    /// Bounds, screen index and layers (by value) are equal; the screen image, name and whiteboard take no part.
    [[nodiscard]] bool isEqualToSnapshot(const MRKOSnapshot *other) const;

    // Archive
    [[nodiscard]] QString archiveClassName() const override;
    void encodeWithCoder(platform::KeyedArchiver &coder) const override;
    /// The snapshot's keyed archive; empty when it cannot be made.
    [[nodiscard]] QByteArray encodedSnapshotData() const;
    /// Names it "Snapshot n" (with layers) or "DazadUdiz n" (without) when there is a bitmap, whose width over the
    /// bounds' width becomes the display scale.
    [[nodiscard]] static std::shared_ptr<MRKOSnapshot> snapshotWithLayers(const std::vector<platform::LayerPtr> &layers,
                                                                          const QImage &screenBitmap,
                                                                          const QRectF &bounds, qint64 screenIndex);
    /// Null, with one log line, when the data is no snapshot archive or fails the checks on input from outside.
    [[nodiscard]] static std::shared_ptr<MRKOSnapshot> snapshotWithData(const QByteArray &data);
    /// Null when there is no file at the path or it holds no snapshot.
    [[nodiscard]] static std::shared_ptr<MRKOSnapshot> snapshotWithContentsOfFile(const QString &path);
    [[nodiscard]] bool writeSnapshotToFile(const QString &path) const;

    // The canvas backup per display in the Documents folder
    /// "%04lX.iksnapshot": display 26 gives "001A.iksnapshot".
    [[nodiscard]] static QString fileNameWithIndex(qint64 index);
    [[nodiscard]] static QString filePathInDocumentsWhithIndex(qint64 index);
    static void removeSnapshotsFromDocumentsDirectoryAtIndex(qint64 index);
    [[nodiscard]] static std::shared_ptr<MRKOSnapshot> snapshotFromDocumentsAtIndex(qint64 index);
    [[nodiscard]] QString filePathInDocuments() const;
    /// Writes the backup, or removes it when no archive can be made.
    void saveToDocumentsDirectory() const;

    // Pictures
    /// Pixels per point of the active canvas, read on the main thread; elsewhere the value the main thread read last
    /// (0 before any), since workers must not reach into the canvases.
    [[nodiscard]] static double displayScaleForRendering();
    /// Renders at `size` points; the image's device pixel ratio carries its point size. Null (with a log line) for
    /// a snapshot without size.
    [[nodiscard]] QImage imageWithSize(QSizeF size, bool drawScreenShot, bool drawLayers, bool shouldDrawToDisplay,
                                       bool useNativeDisplayScale);
    /// The 152 x 110 thumbnail of the browser.
    [[nodiscard]] QImage snapshotImage();
    /// The 780 x 540 preview.
    [[nodiscard]] QImage quickLookImage();
    /// Draws one page of `documentSize` points.
    void drawPDFPageInContext(inkora::PDFContext &context, bool screenShot);

    // Files; each answers whether it wrote the file.
    bool savePSDWithPath(const QString &path, bool withScreenShot);
    bool savePNGWithPath(const QString &path, bool withScreenShot);
    bool savePDFWithPath(const QString &path, bool withScreenShot);
    bool saveRawBitmapPNGWithPath(const QString &path);
    /// Asks for a path with the save panel, then writes.
    void savePSDWithPanelFull(bool full);
    void savePNGWithPanelFull(bool full);
    void savePDFWithPanelFull(bool full);
    void savePNGRawBitmap();
    void saveWithMethod(quint64 method);
    bool writeToPath(const QString &path, quint64 method);
    /// Writes under a free name in the folder; returns "<name>.<extension>" as wanted before it was made free.
    QString writeToFolder(const QString &folder, quint64 method);

    // Clipboard; each answers whether it put an image there.
    bool drawingsImageToPasteboard();
    bool wholeSnapshotImageToPasteboard();
    bool screenShotToPasteboard();

private:
    // Steps 7 to 9 of rendering into a y-up painter: screen image, whiteboard, drawings, inside `drawn`.
    void drawContents(QPainter &painter, const QRectF &drawn, double fit, bool drawScreenShot, bool drawLayers,
                      bool renderEmptyLayers);
    void runSavePanel(const QString &type, const std::function<void(const QString &)> &write);

    bool m_whiteboard = false;
    bool m_overallShadow = false;
    std::vector<platform::LayerPtr> m_layers;
    QImage m_screenBitmap;
    qint64 m_screenIndex = -1;
    QString m_name;
    double m_displayScale = 1.0;
    qint64 m_whiteboardColorType = 0;
    quint64 m_whiteboardLayout = 0;
    inkora::SrgbColor m_whiteboardCustomColor;
    QRectF m_bounds;
    // One rendering or archiving at a time: the layers move into a container meanwhile. Recursive, as renderings
    // nest (the whiteboard picture of a layered export) and read the name.
    mutable std::recursive_mutex m_renderMutex;
};
