#pragma once

#include "foundation/SrgbColor.h"
#include "platform/TouchBar.h"

#include <QImage>

#include <functional>

/// The thickness item of the touch strip: a popover whose collapsed icon lights the bar of the current preset.
class MRKOThicknessTouchBarItem final : public platform::TouchBarItem
{
public:
    explicit MRKOThicknessTouchBarItem(const QString &identifier);

    void loadImages();
    [[nodiscard]] quint64 thickness() const { return m_thickness; }
    /// Stores the preset and redraws the icon.
    void setThickness(quint64 thickness);
    /// 30 x 30: the thin, medium and bold bars over each other, the current preset's white, the others grey.
    [[nodiscard]] QImage imageForButton() const;

private:
    QImage m_imageThin, m_imageMedium, m_imageBold;
    quint64 m_thickness = 0;
};

/// The rainbow item: its icon in the rainbow while selected, in white otherwise.
class MRKORainbowTouchBarItem final : public platform::TouchBarItem
{
public:
    explicit MRKORainbowTouchBarItem(const QString &identifier);

    [[nodiscard]] bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    /// 26 x 26.
    [[nodiscard]] QImage imageForButton() const;

private:
    QImage m_mask;
    bool m_selected = false;
};

/// The colour wheel item: a touch asks for the colour picker and then sends the touch action, so that the custom
/// colour is chosen as the picker opens. There is no picker here: each request is counted.
class MRKOColorPickerTouchBar final : public platform::TouchBarItem
{
public:
    explicit MRKOColorPickerTouchBar(const QString &identifier);

    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    /// Redraws the icon when the colour differs from the one shown.
    void setColor(const inkora::SrgbColor &color);
    void setTouchAction(std::function<void()> action) { m_touchAction = std::move(action); }
    /// A touch: the picker is asked for, then the touch action runs.
    void touch();
    /// The picker is asked for without the touch action.
    void justOpen() { ++m_pickerRequests; }
    [[nodiscard]] int pickerRequests() const { return m_pickerRequests; }
    [[nodiscard]] bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    /// 26 x 26: the ring in the rainbow and the centre in the colour while selected; the plain wheel in white
    /// otherwise.
    [[nodiscard]] QImage imageForButton() const;
    [[nodiscard]] QString describe() const override;

private:
    inkora::SrgbColor m_color;
    inkora::SrgbColor m_currentColor;
    std::function<void()> m_touchAction;
    int m_pickerRequests = 0;
    bool m_selected = false;
};
