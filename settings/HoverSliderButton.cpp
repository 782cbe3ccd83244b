#include "settings/HoverSliderButton.h"

#include "platform/Dispatch.h"
#include "platform/ImageLoader.h"
#include "platform/Popover.h"
#include "settings/PrefSlider.h"

#include <QLabel>

#include <cmath>

namespace inkora {
namespace {

const QString kShowRequest = QStringLiteral("showVolumePopIfNeeded");
const QString kHideRequest = QStringLiteral("hideVolumePop");
const QString kAppearanceRequest = QStringLiteral("performPopoverAppearance");

constexpr double kSliderWidth = 180; // points
constexpr double kSliderHeight = 20; // points
constexpr double kSpeakerSize = 17;  // points
constexpr double kLabelFieldWidth = 200;

} // namespace

HoverContainer::HoverContainer(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);
}

void HoverContainer::mouseEntered()
{
    m_wasEntered = true;
    emit action(this);
}

void HoverContainer::mouseExited()
{
    if (!m_wasEntered)
        return;
    m_wasEntered = false;
    emit action(nullptr);
}

void HoverContainer::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    mouseEntered();
}

void HoverContainer::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    mouseExited();
}

HoverSliderButton::HoverSliderButton(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        platform::RunLoop &loop = platform::RunLoop::main();
        loop.cancelPreviousPerformRequests(this);
        loop.performAfterDelay(this, kAppearanceRequest, kAppearanceDelay, [this] { performPopoverAppearance(); });
    });
}

HoverSliderButton::~HoverSliderButton()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

bool HoverSliderButton::isPopoverShown() const
{
    return m_popover && m_popover->isShown();
}

void HoverSliderButton::makePopover()
{
    m_popover = std::make_unique<platform::Popover>();
    m_popover->setBehavior(platform::Popover::ApplicationDefined);
    HoverContainer *container = makeContainer();
    // Made 200 wide, then widened by 40.
    container->resize(int(kContentWidth - 40), int(kContentHeight));
    container->resize(int(kContentWidth), int(kContentHeight));
    connect(container, &HoverContainer::action, this, &HoverSliderButton::keepShowingOrNot);

    auto *label = new QLabel(this->label(), container);
    label->setObjectName(QStringLiteral("label"));
    label->setAlignment(Qt::AlignCenter);
    label->resize(int(kLabelFieldWidth), 32);
    label->adjustSize();
    const QSize text = label->size();
    // Positions below are the layout's y-up frames turned into Qt's y-down ones.
    const double labelY = kContentHeight - text.height() - 10;
    label->move(int(std::round(kContentWidth / 2 - text.width() / 2.0)), int(kContentHeight - labelY - text.height()));

    auto *slider = new PrefSlider(minimumValue(), maximumValue(), 0.01, container);
    slider->setObjectName(QStringLiteral("paramSlider"));
    slider->setFocusPolicy(Qt::NoFocus);
    const QRectF sliderFrame(kContentWidth / 2 - kSliderWidth / 2, labelY - 20, kSliderWidth, kSliderHeight);
    slider->setGeometry(int(sliderFrame.x()), int(kContentHeight - sliderFrame.y() - kSliderHeight), int(kSliderWidth),
                        int(kSliderHeight));
    connect(slider, &PrefSlider::action, this, [this](PrefSlider *sender) { sliderAction(sender->doubleValue()); });
    m_paramSlider = slider;

    if (showsSpeakers()) {
        const auto speaker = [container](const QString &name, double x, double y) {
            auto *image = new QLabel(container);
            image->setObjectName(name);
            const QImage picture = platform::ImageLoader::namedImage(name, container->devicePixelRatioF());
            image->setPixmap(QPixmap::fromImage(picture));
            image->setScaledContents(true);
            image->setGeometry(int(x), int(kContentHeight - y - kSpeakerSize), int(kSpeakerSize), int(kSpeakerSize));
        };
        speaker(QStringLiteral("MRKOSpeakerDown"), sliderFrame.x() - kSpeakerSize, sliderFrame.y() + 1);
        speaker(QStringLiteral("MRKOSpeakerUp"), sliderFrame.x() + kSliderWidth + 2, sliderFrame.y() + 1);
    }
    m_container = container;
    m_popover->setContentWidget(container); // the popover takes it
}

platform::Popover &HoverSliderButton::volumePopover()
{
    if (!m_popover)
        makePopover();
    if (m_paramSlider && m_paramSlider->doubleValue() != currentValue())
        m_paramSlider->setDoubleValue(currentValue());
    return *m_popover;
}

void HoverSliderButton::mouseEntered()
{
    m_mouseInside = true;
    if (state() == 1)
        prepareShowVolumePop();
}

void HoverSliderButton::mouseExited()
{
    m_mouseInside = false;
    prepareToHide();
}

void HoverSliderButton::updateHighlightIfNeeded(bool inside)
{
    if (inside == m_mouseInside)
        return;
    if (inside)
        mouseEntered();
    else
        mouseExited();
}

void HoverSliderButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    updateHighlightIfNeeded(true);
}

void HoverSliderButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    updateHighlightIfNeeded(false);
}

void HoverSliderButton::prepareShowVolumePop()
{
    platform::RunLoop &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, kShowRequest, kShowDelay, [this] { showVolumePopIfNeeded(); });
}

void HoverSliderButton::showVolumePopIfNeeded()
{
    if (mouseStillHere() && !isPopoverShown())
        showPopover();
}

void HoverSliderButton::showPopover()
{
    platform::Popover &popover = volumePopover();
    QWidget *superview = parentWidget() ? parentWidget() : this;
    const QRect frame = parentWidget() ? geometry() : rect();
    // The button's frame in its superview's points, y up; the popover opens to its right.
    const QRectF upright(frame.x(), superview->height() - frame.y() - frame.height(), frame.width(), frame.height());
    popover.showRelativeToRect(upright, superview, platform::RectEdge::MaxX);
}

void HoverSliderButton::prepareToHide()
{
    platform::RunLoop::main().performAfterDelay(this, kHideRequest, kHideDelay, [this] { hideVolumePop(); });
}

void HoverSliderButton::hideVolumePop()
{
    if (m_popover)
        m_popover->close();
}

void HoverSliderButton::performPopoverAppearance()
{
    if (state() == 1) {
        if (!isPopoverShown())
            showPopover();
    } else {
        hideVolumePop();
    }
}

void HoverSliderButton::keepShowingOrNot(HoverContainer *container)
{
    if (container)
        platform::RunLoop::main().cancelPreviousPerformRequests(this, kHideRequest);
    else
        prepareToHide();
}

void HoverSliderButton::resetValue()
{
    (void)volumePopover();
    if (m_paramSlider)
        m_paramSlider->setDoubleValue(resetToValue());
}

} // namespace inkora
