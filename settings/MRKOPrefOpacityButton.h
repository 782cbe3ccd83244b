#pragma once

#include "settings/HoverSliderButton.h"

/// The view of the opacity popover.
class MRKOPrefOpacityContainer final : public inkora::HoverContainer
{
    Q_OBJECT
public:
    using HoverContainer::HoverContainer;
};

/// The tool bar's drawing-opacity button while semi-transparent drawing is on: resting on it while it is on opens a
/// slider for "DrawingOpacity" (0.05 to 1.0).
class MRKOPrefOpacityButton final : public inkora::HoverSliderButton
{
    Q_OBJECT
public:
    explicit MRKOPrefOpacityButton(QWidget *parent = nullptr);
    ~MRKOPrefOpacityButton() override;

    /// While set the button draws nothing and takes no presses (the tool bar draws it); hovering still counts.
    [[nodiscard]] bool disableDraw() const { return m_disableDraw; }
    void setDisableDraw(bool disable);

    /// Clamped to 0.05 ... 1.0 (NaN as 0.05): the live drawing opacity, then the float "DrawingOpacity".
    void sliderAction(double value) override;
    /// "DrawingOpacity" as the slider shows it.
    [[nodiscard]] static double storedOpacity();

protected:
    [[nodiscard]] QString label() const override { return QStringLiteral("Opacity"); }
    [[nodiscard]] double minimumValue() const override { return 0.05; }
    [[nodiscard]] double maximumValue() const override { return 1.0; }
    [[nodiscard]] double currentValue() const override { return storedOpacity(); }
    [[nodiscard]] double resetToValue() const override { return 0.5; }
    [[nodiscard]] inkora::HoverContainer *makeContainer() const override { return new MRKOPrefOpacityContainer; }
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_disableDraw = false;
};
