#include "canvas/MRKOWindowController.h"

#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOFrontmostApp.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOScreensController.h"
#include "canvas/MRKOWindow.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"
#include "platform/WindowStack.h"
#include "tools/MRKOToolPanel.h"
#include "tools/MRKOTools.h"
#include "tools/ToolBarRemote.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <cmath>

namespace {

constexpr double kToolPanelWidth = 60;   // points
constexpr double kToolPanelHeight = 446; // points
const QString kToolPanelFrameKey = QStringLiteral("ToolPanelFrameKey");
const QString kActivateToolsKey = QStringLiteral("activateToolsKey");

} // namespace

// The local monitor of the window-level change: the first left press anywhere in the program puts the window back
// at its level before the press goes on to the window under the pointer.
class MRKOWindowController::LevelMonitor final : public QObject
{
public:
    explicit LevelMonitor(MRKOWindowController *controller) : m_controller(controller)
    {
        qApp->installEventFilter(this);
    }
    ~LevelMonitor() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        // Qt delivers the press to the widget under the pointer afterwards, which is where it would be re-sent.
        platform::DispatchQueue::main().async([controller = QPointer<MRKOWindowController>(m_controller)] {
            if (controller)
                controller->handleMouseDownEvent();
        });
        return false;
    }

private:
    MRKOWindowController *m_controller = nullptr; // not owned; owns this monitor
};

MRKOWindowController::MRKOWindowController(std::unique_ptr<MRKOWindow> window) : m_window(std::move(window))
{
    m_window->setWindowController(this);
    if (QWindow *handle = m_window->windowHandle())
        connect(handle, &QWindow::screenChanged, this, &MRKOWindowController::drawWindowDidChangeScreen);
}

MRKOWindowController::~MRKOWindowController()
{
    m_mouseDownLocalMonitor.reset();
    if (m_toolSticker)
        delete m_toolSticker.data(); // a child window of the overlay window, gone with it anyway
    if (m_window)
        m_window->setWindowController(nullptr);
}

std::optional<platform::ScreenInfo> MRKOWindowController::firstScreen()
{
    const AppDelegate *delegate = AppDelegate::shared();
    const QList<platform::ScreenInfo> screens =
        delegate ? delegate->overlayScreens() : MRKOScreensController::screens();
    if (screens.isEmpty())
        return std::nullopt;
    return screens.first();
}

QRectF MRKOWindowController::defaultToolPanelFrame(double screenHeight)
{
    return QRectF(0, screenHeight - std::ceil(0.125 * screenHeight + kToolPanelHeight), kToolPanelWidth,
                  kToolPanelHeight);
}

void MRKOWindowController::showWindow()
{
    m_window->orderFront();
    m_screenFrame = m_window->currentScreenFrame();
    const std::optional<platform::ScreenInfo> first = firstScreen();
    if (!first || first->number != m_screenNumber)
        return;
    makeToolPanelIfNeeded();
    if (m_toolsHidden)
        keepTouchBarHideToolbarIfNeeded();
    else if (m_activateTools)
        appearToolPanel();
    else
        makeToolSticker();
}

bool MRKOWindowController::isScreenOriginsEqual() const
{
    return m_window->currentScreenFrame().topLeft() == m_screenFrame.topLeft();
}

void MRKOWindowController::drawWindowDidChangeScreen()
{
    if (isScreenOriginsEqual())
        return;
    qCInfo(lcCanvas) << "Remove exceeded drawing surface. Screen frame origins are not equal.";
    m_window->orderOut();
}

void MRKOWindowController::updateWindowWithScreen(const platform::ScreenInfo &screen)
{
    const QSizeF oldSize = m_screenFrame.size();
    m_screenFrame = screen.frame;
    m_screenNumber = screen.number;
    translateToolPanelWithOldFrameSize(oldSize);
    m_window->setFrame(m_screenFrame);
    if (m_drawView)
        m_drawView->updateFrameIfNeededWithNewFrame(QRectF(QPointF(0, 0), m_screenFrame.size()));
}

// ---------------------------------------------------------------------------------------------------------------
// Tool panel

void MRKOWindowController::tryLoadToolFrame()
{
    const QString stored = MRKOUtils::userDefaults().stringForKey(kToolPanelFrameKey);
    if (!stored.isEmpty()) {
        if (const auto frame = platform::rectFromString(stored); frame && *frame != QRectF()) {
            m_toolsFrame = *frame;
            return;
        }
    }
    m_toolsFrame = defaultToolPanelFrame(m_window->currentScreenFrame().height());
}

void MRKOWindowController::saveToolFrame()
{
    if (!m_toolPanel)
        return;
    m_toolsFrame = m_toolPanel->frame().translated(-m_toolPanel->screenFrame().topLeft());
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setObject(platform::rectToString(m_toolsFrame), kToolPanelFrameKey);
    defaults.synchronize();
}

void MRKOWindowController::translateToolPanelWithOldFrameSize(const QSizeF &oldSize)
{
    if (!m_toolPanel || oldSize.isEmpty())
        return;
    const QRectF frame = m_toolsFrame;
    const double newHeight = m_screenFrame.height();
    const double fromTop = (oldSize.height() - (frame.y() + frame.height())) / oldSize.height();
    m_toolsFrame = QRectF(frame.x(), newHeight - (std::floor(fromTop * newHeight) + kToolPanelHeight), frame.width(),
                          frame.height());
    m_toolPanel->setFrame(m_toolsFrame.translated(m_screenFrame.topLeft()));
    saveToolFrame();
    qCInfo(lcCanvas) << "adjustToolFrameOriginWithOldFrameSize";
}

void MRKOWindowController::makeToolPanelIfNeeded()
{
    if (m_toolsController)
        return;
    tryLoadToolFrame();
    // The saved frame is relative to the display's origin.
    const QRectF displayFrame = m_window->currentScreenFrame();
    auto *panel = new MRKOToolPanel(m_toolsFrame.translated(displayFrame.topLeft()), *m_window); // child window
    auto *tools = new MRKOTools(); // owned by the panel from the next line
    tools->setDelegate(this);
    panel->setContentViewController(tools);
    m_toolPanel = panel;
    tools->setDrawView(m_drawView);
    if (m_drawView) {
        m_drawView->setWindowController(this);
        tools->setToolType(m_drawView->toolType());
        tools->setColorType(quint64(m_drawView->colorType()));
        tools->setDissolveMode(quint64(m_drawView->dissolveMode()));
    }
    m_toolsController = tools;
}

void MRKOWindowController::bringToolPanelOnFrontIfNeeded()
{
    if (m_activateTools && !m_toolsHidden && m_toolPanel) {
        m_toolPanel->orderFront();
        m_toolPanel->makeKeyWindow();
        m_toolPanel->makeContentViewAsFirstResponder();
    } else {
        keepTouchBarHideToolbarIfNeeded();
    }
}

void MRKOWindowController::appearToolPanel()
{
    if (!m_toolPanel)
        return;
    m_toolPanel->setAlphaValue(1.0);
    if (const AppDelegate *delegate = AppDelegate::shared(); delegate && delegate->keepTouchBarWToolbar())
        activateToolPanel();
    updatePreventOrderingOverlay();
}

void MRKOWindowController::activateToolPanel()
{
    if (!m_toolPanel)
        return;
    m_toolPanel->makeKeyWindow();
    m_toolPanel->makeContentViewAsFirstResponder();
}

void MRKOWindowController::updatePreventOrderingOverlay()
{
    if (!m_toolsController)
        return;
    if (const AppDelegate *delegate = AppDelegate::shared(); delegate && delegate->keepTouchBarWToolbar())
        m_toolsController->removePreventOrderingOverlayIfNeeded();
    else
        m_toolsController->makePreventOrderingOverlay();
}

void MRKOWindowController::disappearToolPanel()
{
    if (m_toolPanel)
        m_toolPanel->setAlphaValue(0.0);
}

void MRKOWindowController::keepTouchBarHideToolbarIfNeeded()
{
    if (const AppDelegate *delegate = AppDelegate::shared(); delegate && delegate->keepTouchBarWOToolbar())
        keepTouchBarHideToolbar();
}

void MRKOWindowController::keepTouchBarHideToolbar()
{
    if (!m_toolPanel)
        return;
    m_toolPanel->setAlphaValue(0.0);
    if (const AppDelegate *delegate = AppDelegate::shared(); delegate && !delegate->isPinnedOnTop())
        activateToolPanel();
}

void MRKOWindowController::renewToolbarKeyStatus()
{
    if (m_toolPanel && m_toolPanel->alphaValue() == 1.0)
        appearToolPanel();
    else
        keepTouchBarHideToolbar();
}

void MRKOWindowController::makeToolSticker()
{
    tryLoadToolFrame();
    if (m_toolSticker)
        return;
    // A small tab at the left edge, beside where the panel was; a click restores the panel.
    auto *sticker = new QWidget(m_window.get(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                                    Qt::WindowDoesNotAcceptFocus |
                                                    Qt::X11BypassWindowManagerHint); // child window of the overlay
    sticker->setAttribute(Qt::WA_ShowWithoutActivating);
    sticker->setStyleSheet(QStringLiteral("background: rgba(40, 40, 40, 220);"));
    const double y = m_toolsFrame.y() + m_toolsFrame.height() * 0.5 - 20; // points from the display's bottom
    const QRect overlay = m_window->geometry();
    sticker->setGeometry(QRect(overlay.x(), int(overlay.y() + overlay.height() - (y + 40)), 19, 40));
    auto *button = new QPushButton(QStringLiteral("›"), sticker); // child
    button->setFlat(true);
    button->setGeometry(0, 0, 20, 40);
    connect(button, &QPushButton::clicked, this, &MRKOWindowController::showTools);
    m_toolSticker = sticker;
    platform::WindowStack::shared().setLevel(*sticker, m_window->level() + 1); // above its overlay
    if (m_window->isVisible()) {
        sticker->show();
        platform::WindowStack::shared().orderFront(*sticker);
    }
}

void MRKOWindowController::showTools()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setBool(true, kActivateToolsKey);
    m_activateTools = true;
    defaults.synchronize();
    updateActivateTools();
    if (m_toolSticker) {
        m_toolSticker->hide();
        delete m_toolSticker.data();
    }
    makeToolPanelIfNeeded();
    appearToolPanel();
}

void MRKOWindowController::hideTools()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setBool(false, kActivateToolsKey);
    m_activateTools = false;
    defaults.synchronize();
    updateActivateTools();
    saveToolFrame();
    disappearToolPanel();
    m_window->orderFront();
    makeToolSticker();
}

void MRKOWindowController::updateActivateTools()
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeActivateTools(m_activateTools);
}

void MRKOWindowController::resetCurrentCursor()
{
    if (m_drawView)
        m_drawView->update();
}

void MRKOWindowController::setToolsHidden(bool hidden)
{
    m_toolsHidden = hidden;
    if (m_toolSticker) {
        showTools();
    } else if (m_toolPanel) {
        if (hidden) {
            const AppDelegate *delegate = AppDelegate::shared();
            if (delegate && delegate->keepTouchBarWOToolbar()) {
                keepTouchBarHideToolbar();
            } else {
                disappearToolPanel();
                m_window->orderFront();
            }
        } else {
            appearToolPanel();
        }
        resetCurrentCursor();
    }
    platform::DispatchQueue::main().after(0.2, [] { MRKOFrontmostApp::updateFrontmostApp(); });
    if (inkora::ToolBarRemote &remote = inkora::toolBarRemote(); remote.isConnected())
        remote.sendToolBarHidden(hidden);
}

void MRKOWindowController::setScreenDisabled(bool disabled)
{
    m_screenDisabled = disabled;
    if (m_drawView)
        m_drawView->setScreenDisabled(disabled);
    m_window->setIgnoresMouseEvents(disabled);
}

MRKODraw *MRKOWindowController::drawView() const
{
    return m_drawView;
}

void MRKOWindowController::setDrawView(MRKODraw *drawView)
{
    m_drawView = drawView;
    if (!drawView)
        return;
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    drawView->setToolType(quint64(defaults.integerForKey(QStringLiteral("ToolTypeKey"))));
    drawView->setDissolveMode(defaults.integerForKey(QStringLiteral("DissolveModeKey")));
    drawView->setColorType(defaults.integerForKey(QStringLiteral("ColorTypeKey")));
    drawView->setThickness(quint64(defaults.integerForKey(QStringLiteral("AllToolsThicknessKey"))));
    drawView->setScreenDisabled(m_screenDisabled);
}

MRKOToolPanel *MRKOWindowController::toolPanel() const
{
    return m_toolPanel;
}

MRKOTools *MRKOWindowController::toolsController() const
{
    return m_toolsController;
}

// ---------------------------------------------------------------------------------------------------------------
// The tool bar's reports

void MRKOWindowController::toolTypeChanged(quint64 toolType)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeToolType(toolType);
}

void MRKOWindowController::colorTypeChanged(quint64 colorType)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeColorType(colorType);
}

void MRKOWindowController::toolThicknessChanged(quint64 thickness)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeToolThickness(thickness);
}

void MRKOWindowController::dissolveModeChanged(quint64 mode)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeDissolveMode(qint64(mode));
}

void MRKOWindowController::colorDidChanged(const inkora::SrgbColor &color)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->changeColor(color);
}

void MRKOWindowController::hideTools(const QObject *)
{
    hideTools();
}

void MRKOWindowController::undo(const QObject *)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->undoWithEvent(nullptr);
}

void MRKOWindowController::redo(const QObject *)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->redoWithEvent(nullptr);
}

void MRKOWindowController::repeat(const QObject *)
{
    if (AppDelegate *delegate = AppDelegate::shared();
        delegate && delegate->respondsToAction(QStringLiteral("repeatLastAction:")))
        delegate->performAction(QStringLiteral("repeatLastAction:"), nullptr);
}

void MRKOWindowController::closeApp(const QObject *sender)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    if (!sender)
        delegate->closeAllDrawableScreens();
    else
        delegate->showHideToolbar(nullptr);
}

// ---------------------------------------------------------------------------------------------------------------
// Window level

void MRKOWindowController::preperaToChangeWindowLevel()
{
    setUpMonitors();
}

void MRKOWindowController::setUpMonitors()
{
    removeMonitors();
    m_mouseDownLocalMonitor = std::make_unique<LevelMonitor>(this);
}

void MRKOWindowController::removeMonitors()
{
    m_mouseDownLocalMonitor.reset();
}

void MRKOWindowController::handleMouseDownEvent()
{
    updateWindowLevel();
}

void MRKOWindowController::updateWindowLevel()
{
    m_window->setLevel(MRKOAppLevel::appLevel().level());
    bringToolPanelOnFrontIfNeeded();
    removeMonitors();
}
