#pragma once

#include "settings/HoverSliderButton.h"

/// The view of the volume popover.
class MRKOPrefVolumeContainer final : public inkora::HoverContainer
{
    Q_OBJECT
public:
    using HoverContainer::HoverContainer;
};

/// A sound box's volume button: resting on it while it is on opens a slider for the keyboard-sound volume (tag 0)
/// or the click-sound volume (tag 1).
class MRKOPrefVolumeButton final : public inkora::HoverSliderButton
{
    Q_OBJECT
public:
    MRKOPrefVolumeButton(qint64 tag, QWidget *parent = nullptr);

    [[nodiscard]] qint64 tag() const { return m_tag; }
    /// Sets and saves the volume of the button's sounds.
    void sliderAction(double value) override;

protected:
    [[nodiscard]] QString label() const override { return QStringLiteral("Volume"); }
    [[nodiscard]] double minimumValue() const override { return 0.0; }
    [[nodiscard]] double maximumValue() const override { return 1.0; }
    [[nodiscard]] double currentValue() const override;
    [[nodiscard]] double resetToValue() const override { return 1.0; }
    [[nodiscard]] bool showsSpeakers() const override { return true; }
    [[nodiscard]] inkora::HoverContainer *makeContainer() const override { return new MRKOPrefVolumeContainer; }
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 m_tag = 0;
};
