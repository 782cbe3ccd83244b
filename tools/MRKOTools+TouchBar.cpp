// The touch strip that mirrors the tool bar while its panel has the keyboard. There is no such hardware here: the
// strip is kept as a model (platform::TouchBar) that follows the tool bar exactly and is never drawn.

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "platform/ImageLoader.h"
#include "tools/MRKOButton.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOToolButton.h"
#include "tools/MRKOToolChoseButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"
#include "tools/MRKOTouchBarItems.h"

#include <array>

namespace {

const QString kModeGroupItem = QStringLiteral("com.Inkora.modeGroupItem");
const QString kToolsSegmentedControl = QStringLiteral("com.Inkora.toolsSegmentedControl");
const QString kThicknessPopover = QStringLiteral("com.Inkora.thicknessPopover");
const QString kThicknessItem = QStringLiteral("com.Inkora.thicknessItem");
const QString kColorGroupItem = QStringLiteral("com.Inkora.colorGroupItem");
const QString kRainbowButton = QStringLiteral("com.Inkora.rainbowButton");
const QString kColorWheelButton = QStringLiteral("com.Inkora.colorWheelButton");
const QString kDissolveButton = QStringLiteral("com.Inkora.dissolveButton");
const QString kRepeatButton = QStringLiteral("com.Inkora.repeatButton");
constexpr int kGroupPriority = 1000;
constexpr double kIconSize = 24;              // points
constexpr double kThicknessSegmentWidth = 96; // points
constexpr double kRepeatWidth = 60;           // points

QImage icon(const QString &name)
{
    return platform::ImageLoader::namedImage(name).scaled(int(kIconSize), int(kIconSize), Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation);
}

} // namespace

std::unique_ptr<platform::TouchBar> MRKOTools::makeTouchBar()
{
    auto bar = std::make_unique<platform::TouchBar>(this);
    const QString space = QLatin1String(platform::TouchBar::kFixedSpaceSmall);
    QStringList identifiers = {kModeGroupItem,  space, kThicknessPopover, space,
                               kColorGroupItem, space, kDissolveButton};
    // Typing text has no use for the repeat button.
    const AppDelegate *delegate = AppDelegate::shared();
    if (!delegate || !delegate->isFirstResponderTextInput())
        identifiers << space << kRepeatButton;
    identifiers << QLatin1String(platform::TouchBar::kOtherItemsProxy);
    bar->setDefaultItemIdentifiers(identifiers);
    return bar;
}

platform::TouchBar *MRKOTools::touchBar()
{
    return m_touchBarHost.touchBar();
}

std::shared_ptr<platform::TouchBarItem> MRKOTools::makeItemForIdentifier(platform::TouchBar &,
                                                                         const QString &identifier)
{
    using Item = platform::TouchBarItem;
    if (identifier == kModeGroupItem) {
        auto control = std::make_shared<Item>(kToolsSegmentedControl, Item::Kind::Custom);
        control->setControlKind(Item::ControlKind::SegmentedControl);
        QList<Item::Segment> segments;
        for (const char *name : {"BrushMedium", "ArrowMedium", "RectangleMedium", "TextMedium"})
            segments.append({QString(), QLatin1String(name), icon(QLatin1String(name))});
        control->setSegments(segments);
        control->setSelectedSegment(int(m_toolType & 3));
        control->setAction([this](Item &sender) { segmentedControlSelected(sender.selectedSegment()); });
        m_toolsGroupTouchBar = control;
        auto group = std::make_shared<Item>(kModeGroupItem, Item::Kind::Group);
        group->setCustomizationLabel(QStringLiteral("Tools"));
        group->setVisibilityPriority(kGroupPriority);
        group->setChildren({control});
        m_touchBarItem = group;
        touchBarUpdateIconForBrushToolGroup();
        touchBarUpdateIconForRectangleToolGroup();
        touchBarUpdateIconForArrowToolGroup();
        return group;
    }
    if (identifier == kThicknessPopover) {
        auto item = std::make_shared<MRKOThicknessTouchBarItem>(kThicknessPopover);
        item->setControlKind(Item::ControlKind::Button);
        item->loadImages();
        item->setThickness(m_drawView ? m_drawView->thickness() : 0);
        auto popover = std::make_unique<platform::TouchBar>(this);
        popover->setPrincipalItemIdentifier(kThicknessItem);
        popover->setDefaultItemIdentifiers({kThicknessItem});
        item->setPopoverTouchBar(std::move(popover));
        item->setAction([](Item &sender) { sender.showPopover(); });
        m_thicknessTouchBar = item;
        return item;
    }
    if (identifier == kThicknessItem) {
        auto item = std::make_shared<Item>(kThicknessItem, Item::Kind::Custom);
        item->setCustomizationLabel(QStringLiteral("Thickness"));
        item->setControlKind(Item::ControlKind::SegmentedControl);
        QList<Item::Segment> segments;
        for (const char *label : {"Ultralight", "Thin", "Light", "Medium", "Semibold", "Bold"})
            segments.append({QLatin1String(label), QString(), QImage()});
        item->setSegments(segments);
        item->setWidth(kThicknessSegmentWidth * 6);
        item->setAction([this](Item &sender) { segmentedTicknessSelected(sender.selectedSegment()); });
        return item;
    }
    if (identifier == kColorGroupItem) {
        auto rainbow = std::make_shared<MRKORainbowTouchBarItem>(kRainbowButton);
        rainbow->setCustomizationLabel(QStringLiteral("Shuffle Color"));
        rainbow->setControlKind(Item::ControlKind::Button);
        rainbow->setTag(0);
        rainbow->setAction([this](Item &) { colorTypeChanged(m_rainbowButton); });
        rainbow->setSelected(true);
        m_rainbowTouchBar = rainbow;
        auto wheel = std::make_shared<MRKOColorPickerTouchBar>(kColorWheelButton);
        wheel->setCustomizationLabel(QStringLiteral("Color Wheel"));
        wheel->setControlKind(Item::ControlKind::Button);
        wheel->setTag(1);
        wheel->setTouchAction([this] { colorTypeChanged(m_customColorButton); });
        wheel->setAction([](Item &sender) { static_cast<MRKOColorPickerTouchBar &>(sender).touch(); });
        m_colorWheelTouchBar = wheel;
        if (m_colorType == 1) {
            wheel->setSelected(true);
            rainbow->setSelected(false);
        }
        updateTouchBarColor();
        auto group = std::make_shared<Item>(kColorGroupItem, Item::Kind::Group);
        group->setCustomizationLabel(QStringLiteral("Colors"));
        group->setVisibilityPriority(kGroupPriority);
        group->setChildren({rainbow, wheel});
        m_colorGroupBarItem = group;
        return group;
    }
    if (identifier == kDissolveButton) {
        auto item = std::make_shared<Item>(kDissolveButton, Item::Kind::Custom);
        item->setCustomizationLabel(QStringLiteral("Freeze/Fade Mode"));
        item->setControlKind(Item::ControlKind::ToggleButton);
        item->setImage(QStringLiteral("DissolveMedium"), icon(QStringLiteral("DissolveMedium")));
        item->setAlternateImageName(QStringLiteral("DissolveOffMedium"));
        item->setTag(2);
        item->setState(m_dissolveMode == 1 ? 1 : 0);
        item->setAction([this](Item &sender) { freezeButtonAction(sender.state()); });
        m_freezeButton = item;
        return item;
    }
    if (identifier == kRepeatButton) {
        auto item = std::make_shared<Item>(kRepeatButton, Item::Kind::Custom);
        item->setCustomizationLabel(QStringLiteral("Repeat"));
        item->setControlKind(Item::ControlKind::Button);
        item->setImage(QStringLiteral("MRKORepeat"), icon(QStringLiteral("MRKORepeat")));
        item->setWidth(kRepeatWidth);
        const MRKOHolder &holder = MRKOHolder::sharedHolder();
        item->setEnabled(holder.layer() && holder.draw());
        item->setAction([this](Item &) { repeat(); });
        m_repeatBarButton = item;
        return item;
    }
    return nullptr;
}

void MRKOTools::segmentedControlSelected(int segment)
{
    if (segment < 0)
        return;
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->selectToolWithSectionIndex(quint64(segment));
}

void MRKOTools::segmentedTicknessSelected(int segment)
{
    if (segment < 0)
        return;
    if (m_thicknessTouchBar)
        m_thicknessTouchBar->setThickness(quint64(segment));
    changeThickness(quint64(segment));
    // Dropping the strip closes the popover.
    resetTouchBarIfAvailable();
}

void MRKOTools::freezeButtonAction(int state)
{
    m_dissolveButton->setState(state);
    toggleDissolve(m_dissolveButton);
}

void MRKOTools::touchBarUpdateIconForToolGroup(int segment, MRKOButton *button)
{
    const std::shared_ptr<platform::TouchBarItem> control = m_toolsGroupTouchBar.lock();
    if (!control || segment >= control->segments().size())
        return;
    const QString name = button->imageName();
    if (control->segments().at(segment).imageName != name)
        control->setSegmentImage(segment, name, icon(name));
}

void MRKOTools::touchBarUpdateIconForBrushToolGroup()
{
    touchBarUpdateIconForToolGroup(0, m_brushButton);
}

void MRKOTools::touchBarUpdateIconForArrowToolGroup()
{
    touchBarUpdateIconForToolGroup(1, m_arrowButton);
}

void MRKOTools::touchBarUpdateIconForRectangleToolGroup()
{
    touchBarUpdateIconForToolGroup(2, m_rectangleButton);
}

void MRKOTools::updateTouchBarColor()
{
    if (m_colorWheelTouchBar)
        m_colorWheelTouchBar->setColor(MRKOToolColor::toolColor().color());
}

void MRKOTools::showColorsInTouchBarIfNeeded()
{
    if (m_colorWheelTouchBar)
        m_colorWheelTouchBar->justOpen();
}

void MRKOTools::hideColorsInTouchBarIfNeeded()
{
    resetTouchBarIfAvailable();
}

void MRKOTools::resetTouchBarIfAvailable()
{
    m_touchBarHost.drop();
}
