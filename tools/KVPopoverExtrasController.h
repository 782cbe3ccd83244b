#pragma once

#include "foundation/SrgbColor.h"
#include "tools/KVColorTextField.h"
#include "tools/KVHexSignImageView.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <memory>

class KPColorPickerView;

/// The strip under the colour wheel: passes the pointer's moves on to the canvas below it.
class KVPopoverExtrasView final : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

/// The hexadecimal and red, green and blue fields of the colour popover. Shows every colour the picker takes, and
/// hands what is typed to the picker, keeping the ring's hue for colours without one.
class KVPopoverExtrasController final : public QObject
{
    Q_OBJECT
public:
    explicit KVPopoverExtrasController(QObject *parent = nullptr);
    ~KVPopoverExtrasController() override;

    /// 246 x 48 points; made on first use.
    [[nodiscard]] KVPopoverExtrasView *view();
    void loadView();

    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    /// No colour keeps the fields' text.
    void setColor(const inkora::SrgbColor &color);
    [[nodiscard]] KPColorPickerView *colorPickerView() const { return m_colorPickerView; }
    void setColorPickerView(KPColorPickerView *picker) { m_colorPickerView = picker; }

    [[nodiscard]] KVColorTextField *hex() const { return m_hex; }
    [[nodiscard]] KVColorTextField *red() const { return m_red; }
    [[nodiscard]] KVColorTextField *green() const { return m_green; }
    [[nodiscard]] KVColorTextField *blue() const { return m_blue; }
    [[nodiscard]] KVHexSignImageView *hexSign() const { return m_hexSign; }
    [[nodiscard]] QLabel *hint() const { return m_hint; }

    void hexAction();
    void redAction() { updateColorOfRGB(); }
    void greenAction() { updateColorOfRGB(); }
    void blueAction() { updateColorOfRGB(); }
    void updateColorOfRGB();
    /// A colour without saturation or brightness takes the ring's last hue at the smallest of both.
    [[nodiscard]] inkora::SrgbColor validateColor(const inkora::SrgbColor &color) const;
    /// The field's whole number clamped to 0...255, as a component of 0...1.
    [[nodiscard]] static double colorComponentWithTextField(const KVColorTextField &field);

    // What typed text becomes, whatever it holds.
    /// Six hexadecimal digits after normalising (three doubled, more cut, fewer padded); black when not hexadecimal.
    [[nodiscard]] static inkora::SrgbColor colorWithHexEntry(const QString &text);
    /// A whole number clamped to 0...255, as a component of 0...1; 0 when it is no number.
    [[nodiscard]] static double colorComponentWithEntry(const QString &text);
    /// A colour without saturation or brightness takes `hue` at the smallest of both.
    [[nodiscard]] static inkora::SrgbColor colorKeepingHue(const inkora::SrgbColor &color, double hue);

private:
    std::unique_ptr<KVPopoverExtrasView> m_view;
    QPointer<KVColorTextField> m_hex;   // child of the view
    QPointer<KVColorTextField> m_red;   // child of the view
    QPointer<KVColorTextField> m_green; // child of the view
    QPointer<KVColorTextField> m_blue;  // child of the view
    QPointer<KVHexSignImageView> m_hexSign;
    QPointer<QLabel> m_hint;
    inkora::SrgbColor m_color;
    KPColorPickerView *m_colorPickerView = nullptr; // not owned; lives as long as the popover
};
