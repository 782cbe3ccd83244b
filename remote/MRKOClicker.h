#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <atomic>

/// Posted with "identifier" (a presentation application's bundle identifier) when it launched or quit.
inline const QString kMRKOUpdateAppTableCellView = QStringLiteral("MRKOUpdateAppTableCellView");

/// The answer of the permission test for scripting an application.
enum MRKOAutomationStatus : quint64 {
    MRKOAutomationStatusAllowed = 0,
    MRKOAutomationStatusNotAllowed = 1,
    MRKOAutomationStatusMustAsk = 2,
    MRKOAutomationStatusNotRunning = 3,
};

/// Turns the slides of the two presentation applications: by arrow keys sent to the application that was in
/// front before this program, or by scripts to whichever of them runs. Main thread, but for the scripts, which
/// run on the global queue.
class MRKOClicker final : public QObject
{
    Q_OBJECT
public:
    static inline const QString kKeynoteIdentifier = QStringLiteral("com.apple.iWork.Keynote");
    static inline const QString kPowerPointIdentifier = QStringLiteral("com.microsoft.Powerpoint");

    static MRKOClicker &sharedClicker();
    Q_DISABLE_COPY_MOVE(MRKOClicker)

    void nextSlide();
    void previousSlide();
    void activateKeynoteIfNeeded();
    void activateKeynote();
    void updateKeynotePlayingState();
    void requestKeynotePlayingState();
    [[nodiscard]] bool isKeynotePlaying() const { return m_keynotePlaying; }
    [[nodiscard]] bool isKeynoteLaunched() const { return m_isKeynote; }
    [[nodiscard]] bool isPowerpointLaunched() const { return m_isPowerPoint; }
    [[nodiscard]] bool isLaunchedForAppIdentifier(const QString &identifier) const;
    /// 16 x 16 points; null, and not kept, while the application is not installed.
    [[nodiscard]] QImage keynoteIcon();
    [[nodiscard]] QImage powerpointIcon();
    /// The records ("name", "identifier", "icon") of the installed applications, Keynote first.
    [[nodiscard]] QList<QVariantMap> apps();

    void pressRightArrowToPrevAppPID();
    void pressLeftArrowToPrevAppPID();
    void pressSpaceToPrevAppPID();
    void pressRightArrow();
    void pressLeftArrow();

    static void nextKeynote();
    static void previousKeynote();
    static void nextPowerPoint();
    static void previousPowerPoint();
    static void activateKeynoteIfNeededScript();
    [[nodiscard]] static bool keynoteIsRunning();
    [[nodiscard]] static bool powerPointIsRunning();
    /// Without asking the user.
    [[nodiscard]] static MRKOAutomationStatus statusForAppIdentifier(const QString &identifier);
    [[nodiscard]] static bool hasAccessForKeynoteAsk(bool ask);
    [[nodiscard]] static bool hasAccessForPowerpointAsk(bool ask);
    static void openPrivacyPreferences();

    // The script texts, kept exactly as the applications expect them.
    static const QString kKeynoteNextScript;
    static const QString kKeynotePreviousScript;
    static const QString kKeynoteActivateScript;
    static const QString kPowerPointNextScript;
    static const QString kPowerPointPreviousScript;
    static const QString kKeynotePlayingScript;

private:
    MRKOClicker();
    void applicationRunningChanged(const QString &identifier, bool running);
    void changeSlide(bool next);
    [[nodiscard]] QImage iconFor(const QString &identifier, QImage &cache);

    bool m_isKeynote = false;
    bool m_isPowerPoint = false;
    QImage m_keynoteIcon;
    QImage m_powerpointIcon;
    std::atomic<bool> m_keynotePlaying{false}; // written from the global queue
};
