#include "tools/KPColorPickerView.h"

#include "foundation/InkoraLog.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "platform/Dispatch.h"
#include "platform/LayerRenderer.h"
#include "tools/CanvasUnderPointer.h"
#include "tools/KPHueWheelLayer.h"
#include "tools/KPPickerBall.h"
#include "tools/KPPickerPix.h"
#include "tools/KVColorOpacityView.h"
#include "tools/KVPopoverExtrasController.h"
#include "tools/MRKOSmallButton.h"
#include "tools/NSButton+ForceResetHighlight.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMinimum = 0.00001; // keeps a hue readable from colours without chroma
constexpr double kBallSide = 30;     // points
constexpr double kBallInset = 5;     // points
constexpr int kBlackColumns = 30;    // left of the triangle whenever its circumradius is at least 60

double degrees(double d)
{
    return d * kPi / 180.0;
}

} // namespace

KPColorPickerView::KPColorPickerView(QWidget *parent) : platform::LayerWidget(parent)
{
    resize(246, 246);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    rootLayer()->setDelegate(this);
    rootLayer()->setNeedsDisplay();

    m_wheelLayer = KPHueWheelLayer::create();
    m_wheelLayer->setDonutThickness(30);
    rootLayer()->addSublayer(m_wheelLayer);

    for (KPPickerBall **ball : {&m_hueBall, &m_saturationBrightnessBall}) {
        *ball = new KPPickerBall(this);
        (*ball)->setInsets({kBallInset, kBallInset, kBallInset, kBallInset});
        (*ball)->setPickerView(this);
        (*ball)->show();
    }

    setColor(inkora::srgbColorWithHsb(1.0, 1.0, 0.501, 1.0));
    m_wheelLayer->setNeedsDisplay();

    // y-up frame (width - 25, height - 25, 20, 20): the top right corner.
    m_pickerButton = new MRKOSmallButton(QStringLiteral("KPPicker"), this);
    m_pickerButton->setImageName(QStringLiteral("KPPicker"));
    m_pickerButton->setGeometry(width() - 25, 5, 20, 20);
    m_pickerButton->setFocusPolicy(Qt::NoFocus);
    connect(m_pickerButton, &MRKOSmallButton::actionSent, this, [this] { pickFromScreenButtonAction(); });
    updateCloseButton();
}

KPColorPickerView::~KPColorPickerView()
{
    // At once: nothing may outlive the picker on the main queue, which can outlive the application.
    if (m_pixWindow) {
        m_pixWindow->cleanUpMonitors();
        m_pixWindow->orderOut();
        m_pixWindow.reset();
    }
}

// Colour

double KPColorPickerView::opacity() const
{
    return m_opacityView ? m_opacityView->opacity() : 1.0;
}

void KPColorPickerView::setOpacity(double opacity)
{
    if (m_opacityView)
        m_opacityView->setOpacity(opacity);
}

void KPColorPickerView::updateColorWithOpacity()
{
    setColor(m_color.withAlpha(opacity()));
}

void KPColorPickerView::setOpacityView(KVColorOpacityView *view)
{
    m_opacityView = view;
    if (view)
        view->setColor(m_opacityColor);
    else
        m_opacityColor = m_color;
}

void KPColorPickerView::setColor(const inkora::SrgbColor &color)
{
    if (!color.isValid()) {
        qCWarning(lcTools) << "setColor: Color can not be nil";
        return;
    }
    inkora::SrgbColor c = color;
    // The picker's own controls and fields carry no opacity: the slider's applies. The loupe and the program
    // bring their own, which moves the slider.
    if (m_opacityView && m_colorSource <= KPColorSourceRgbFields)
        c = c.withAlpha(opacity());
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(c, &h, &s, &b);

    m_opacityColor = c;
    if (m_opacityView)
        m_opacityView->setColor(c);
    m_color = c.alpha() < 1 ? c.withAlpha(1) : c;
    if (m_extrasController)
        m_extrasController->setColor(m_color);
    if (m_opacityView)
        m_opacityView->setOpaqueColor(m_color);

    if (s > 0 && b > 0) {
        m_lastHue = h;
    } else {
        h = m_lastHue;
        s = std::max(s, kMinimum);
        b = std::max(b, kMinimum);
        m_color = inkora::srgbColorWithHsb(h, s, b, 1);
        m_opacityColor = inkora::srgbColorWithHsb(h, s, b, opacity());
    }
    m_hueBall->setFillColor(inkora::srgbColorWithHsb(h, 1, 1, 1));
    m_saturationBrightnessBall->setFillColor(m_color);
    layoutSubviews();
    rootLayer()->setNeedsDisplay();
}

void KPColorPickerView::invokeDelegate()
{
    if (m_color == m_sendedColor && m_opacityColor == m_sendedOpacityColor)
        return;
    if (!m_delegate)
        return;
    m_sendedColor = m_color;
    m_sendedOpacityColor = m_opacityColor;
    m_delegate->didSelectColor();
}

void KPColorPickerView::resetSendedColors()
{
    m_sendedColor = {};
    m_sendedOpacityColor = {};
}

void KPColorPickerView::resetSendedColorsIfNeeded()
{
    if (m_sendActionOnMouseUp)
        resetSendedColors();
}

// Geometry

double KPColorPickerView::wheelThickness() const
{
    return m_wheelLayer->donutThickness();
}

void KPColorPickerView::setWheelThickness(double thickness)
{
    m_wheelLayer->setDonutThickness(thickness);
}

QRectF KPColorPickerView::wheelRect() const
{
    return {m_insets.left, m_insets.top, width() - m_insets.left - m_insets.right,
            height() - m_insets.top - m_insets.bottom};
}

QPointF KPColorPickerView::wheelCentre() const
{
    return wheelRect().center();
}

QPointF KPColorPickerView::indicatorCenterForHue(double hue) const
{
    const QRectF r = wheelRect();
    const double rm = (std::min(r.width(), r.height()) - wheelThickness()) / 2;
    const double theta = 2 * kPi * hue;
    return wheelCentre() + rm * QPointF(std::cos(theta), std::sin(theta));
}

namespace {

/// The unrotated triangle about `c` with circumradius `ri`: the hue vertex at angle 0, white at 120°, black at 240°.
struct Triangle
{
    QPointF c;
    double ri = 0;
    [[nodiscard]] QPointF hue() const { return c + QPointF(ri, 0); }
    [[nodiscard]] QPointF white() const { return c + ri * QPointF(std::cos(degrees(120)), std::sin(degrees(120))); }
    [[nodiscard]] QPointF black() const { return c + ri * QPointF(std::cos(degrees(240)), std::sin(degrees(240))); }
    [[nodiscard]] double side() const { return std::sqrt(3.0) * ri; }
};

/// The distance from the black vertex to the white-hue edge in the direction `alpha` (radians from the black-white
/// edge towards the hue vertex).
double edgeDistance(double side, double alpha)
{
    return std::sqrt(3.0) / 2 * side / std::cos(alpha - degrees(30));
}

/// Saturation and brightness of a point of the unrotated frame, where u = (0, 1) runs from black to white and
/// n = (1, 0) towards the hue vertex.
void saturationBrightnessAt(const Triangle &t, QPointF p, double *saturation, double *brightness)
{
    const QPointF q = p - t.black();
    const float along = float(q.y());  // q·u
    const float across = float(q.x()); // q·n
    float alpha = std::atan2(across, along);
    if (alpha < 0)
        alpha += float(2 * kPi);
    if (alpha > float(kPi))
        alpha = float(kMinimum);
    else if (alpha > float(degrees(60)))
        alpha = float(degrees(60));
    *saturation = std::max(double(alpha) / degrees(60), kMinimum);
    const double m = edgeDistance(t.side(), alpha);
    const double a = std::max(across, 0.0f);
    const double u = std::max(along, 0.0f);
    const double dist = std::sqrt(float(a * a + u * u));
    *brightness = std::max(std::min(dist, m) / m, kMinimum);
}

} // namespace

QPointF KPColorPickerView::indicatorCenterForSaturationBrightness(double saturation, double brightness) const
{
    const QRectF r = wheelRect();
    const Triangle t{wheelCentre(), std::min(r.width(), r.height()) / 2 - wheelThickness()};
    const double alpha = degrees(60) * saturation;
    const QPointF d(std::sin(alpha), std::cos(alpha)); // u turned by alpha towards the hue vertex
    return t.black() + brightness * edgeDistance(t.side(), alpha) * d;
}

void KPColorPickerView::getSaturationBrightness(double *saturation, double *brightness, QPointF position) const
{
    const QRectF r = wheelRect();
    saturationBrightnessAt({wheelCentre(), std::min(r.width(), r.height()) / 2 - wheelThickness()}, position,
                           saturation, brightness);
}

KPColorPickerView::Region KPColorPickerView::mouseInside(QPointF point) const
{
    const QRectF r = wheelRect();
    const QPointF c = wheelCentre();
    const QPointF rounded(std::floor(c.x() + 0.5), std::floor(c.y() + 0.5));
    const double d = std::hypot(point.x() - rounded.x(), point.y() - rounded.y());
    const double t = wheelThickness();
    const double inner = std::min(r.width(), r.height()) / 2 - t + 1;
    if (d < inner)
        return RegionTriangle;
    if (d < inner + t)
        return RegionRing;
    return RegionNone;
}

void KPColorPickerView::frameBall(KPPickerBall &ball, QPointF centre)
{
    const double t = kBallSide;
    const double x = std::floor(float(centre.x() + 0.5 - t / 2));
    const double y = std::floor(float(centre.y() + 0.5 - t / 2));
    ball.setGeometry(int(x), int(height() - y - t), int(t), int(t));
}

void KPColorPickerView::layoutSubviews()
{
    m_wheelLayer->setFrame(wheelRect());
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(m_color, &h, &s, &b);
    const QPointF c = wheelCentre();
    // y up: a positive angle turns counter-clockwise on screen.
    m_transform = QTransform::fromTranslate(-c.x(), -c.y()) * QTransform().rotateRadians(2 * kPi * h) *
                  QTransform::fromTranslate(c.x(), c.y());
    frameBall(*m_hueBall, indicatorCenterForHue(h));
    frameBall(*m_saturationBrightnessBall, m_transform.map(indicatorCenterForSaturationBrightness(s, b)));
}

// Drawing

QImage KPColorPickerView::triangleImage() const
{
    const QRectF r = wheelRect();
    const QPointF c = wheelCentre();
    const Triangle t{c, std::min(r.width(), r.height()) / 2 - wheelThickness()};
    const int n = int(2 * t.ri);
    if (n <= 0)
        return {};
    QImage image(n, n, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    double hue = 0;
    double unused = 0;
    inkora::srgbToHsb(m_color, &hue, &unused, &unused);
    for (int row = 0; row < n; ++row) {
        uchar *line = image.scanLine(row);
        // Row 0 is the top of the square; each pixel takes the colour at its lower left corner.
        const double y = c.y() + t.ri - row - 1;
        std::fill(line, line + 3 * std::min(kBlackColumns, n), uchar(0));
        for (int column = kBlackColumns; column < n; ++column) {
            const double x = c.x() - t.ri + column;
            double saturation = 0;
            double brightness = 0;
            saturationBrightnessAt(t, QPointF(x, y), &saturation, &brightness);
            double red = 0;
            double green = 0;
            double blue = 0;
            hsvToRgb(360 * hue, saturation, brightness, &red, &green, &blue);
            uchar *pixel = line + 3 * column;
            pixel[0] = uchar(red * 255);
            pixel[1] = uchar(green * 255);
            pixel[2] = uchar(blue * 255);
        }
    }
    return image;
}

void KPColorPickerView::drawLayerInContext(platform::Layer &, QPainter &painter)
{
    const QRectF r = wheelRect();
    const QPointF c = wheelCentre();
    const Triangle t{c, std::min(r.width(), r.height()) / 2 - wheelThickness()};
    const QImage image = triangleImage();
    if (image.isNull())
        return;
    painter.save();
    painter.setTransform(m_transform, true);
    QPainterPath clip;
    clip.moveTo(t.hue());
    clip.lineTo(t.white());
    clip.lineTo(t.black());
    clip.closeSubpath();
    painter.setClipPath(clip, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    platform::LayerRenderer::drawImageUpright(painter,
                                              QRectF(c.x() - t.ri, c.y() - t.ri, image.width(), image.height()), image);
    painter.restore();
}

// Pointer

QPointF KPColorPickerView::pointFromQt(QPointF qtPoint) const
{
    return {qtPoint.x(), height() - qtPoint.y()};
}

void KPColorPickerView::mouseDownAt(QPointF point)
{
    resetSendedColors();
    m_mouseActAs = mouseInside(point);
    applyAction(point);
}

void KPColorPickerView::mouseDraggedAt(QPointF point)
{
    applyAction(point);
}

void KPColorPickerView::mouseUpAt(QPointF point)
{
    if (m_sendActionOnMouseUp)
        resetSendedColors();
    applyAction(point);
}

void KPColorPickerView::applyAction(QPointF point)
{
    if (m_mouseActAs == RegionRing)
        moveHueBall(point);
    else if (m_mouseActAs == RegionTriangle)
        moveSaturationBrightnessBall(point);
}

void KPColorPickerView::moveHueBall(QPointF point)
{
    const QPointF c = wheelCentre();
    const double h = (kPi - std::atan2(float(point.y() - c.y()), float(c.x() - point.x()))) / (2 * kPi);
    double unused = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(m_color, &unused, &s, &b);
    m_colorSource = KPColorSourceHueRing;
    setColor(inkora::srgbColorWithHsb(h, s, b, 1));
    invokeDelegate();
}

void KPColorPickerView::moveSaturationBrightnessBall(QPointF point)
{
    double h = 0;
    double unused = 0;
    inkora::srgbToHsb(m_color, &h, &unused, &unused);
    double s = 0;
    double b = 0;
    getSaturationBrightness(&s, &b, m_transform.inverted().map(point));
    m_colorSource = KPColorSourceTriangle;
    setColor(inkora::srgbColorWithHsb(h, s, b, 1));
    invokeDelegate();
}

void KPColorPickerView::scrollWheel(const platform::Event &event)
{
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(m_color, &h, &s, &b);
    double x = h + MouseEvent::scrollingDeltaForColorHue(event);
    if (x > -1 && x < 0)
        x += 1;
    else if (x > 1 && x < 2)
        x -= 1;
    else if (std::isnan(x))
        x = 0;
    m_colorSource = KPColorSourceHueRing;
    setColor(inkora::srgbColorWithHsb(x, s, b, 1));
    invokeDelegate();
}

void KPColorPickerView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mouseDownAt(pointFromQt(event->position()));
}

void KPColorPickerView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        mouseDraggedAt(pointFromQt(event->position()));
        return;
    }
    // The canvas's pointer decorations and the loupe keep following the pointer over the popover.
    if (rect().contains(event->position().toPoint()))
        inkora::passMouseMovedToCanvasUnderPointer();
}

void KPColorPickerView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mouseUpAt(pointFromQt(event->position()));
}

void KPColorPickerView::wheelEvent(QWheelEvent *event)
{
    if (const auto converted = platform::eventFromQt(*event, platform::EventContext{double(height()), 0, false}))
        scrollWheel(*converted);
    event->accept();
}

// Buttons and the loupe

void KPColorPickerView::updateCloseButton()
{
    if (m_pickerCloseButton) {
        ForceResetHighlight::forceResetHighlight(*m_pickerCloseButton);
        return;
    }
    // y-up frame (5, height - 23, 17, 17): the top left corner.
    auto *button = new MRKOSmallButton(QStringLiteral("KPCloseOval"), this);
    button->setImageName(QStringLiteral("KPCloseOval"));
    button->setGeometry(5, 6, 17, 17);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &MRKOSmallButton::actionSent, this, [this] { closePopoverAction(); });
    button->show();
    m_pickerCloseButton = button;
}

void KPColorPickerView::closePopoverAction()
{
    if (m_delegate)
        m_delegate->closePopover();
}

void KPColorPickerView::pickFromScreenButtonAction()
{
    QPointer<KPColorPickerView> self(this);
    platform::DispatchQueue::main().async([self] {
        if (!self || self->m_pixWindow)
            return;
        self->m_pixWindow = KPPickerPix::windowWith(self);
        self->m_pixWindow->orderFront();
        platform::DispatchQueue::main().after(0.0025, [self] {
            if (self && self->m_pixWindow)
                self->m_pixWindow->forceUpdatePickerView();
        });
    });
}

void KPColorPickerView::movePixWindow()
{
    if (m_pixWindow)
        m_pixWindow->moved();
}

void KPColorPickerView::killPickerWithCleaning()
{
    if (!m_pixWindow)
        return;
    m_pixWindow->cleanUpMonitors();
    killThePicker();
}

void KPColorPickerView::killThePicker()
{
    if (!m_pixWindow)
        return;
    // Dropped on the next pass: this may run inside one of the loupe's own handlers.
    std::unique_ptr<KPPickerPix> loupe = std::move(m_pixWindow);
    loupe->orderOut();
    platform::DispatchQueue::main().async([held = std::shared_ptr<KPPickerPix>(std::move(loupe))] {});
}
