#include "canvas/OverlayShape.h"

#include "canvas/MRKOWindow.h"
#include "foundation/InkoraLog.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"

#include <QChildEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <vector>

namespace inkora {

QRegion paintedRegion(const QImage &image, const QRect &rect)
{
    const QRect area = rect & image.rect();
    std::vector<QRect> runs;
    // Alpha is the last byte of each pixel in the formats painted here (premultiplied RGBA and ARGB32 on little
    // endian machines alike read the alpha from the same place through qAlpha).
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = area.left();
        while (x <= area.right()) {
            while (x <= area.right() && qAlpha(line[x]) == 0)
                ++x;
            const int start = x;
            while (x <= area.right() && qAlpha(line[x]) != 0)
                ++x;
            if (x > start)
                runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

OverlayShape::OverlayShape(QWidget &window) : QObject(&window), m_window(window)
{
    auto &windowSystem = platform::services().windowSystem;
    if (!windowSystem)
        return;
    m_compositingMonitor = windowSystem->addCompositingMonitor([this](bool compositing) { setShaped(!compositing); });
    watch(&m_window);
    // Raising the overlay over another program's window leaves the catcher under that window.
    platform::WindowStack::shared().addRestackObserver(this, [this] {
        if (m_catching)
            platform::services().windowSystem->setPointerCatcher(m_window, true);
    });
    m_shaped = !windowSystem->hasCompositingManager();
    if (m_shaped)
        qCInfo(lcCanvas) << "OverlayShape: no compositing manager; the overlay shows only its ink";
}

OverlayShape::~OverlayShape() = default;

void OverlayShape::watch(QObject *object)
{
    object->installEventFilter(this);
    for (QObject *child : object->children()) {
        if (child->isWidgetType())
            watch(child);
    }
}

bool OverlayShape::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (QObject *child = static_cast<QChildEvent *>(event)->child(); child && child->isWidgetType())
            watch(child);
        break;
    case QEvent::Paint:
        if (m_shaped && !m_rendering) {
            auto *widget = static_cast<QWidget *>(watched);
            const QRegion region = static_cast<QPaintEvent *>(event)->region();
            m_dirty += widget == &m_window ? region : region.translated(widget->mapTo(&m_window, QPoint()));
            scheduleFrame();
        }
        break;
    case QEvent::Show:
        if (watched == &m_window) {
            if (m_shaped)
                rebuild();
            updatePointerCatcher();
        }
        break;
    case QEvent::Hide:
        if (watched == &m_window)
            updatePointerCatcher();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == &m_window && m_catching)
            updatePointerCatcher();
        break;
    default:
        break;
    }
    return false;
}

void OverlayShape::setShaped(bool shaped)
{
    if (shaped == m_shaped)
        return;
    m_shaped = shaped;
    qCInfo(lcCanvas) << (shaped ? "OverlayShape: the compositing manager stopped; the overlay shows only its ink"
                                : "OverlayShape: a compositing manager runs; the overlay is transparent");
    if (shaped)
        rebuild();
    else if (m_window.testAttribute(Qt::WA_WState_Created))
        platform::services().windowSystem->removeWindowShape(m_window);
    m_dirty = QRegion();
    updatePointerCatcher();
}

void OverlayShape::updatePointerCatcher()
{
    const auto *overlay = qobject_cast<const MRKOWindow *>(&m_window);
    const bool catching = m_shaped && m_window.isVisible() && !(overlay && overlay->ignoresMouseEvents());
    if (!catching && !m_catching)
        return;
    m_catching = catching;
    platform::services().windowSystem->setPointerCatcher(m_window, catching);
}

void OverlayShape::scheduleFrame()
{
    if (m_framePending)
        return;
    m_framePending = true;
    // After the paint that reported the change, once per turn of the event loop however many paints came.
    QTimer::singleShot(0, this, [this] {
        m_framePending = false;
        applyFrame();
    });
}

QRect OverlayShape::deviceRect(const QRect &logical) const
{
    const double scale = m_window.devicePixelRatioF();
    return QRectF(logical.x() * scale, logical.y() * scale, logical.width() * scale, logical.height() * scale)
        .toAlignedRect();
}

void OverlayShape::applyFrame()
{
    if (!m_shaped || m_dirty.isEmpty() || !m_window.isVisible()) {
        m_dirty = QRegion();
        return;
    }
    const QRect logical = m_dirty.boundingRect() & m_window.rect();
    m_dirty = QRegion();
    if (logical.isEmpty())
        return;
    const QRect device = deviceRect(logical);
    QImage image(device.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_window.devicePixelRatioF());
    image.fill(Qt::transparent);
    m_rendering = true;
    m_window.render(&image, QPoint(), QRegion(logical), QWidget::DrawChildren);
    m_rendering = false;
    const QRegion painted = paintedRegion(image, image.rect()).translated(device.topLeft());
    platform::services().windowSystem->updateWindowShape(m_window, QRegion(device), painted);
}

void OverlayShape::rebuild()
{
    if (!m_window.testAttribute(Qt::WA_WState_Created))
        return;
    const QRect logical = m_window.rect();
    const QRect device = deviceRect(logical);
    QImage image(device.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_window.devicePixelRatioF());
    image.fill(Qt::transparent);
    m_rendering = true;
    m_window.render(&image, QPoint(), QRegion(logical), QWidget::DrawChildren);
    m_rendering = false;
    platform::services().windowSystem->updateWindowShape(m_window, QRegion(), paintedRegion(image, image.rect()));
}

} // namespace inkora
