#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLayerTracking.h"
#include "canvas/MRKOWhiteBackController.h"
#include "canvas/MRKOWhiteBoardColorController.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/LayerCompositing.h"
#include "foundation/MRKOInkoraState.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"
#include "platform/Transaction.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr double kQuarterCornerRadius = 10; // points
constexpr double kGhostOpacity = 0.5;

QString hiddenKey(qint64 index)
{
    return QStringLiteral("wbHidden_%1").arg(index);
}

QString layoutKey(qint64 index)
{
    return QStringLiteral("wb_%1").arg(index);
}

} // namespace

QRectF MRKODraw::whiteBackCloseButtonRect() const
{
    if (!m_whiteBack)
        return {};
    const QRectF b = m_whiteBack->bounds();
    return {4, platform::maxY(b) - 21, 17, 17};
}

QRectF MRKODraw::whiteBackOptionsRect() const
{
    if (!m_whiteBack)
        return {};
    const QRectF b = m_whiteBack->bounds();
    return {23, platform::maxY(b) - 21, 17, 17};
}

QRectF MRKODraw::whiteBackMenuRect() const
{
    if (!m_whiteBack)
        return {};
    const QRectF b = m_whiteBack->bounds();
    return {platform::maxX(b) - 31, platform::maxY(b) - 25, 26, 22};
}

void MRKODraw::whiteBackSemiTransparent()
{
    if (!m_whiteBack)
        return;
    platform::TransactionScope transaction(true);
    m_whiteBack->setOpacity(kGhostOpacity);
    for (const platform::LayerPtr &button : m_whiteBack->sublayers())
        button->setOpacity(0);
}

void MRKODraw::whiteBackFullOpaque()
{
    if (!m_whiteBack)
        return;
    platform::TransactionScope transaction(true);
    m_whiteBack->setOpacity(1);
    for (const platform::LayerPtr &button : m_whiteBack->sublayers())
        button->setOpacity(1);
}

void MRKODraw::updateWhiteboardSettings()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    m_wbLayout = defaults.integerForKey(layoutKey(m_index));
    m_wbHidden = defaults.boolForKey(hiddenKey(m_index));
}

void MRKODraw::makeWhiteBack()
{
    if (screenDisabled() || m_whiteBack || m_wbHidden)
        return;
    {
        platform::TransactionScope transaction(true);
        m_whiteBack = platform::Layer::create();
        m_whiteBack->setFrame(bounds());
        m_backRoot->insertSublayer(m_whiteBack, 0);
        updateWhiteBackFrame();
        updateWhiteBackColor();
        m_wbController = std::make_unique<MRKOWhiteBackController>();
        const auto button = [this](const QRectF &frame, const QString &image) {
            auto layer = platform::Layer::create();
            layer->setFrame(frame);
            m_whiteBack->addSublayer(layer);
            return MRKOLayerTracking::layerTracking(layer, image, m_displayScale);
        };
        m_wbController->closeWhiteBackTracking = button(whiteBackCloseButtonRect(), QStringLiteral("MRKOCloseOval"));
        m_wbController->menuWhiteBackTracking = button(whiteBackMenuRect(), QStringLiteral("MRKOStatusBar"));
        m_wbController->optionsTracking = button(whiteBackOptionsRect(), QStringLiteral("MRKOOtherOval"));
    }
    if (AppDelegate *delegate = AppDelegate::shared(); delegate && delegate->isPinnedOnTop())
        whiteBackSemiTransparent();
    updateTrackingAreas();
}

void MRKODraw::removeWhiteBack()
{
    if (m_whiteBack) {
        platform::TransactionScope transaction(true);
        m_whiteBack->removeFromSuperlayer();
    }
    m_whiteBack.reset();
    updateTrackingAreas();
    m_wbController.reset();
}

QRectF MRKODraw::whiteBackFrame() const
{
    return MRKOInkoraStateUtils::whiteboardRectWithRect(bounds(), m_wbLayout);
}

void MRKODraw::updateWhiteBackFrame()
{
    if (!m_whiteBack)
        return;
    platform::TransactionScope transaction(true);
    m_whiteBack->setFrame(whiteBackFrame());
    m_whiteBack->setCornerRadius(m_wbLayout >= MRKOWhiteboardLayoutTopLeft ? kQuarterCornerRadius : 0);
    m_whiteBack->setMasksToBounds(true);
    // The buttons keep their corners: close and options at the top left, the menu at the top right.
    if (m_wbController) {
        const std::pair<const std::shared_ptr<MRKOLayerTracking> &, QRectF> buttons[] = {
            {m_wbController->closeWhiteBackTracking, whiteBackCloseButtonRect()},
            {m_wbController->optionsTracking, whiteBackOptionsRect()},
            {m_wbController->menuWhiteBackTracking, whiteBackMenuRect()},
        };
        for (const auto &[tracker, frame] : buttons) {
            if (const platform::LayerPtr layer = tracker ? tracker->layer() : nullptr)
                layer->setFrame(frame);
        }
    }
}

void MRKODraw::updateWhiteBackColor()
{
    if (!m_whiteBack)
        return;
    platform::TransactionScope transaction(true);
    m_whiteBack->setBackgroundColor(
        MRKOWhiteBoardColorController::whiteboardColor(inkora::liveSettings().whiteBoardColorType));
}

void MRKODraw::updateWhiteBackLayout()
{
    if (m_wbController && m_wbController->optionsTracking)
        m_wbController->optionsTracking->exitMouse();
    updateWhiteBackFrame();
    updateTrackingAreas();
}

void MRKODraw::whiteBoardLayoutSelected(qint64 tag)
{
    MRKOUtils::userDefaults().setInteger(tag, layoutKey(m_index));
    m_wbLayout = tag;
    updateWhiteBackLayout();
}

void MRKODraw::whiteBoardColorSelected(qint64 tag)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(tag, QStringLiteral("WhiteBoardColor"));
    defaults.synchronize();
    inkora::liveSettings().whiteBoardColorType = tag;
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate || !delegate->isWhiteboardOn())
        return;
    for (MRKODraw *canvas : delegate->drawViews())
        canvas->updateWhiteBackColor();
}

void MRKODraw::hideWhiteBoardSelected()
{
    disableWhiteboard();
    MRKOUtils::userDefaults().setBool(true, hiddenKey(m_index));
    removeWhiteBack();
    // The whiteboard moves on to the next display; a canvas no controller holds (the quick tour's) has none.
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    const QList<MRKOWindowController *> controllers = delegate->windowControllersArray();
    qsizetype own = -1;
    for (qsizetype i = 0; i < controllers.size(); ++i) {
        if (controllers.at(i)->drawView() == this)
            own = i;
    }
    if (own < 0)
        return;
    MRKODraw *next = controllers.at((own + 1) % controllers.size())->drawView();
    if (!next)
        return;
    MRKOUtils::userDefaults().removeObjectForKey(hiddenKey(next->index()));
    next->enableWhiteboard();
    next->makeWhiteBack();
}

void MRKODraw::showAllWhiteBoards()
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->enableAllWhiteboards();
}

bool MRKODraw::whiteboardButtonsTakePress(QPointF point)
{
    if (!m_whiteBack || !m_wbController)
        return false;
    const auto inside = [point](const platform::TrackingAreaPtr &area) { return area && area->rect().contains(point); };
    if (inside(m_wbController->closeWhiteBackTrackingArea)) {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->setWhiteboard(false);
        return true;
    }
    if (inside(m_wbController->optionsTrackingArea)) {
        showWhiteboardMenuWithCustomFrame(m_wbController->optionsTrackingArea->rect());
        return true;
    }
    if (inside(m_wbController->menuWhiteBackTrackingArea)) {
        showMenuWithCustomFrame(m_wbController->menuWhiteBackTrackingArea->rect());
        return true;
    }
    return false;
}

inkora::CaptureDisplay MRKODraw::captureDisplay() const
{
    inkora::CaptureDisplay display;
    const QWidget *overlay = window();
    if (const auto *w = qobject_cast<const MRKOWindow *>(overlay))
        display.frame = w->currentScreenFrame();
    else
        display.frame = platform::frameFromQt(overlay->geometry());
    const QScreen *primary = QGuiApplication::primaryScreen();
    display.firstFrame = primary ? platform::frameFromQt(primary->geometry()) : display.frame;
    display.scale = m_displayScale;
    return display;
}

void MRKODraw::makeFrozenBack()
{
    if (m_frozenBack)
        return;
    QImage image = inkora::fullScreenRepWithWindowID(quint64(window()->winId()), captureDisplay(), false);
    platform::TransactionScope transaction(true);
    m_frozenBack = platform::Layer::create();
    m_frozenBack->setFrame(bounds());
    m_frozenBack->setContentsScale(m_displayScale);
    if (!image.isNull())
        m_frozenBack->setContents(std::make_shared<const QImage>(std::move(image)));
    m_backRoot->insertSublayer(m_frozenBack, 0);
}

void MRKODraw::removeFrozenBack()
{
    if (!m_frozenBack)
        return;
    platform::TransactionScope transaction(true);
    m_frozenBack->removeFromSuperlayer();
    m_frozenBack.reset();
}
