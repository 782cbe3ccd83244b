// The right button: the action its modifier keys choose, and the radial tool and swatch menus it holds open.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "objects/MRKOBallLayer.h"
#include "platform/CursorStack.h"
#include "platform/ImageLoader.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"
#include "platform/Transaction.h"
#include "tools/MRKOCircleMenu.h"
#include "tools/MRKOColorHueController.h"

#include <QCursor>

#include <array>
#include <cmath>

namespace {

constexpr double kMenuLength = 75.0; // points from the centre to the items
constexpr quint64 kOpenMenuAction = 19;
constexpr quint64 kToolMenuAction = 20;
constexpr quint64 kSwatchMenuAction = 21;
constexpr qint64 kNotificationsAlways = 1;
constexpr qint64 kNotificationsNever = 2;

// The modifier keys held at the last right press, for its release.
struct RightPress
{
    bool command = false;
    bool option = false;
    bool control = false;
};

RightPress &rightPress()
{
    static RightPress press;
    return press;
}

bool opensMenu(qint64 action)
{
    return action == kOpenMenuAction || action == kToolMenuAction || action == kSwatchMenuAction;
}

} // namespace

void MRKODraw::rightMouseDown(const platform::Event &event)
{
    RightPress &press = rightPress();
    press.command = event.modifierFlags & platform::kCommandFlag;
    press.option = event.modifierFlags & platform::kOptionFlag;
    press.control = event.modifierFlags & platform::kControlFlag;
    // A right press never raises the overlay: nothing here asks the window system to.
    const inkora::LiveSettings &live = inkora::liveSettings();
    const std::array<std::pair<bool, qint64>, 3> held = {{{press.command, live.rightClickCommandAction},
                                                          {press.option, live.rightClickOptionAction},
                                                          {press.control, live.rightClickControlAction}}};
    for (const auto &[down, action] : held) {
        if (down && opensMenu(action)) {
            invokeMouseDownExtraAction(quint64(action));
            return;
        }
    }
    for (const auto &[down, action] : held) {
        if (down && action != 0)
            return; // its action runs at the release
    }
    if (opensMenu(live.rightClickExtraAction)) {
        invokeMouseDownExtraAction(quint64(live.rightClickExtraAction));
        return;
    }
    // Text editing takes the press itself once an editor exists; nothing else on the canvas does.
}

void MRKODraw::invokeMouseDownExtraAction(quint64 action)
{
    switch (action) {
    case kOpenMenuAction:
        invokeOpenMenuAction();
        break;
    case kToolMenuAction:
        invokeCircleMenuAction();
        if (m_circleMenu)
            platform::services().cursorStack->push(QCursor(Qt::ArrowCursor));
        break;
    case kSwatchMenuAction:
        invokeCircleSwatchMenuAction();
        if (m_circleMenu)
            platform::services().cursorStack->push(QCursor(Qt::ArrowCursor));
        break;
    default:
        break;
    }
}

void MRKODraw::invokeOpenMenuAction()
{
    const QPointF pointer = mouseLocation();
    showMenuWithCustomFrame(QRectF(pointer.x() - 10, pointer.y() + 10, 1, 1));
}

void MRKODraw::invokeCircleMenuAction()
{
    if (MRKOCircleMenuProtocol *menu = circleMenu())
        menu->updateDownPoint();
}

void MRKODraw::invokeCircleSwatchMenuAction()
{
    if (MRKOCircleMenuProtocol *menu = circleSwatchMenu())
        menu->updateDownPoint();
}

std::unique_ptr<MRKOCircleMenuProtocol> MRKODraw::makeCircleMenu(const QRectF &frame, bool swatches)
{
    std::unique_ptr<MRKOCircleMenu> menu =
        swatches ? std::make_unique<MRKOCircleSwatchMenu>(frame) : std::make_unique<MRKOCircleMenu>(frame);
    menu->setMouseLocationProvider([this] { return mouseLocation(); });
    return menu;
}

MRKOCircleMenuProtocol *MRKODraw::circleMenu()
{
    if (m_circleMenu)
        return m_circleMenu.get();
    const QPointF pointer = mouseLocation();
    const QRectF frame(std::floor(pointer.x()) - 100, std::floor(pointer.y()) - 100, 200, 200);
    std::unique_ptr<MRKOCircleMenuProtocol> menu = makeCircleMenu(frame, false);
    if (!menu)
        return nullptr;
    static constexpr std::array<const char *, 7> kImages = {"BrushMedium", "QuickArrowMedium", "ArrowMedium",
                                                            "LineMedium",  "RectangleMedium",  "EllipseMedium",
                                                            "TextMedium"};
    QList<QImage> images;
    for (const char *name : kImages)
        images.append(platform::ImageLoader::namedImage(QLatin1String(name), m_displayScale));
    menu->setMenuImages(images, kMenuLength, m_displayScale, this,
                        [this](MRKOCircleMenuProtocol &chosen) { toolSelectedViaCircleMenu(chosen); });
    m_circleMenu = std::move(menu);
    platform::TransactionScope transaction(true);
    m_viewLayer->addSublayer(m_circleMenu->layer());
    return m_circleMenu.get();
}

MRKOCircleMenuProtocol *MRKODraw::circleSwatchMenu()
{
    if (m_circleMenu)
        return m_circleMenu.get();
    const QPointF pointer = mouseLocation();
    const QRectF frame(std::floor(pointer.x()) - 100, std::floor(pointer.y()) - 100, 200, 200);
    std::unique_ptr<MRKOCircleMenuProtocol> menu = makeCircleMenu(frame, true);
    if (!menu)
        return nullptr;
    menu->setMenuImages(MRKOColorHueController::sharedHueController().allSwatches(m_displayScale), kMenuLength,
                        m_displayScale, this,
                        [this](MRKOCircleMenuProtocol &chosen) { colorSwatchSelectedViaCircleMenu(chosen); });
    m_circleMenu = std::move(menu);
    platform::TransactionScope transaction(true);
    m_viewLayer->addSublayer(m_circleMenu->layer());
    return m_circleMenu.get();
}

void MRKODraw::removeCircleMenuIfNeeded()
{
    if (!m_circleMenu)
        return;
    // Taken out first: the menu's action may change the tool, which asks for the menu again.
    std::unique_ptr<MRKOCircleMenuProtocol> menu = std::move(m_circleMenu);
    menu->mouseUpped();
    {
        platform::TransactionScope transaction(true);
        menu->layer()->removeFromSuperlayer();
    }
    platform::services().cursorStack->pop();
}

void MRKODraw::rightMouseDragged(const platform::Event &event)
{
    if (m_circleMenu)
        m_circleMenu->mouseMoved(event);
}

void MRKODraw::rightMouseUp(const platform::Event &event)
{
    removeCircleMenuIfNeeded();
    updateCursorRectsAndTracking();
    selectWithEvent(event);
    updateColorBall();
    updateFlashlightIfNeeded();
    RightPress &press = rightPress();
    const inkora::LiveSettings &live = inkora::liveSettings();
    qint64 action = live.rightClickExtraAction;
    if (press.command && live.rightClickCommandAction != 0)
        action = live.rightClickCommandAction;
    else if (press.option && live.rightClickOptionAction != 0)
        action = live.rightClickOptionAction;
    else if (press.control && live.rightClickControlAction != 0)
        action = live.rightClickControlAction;
    if (action != 0)
        invokeExtraAction(quint64(action));
    else
        blinkForEvent(event);
    press = RightPress();
}

void MRKODraw::toolSelectedViaCircleMenu(MRKOCircleMenuProtocol &menu)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    const qint64 mode = delegate->notifications();
    if (mode != kNotificationsAlways)
        delegate->setNotifications(kNotificationsNever);
    changeToolForced(menu.toolType(), true);
    delegate->setNotifications(mode);
}

void MRKODraw::invokeExtraAction(quint64 action)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        (void)delegate->invokeExtraAction(action);
}

void MRKODraw::changeToolForced(quint64 toolType, bool forced)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeToolForcedOnActiveToolBar(toolType, forced);
}

void MRKODraw::colorSwatchSelectedViaCircleMenu(MRKOCircleMenuProtocol &menu)
{
    const quint64 index = menu.rawSelection();
    if (index > 9)
        return; // released outside every swatch
    colorByShortCutWithColorHueIndex(index);
}

void MRKODraw::colorByShortCutWithColorHueIndex(quint64 index)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->colorByShortCutWithColorHueIndex(index);
}

std::optional<QRectF> MRKODraw::statusBarButton() const
{
    const platform::StatusItem *item = platform::services().statusItem.get();
    if (!item || item->geometry().isEmpty())
        return std::nullopt;
    return item->geometry();
}

void MRKODraw::closeAllDrawable()
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->closeAllDrawableScreens();
}
