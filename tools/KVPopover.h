#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Popover.h"
#include "tools/KPColorPickerView.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class KVColorOpacityView;
class KVPopoverExtrasController;

/// The one colour popover of the program: the colour wheel, the opacity slider when the client wants it, and the
/// hexadecimal and red, green and blue fields. Whoever set the target last owns it; every colour the user picks is
/// reported to the target's action. It never grabs the pointer, so the canvas stays drawable while it is shown.
class KVPopover final : public QObject, private KPColorPickerDelegate
{
    Q_OBJECT
public:
    using Action = std::function<void(KVPopover &popover)>;

    /// Made on first use; lives until the application ends.
    static KVPopover &sharedPopover();
    /// Whether the shared popover was made, without making it.
    [[nodiscard]] static KVPopover *existingPopover();
    ~KVPopover() override;

    /// A copy of the picker's opaque colour. Setting it comes from the program: nothing is reported.
    [[nodiscard]] inkora::SrgbColor color() const;
    void setColor(const inkora::SrgbColor &color);
    /// With the slider wanted: the colour at the chosen opacity; else the opaque colour.
    [[nodiscard]] inkora::SrgbColor opacityColor() const;
    /// 1 unless the slider is wanted; setting needs the slider and reports nothing.
    [[nodiscard]] double opacity() const;
    void setOpacity(double opacity);
    [[nodiscard]] KPColorSource colorSource() const;

    /// Takes effect at the next showing; every close clears it.
    [[nodiscard]] bool wantsOpacity() const { return m_wantsOpacity; }
    void setWantsOpacity(bool wants);
    /// Every close clears it.
    [[nodiscard]] bool sendActionOnMouseUp() const;
    void setSendActionOnMouseUp(bool on);

    /// Held weakly; the action is performed only while the target lives.
    [[nodiscard]] QObject *target() const { return m_target; }
    void setTarget(QObject *target) { m_target = target; }
    void setAction(Action action) { m_action = std::move(action); }
    [[nodiscard]] bool hasAction() const { return bool(m_action); }
    /// Told once the popover has closed, while `delegate` lives; one delegate at a time.
    void setDelegate(QObject *delegate, std::function<void()> popoverDidClose);

    [[nodiscard]] bool opening() const { return m_opening; }
    void setOpening(bool opening) { m_opening = opening; }

    [[nodiscard]] bool isPicker() const;
    void killPicker();
    void movePicker();
    void activateColorPicker();

    void closePopover() override;
    void didSelectColor() override;
    /// Whether the popover is shown under the pointer, where a click must not reorder the windows.
    [[nodiscard]] bool shouldPreventWindowOrdering() const;

    /// `rect` in `view`'s points (y up).
    void showRelativeToRect(const QRectF &rect, QWidget *view, platform::RectEdge edge);
    [[nodiscard]] bool isShown() const;
    void close();

    [[nodiscard]] platform::Popover &popover() { return m_popover; }
    [[nodiscard]] KPColorPickerView *pickerView() const { return m_pickerView; }
    [[nodiscard]] KVPopoverExtrasController *extras() const { return m_extras.get(); }
    [[nodiscard]] KVColorOpacityView *opacityView() const { return m_opacityView; }
    [[nodiscard]] bool layoutContainOpacity() const { return m_layoutContainOpacity; }
    void layoutViewController();

private:
    KVPopover();
    void colorPopoverWillClose();

    platform::Popover m_popover;
    QWidget *m_container = nullptr;            // owned by the popover's window
    KPColorPickerView *m_pickerView = nullptr; // child of the container
    std::unique_ptr<KVPopoverExtrasController> m_extras;
    QWidget *m_opacityContainer = nullptr;       // child of the container
    KVColorOpacityView *m_opacityView = nullptr; // child of its container
    QPointer<QObject> m_target;
    Action m_action;
    QPointer<QObject> m_delegate;
    std::function<void()> m_popoverDidClose;
    bool m_wantsOpacity = false;
    bool m_layoutContainOpacity = false;
    bool m_opening = false;
};
