#pragma once

#include "settings/PrefSlider.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace platform {
class Popover;
} // namespace platform

namespace inkora {

/// The view of a hover popover: it tells its owner when the pointer comes in and, after that, when it leaves.
class HoverContainer : public QWidget
{
    Q_OBJECT
public:
    explicit HoverContainer(QWidget *parent = nullptr);

    [[nodiscard]] bool wasEntered() const { return m_wasEntered; }
    /// What a real pointer's crossing calls; tests call them too.
    void mouseEntered();
    void mouseExited();

signals:
    /// The container on entry, null on exit.
    void action(inkora::HoverContainer *sender);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_wasEntered = false;
};

/// A button that, while it is on, opens a popover with one slider when the pointer rests on it 0.3 s, keeps it while
/// the pointer is over button or popover, and closes it 1.0 s after the pointer left both. A click turns it on or
/// off and shows or closes the popover 0.1 s later. The delays are delayed performs of the button.
class HoverSliderButton : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr double kShowDelay = 0.3;       // seconds at rest before the popover shows
    static constexpr double kHideDelay = 1.0;       // seconds after leaving before it closes
    static constexpr double kAppearanceDelay = 0.1; // seconds after a click
    static constexpr double kContentWidth = 240;    // points
    static constexpr double kContentHeight = 56;    // points

    explicit HoverSliderButton(QWidget *parent = nullptr);
    ~HoverSliderButton() override;

    /// 1 on, 0 off.
    [[nodiscard]] int state() const { return isChecked() ? 1 : 0; }
    void setState(int state) { setChecked(state != 0); }

    /// The popover with its content, made when first needed; its slider shows the current value.
    platform::Popover &volumePopover();
    [[nodiscard]] bool isPopoverShown() const;
    [[nodiscard]] PrefSlider *paramSlider() const { return m_paramSlider; }
    [[nodiscard]] HoverContainer *container() const { return m_container; }

    // The pointer over the button: entering and leaving, as its tracking area reports them.
    void mouseEntered();
    void mouseExited();
    /// Whether the pointer is over the button now.
    [[nodiscard]] bool mouseStillHere() const { return m_mouseInside; }
    /// Sends entered or exited when the pointer's side of the bounds changed (`inside` from whoever tracks it).
    void updateHighlightIfNeeded(bool inside);

    void prepareShowVolumePop();
    void showVolumePopIfNeeded();
    void prepareToHide();
    void hideVolumePop();
    void performPopoverAppearance();
    /// A container keeps the popover (cancels a pending close); null closes it after the delay.
    void keepShowingOrNot(HoverContainer *container);
    /// The slider's value, applied by the subclass.
    virtual void sliderAction(double value) = 0;
    /// Sets the slider (not the setting) to its resting value.
    void resetValue();

protected:
    [[nodiscard]] virtual QString label() const = 0;
    [[nodiscard]] virtual double minimumValue() const = 0;
    [[nodiscard]] virtual double maximumValue() const = 0;
    [[nodiscard]] virtual double currentValue() const = 0;
    [[nodiscard]] virtual double resetToValue() const = 0;
    [[nodiscard]] virtual bool showsSpeakers() const { return false; }
    /// The container class of the subclass.
    [[nodiscard]] virtual HoverContainer *makeContainer() const = 0;

    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void makePopover();
    void showPopover();

    std::unique_ptr<platform::Popover> m_popover;
    QPointer<PrefSlider> m_paramSlider;   // in the popover's content
    QPointer<HoverContainer> m_container; // the popover's content
    bool m_mouseInside = false;
};

} // namespace inkora
