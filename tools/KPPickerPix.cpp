#include "tools/KPPickerPix.h"

#include "foundation/InkoraLog.h"
#include "platform/Dispatch.h"
#include "platform/LocalEventMonitor.h"
#include "platform/ScreenGrabber.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/SystemCursor.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "tools/KPColorPickerView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cmath>

namespace {

constexpr int kSide = 120;   // points
constexpr int kCapture = 17; // points
constexpr double kLingerSeconds = 0.25;

constexpr quint64 kWatched = platform::eventMask(platform::EventType::LeftMouseDown) |
                             platform::eventMask(platform::EventType::MouseMoved) |
                             platform::eventMask(platform::EventType::KeyDown);

double screenScale(const QWidget &widget)
{
    const QScreen *screen = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

} // namespace

// The picture

KPPickerPixView::KPPickerPixView(QWidget *parent) : QWidget(parent)
{
    resize(kSide, kSide);
}

QRectF KPPickerPixView::renderRect() const
{
    return {0, 0, double(width()), double(height())};
}

QRectF KPPickerPixView::topRect() const
{
    const QPointF centre(width() / 2.0, height() / 2.0);
    return {centre.x() - 8, centre.y() - 8, kCapture, kCapture};
}

QRectF KPPickerPixView::rectForCrop() const
{
    return {9 - m_d.x(), 8 - m_d.y(), kCapture, kCapture};
}

void KPPickerPixView::setStillScreen(const QImage &screen, const QRect &pixelArea)
{
    m_stillScreen = screen;
    m_stillArea = pixelArea;
}

QRect KPPickerPixView::captureArea() const
{
    // The captured square in global points (y up), then in the window system's pixels.
    const QRectF frame = platform::frameFromQt(window()->geometry());
    const QRectF t = topRect();
    const QRect logical = platform::qtFromFrame(QRectF(frame.x() + t.x(), frame.y() + t.y(), t.width(), t.height()));
    const double scale = screenScale(*this);
    return {int(std::lround(logical.x() * scale)), int(std::lround(logical.y() * scale)),
            int(std::lround(logical.width() * scale)), int(std::lround(logical.height() * scale))};
}

QImage KPPickerPixView::bitmapAtMouseLocation()
{
    const QRect area = captureArea();
    if (!m_stillArea.isNull()) {
        if (m_stillScreen.isNull())
            return {};
        return m_stillScreen.copy(area.translated(-m_stillArea.topLeft()));
    }
    return platform::services().screenGrabber->grabBelowWindow(quint64(window()->winId()), false, area);
}

void KPPickerPixView::display()
{
    m_bitmap = bitmapAtMouseLocation();
    if (!m_bitmap.isNull() && m_bitmap.width() != kCapture) {
        const QPointF pointer = platform::pointFromQt(QCursor::pos());
        const QPointF middle = platform::frameFromQt(window()->geometry()).center();
        m_d = QPointF(std::round(middle.x() - pointer.x()), std::round(middle.y() - pointer.y()));
    }
    update();
}

void KPPickerPixView::paintEvent(QPaintEvent *)
{
    const QRectF r = renderRect();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath oval;
    oval.addEllipse(r);
    painter.setClipPath(oval);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (m_bitmap.isNull()) {
        painter.fillRect(r, Qt::black);
    } else if (m_bitmap.width() == kCapture) {
        painter.drawImage(r, m_bitmap);
    } else {
        // The crop is y up in the capture's pixels; the image's rows run from the top.
        const QRectF crop = rectForCrop();
        const QRectF source(crop.x(), m_bitmap.height() - crop.y() - crop.height(), crop.width(), crop.height());
        painter.drawImage(r, m_bitmap, source);
    }
    painter.restore();
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(r.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::black, 1));
    const QPointF c = r.center();
    painter.drawRect(QRectF(c.x() - 4, c.y() - 4, 8, 8));
}

inkora::SrgbColor KPPickerPixView::centerPixel() const
{
    return centerPixelOf(m_bitmap, m_d);
}

inkora::SrgbColor KPPickerPixView::centerPixelOf(const QImage &bitmap, QPointF d)
{
    const inkora::SrgbColor black(0, 0, 0, 1);
    if (bitmap.isNull())
        return black;
    const double row = std::trunc(bitmap.height() / 2 + d.y());
    const double column = std::trunc(bitmap.width() / 2 - d.x());
    // Both bounds checked: an offset can point above, left of or right of the capture as well as past its end.
    if (row < 0 || row >= bitmap.height() || column < 0 || column >= bitmap.width())
        return black;
    const QRgb pixel = bitmap.pixel(int(column), int(row));
    return {qRed(pixel) / 255.0, qGreen(pixel) / 255.0, qBlue(pixel) / 255.0, 1};
}

// The window

KPPickerPix::KPPickerPix(KPColorPickerView *pickerView)
    : m_view(std::make_unique<KPPickerPixView>()), m_pickerView(pickerView)
{
    m_view->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint);
    m_view->setAttribute(Qt::WA_TranslucentBackground);
    m_view->setAttribute(Qt::WA_ShowWithoutActivating);
    m_view->setFixedSize(kSide, kSide);
    m_view->setMouseTracking(true);

    QPointer<KPPickerPix> self(this);
    const auto handler = [self](const platform::Event &event) {
        if (self)
            self->catchedEvent(event);
    };
    m_globalMonitor = platform::services().rawInput->addMonitor(kWatched, handler);
    // The program's own windows get none of these while the loupe is up.
    m_localMonitor = std::make_unique<platform::LocalEventMonitor>(kWatched, [self](const platform::Event &event) {
        if (self)
            self->catchedEvent(event);
        return true;
    });
}

KPPickerPix::~KPPickerPix()
{
    cleanUpMonitors();
    orderOut();
    platform::WindowStack::shared().remove(*m_view);
}

std::unique_ptr<KPPickerPix> KPPickerPix::windowWith(KPColorPickerView *pickerView)
{
    return std::unique_ptr<KPPickerPix>(new KPPickerPix(pickerView));
}

void KPPickerPix::orderFront()
{
    setOriginForMouseLocation();
    platform::Services &services = platform::services();
    if (!services.windowSystem->hasCompositingManager()) {
        // Without a compositing manager the area below our window cannot be had without unmapping ours: sample
        // the screen as it was before the loupe appeared.
        QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        const QRect logical = screen ? screen->geometry() : QRect();
        const double scale = screen ? screen->devicePixelRatio() : 1.0;
        const QRect pixels(int(logical.x() * scale), int(logical.y() * scale), int(logical.width() * scale),
                           int(logical.height() * scale));
        m_view->setStillScreen(services.screenGrabber->grabArea(pixels), pixels);
    }
    m_view->winId();
    services.windowSystem->prepareFloatingWindow(*m_view);
    platform::WindowStack::shared().setLevel(*m_view, kLevel);
    m_view->show();
    platform::WindowStack::shared().orderFront(*m_view);
    if (!m_cursorHidden) {
        if (const int error = services.systemCursor->hide(); error != 0)
            qCWarning(lcTools) << "orderFront: the cursor could not be hidden, error" << error;
        else
            m_cursorHidden = true;
    }
}

void KPPickerPix::orderOut()
{
    m_view->hide();
    if (m_cursorHidden) {
        m_cursorHidden = false;
        if (const int error = platform::services().systemCursor->show(); error != 0)
            qCWarning(lcTools) << "orderOut: the cursor could not be shown again, error" << error;
    }
}

void KPPickerPix::setOriginForMouseLocation()
{
    const QPointF pointer = platform::pointFromQt(QCursor::pos());
    const QRectF frame(pointer.x() - kSide / 2.0, pointer.y() - kSide / 2.0, kSide, kSide);
    m_view->move(platform::qtFromFrame(frame).topLeft());
}

void KPPickerPix::moved()
{
    setOriginForMouseLocation();
    m_view->display();
}

void KPPickerPix::forceUpdatePickerView()
{
    moved();
}

void KPPickerPix::cleanUpMonitors()
{
    m_globalMonitor.reset();
    if (!m_localMonitor)
        return;
    // The raw stream may report a key or click before the window system hands the same one to our windows: the
    // local monitor keeps swallowing for a moment, so the Escape or click that ended the loupe reaches nothing else.
    std::shared_ptr<platform::LocalEventMonitor> lingering(m_localMonitor.release());
    platform::DispatchQueue::main().after(kLingerSeconds, [lingering] {});
}

inkora::SrgbColor KPPickerPix::colorAtMouseLocation() const
{
    return m_view->centerPixel();
}

bool KPPickerPix::catchedEvent(const platform::Event &event)
{
    // Both monitors may see the same input: the first one to report it ends the loupe.
    if (!hasMonitors())
        return false;
    switch (event.type) {
    case platform::EventType::KeyDown:
        keyDown(event);
        return true;
    case platform::EventType::MouseMoved:
        moved();
        return true;
    case platform::EventType::LeftMouseDown:
        mouseDown();
        return true;
    default:
        return false;
    }
}

void KPPickerPix::keyDown(const platform::Event &event)
{
    if (event.keyCode != platform::kKeyEscape)
        return;
    cleanUpMonitors();
    if (m_pickerView)
        m_pickerView->killThePicker();
}

void KPPickerPix::mouseDown()
{
    const inkora::SrgbColor c = colorAtMouseLocation();
    QPointer<KPColorPickerView> picker = m_pickerView;
    if (picker && c.isValid()) {
        picker->setColorSource(KPColorSourceScreenLoupe);
        picker->setColor(c);
        picker->invokeDelegate();
    }
    cleanUpMonitors();
    if (picker)
        picker->killThePicker();
}
