#include "remote/MRKOClicker.h"

#include "app/MRKOPrevApp.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/ScriptRunner.h"
#include "platform/Services.h"
#include "platform/SyntheticInput.h"
#include "platform/SystemProfile.h"
#include "remote/RemoteNeighbours.h"

namespace {

constexpr quint16 kRightArrow = 124; // key codes
constexpr quint16 kLeftArrow = 123;
constexpr quint16 kSpace = 49;
constexpr int kIconSize = 16; // points

platform::ScriptRunner *runner()
{
    return platform::services().scriptRunner.get();
}

bool automationTestsApply()
{
    return platform::services().systemProfile->isVersionAtLeast(10, 14);
}

int permissionResultCode(const QString &identifier, bool ask)
{
    if (!automationTestsApply())
        return platform::ScriptRunner::NoError;
    platform::ScriptRunner *r = runner();
    return r ? r->permissionResultCode(identifier, ask) : int(platform::ScriptRunner::ProcessNotFound);
}

// Runs one script on the global queue when the application may be scripted; its result is dropped.
void runScript(const QString &script, bool keynote)
{
    const bool access =
        keynote ? MRKOClicker::hasAccessForKeynoteAsk(false) : MRKOClicker::hasAccessForPowerpointAsk(false);
    if (!access) {
        qCWarning(lcRemote) << (keynote ? "Inkora has no access for Keynote" : "Inkora has no access for Powerpoint");
        return;
    }
    platform::DispatchQueue::global().async([script] {
        if (platform::ScriptRunner *r = runner())
            (void)r->runScript(script);
    });
}

void pressKey(quint16 keyCode, qint64 processId)
{
    if (platform::SyntheticInput *input = platform::services().syntheticInput.get())
        (void)input->postKeystroke(keyCode, processId);
}

} // namespace

const QString MRKOClicker::kKeynoteNextScript =
    QStringLiteral("tell application \"Keynote\"\n if playing is true then show next\n  end");
const QString MRKOClicker::kKeynotePreviousScript =
    QStringLiteral("tell application \"Keynote\"\n if playing is true then show previous\n  end");
const QString MRKOClicker::kKeynoteActivateScript =
    QStringLiteral("tell application \"Keynote\"\n if playing is true then activate\n  end");
const QString MRKOClicker::kPowerPointNextScript =
    QStringLiteral("tell application \"Microsoft PowerPoint\"\n") + QString(29, QLatin1Char(' ')) +
    QStringLiteral("go to next slide slide show view of slide show window of active presentation\n") +
    QString(14, QLatin1Char(' ')) + QStringLiteral("end tell");
const QString MRKOClicker::kPowerPointPreviousScript =
    QStringLiteral("tell application \"Microsoft PowerPoint\"\n") + QString(33, QLatin1Char(' ')) +
    QStringLiteral("go to previous slide slide show view of slide show window of active presentation\n") +
    QString(14, QLatin1Char(' ')) + QStringLiteral("end tell");
const QString MRKOClicker::kKeynotePlayingScript =
    QStringLiteral("set currentPlaying to false\ntell application \"Keynote\"\nset currentPlaying to (playing)\n"
                   "end tell\nreturn currentPlaying\n");

MRKOClicker &MRKOClicker::sharedClicker()
{
    static MRKOClicker *const s_shared = new MRKOClicker; // lives for the process
    return *s_shared;
}

MRKOClicker::MRKOClicker()
{
    m_isKeynote = keynoteIsRunning();
    m_isPowerPoint = powerPointIsRunning();
    if (platform::ScriptRunner *r = runner()) {
        r->setRunningChangedHandler([self = QPointer<MRKOClicker>(this)](const QString &identifier, bool running) {
            if (self)
                self->applicationRunningChanged(identifier, running);
        });
    }
}

void MRKOClicker::applicationRunningChanged(const QString &identifier, bool running)
{
    if (identifier == kKeynoteIdentifier)
        m_isKeynote = running;
    else if (identifier == kPowerPointIdentifier)
        m_isPowerPoint = running;
    else
        return;
    platform::NotificationCenter::defaultCenter().post(kMRKOUpdateAppTableCellView, nullptr,
                                                       {{QStringLiteral("identifier"), identifier}});
}

void MRKOClicker::nextSlide()
{
    changeSlide(true);
}

void MRKOClicker::previousSlide()
{
    changeSlide(false);
}

void MRKOClicker::changeSlide(bool next)
{
    // Where no script can drive the applications, the arrow key is the only way to turn a slide.
    platform::ScriptRunner *r = runner();
    const bool arrows = inkora::remoteNeighbours().simulateArrowKeys() && MRKOUtils::isTrusted();
    if (arrows || !r || !r->isAvailable()) {
        QPointer<MRKOClicker> self(this);
        platform::DispatchQueue::main().async([self, next] {
            if (!self)
                return;
            if (next)
                self->pressRightArrowToPrevAppPID();
            else
                self->pressLeftArrowToPrevAppPID();
        });
        return;
    }
    if (m_isKeynote)
        platform::DispatchQueue::main().async([next] { next ? nextKeynote() : previousKeynote(); });
    if (m_isPowerPoint)
        platform::DispatchQueue::main().async([next] { next ? nextPowerPoint() : previousPowerPoint(); });
}

void MRKOClicker::activateKeynoteIfNeeded()
{
    if (!m_isKeynote || !MRKOPrevApp::sharedPrevApp().isKeynote())
        return;
    platform::DispatchQueue::main().async([] { activateKeynoteIfNeededScript(); });
}

void MRKOClicker::activateKeynote()
{
    // Another application cannot be brought forward here: the window manager decides, and the arrow keys
    // activate the previous application's window themselves.
    if (m_isKeynote)
        qCInfo(lcRemote) << "activateKeynote: presentation applications cannot be activated on this desktop";
}

void MRKOClicker::updateKeynotePlayingState()
{
    m_keynotePlaying = false;
    if (m_isKeynote)
        platform::DispatchQueue::main().async([self = QPointer<MRKOClicker>(this)] {
            if (self)
                self->requestKeynotePlayingState();
        });
}

void MRKOClicker::requestKeynotePlayingState()
{
    if (!hasAccessForKeynoteAsk(false)) {
        qCWarning(lcRemote) << "Inkora has no access for Keynote";
        return;
    }
    // A runner that answers no result leaves the show counted as not playing.
    platform::DispatchQueue::global().async([] {
        if (platform::ScriptRunner *r = runner())
            (void)r->runScript(kKeynotePlayingScript);
    });
}

bool MRKOClicker::isLaunchedForAppIdentifier(const QString &identifier) const
{
    if (identifier == kKeynoteIdentifier)
        return m_isKeynote;
    if (identifier == kPowerPointIdentifier)
        return m_isPowerPoint;
    return false;
}

QImage MRKOClicker::iconFor(const QString &identifier, QImage &cache)
{
    if (!cache.isNull())
        return cache;
    platform::ScriptRunner *r = runner();
    const QImage icon = r ? r->iconForApplication(identifier) : QImage();
    if (icon.isNull())
        return {};
    cache = icon.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return cache;
}

QImage MRKOClicker::keynoteIcon()
{
    return iconFor(kKeynoteIdentifier, m_keynoteIcon);
}

QImage MRKOClicker::powerpointIcon()
{
    return iconFor(kPowerPointIdentifier, m_powerpointIcon);
}

QList<QVariantMap> MRKOClicker::apps()
{
    QList<QVariantMap> apps;
    if (const QImage icon = keynoteIcon(); !icon.isNull())
        apps << QVariantMap{{"name", QStringLiteral("Keynote")}, {"identifier", kKeynoteIdentifier}, {"icon", icon}};
    if (const QImage icon = powerpointIcon(); !icon.isNull())
        apps << QVariantMap{
            {"name", QStringLiteral("Microsoft PowerPoint")}, {"identifier", kPowerPointIdentifier}, {"icon", icon}};
    return apps;
}

void MRKOClicker::pressRightArrowToPrevAppPID()
{
    qCInfo(lcRemote) << "pressRightArrowToPrevAppPID";
    pressKey(kRightArrow, MRKOPrevApp::sharedPrevApp().processID());
}

void MRKOClicker::pressLeftArrowToPrevAppPID()
{
    qCInfo(lcRemote) << "pressLeftArrowToPrevAppPID";
    pressKey(kLeftArrow, MRKOPrevApp::sharedPrevApp().processID());
}

void MRKOClicker::pressSpaceToPrevAppPID()
{
    qCInfo(lcRemote) << "pressSpaceToPrevAppPID";
    pressKey(kSpace, MRKOPrevApp::sharedPrevApp().processID());
}

void MRKOClicker::pressRightArrow()
{
    qCInfo(lcRemote) << "pressRightArrow. Simulate Arrow Pressing";
    pressKey(kRightArrow, 0);
}

void MRKOClicker::pressLeftArrow()
{
    qCInfo(lcRemote) << "pressLeftArrow. Simulate Arrow Pressing";
    pressKey(kLeftArrow, 0);
}

void MRKOClicker::nextKeynote()
{
    runScript(kKeynoteNextScript, true);
}

void MRKOClicker::previousKeynote()
{
    runScript(kKeynotePreviousScript, true);
}

void MRKOClicker::nextPowerPoint()
{
    runScript(kPowerPointNextScript, false);
}

void MRKOClicker::previousPowerPoint()
{
    runScript(kPowerPointPreviousScript, false);
}

void MRKOClicker::activateKeynoteIfNeededScript()
{
    runScript(kKeynoteActivateScript, true);
}

bool MRKOClicker::keynoteIsRunning()
{
    platform::ScriptRunner *r = runner();
    return r && r->isRunning(kKeynoteIdentifier);
}

bool MRKOClicker::powerPointIsRunning()
{
    platform::ScriptRunner *r = runner();
    return r && r->isRunning(kPowerPointIdentifier);
}

MRKOAutomationStatus MRKOClicker::statusForAppIdentifier(const QString &identifier)
{
    switch (permissionResultCode(identifier, false)) {
    case platform::ScriptRunner::NotPermitted:
        return MRKOAutomationStatusNotAllowed;
    case platform::ScriptRunner::ConsentRequired:
        return MRKOAutomationStatusMustAsk;
    case platform::ScriptRunner::ProcessNotFound:
        return MRKOAutomationStatusNotRunning;
    default:
        return MRKOAutomationStatusAllowed;
    }
}

bool MRKOClicker::hasAccessForKeynoteAsk(bool ask)
{
    return permissionResultCode(kKeynoteIdentifier, ask) == platform::ScriptRunner::NoError;
}

bool MRKOClicker::hasAccessForPowerpointAsk(bool ask)
{
    return permissionResultCode(kPowerPointIdentifier, ask) == platform::ScriptRunner::NoError;
}

void MRKOClicker::openPrivacyPreferences()
{
    if (platform::ScriptRunner *r = runner())
        r->openPrivacySettings();
}
