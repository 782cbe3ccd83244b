#include "helper/MRKOShowController.h"

#include "helper/IndicatorImages.h"
#include "helper/MRKOShowWindow.h"
#include "platform/Clock.h"
#include "platform/Services.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>

namespace {

struct Indicator
{
    const char *image;
    const char *label;
};

// Indexed by tool type and by freeze mode.
constexpr std::array<Indicator, 7> kTools = {{
    {"BrushMedium", "Brush Tool"},
    {"ArrowMedium", "Arrow Tool"},
    {"RectangleMedium", "Rectangle Tool"},
    {"TextMedium", "Text Tool"},
    {"QuickArrowMedium", "Quick Arrow Tool"},
    {"LineMedium", "Line Tool"},
    {"EllipseMedium", "Ellipse Tool"},
}};
constexpr std::array<Indicator, 2> kDissolveModes = {{
    {"DissolveMedium", "Freeze Mode Off"},
    {"DissolveOffMedium", "Freeze Mode On"},
}};

constexpr double kFadeStep = 1.0 / 60; // seconds between opacity steps

double now()
{
    return platform::services().clock->now();
}

} // namespace

MRKOShowController::MRKOShowController()
    : QObject(QCoreApplication::instance()), m_window(std::make_unique<MRKOShowWindow>())
{}

MRKOShowController::~MRKOShowController()
{
    stopFade();
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

MRKOShowController *MRKOShowController::sharedShow()
{
    static MRKOShowController *const shared = [] {
        auto *controller = new MRKOShowController; // owned by the application object
        // The window must go while the widget machinery still stands, before the application's children do.
        qAddPostRoutine([] { sharedShow()->m_window.reset(); });
        return controller;
    }();
    return shared;
}

QPushButton *MRKOShowController::showTool() const
{
    return m_window->toolButton();
}

QLabel *MRKOShowController::showLabel() const
{
    return m_window->label();
}

void MRKOShowController::showToolForToolType(std::uint64_t toolType)
{
    if (toolType < kTools.size())
        setImageAndLabel(QString::fromLatin1(kTools[toolType].image), QString::fromLatin1(kTools[toolType].label));
    showWindow();
}

void MRKOShowController::showDissolveMode(std::uint64_t mode)
{
    if (mode < kDissolveModes.size())
        setImageAndLabel(QString::fromLatin1(kDissolveModes[mode].image),
                         QString::fromLatin1(kDissolveModes[mode].label));
    showWindow();
}

void MRKOShowController::showWindow()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    stopFade();
    // Placed before it is mapped, so that it never shows for a moment where it stood last.
    constraintWindow();
    m_window->show();
    m_window->raise();
    m_window->setWindowOpacity(1);
    m_state = State::Shown;
    platform::RunLoop::main().performAfterDelay(this, QStringLiteral("fadeOut"), kAnimationDuration + kVisiblePause,
                                                [this] { fadeOut(); });
}

void MRKOShowController::constraintWindow()
{
    const QScreen *screen = screenForMouseLocation();
    const QRect frame = screen ? screen->geometry() : QRect();
    m_window->move(windowOrigin(frame, m_window->size()));
}

QScreen *MRKOShowController::screenForMouseLocation() const
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> frames;
    for (const QScreen *screen : screens)
        frames.append(screen->geometry());
    const int index = screenIndexForPoint(frames, QCursor::pos());
    return index < 0 ? nullptr : screens.at(index);
}

void MRKOShowController::fadeOut()
{
    Q_ASSERT(m_state == State::Shown);
    m_state = State::Fading;
    m_fadeStart = now();
    m_fadeTimer = platform::RunLoop::main().schedule(
        kFadeStep,
        [this] {
            const double progress = std::clamp((now() - m_fadeStart) / kAnimationDuration, 0.0, 1.0);
            m_window->setWindowOpacity(1.0 - progress);
            if (progress >= 1.0)
                stopFade();
        },
        platform::RunLoop::CommonModes, kFadeStep);
    platform::RunLoop::main().performAfterDelay(this, QStringLiteral("close"), kAnimationDuration + kClosePause,
                                                [this] { close(); });
}

int MRKOShowController::screenIndexForPoint(const QList<QRect> &frames, QPoint point)
{
    if (frames.isEmpty())
        return -1;
    for (int i = 0; i < frames.size(); ++i) {
        if (frames.at(i).contains(point))
            return i;
    }
    return 0;
}

QPoint MRKOShowController::windowOrigin(const QRect &screenFrame, QSize windowSize)
{
    const double x = screenFrame.x() + 0.5 * screenFrame.width() - 0.5 * windowSize.width();
    // 30 % up from the bottom edge is 70 % down from the top.
    const double y = screenFrame.y() + 0.7 * screenFrame.height() - 0.5 * windowSize.height();
    return {qRound(x), qRound(y)};
}

void MRKOShowController::setImageAndLabel(const QString &imageName, const QString &label)
{
    m_imageName = imageName;
    QPushButton *button = m_window->toolButton();
    const qreal scale = m_window->devicePixelRatioF();
    button->setIcon(QPixmap::fromImage(inkora::indicatorImage(imageName, button->iconSize(), scale)));
    m_window->label()->setText(label);
}

void MRKOShowController::stopFade()
{
    if (m_fadeTimer != 0)
        platform::RunLoop::main().cancel(std::exchange(m_fadeTimer, 0));
}

void MRKOShowController::close()
{
    Q_ASSERT(m_state == State::Fading);
    stopFade();
    m_window->close();
    m_state = State::Hidden;
}
