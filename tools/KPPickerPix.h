#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Event.h"
#include "platform/RawInput.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>

class KPColorPickerView;
namespace platform {
class LocalEventMonitor;
}

/// The loupe's picture: the 17 x 17 points of the screen below its middle, magnified into a disc with the centre
/// pixel framed. View coordinates are points, y up.
class KPPickerPixView final : public QWidget
{
    Q_OBJECT
public:
    explicit KPPickerPixView(QWidget *parent = nullptr);

    /// (centre.x - 8, centre.y - 8, 17, 17): the captured area inside the view.
    [[nodiscard]] QRectF topRect() const;
    [[nodiscard]] QRectF renderRect() const;
    /// The part of a capture of more than one pixel a point that is shown: (9 - d.x, 8 - d.y, 17, 17), y up.
    [[nodiscard]] QRectF rectForCrop() const;
    /// The rounded offset of the loupe's middle from the pointer, as of the last drawing.
    [[nodiscard]] QPointF d() const { return m_d; }
    void setD(QPointF d) { m_d = d; }

    /// The last capture; null when it failed.
    [[nodiscard]] const QImage &bitmap() const { return m_bitmap; }
    void setBitmap(const QImage &bitmap) { m_bitmap = bitmap; }
    /// Captures the area below the loupe now; null when no image can be had.
    [[nodiscard]] QImage bitmapAtMouseLocation();
    /// Captures again and redraws.
    void display();

    /// The colour of the capture's centre pixel, from the last capture; black without one.
    [[nodiscard]] inkora::SrgbColor centerPixel() const;
    /// The pixel at the centre of `bitmap` moved by `d` (y up); black outside it.
    [[nodiscard]] static inkora::SrgbColor centerPixelOf(const QImage &bitmap, QPointF d);

    /// The screen as it was before the loupe was shown, sampled where no compositing manager can show what lies
    /// below the loupe; null to capture below the loupe each time.
    void setStillScreen(const QImage &screen, const QRect &pixelArea);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    [[nodiscard]] QRect captureArea() const;

    QImage m_bitmap;
    QImage m_stillScreen;
    QRect m_stillArea;
    QPointF m_d;
};

/// The screen colour loupe: a round window centred on the pointer above everything, with the system cursor hidden.
/// A click anywhere takes the centre pixel's colour into the picker; Escape ends it without a colour. While it is
/// up, this program's windows receive no clicks, moves or keys.
class KPPickerPix final : public QObject
{
    Q_OBJECT
public:
    /// The level above every other window.
    static constexpr int kLevel = 2147483631;

    ~KPPickerPix() override;
    [[nodiscard]] static std::unique_ptr<KPPickerPix> windowWith(KPColorPickerView *pickerView);

    [[nodiscard]] KPPickerPixView *contentView() const { return m_view.get(); }
    [[nodiscard]] QWidget *window() const { return m_view.get(); }
    [[nodiscard]] KPColorPickerView *pickerView() const { return m_pickerView; }

    /// Centres on the pointer, shows the loupe and hides the cursor.
    void orderFront();
    /// Hides the loupe and shows the cursor again.
    void orderOut();
    void moved();
    void forceUpdatePickerView();
    void setOriginForMouseLocation();
    void cleanUpMonitors();
    [[nodiscard]] bool hasMonitors() const { return m_globalMonitor || m_localMonitor; }
    [[nodiscard]] inkora::SrgbColor colorAtMouseLocation() const;

    /// Routes a key, move or left press; false for anything else.
    bool catchedEvent(const platform::Event &event);
    void keyDown(const platform::Event &event);
    void mouseDown();

private:
    explicit KPPickerPix(KPColorPickerView *pickerView);

    std::unique_ptr<KPPickerPixView> m_view;
    QPointer<KPColorPickerView> m_pickerView; // not owned; it owns the loupe
    std::unique_ptr<platform::RawInput::Monitor> m_globalMonitor;
    std::unique_ptr<platform::LocalEventMonitor> m_localMonitor;
    bool m_cursorHidden = false;
};
