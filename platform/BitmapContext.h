#pragma once

#include <QColor>
#include <QGradient>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

/// An off-screen bitmap with a drawing state: 8-bit sRGB with premultiplied alpha stored last (bytes R, G, B, A),
/// alpha only, or grey. User space is y up with its origin at the bottom-left pixel corner until the transform
/// changes it. Shadow offsets and blur are in pixels (y up) and ignore the transform. Main thread only.
class BitmapContext final
{
public:
    enum class Format : int { RGBA, Alpha, Gray };
    enum class BlendMode : int { Normal, Copy, DestinationOut, Clear };
    /// Gradient options: paint the start colour before the start, the end colour after the end.
    enum GradientOption : int { DrawsBeforeStart = 1, DrawsAfterEnd = 2, DrawsBeyondBothEnds = 3 };

    /// Null when the size is not positive or the pixels cannot be allocated; callers log their own line.
    [[nodiscard]] static std::unique_ptr<BitmapContext> create(int width, int height, Format format = Format::RGBA);
    ~BitmapContext();
    BitmapContext(const BitmapContext &) = delete;
    BitmapContext &operator=(const BitmapContext &) = delete;

    [[nodiscard]] int width() const { return m_image.width(); }
    [[nodiscard]] int height() const { return m_image.height(); }
    [[nodiscard]] qsizetype bytesPerRow() const { return m_image.bytesPerLine(); }
    [[nodiscard]] Format format() const { return m_format; }
    /// The context's own pixels, row 0 at the top of the picture.
    [[nodiscard]] uchar *data()
    {
        m_blank = false;
        return m_image.bits();
    }
    [[nodiscard]] const uchar *data() const { return m_image.constBits(); }
    /// An image over the context's own pixels, without copying; it shows later drawing too.
    [[nodiscard]] const QImage &image() const { return m_image; }
    /// True while nothing has been drawn since creation: every pixel is still transparent.
    [[nodiscard]] bool isBlank() const { return m_blank; }
    /// A copy of the pixels as they are now.
    [[nodiscard]] QImage makeImage() const;

    void saveGState();
    void restoreGState();

    /// User space to y-up pixels.
    [[nodiscard]] QTransform ctm() const { return m_state.ctm; }
    void translateCTM(double dx, double dy);
    void scaleCTM(double sx, double sy);
    void rotateCTM(double radians);
    void concatCTM(const QTransform &transform);

    void clipToRect(const QRectF &rect);
    void clipToPath(const QPainterPath &path);
    /// Limits drawing to the mask drawn into `rect`: an alpha-only image by its alpha, a grey one by its grey
    /// level (white paints), any other by its alpha.
    void clipToMask(const QRectF &rect, const QImage &mask);
    /// The bounding box of the clip in user space.
    [[nodiscard]] QRectF clipBoundingBox() const;

    void setBlendMode(BlendMode mode);
    [[nodiscard]] BlendMode blendMode() const { return m_state.blend; }
    void setAlpha(double alpha);
    /// An invalid colour or a transparent one turns the shadow off.
    void setShadow(QPointF offset, double blur, const QColor &color = QColor(0, 0, 0, 85));

    void setFillColor(const QColor &color) { m_state.fill = color; }
    void setStrokeColor(const QColor &color) { m_state.stroke = color; }
    void setLineWidth(double width) { m_state.lineWidth = width; }
    void setLineCap(Qt::PenCapStyle cap) { m_state.cap = cap; }
    void setLineJoin(Qt::PenJoinStyle join) { m_state.join = join; }
    void setMiterLimit(double limit) { m_state.miterLimit = limit; }
    /// Dash and gap lengths in user-space units; empty draws solid lines.
    void setLineDash(double phase, const std::vector<double> &lengths);

    void fillRect(const QRectF &rect);
    void strokeRect(const QRectF &rect);
    /// Makes the rectangle transparent whatever the blend mode.
    void clearRect(const QRectF &rect);
    void fillPath(const QPainterPath &path);
    void strokePath(const QPainterPath &path);
    void fillEllipseInRect(const QRectF &rect);
    /// Draws the image upright into the rectangle.
    void drawImage(const QRectF &rect, const QImage &image);
    void drawLinearGradient(const QGradientStops &stops, QPointF start, QPointF end, int options);
    void drawRadialGradient(const QGradientStops &stops, QPointF startCenter, double startRadius, QPointF endCenter,
                            double endRadius, int options);
    /// Runs any painting (a layer tree, text) through the drawing state: the painter is in user space, and the
    /// result is shadowed, masked, faded and blended as one picture.
    void draw(const std::function<void(QPainter &)> &paint);

    /// The painter in user space, for drawing the helpers above do not cover; it honours transform, clip, alpha
    /// and blend mode per primitive but no mask and no shadow.
    [[nodiscard]] QPainter &painter()
    {
        m_blank = false;
        return m_painter;
    }

private:
    struct State
    {
        QTransform ctm;
        QColor fill{0, 0, 0};
        QColor stroke{0, 0, 0};
        double lineWidth = 1;
        Qt::PenCapStyle cap = Qt::FlatCap;
        Qt::PenJoinStyle join = Qt::MiterJoin;
        double miterLimit = 10;
        double dashPhase = 0;
        std::vector<double> dashes;
        BlendMode blend = BlendMode::Normal;
        double alpha = 1;
        QPointF shadowOffset;
        double shadowBlur = 0;
        QColor shadowColor;
        std::shared_ptr<const QImage> mask; // device pixels, alpha only
        QPainterPath clipInDevice;          // for the clip bounding box; empty: no clip
        bool clipped = false;
    };

    BitmapContext(QImage image, Format format);
    void applyTransform();
    [[nodiscard]] QPen pen() const;
    [[nodiscard]] bool needsOffscreen() const;
    void paintOp(const std::function<void(QPainter &)> &op);
    void clipToDeviceArea(const QPainterPath &deviceArea);

    QImage m_image;
    Format m_format = Format::RGBA;
    QPainter m_painter;
    QTransform m_flip; // y-up pixels to the image's rows
    State m_state;
    std::vector<State> m_saved;
    bool m_blank = true;
};

} // namespace platform
