#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "tools/KVPopover.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"
#include "tools/MRKOToolsDelegate.h"
#include "tools/MRKOTouchBarItems.h"
#include "tools/ToolBarRemote.h"
#include "tools/ToolsNeighbours.h"

#include <QPointer>

void MRKOTools::prepareColorPopover()
{
    setTargetOnColorPopover();
    updateColorInColorPopover();
}

void MRKOTools::setTargetOnColorPopover()
{
    KVPopover &popover = KVPopover::sharedPopover();
    popover.setTarget(this);
    QPointer<MRKOTools> self(this);
    popover.setAction([self](KVPopover &sender) {
        if (self)
            self->makeNewColor(sender.color());
    });
}

void MRKOTools::updateColorInColorPopover()
{
    KVPopover::sharedPopover().setColor(MRKOToolColor::toolColor().color());
}

void MRKOTools::runColorPopoverForView(QWidget *view)
{
    QPointer<MRKOTools> self(this);
    QPointer<QWidget> anchor(view);
    platform::DispatchQueue::main().async([self, anchor] {
        if (!self || !anchor)
            return;
        self->prepareColorPopover();
        KVPopover &popover = KVPopover::sharedPopover();
        popover.setDelegate(self, [self] {
            if (self)
                self->popoverWillClose();
        });
        popover.showRelativeToRect(QRectF(0, 0, anchor->width(), anchor->height()), anchor, platform::RectEdge::MaxX);
    });
}

void MRKOTools::colorPopover(MRKOButton *sender)
{
    if (!sender)
        sender = m_customColorButton;
    KVPopover &popover = KVPopover::sharedPopover();
    if (popover.isShown() && popover.target() == this) {
        popover.close();
        m_customColorButton->setState(1);
        return;
    }
    if (!popover.isShown()) {
        runColorPopoverForView(sender);
    } else if (m_colorType == 1) {
        // Another tool bar holds it: it moves here.
        popover.close();
        runColorPopoverForView(sender);
    }
    colorTypeChanged(sender);
}

void MRKOTools::makeNewColor(const inkora::SrgbColor &color)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (delegate) {
        const MRKODraw *canvas = delegate->drawViewForMouseLocation();
        if (canvas && canvas->colorType() == 0)
            delegate->performAction(QStringLiteral("nextColorType:"), nullptr);
    }
    m_customColorButton->setColor(color);
    if (m_colorWheelTouchBar)
        m_colorWheelTouchBar->setColor(color);
    if (m_delegate)
        m_delegate->colorDidChanged(color);
    if (inkora::ToolBarRemote &remote = inkora::toolBarRemote(); remote.isConnected())
        remote.sendHue();
    // A drag across the wheel stores its saturation and brightness once it ends; grey tones keep the last ones.
    if (MouseEvent::isCurrentAppEventTypeDragging() || OnOffColor::monochromeType(color) != 0)
        return;
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    inkora::srgbToHsb(color, &hue, &saturation, &brightness);
    inkora::LiveSettings &live = inkora::liveSettings();
    live.colorWheelSaturation = saturation;
    live.colorWheelBrightness = brightness;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setDouble(saturation, QStringLiteral("ColorWheelSaturation"));
    defaults.setDouble(brightness, QStringLiteral("ColorWheelBrightness"));
}

void MRKOTools::colorAction(const inkora::SrgbColor &color)
{
    m_customColorButton->setColor(color);
    if (m_delegate)
        m_delegate->colorDidChanged(color);
}

void MRKOTools::closePopoverIfShown()
{
    if (KVPopover *popover = KVPopover::existingPopover(); popover && popover->isShown())
        popover->close();
}

void MRKOTools::popoverWillClose()
{
    if (MRKODraw::isTextEditing())
        inkora::becomeTextViewAsFirstResponder();
}
