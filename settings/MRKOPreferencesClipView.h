#pragma once

#include <QPoint>
#include <QWidget>

#include <memory>

namespace platform {
class Popover;
} // namespace platform

/// The Preferences pane's viewport. A double click on it with Super, Alt and Ctrl held (Shift may be held too)
/// opens the side settings at the pointer.
class MRKOPreferencesClipView final : public QWidget
{
    Q_OBJECT
public:
    static constexpr quint64 kGestureMask = 0x1C0000; // Control, Option and Command

    explicit MRKOPreferencesClipView(QWidget *parent = nullptr);
    ~MRKOPreferencesClipView() override;

    [[nodiscard]] bool isFlipped() const { return true; }
    /// Whether a press with these modifier flags and click count opens the side settings.
    [[nodiscard]] static bool opensSideSettings(quint64 modifierFlags, int clickCount);
    /// A press at `location` (the view's Qt coordinates) with its flags and click count.
    void mouseDown(QPoint location, quint64 modifierFlags, int clickCount);
    /// The last side settings it opened; null before.
    [[nodiscard]] platform::Popover *sideSettingsPopover() const { return m_sideSettings.get(); }
    /// Watches its own presses ahead of the scroll area, which takes a viewport's mouse events for itself;
    /// called once it is the scroll area's viewport.
    void watchPresses();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Counts presses that follow each other within the double-click interval and distance.
    [[nodiscard]] int clickCountFor(const QMouseEvent &event);

    std::unique_ptr<platform::Popover> m_sideSettings;
    quint64 m_lastPressTime = 0; // the event time of the last press, milliseconds
    QPoint m_lastPressPosition;
    int m_clickCount = 0;
};
