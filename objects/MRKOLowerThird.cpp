#include "objects/MRKOLowerThird.h"

#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Animation.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/LayerWidget.h"
#include "platform/Services.h"
#include "platform/TextLayer.h"
#include "platform/Transaction.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"

#include <QScreen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kWindowLevel = 1500;
constexpr double kPerspectiveDistance = 700; // points: the entry that adds z/700 to w
const QString kAppearKey = QStringLiteral("lowerThirdAppear");
const QString kHideKey = QStringLiteral("lowerThirdHide");

double clampedFactor(double value, double nanValue, double low, double high)
{
    if (std::isnan(value))
        value = nanValue;
    return std::clamp(value, low, high);
}

inkora::SrgbColor colorSetting(const QString &key, const inkora::SrgbColor &fallback)
{
    const inkora::SrgbColor stored = ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), key);
    return stored.isValid() ? stored : fallback;
}

QString textSetting(const QString &key, const QString &fallback)
{
    const QVariant stored = MRKOUtils::userDefaults().objectForKey(key);
    return stored.typeId() == QMetaType::QString ? stored.toString() : fallback;
}

std::shared_ptr<platform::BasicAnimation> basic(const QString &key, double duration)
{
    auto animation = std::make_shared<platform::BasicAnimation>(key);
    animation->setDuration(duration);
    animation->setFillMode(platform::Animation::FillMode::Forwards);
    animation->setRemovedOnCompletion(false);
    return animation;
}

std::shared_ptr<platform::AnimationGroup> group(std::vector<std::shared_ptr<platform::Animation>> animations)
{
    auto g = std::make_shared<platform::AnimationGroup>();
    g->setAnimations(std::move(animations));
    g->setDuration(2.2);
    g->setTimingFunction(platform::TimingFunction());
    g->setFillMode(platform::Animation::FillMode::Forwards);
    g->setRemovedOnCompletion(false);
    return g;
}

} // namespace

MRKOLowerThird::Settings MRKOLowerThird::storedSettings()
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    Settings s;
    s.title = textSetting(QStringLiteral("LowerThirdTitle"), QStringLiteral("Your Name"));
    s.subtitle = textSetting(QStringLiteral("LowerThirdSubTitle"), QStringLiteral("Great Tutorial"));
    s.titleForegroundColor = colorSetting(QStringLiteral("LowerThirdTitleForegroundColor"), {1, 1, 1, 1});
    s.titleBackgroundColor =
        colorSetting(QStringLiteral("LowerThirdTitleBackgroundColor"), inkora::SrgbColor(OnOffColor::iconOnColor()));
    s.subtitleForegroundColor = colorSetting(QStringLiteral("LowerThirdSubTitleForegroundColor"), {0, 0, 0, 1});
    s.subtitleBackgroundColor = colorSetting(QStringLiteral("LowerThirdSubTitleBackgroundColor"), {1, 1, 1, 1});
    s.animationPreset = defaults.integerForKey(QStringLiteral("LowerThirdAnimationPreset"));
    s.sizeScale = clampedFactor(defaults.doubleForKey(QStringLiteral("kLowerThirdSizeScale")), 0.5, 0.5, 1.5);
    s.cornerRadius = clampedFactor(defaults.doubleForKey(QStringLiteral("kLowerThirdCornerRadius")), 0, 0, 1);
    s.titleWidth = clampedFactor(defaults.doubleForKey(QStringLiteral("LowerThirdTitleWidth")), 0.5, 0.5, 1.5);
    s.subtitleWidth = clampedFactor(defaults.doubleForKey(QStringLiteral("LowerThirdSubTitleWidth")), 0.5, 0.5, 1.5);
    return s;
}

std::unique_ptr<MRKOLowerThird> MRKOLowerThird::lowerThirdWithDrawView(MRKODraw *canvas)
{
    return std::make_unique<MRKOLowerThird>(canvas);
}

MRKOLowerThird::MRKOLowerThird(MRKODraw *canvas) : m_drawView(canvas)
{
    m_sizeScale = 1.0;
    m_cornerRadius = 0.5;
    createWindow();
}

MRKOLowerThird::~MRKOLowerThird()
{
    stopAllAnimations();
}

MRKODraw *MRKOLowerThird::drawView() const
{
    return static_cast<MRKODraw *>(m_drawView.data());
}

platform::Layer *MRKOLowerThird::contentViewLayer() const
{
    return m_window ? m_window->rootLayer().get() : nullptr;
}

void MRKOLowerThird::createWindow()
{
    // Frameless, transparent, click-through, on every desktop, above the overlay: nothing may take it down but
    // the show's end.
    m_window = std::make_unique<platform::LayerWidget>();
    m_window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::NoDropShadowWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                             Qt::X11BypassWindowManagerHint);
    m_window->setAttribute(Qt::WA_TranslucentBackground);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setWindowTitle(QStringLiteral("Lower Third"));
    const QWidget *canvasWindow = m_drawView ? m_drawView->window() : nullptr;
    if (!canvasWindow)
        return; // no display to show on: the bars are laid out for a window of no size
    m_onDisplay = true;
    m_window->setGeometry(canvasWindow->geometry());
    if (QScreen *screen = canvasWindow->screen())
        m_window->setScreen(screen);
    m_window->winId();
    platform::services().windowSystem->prepareFloatingWindow(*m_window);
    platform::WindowStack::shared().setLevel(*m_window, kWindowLevel);
    m_window->show();
    platform::WindowStack::shared().orderFront(*m_window);
}

void MRKOLowerThird::showIfNeeded()
{
    if (!m_titleContainer)
        showLowerThirdsForAnimation(false);
}

void MRKOLowerThird::animateIfNeeded()
{
    if (m_titleContainer)
        return;
    showLowerThirdsForAnimation(true);
    applyAnimation();
}

void MRKOLowerThird::forceAnimate()
{
    {
        platform::TransactionScope transaction(true);
        for (const platform::LayerPtr &bar : {m_titleContainer, m_subtitleContainer}) {
            if (!bar)
                continue;
            bar->removeAllAnimations();
            bar->removeFromSuperlayer();
        }
    }
    if (!m_titleContainer)
        showLowerThirdsForAnimation(true);
    applyAnimation();
}

void MRKOLowerThird::liveUpdateLowerThird()
{
    loadLowerThirdSettings();
    stopAllAnimations();
    resetTransform();
    updateLayersProperties();
}

void MRKOLowerThird::loadLowerThirdSettings()
{
    const Settings s = storedSettings();
    m_titleString = s.title;
    m_subtitleString = s.subtitle;
    m_titleForegroundColor = s.titleForegroundColor;
    m_titleBackgroundColor = s.titleBackgroundColor;
    m_subtitleForegroundColor = s.subtitleForegroundColor;
    m_subtitleBackgroundColor = s.subtitleBackgroundColor;
    m_animationPreset = s.animationPreset;
    m_sizeScale = s.sizeScale;
    m_cornerRadius = s.cornerRadius;
    m_titleWidth = s.titleWidth;
    m_subtitleWidth = s.subtitleWidth;
}

void MRKOLowerThird::createLayersIfNeeded()
{
    if (m_titleContainer)
        return;
    m_titleContainer = platform::Layer::create();
    m_subtitleContainer = platform::Layer::create();
    m_titleLayer = platform::TextLayer::create();
    m_subTitleLayer = platform::TextLayer::create();
    m_titleContainer->addSublayer(m_titleLayer);
    m_subtitleContainer->addSublayer(m_subTitleLayer);
}

void MRKOLowerThird::updateLayersProperties()
{
    if (!m_titleContainer)
        return;
    const double W = contentBounds().width();
    const double H = contentBounds().height();
    const double s = m_sizeScale;
    const double c = m_cornerRadius;
    const double scale = m_window ? m_window->devicePixelRatioF() : 1.0;

    const double tw = std::ceil(0.27 * W * s * m_titleWidth);
    const double th = 2 * std::ceil(0.07 * H * s);
    const double x0 = std::ceil(0.05 * W);
    m_titleContainer->setFrame(QRectF(x0, 0.2 * H, 2 * tw, th));
    m_titleContainerWidth = 2 * tw;
    m_titleContainer->setBackgroundColor(m_titleBackgroundColor.toQColor());
    m_titleContainer->setCornerRadius(std::floor(c * th / 2));

    const double fs = 2 * std::ceil(0.25 * th);
    const double lh = 2 * std::ceil(0.6 * fs);
    m_titleLayer->setFrame(QRectF(std::floor(th / 2), std::ceil(th / 2 - lh / 2), 2 * tw - th, lh));
    m_titleLayer->setFontSize(fs);
    m_titleLayer->setForegroundColor(m_titleForegroundColor.toQColor());
    if (m_titleLayer->string() != m_titleString)
        m_titleLayer->setString(m_titleString);
    m_titleLayer->setAlignmentMode(platform::TextLayer::Alignment::Left);
    m_titleLayer->setTruncationMode(platform::TextLayer::Truncation::End);
    m_titleLayer->setContentsScale(scale);

    const double sw = 2 * std::ceil(0.19 * W * s * m_subtitleWidth);
    const double sh = 2 * std::ceil(0.045 * H * s);
    m_subtitleContainer->setFrame(QRectF(x0, 0.2 * H - sh - 6.0, sw, sh));
    m_subtitleContainer->setBackgroundColor(m_subtitleBackgroundColor.toQColor());
    m_subtitleContainer->setCornerRadius(std::floor(c * sh / 2));
    m_subtitleContainer->setZPosition(1000.0);

    const double fs2 = 2 * std::ceil(0.25 * sh);
    const double lh2 = 2 * std::ceil(0.6 * fs2);
    m_subTitleLayer->setFrame(QRectF(std::floor(th / 2), std::floor(sh / 2 - lh2 / 2), sw - th, lh2));
    m_subTitleLayer->setFontSize(fs2);
    m_subTitleLayer->setForegroundColor(m_subtitleForegroundColor.toQColor());
    if (m_subTitleLayer->string() != m_subtitleString)
        m_subTitleLayer->setString(m_subtitleString);
    m_subTitleLayer->setAlignmentMode(platform::TextLayer::Alignment::Left);
    m_subTitleLayer->setTruncationMode(platform::TextLayer::Truncation::End);
    m_subTitleLayer->setContentsScale(scale);
}

void MRKOLowerThird::showLowerThirdsForAnimation(bool animated)
{
    loadLowerThirdSettings();
    createLayersIfNeeded();
    updateLayersProperties();
    if (!animated) {
        if (platform::Layer *content = contentViewLayer()) {
            content->addSublayer(m_titleContainer);
            content->addSublayer(m_subtitleContainer);
        }
    }
}

void MRKOLowerThird::applyAnimation()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    loadTransform();
    {
        platform::TransactionScope transaction(true);
        m_titleContainer->setTransform(m_endTransform.toMatrix());
        m_subtitleContainer->setTransform(m_endTransform.toMatrix());
    }
    auto transform = basic(QStringLiteral("transform"), 2.2);
    transform->setTimingFunction(platform::TimingFunction(0.2, 1.6, 0.5, 1.0));
    transform->setToValue(QVariant::fromValue(m_startTransform.toMatrix()));
    auto opacity = basic(QStringLiteral("opacity"), m_animationPreset == MRKOLowerThirdAnimationFade ? 0.8 : 0.4);
    opacity->setFromValue(0.0);
    opacity->setToValue(1.0);
    m_appearGroup = group({transform, opacity});

    willStart();
    if (platform::Layer *content = contentViewLayer())
        content->addSublayer(m_titleContainer);
    m_titleContainer->addAnimation(*m_appearGroup, kAppearKey);

    platform::RunLoop &loop = platform::RunLoop::main();
    loop.performAfterDelay(this, QStringLiteral("secondAppearAnimation"), kSecondStageDelay,
                           [this] { secondAppearAnimation(); });
    loop.performAfterDelay(this, QStringLiteral("hideLowerThird"), kHideDelay, [this] { hideLowerThird(); });
}

void MRKOLowerThird::secondAppearAnimation()
{
    if (!m_subtitleContainer || !m_appearGroup)
        return;
    if (platform::Layer *content = contentViewLayer())
        content->addSublayer(m_subtitleContainer);
    m_subtitleContainer->addAnimation(*m_appearGroup, kAppearKey);
}

void MRKOLowerThird::hideLowerThird()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    if (!m_titleContainer)
        return;
    auto transform = basic(QStringLiteral("transform"), 1.5);
    transform->setTimingFunction(platform::TimingFunction(0.36, 0, 0.66, -0.56));
    transform->setToValue(QVariant::fromValue(m_endTransform.toMatrix()));
    auto opacity = basic(QStringLiteral("opacity"), m_animationPreset == MRKOLowerThirdAnimationFade ? 0.8 : 0.4);
    opacity->setBeginTime(1.0);
    opacity->setFromValue(1.0);
    opacity->setToValue(0.0);
    m_hideGroup = group({transform, opacity});
    m_titleContainer->addAnimation(*m_hideGroup, kHideKey);
    platform::RunLoop::main().performAfterDelay(this, QStringLiteral("secondHideAnimation"), kSecondStageDelay,
                                                [this] { secondHideAnimation(); });
}

void MRKOLowerThird::secondHideAnimation()
{
    if (!m_subtitleContainer || !m_hideGroup)
        return;
    const QPointer<MRKOLowerThird> self(this);
    platform::Transaction::begin();
    platform::Transaction::setCompletionBlock([self] {
        if (self)
            self->didFinished();
    });
    m_subtitleContainer->addAnimation(*m_hideGroup, kHideKey);
    platform::Transaction::commit();
}

void MRKOLowerThird::cleanUp()
{
    stopAllAnimations();
    for (const platform::LayerPtr &bar : {m_titleContainer, m_subtitleContainer})
        if (bar)
            bar->removeFromSuperlayer();
    m_titleContainer.reset();
    m_subtitleContainer.reset();
    m_titleLayer.reset();
    m_subTitleLayer.reset();
    if (m_window) {
        platform::WindowStack::shared().remove(*m_window);
        m_window->hide();
        m_window.reset();
        m_onDisplay = false;
    }
}

void MRKOLowerThird::stopAllAnimations()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    for (const platform::LayerPtr &bar : {m_titleContainer, m_subtitleContainer})
        if (bar)
            bar->removeAllAnimations();
}

void MRKOLowerThird::resetTransform()
{
    platform::TransactionScope transaction(true);
    for (const platform::LayerPtr &bar : {m_titleContainer, m_subtitleContainer})
        if (bar)
            bar->setTransform(QMatrix4x4());
}

void MRKOLowerThird::willStart()
{
    if (m_delegate)
        m_delegate->lowerThirdAnimationWillStart(this);
}

void MRKOLowerThird::didFinished()
{
    if (m_delegate)
        m_delegate->lowerThirdAnimationDidFinished(this);
}

QRectF MRKOLowerThird::contentBounds() const
{
    const platform::Layer *content = contentViewLayer();
    return content && m_onDisplay ? content->bounds() : QRectF();
}

double MRKOLowerThird::relative200() const
{
    return 2 * std::floor(0.07 * contentBounds().width());
}

platform::Transform3D MRKOLowerThird::perspectiveTransform()
{
    platform::Transform3D s;
    s(3, 2) = 1 / kPerspectiveDistance;
    return s;
}

MRKOLowerThird::Offset MRKOLowerThird::presetOffset(qint64 preset, double r, double w)
{
    switch (preset) {
    case MRKOLowerThirdAnimationFlySpinFromRight:
        return {r, 0, w};
    case MRKOLowerThirdAnimationFlyFromTop:
        return {10 * r, 5 * r, w};
    case MRKOLowerThirdAnimationFlyFromCenter:
        return {-w, w, w};
    case MRKOLowerThirdAnimationFlySpinFromTop:
        return {0, w, 0};
    case MRKOLowerThirdAnimationPopUpFromBottomCenter:
        return {r, -5 * r, w};
    case MRKOLowerThirdAnimationPopUpInflateFromBottomCenter:
        return {-10 * r, -5 * r, w};
    case MRKOLowerThirdAnimationPopUpFromBottom:
        return {0, -w, 0};
    case MRKOLowerThirdAnimationPopUpFromBottomCorner:
        return {w, -w, -w};
    case MRKOLowerThirdAnimationInflate:
        return {-6 * r, 0, -w};
    case MRKOLowerThirdAnimationFade:
        return {};
    default:
        return {r, 0, -w};
    }
}

void MRKOLowerThird::loadTransform()
{
    switch (m_animationPreset) {
    case MRKOLowerThirdAnimationFlySpinFromRight:
        return loadAnimationFlySpinFromRight();
    case MRKOLowerThirdAnimationFlyFromTop:
        return loadAnimationFlyFromTop();
    case MRKOLowerThirdAnimationFlyFromCenter:
        return loadAnimationFlyFromCenter();
    case MRKOLowerThirdAnimationFlySpinFromTop:
        return loadAnimationFlySpinFromTop();
    case MRKOLowerThirdAnimationPopUpFromBottomCenter:
        return loadAnimationPopUpFromBottomCenter();
    case MRKOLowerThirdAnimationPopUpInflateFromBottomCenter:
        return loadAnimationPopUpInflateFromBottomCenter();
    case MRKOLowerThirdAnimationPopUpFromBottom:
        return loadAnimationPopUpFromBottom();
    case MRKOLowerThirdAnimationPopUpFromBottomCorner:
        return loadAnimationPopUpFromBottomCorner();
    case MRKOLowerThirdAnimationInflate:
        return loadAnimationInflate();
    case MRKOLowerThirdAnimationFade:
        return loadAnimationFade();
    default:
        return loadAnimationFlySpinFromLeft();
    }
}

void MRKOLowerThird::loadFlyingTransform(Offset o)
{
    // A point of a bar moves by the offset, turns a quarter about y, and is projected: edge-on, off stage.
    m_startTransform = perspectiveTransform();
    m_endTransform = m_startTransform.rotated(std::numbers::pi / 2, 0, 1, 0).translated(o.x, o.y, o.z);
}

void MRKOLowerThird::loadAnimationFade()
{
    m_startTransform = platform::Transform3D();
    m_endTransform = platform::Transform3D();
}

void MRKOLowerThird::loadAnimationFlySpinFromLeft()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationFlySpinFromLeft, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationFlySpinFromRight()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationFlySpinFromRight, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationFlyFromTop()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationFlyFromTop, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationFlyFromCenter()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationFlyFromCenter, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationFlySpinFromTop()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationFlySpinFromTop, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationPopUpFromBottomCenter()
{
    loadFlyingTransform(
        presetOffset(MRKOLowerThirdAnimationPopUpFromBottomCenter, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationPopUpInflateFromBottomCenter()
{
    loadFlyingTransform(
        presetOffset(MRKOLowerThirdAnimationPopUpInflateFromBottomCenter, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationPopUpFromBottom()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationPopUpFromBottom, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationPopUpFromBottomCorner()
{
    loadFlyingTransform(
        presetOffset(MRKOLowerThirdAnimationPopUpFromBottomCorner, relative200(), m_titleContainerWidth));
}

void MRKOLowerThird::loadAnimationInflate()
{
    loadFlyingTransform(presetOffset(MRKOLowerThirdAnimationInflate, relative200(), m_titleContainerWidth));
}
