#pragma once

#include "platform/Dispatch.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <memory>

class MRKOShowWindow;
class QLabel;
class QPushButton;
class QScreen;

/// Shows the tool indicator for a moment on the display under the pointer. States: hidden (alpha 0 or closed),
/// shown (alpha 1, fade scheduled), fading (alpha falling to 0, close scheduled). Main thread only.
class MRKOShowController final : public QObject
{
    Q_OBJECT
public:
    /// Seconds of one fade, and the pauses around it.
    static constexpr double kAnimationDuration = 0.25;
    static constexpr double kVisiblePause = 0.6;
    static constexpr double kClosePause = 0.1;

    enum class State : int { Hidden, Shown, Fading };

    ~MRKOShowController() override;
    Q_DISABLE_COPY_MOVE(MRKOShowController)

    [[nodiscard]] static MRKOShowController *sharedShow();

    [[nodiscard]] MRKOShowWindow *window() const { return m_window.get(); }
    [[nodiscard]] QPushButton *showTool() const;
    [[nodiscard]] QLabel *showLabel() const;
    /// The name of the image on `showTool`, or empty before the first known request.
    [[nodiscard]] QString imageName() const { return m_imageName; }
    [[nodiscard]] State state() const { return m_state; }

    void showToolForToolType(std::uint64_t toolType);
    void showDissolveMode(std::uint64_t mode);
    void showWindow();
    void constraintWindow();
    [[nodiscard]] QScreen *screenForMouseLocation() const;
    void fadeOut();

    /// Index of the first frame containing `point`, else 0; -1 without frames. Qt's global coordinates.
    [[nodiscard]] static int screenIndexForPoint(const QList<QRect> &frames, QPoint point);
    /// Top-left corner that centres a window horizontally on the screen and 30 % of the screen's height above its
    /// bottom edge, in Qt's global coordinates (y down).
    [[nodiscard]] static QPoint windowOrigin(const QRect &screenFrame, QSize windowSize);

private:
    MRKOShowController();
    void setImageAndLabel(const QString &imageName, const QString &label);
    void stopFade();
    void close();

    std::unique_ptr<MRKOShowWindow> m_window;
    QString m_imageName;
    State m_state = State::Hidden;
    platform::RunLoop::TimerId m_fadeTimer = 0;
    double m_fadeStart = 0; // media-clock seconds
};
