#pragma once

#include "foundation/EdgeInsets.h"
#include "foundation/SrgbColor.h"
#include "platform/Event.h"
#include "platform/LayerWidget.h"
#include "tools/MRKOSmallButton.h"

#include <QImage>
#include <QPointer>
#include <QTransform>

#include <memory>

class KPHueWheelLayer;
class KPPickerBall;
class KPPickerPix;
class KVColorOpacityView;
class KVPopoverExtrasController;

/// What caused the picker's last colour change.
enum KPColorSource : unsigned {
    KPColorSourceHueRing = 0,
    KPColorSourceOpacitySlider = 1,
    KPColorSourceTriangle = 2,
    KPColorSourceHexField = 3,
    KPColorSourceRgbFields = 4,
    KPColorSourceScreenLoupe = 5,
    KPColorSourceProgram = 6,
};

/// Told by the picker; both are optional.
class KPColorPickerDelegate
{
public:
    virtual ~KPColorPickerDelegate() = default;
    /// A new colour was chosen; read it from the picker.
    virtual void didSelectColor() {}
    /// The close button was pressed.
    virtual void closePopover() {}
};

/// A hue ring around a saturation and brightness triangle, with a ball on each, a pick-from-screen button and a
/// close button. Every change goes through setColor() and reaches the delegate once through invokeDelegate().
/// Geometry is in the view's points, y up. A press picks its region (triangle, ring or neither) for the whole drag.
class KPColorPickerView final : public platform::LayerWidget, private platform::LayerDelegate
{
    Q_OBJECT
public:
    enum Region : unsigned { RegionNone = 0, RegionTriangle = 1, RegionRing = 2 };

    explicit KPColorPickerView(QWidget *parent = nullptr);
    ~KPColorPickerView() override;

    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    /// An invalid colour logs a line and changes nothing.
    void setColor(const inkora::SrgbColor &color);
    [[nodiscard]] const inkora::SrgbColor &opacityColor() const { return m_opacityColor; }
    void setOpacityColor(const inkora::SrgbColor &color) { m_opacityColor = color; }
    /// The slider's value; 1 without a slider, where setting does nothing.
    [[nodiscard]] double opacity() const;
    void setOpacity(double opacity);
    void updateColorWithOpacity();

    [[nodiscard]] KVColorOpacityView *opacityView() const { return m_opacityView; }
    void setOpacityView(KVColorOpacityView *view);
    [[nodiscard]] bool hasOpacityView() const { return m_opacityView != nullptr; }

    [[nodiscard]] KPColorSource colorSource() const { return m_colorSource; }
    void setColorSource(KPColorSource source) { m_colorSource = source; }
    [[nodiscard]] bool sendActionOnMouseUp() const { return m_sendActionOnMouseUp; }
    void setSendActionOnMouseUp(bool on) { m_sendActionOnMouseUp = on; }
    [[nodiscard]] KPColorPickerDelegate *delegate() const { return m_delegate; }
    void setDelegate(KPColorPickerDelegate *delegate) { m_delegate = delegate; }
    [[nodiscard]] KVPopoverExtrasController *extrasController() const { return m_extrasController; }
    void setExtrasController(KVPopoverExtrasController *controller) { m_extrasController = controller; }
    [[nodiscard]] double lastValidHue() const { return m_lastHue; }
    [[nodiscard]] const inkora::EdgeInsets &insets() const { return m_insets; }
    [[nodiscard]] double wheelThickness() const;
    void setWheelThickness(double thickness);
    [[nodiscard]] const QTransform &transform() const { return m_transform; }
    [[nodiscard]] KPPickerBall *hueBall() const { return m_hueBall; }
    [[nodiscard]] KPPickerBall *saturationBrightnessBall() const { return m_saturationBrightnessBall; }
    [[nodiscard]] MRKOSmallButton *pickerButton() const { return m_pickerButton; }
    [[nodiscard]] MRKOSmallButton *pickerCloseButton() const { return m_pickerCloseButton; }

    /// Tells the delegate unless the colours equal the ones it was last told.
    void invokeDelegate();
    void resetSendedColors();
    /// At a left-button release: forgets what was told while the picker reports on release.
    void resetSendedColorsIfNeeded();

    // The screen loupe.
    void pickFromScreenButtonAction();
    [[nodiscard]] bool isPickerActive() const { return m_pixWindow != nullptr; }
    [[nodiscard]] KPPickerPix *pixWindow() const { return m_pixWindow.get(); }
    void movePixWindow();
    void killPickerWithCleaning();
    void killThePicker();

    void updateCloseButton();

    // Geometry, in the view's points (y up).
    [[nodiscard]] QRectF wheelRect() const;
    [[nodiscard]] QPointF indicatorCenterForHue(double hue) const;
    /// In the unrotated frame (hue vertex at angle 0).
    [[nodiscard]] QPointF indicatorCenterForSaturationBrightness(double saturation, double brightness) const;
    void getSaturationBrightness(double *saturation, double *brightness, QPointF position) const;
    [[nodiscard]] Region mouseInside(QPointF point) const;
    void layoutSubviews();
    /// The triangle as drawn: N x N pixels over the square around the wheel centre, one pixel a point.
    [[nodiscard]] QImage triangleImage() const;

    // Pointer input in the view's points (y up), for the Qt handlers and for tests.
    void mouseDownAt(QPointF point);
    void mouseDraggedAt(QPointF point);
    void mouseUpAt(QPointF point);
    void scrollWheel(const platform::Event &event);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void drawLayerInContext(platform::Layer &layer, QPainter &painter) override;
    void applyAction(QPointF point);
    void moveHueBall(QPointF point);
    void moveSaturationBrightnessBall(QPointF point);
    void closePopoverAction();
    [[nodiscard]] QPointF pointFromQt(QPointF qtPoint) const;
    [[nodiscard]] QPointF wheelCentre() const;
    void frameBall(KPPickerBall &ball, QPointF centre);

    std::shared_ptr<KPHueWheelLayer> m_wheelLayer;
    KPPickerBall *m_hueBall = nullptr;                  // child
    KPPickerBall *m_saturationBrightnessBall = nullptr; // child
    MRKOSmallButton *m_pickerButton = nullptr;          // child
    QPointer<MRKOSmallButton> m_pickerCloseButton;      // child, made on demand
    std::unique_ptr<KPPickerPix> m_pixWindow;
    KPColorPickerDelegate *m_delegate = nullptr;             // not owned
    KVColorOpacityView *m_opacityView = nullptr;             // not owned; lives as long as the popover
    KVPopoverExtrasController *m_extrasController = nullptr; // not owned; lives as long as the popover
    inkora::SrgbColor m_color;
    inkora::SrgbColor m_opacityColor;
    inkora::SrgbColor m_sendedColor;
    inkora::SrgbColor m_sendedOpacityColor;
    QTransform m_transform;
    inkora::EdgeInsets m_insets{15, 15, 15, 15};
    double m_lastHue = 0;
    KPColorSource m_colorSource = KPColorSourceHueRing;
    Region m_mouseActAs = RegionNone;
    bool m_sendActionOnMouseUp = false;
};
