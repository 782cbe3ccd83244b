#include "foundation/MRKOUtils.h"

#include "app/AppDelegate.h"
#include "foundation/AppFolders.h"
#include "foundation/DefaultShortcuts.h"
#include "foundation/InkoraLog.h"
#include "foundation/LayerCompositing.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "foundation/SrgbColor.h"
#include "foundation/ToolTables.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/Layer.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/SyntheticInput.h"
#include "platform/SystemProfile.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <cmath>

#ifndef INKORA_VERSION
#define INKORA_VERSION "0"
#endif

namespace {

/// The release tests, evaluated once on first use, in order.
struct SystemFlags
{
    bool mojave = false;
    bool catalina = false;
    bool bigSur = false;
    bool monterey = false;
    bool ventura = false;
    bool sonoma = false;
    bool sequoia = false;
};

const platform::SystemProfile &systemProfile()
{
    return *platform::services().systemProfile;
}

const SystemFlags &systemFlags()
{
    static const SystemFlags flags = [] {
        const platform::SystemProfile &profile = systemProfile();
        SystemFlags f;
        f.mojave = profile.isVersionAtLeast(10, 14);
        f.catalina = profile.isVersionAtLeast(10, 15);
        f.bigSur = profile.isVersionAtLeast(11);
        f.monterey = profile.isVersionAtLeast(12);
        f.ventura = profile.isVersionAtLeast(13);
        f.sonoma = profile.isVersionAtLeast(14);
        f.sequoia = profile.isVersionAtLeast(15);
        return f;
    }();
    return flags;
}

constexpr double kCloseAfterPrivacyPaneDelay = 0.3;         // seconds
constexpr double kBelowOneRatioScale = 0.44999999999999996; // the double just below 0.45

// Main-thread state.
bool s_logToDocuments = false;
bool s_fnShortcutsInGhostMode = false;
double s_flashLightRatio = 1.0;

QString sequenceChild(const QString &name)
{
    const QString support = MRKOUtils::applicationSupportDir();
    return support.isEmpty() ? QString() : QDir(support).filePath(name);
}

QString createdOrNull(const QString &path)
{
    return path.isEmpty() ? QString() : MRKOUtils::createDirectoryAtURLIfNeeded(path);
}

} // namespace

// Settings and launch flags

platform::Defaults &MRKOUtils::userDefaults()
{
    return platform::Defaults::standard();
}

QString MRKOUtils::appVersion()
{
    return QStringLiteral(INKORA_VERSION);
}

QString MRKOUtils::ratingNameKey()
{
    static const QString key = QStringLiteral("%1_%2").arg(QStringLiteral("RateSavedKey"), appVersion());
    return key;
}

bool MRKOUtils::shouldLogToDocuments()
{
    s_logToDocuments = userDefaults().boolForKey(QStringLiteral("EnableLog"));
    return s_logToDocuments;
}

bool MRKOUtils::cachedLogToDocuments()
{
    return s_logToDocuments;
}

bool MRKOUtils::disableFullLoadAtLaunch()
{
    return userDefaults().boolForKey(QStringLiteral("DisableFullLoadAtLaunch"));
}

bool MRKOUtils::shouldEnterGhostModeAtLaunch()
{
    return userDefaults().boolForKey(QStringLiteral("StartGhostModeAtLaunch"));
}

bool MRKOUtils::updatedFnShortcutsInGhostMode()
{
    s_fnShortcutsInGhostMode = userDefaults().integerForKey(QStringLiteral("AllowFnShortcutsInGhostMode")) == 1;
    return s_fnShortcutsInGhostMode;
}

bool MRKOUtils::cachedFnShortcutsInGhostMode()
{
    return s_fnShortcutsInGhostMode;
}

bool MRKOUtils::shouldHighlightClicksGhostMode()
{
    return userDefaults().boolForKey(QStringLiteral("HighlightClicksGhostMode"));
}

void MRKOUtils::touchBarAvailable()
{
    platform::Defaults &defaults = userDefaults();
    if (defaults.boolForKey(QStringLiteral("TouchBarAvailableChecked")))
        return;
    defaults.setBool(true, QStringLiteral("TouchBarAvailableChecked"));
    defaults.setInteger(1, QStringLiteral("KeepTouchBarKey"));
    defaults.synchronize();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->updateKeepTouchBar();
}

QString MRKOUtils::logPath()
{
    return QDir(appDocumentsDir()).filePath(QStringLiteral("console.log"));
}

QString MRKOUtils::logBakPath()
{
    return QDir(appDocumentsDir()).filePath(QStringLiteral("console.bak.log"));
}

void MRKOUtils::openLog()
{
    if (!QFileInfo::exists(logPath()))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(logPath()));
    closeAllDrawableScreensAfterDelay();
}

// Operating system and environment

bool MRKOUtils::mojaveOrLater()
{
    return systemFlags().mojave;
}

bool MRKOUtils::catalinaOrLater()
{
    return systemFlags().catalina;
}

bool MRKOUtils::bigSurOrLater()
{
    return systemFlags().bigSur;
}

bool MRKOUtils::montereyOrLater()
{
    return systemFlags().monterey;
}

bool MRKOUtils::venturaOrLater()
{
    return systemFlags().ventura;
}

bool MRKOUtils::sonomaOrLater()
{
    return systemFlags().sonoma;
}

bool MRKOUtils::sequoiaOrLater()
{
    return systemFlags().sequoia;
}

bool MRKOUtils::isTrusted()
{
    return systemProfile().isAccessibilityTrusted();
}

bool MRKOUtils::canRecordScreen()
{
    return !catalinaOrLater() || systemProfile().canRecordScreen();
}

QString MRKOUtils::screenRecordingPrefString()
{
    return venturaOrLater() ? QStringLiteral("System Settings > Privacy > Screen Recording")
                            : QStringLiteral("System Preferences > Privacy > Screen Recording");
}

QString MRKOUtils::accesibilityPrefString()
{
    return venturaOrLater() ? QStringLiteral("System Settings > Privacy > Accessibility")
                            : QStringLiteral("System Preferences > Privacy > Accessibility");
}

void MRKOUtils::openPrivacyAccessibilityPreferences()
{
    qCInfo(lcFoundation) << "openPrivacyAccessibilityPreferences: the desktop has no privacy pane for accessibility";
    closeAllDrawableScreensAfterDelay();
}

void MRKOUtils::openPrivacyScreenRecPreferences()
{
    qCInfo(lcFoundation) << "openPrivacyScreenRecPreferences: the desktop has no privacy pane for screen recording";
    closeAllDrawableScreensAfterDelay();
}

void MRKOUtils::closeAllDrawableScreensAfterDelay()
{
    platform::DispatchQueue::main().after(kCloseAfterPrivacyPaneDelay, [] {
        AppDelegate *delegate = AppDelegate::shared();
        if (delegate && delegate->isActiveAndShown())
            delegate->closeAllDrawableScreens();
    });
}

void MRKOUtils::hapticFeedbackGeneric()
{
    // No haptic device to drive.
}

void MRKOUtils::activateAppDecide(bool decide)
{
    Q_UNUSED(decide)
    QWindow *window = QGuiApplication::focusWindow();
    if (!window) {
        for (QWindow *candidate : QGuiApplication::topLevelWindows()) {
            // Overlay windows never take the keyboard; activating one would only be refused.
            if (candidate->isVisible() && !candidate->flags().testFlag(Qt::WindowDoesNotAcceptFocus)) {
                window = candidate;
                break;
            }
        }
    }
    if (window)
        window->requestActivate();
}

void MRKOUtils::setFlashLightRatio(double ratio)
{
    if (!std::isfinite(ratio))
        return; // keeps the ratio in force
    if (ratio == 1.0)
        s_flashLightRatio = 1.0;
    else if (ratio > 1.0)
        s_flashLightRatio = ratio;
    else
        s_flashLightRatio = ratio * kBelowOneRatioScale + 0.5;
}

double MRKOUtils::flashLightRatio()
{
    return s_flashLightRatio;
}

QString MRKOUtils::moveToBinName()
{
    return bigSurOrLater() ? QStringLiteral("Move to Bin") : QStringLiteral("Move to Trash");
}

qint64 MRKOUtils::effectViewMaterial()
{
    return mojaveOrLater() ? 15 : 2;
}

qint64 MRKOUtils::effectViewMaterialSnapshotsTopBar()
{
    return mojaveOrLater() ? 6 : 2;
}

void MRKOUtils::registerKeysForTypingIfNeeded()
{
    KQShortCutMonitor::defaultMonitor().bindShortCutsForTypingIfNeeded();
}

void MRKOUtils::unregisterKeysForTypingIfNeeded()
{
    KQShortCutMonitor::defaultMonitor().unbindShortCutsForTypingIfNeeded();
}

bool MRKOUtils::functionKeyDefaultsApply()
{
    return montereyOrLater() && systemProfile().hasFunctionKey();
}

// Folders and file names

QString MRKOUtils::applicationSupportDir()
{
    return inkora::AppFolders::applicationSupportDir();
}

QString MRKOUtils::snapshotsURL()
{
    return sequenceChild(sequenceNameWithType(0));
}

QString MRKOUtils::snapshotsDir()
{
    return createdOrNull(snapshotsURL());
}

QString MRKOUtils::dazadUdizsURL()
{
    return sequenceChild(sequenceNameWithType(1));
}

QString MRKOUtils::dazadUdizsDir()
{
    return createdOrNull(dazadUdizsURL());
}

QString MRKOUtils::trashURL()
{
    return sequenceChild(sequenceNameWithType(2));
}

QString MRKOUtils::trashDir()
{
    return createdOrNull(trashURL());
}

QString MRKOUtils::presetsURL()
{
    return sequenceChild(QStringLiteral("Presets"));
}

QString MRKOUtils::presetsDir()
{
    return createdOrNull(presetsURL());
}

QString MRKOUtils::shortcutPresetsURL()
{
    return sequenceChild(QStringLiteral("Presets/Shortcuts"));
}

QString MRKOUtils::shortcutPresetsDir()
{
    return createdOrNull(shortcutPresetsURL());
}

QString MRKOUtils::sequencesDBURL()
{
    return sequenceChild(QStringLiteral("Sequences.db"));
}

QString MRKOUtils::trashDBURL()
{
    return sequenceChild(QStringLiteral("Trash.db"));
}

QString MRKOUtils::cachesDir()
{
    return inkora::AppFolders::cachesDir();
}

QString MRKOUtils::snapshotsCacheURL()
{
    return QDir(cachesDir()).filePath(sequenceNameWithType(0));
}

QString MRKOUtils::snapshotsCacheDir()
{
    return createdOrNull(snapshotsCacheURL());
}

QString MRKOUtils::appDocumentsDir()
{
    return inkora::AppFolders::appDocumentsDir();
}

QString MRKOUtils::tempDir()
{
    return inkora::AppFolders::tempDir();
}

bool MRKOUtils::isTempDirExists()
{
    return inkora::AppFolders::isTempDirExists();
}

void MRKOUtils::removeTempDir()
{
    inkora::AppFolders::removeTempDir();
}

QString MRKOUtils::createDirectoryAtURLIfNeeded(const QString &path)
{
    return inkora::AppFolders::createDirectoryAtURLIfNeeded(path);
}

void MRKOUtils::removeContentAtURLIfNeeded(const QString &path)
{
    inkora::AppFolders::removeContentAtURLIfNeeded(path);
}

QString MRKOUtils::safeFileName(const QString &name, const QString &extension, const QString &fallback)
{
    return inkora::AppFolders::safeFileName(name, extension, fallback);
}

QString MRKOUtils::uniqueFilePathWithPathFolder(const QString &path, const QString &folder)
{
    return inkora::AppFolders::uniqueFilePathWithPathFolder(path, folder);
}

QString MRKOUtils::uniqueFilePathWithPathFolderFuturePaths(const QString &path, const QString &folder,
                                                           const QStringList &futurePaths)
{
    return inkora::AppFolders::uniqueFilePathWithPathFolderFuturePaths(path, folder, futurePaths);
}

QString MRKOUtils::sequenceNameWithType(qint64 type)
{
    return inkora::AppFolders::sequenceNameWithType(type);
}

QString MRKOUtils::shotsViewNameWithType(qint64 type)
{
    return inkora::AppFolders::shotsViewNameWithType(type);
}

QString MRKOUtils::sequenceDirWithType(qint64 type)
{
    if (type == 1)
        return dazadUdizsDir();
    if (type == 2)
        return trashDir();
    return snapshotsDir();
}

qint64 MRKOUtils::sequenceTypeWithName(const QString &name)
{
    return inkora::AppFolders::sequenceTypeWithName(name);
}

QString MRKOUtils::extentionWithExportMethod(qint64 method)
{
    return inkora::AppFolders::extentionWithExportMethod(method);
}

QString MRKOUtils::extentionWithGraphicFormat(qint64 format)
{
    return inkora::AppFolders::extentionWithGraphicFormat(format);
}

// Tool tables

QString MRKOUtils::stringForToolType(quint64 type)
{
    return inkora::ToolTables::stringForToolType(type);
}

MRKOToolType MRKOUtils::toolTypeForString(const QString &name)
{
    return inkora::ToolTables::toolTypeForString(name);
}

QString MRKOUtils::stringForToolGroup(quint64 group)
{
    return inkora::ToolTables::stringForToolGroup(group);
}

QList<quint64> MRKOUtils::relatedTypesForToolType(quint64 type)
{
    return inkora::ToolTables::relatedTypesForToolType(type);
}

QImage MRKOUtils::smallImageForToolType(quint64 type)
{
    return inkora::ToolTables::smallImageForToolType(type);
}

QImage MRKOUtils::imageForToolType(quint64 type)
{
    return inkora::ToolTables::imageForToolType(type);
}

QImage MRKOUtils::bigImageForToolType(quint64 type)
{
    return inkora::ToolTables::bigImageForToolType(type);
}

quint64 MRKOUtils::extraActionForToolType(quint64 type)
{
    return inkora::ToolTables::extraActionForToolType(type);
}

MRKOToolType MRKOUtils::toolTypeForExtraAction(quint64 action)
{
    return inkora::ToolTables::toolTypeForExtraAction(action);
}

quint64 MRKOUtils::extraActionForString(const QString &identifier)
{
    return inkora::ToolTables::extraActionForString(identifier);
}

QString MRKOUtils::actionKeyStringDescriptionForString(const QString &identifier)
{
    return inkora::ToolTables::actionKeyStringDescriptionForString(identifier);
}

const QHash<QString, QString> &MRKOUtils::toolsDescriptions()
{
    return inkora::ToolTables::toolsDescriptions();
}

QString MRKOUtils::toolDescriptionWithIdentifier(const QString &identifier)
{
    return inkora::ToolTables::toolDescriptionWithIdentifier(identifier);
}

QColor MRKOUtils::highlightColorForIdentifier(const QString &identifier)
{
    return inkora::ToolTables::highlightColorForIdentifier(identifier);
}

// Default shortcuts

std::shared_ptr<KQShortCut> MRKOUtils::defaultShortCutForAction(const QString &action)
{
    return inkora::DefaultShortcuts::defaultShortCutForAction(action);
}

std::shared_ptr<KQShortCut> MRKOUtils::shortCutForKeyAction(const QString &key, const QString &action)
{
    return inkora::DefaultShortcuts::shortCutForKeyAction(key, action);
}

std::shared_ptr<KQShortCut> MRKOUtils::bindCustomShortCutForKey(const QString &key)
{
    return inkora::DefaultShortcuts::bindCustomShortCutForKey(key);
}

std::shared_ptr<KQShortCut> MRKOUtils::bindDefaultForAction(const QString &action)
{
    return inkora::DefaultShortcuts::bindDefaultForAction(action);
}

std::shared_ptr<KQShortCut> MRKOUtils::effectiveShortCutForKeyAction(const QString &key, const QString &action)
{
    return inkora::DefaultShortcuts::effectiveShortCutForKeyAction(key, action);
}

bool MRKOUtils::shortCutIsDefault(const KQShortCut &shortCut)
{
    return inkora::DefaultShortcuts::shortCutIsDefault(shortCut);
}

// Colours and times

QList<inkora::SrgbColor> MRKOUtils::rainbowColorsArray()
{
    using inkora::SrgbColor;
    return {SrgbColor(1, 0.35, 0.35, 1), SrgbColor(1, 0.35, 1, 1),    SrgbColor(0.35, 0.35, 1, 1),
            SrgbColor(0.35, 1, 1, 1),    SrgbColor(0.35, 1, 0.35, 1), SrgbColor(1, 1, 0.35, 1),
            SrgbColor(1, 0.35, 0.35, 1)};
}

inkora::SrgbColor MRKOUtils::randomColor()
{
    // Modulo 255, so no component quite reaches 1.
    auto component = [] { return double(QRandomGenerator::system()->generate() % 255) / 255.0; };
    const double red = component();
    const double green = component();
    const double blue = component();
    return inkora::SrgbColor(red, green, blue, 1);
}

inkora::SrgbColor MRKOUtils::randomColorHueIntervalWithMinHueMaxHue(double minHue, double maxHue)
{
    const double fraction = double(QRandomGenerator::system()->generate() % 255) / 255.0;
    const double hue = minHue + (maxHue - minHue) * fraction;
    return inkora::srgbColorWithHsb(std::isfinite(hue) ? hue : 0.0, 0.8, 1, 1);
}

double MRKOUtils::secondsWithFadeoutTime(qint64 fadeoutTime)
{
    switch (fadeoutTime) {
    case 1:
        return 2.0;
    case 2:
        return 0.5;
    case 3:
        return 3.0;
    case 4:
        return 4.0;
    case 5:
        return 5.0;
    case 6:
        return 0.25;
    case 7:
        return 0.15;
    case 8:
        return 0.075;
    default:
        return 1.5;
    }
}

std::shared_ptr<platform::Layer>
MRKOUtils::compositeOfLayers(const std::vector<std::shared_ptr<platform::Layer>> &layers,
                             const std::shared_ptr<platform::Layer> &maskedLayer)
{
    return inkora::compositeOfLayers(layers, maskedLayer);
}

void MRKOUtils::cutRectInLayer(const QRectF &rect, platform::Layer &layer)
{
    inkora::cutRectInLayer(rect, layer);
}

platform::Event MRKOUtils::mouseUpCenteredInView(const QWidget &view)
{
    const QWidget *window = view.window();
    const QPoint origin = view.mapTo(window, QPoint(0, 0));
    platform::Event event;
    event.type = platform::EventType::LeftMouseUp;
    // The view's centre, moved into its window's y-up space.
    event.locationInWindow =
        QPointF(origin.x() + view.width() / 2.0, window->height() - (origin.y() + view.height()) + view.height() / 2.0);
    event.windowNumber = qint64(window->effectiveWinId());
    const platform::Event *current = platform::EventQueue::shared().currentEvent();
    event.timestamp = current ? current->timestamp : platform::services().clock->now();
    event.clickCount = 1;
    event.pressure = 1.0;
    return event;
}

// ---------------------------------------------------------------------------------------------------------------
// Synthetic events, the screen under the pointer and outside links

namespace {

// The program's own addresses; the stores named by the link methods have no Linux counterpart, so they lead to
// the product's pages.
const QString kMakerWebPage = QStringLiteral("https://inkora.app/about");
const QString kProductWebPage = QStringLiteral("https://inkora.app");
const QString kProductStorePage = QStringLiteral("https://inkora.app/download");
const QString kRemoteStorePage = QStringLiteral("https://inkora.app/remote");
const QString kSupportAddress = QStringLiteral("support@inkora.app");

QPointF globalPointerLocation()
{
    return platform::pointFromQt(QCursor::pos());
}

// TODO: ask the shell's record of the previously active program once it exists; until then the key goes to
// whatever has the focus.
qint64 previousApplicationProcessId()
{
    return 0;
}

QRectF contentFrameOfWindow(const QWidget *window)
{
    return window ? QRectF(0, 0, window->width(), window->height()) : QRectF();
}

void openAddress(const QString &address)
{
    if (!QDesktopServices::openUrl(QUrl(address)))
        qCWarning(lcFoundation).noquote() << "openUrl: no handler opened" << address;
}

} // namespace

platform::Event MRKOUtils::mouseUpWithNoContext()
{
    platform::Event event;
    event.type = platform::EventType::LeftMouseUp;
    event.locationInWindow = globalPointerLocation();
    event.clickCount = 1;
    event.pressure = 1.0;
    return event;
}

platform::Event MRKOUtils::keyDownWithKeyUpEvent(const platform::Event &keyUp)
{
    return MouseEvent::keyDownWithKeyUpEvent(keyUp);
}

platform::Event MRKOUtils::mouseDownWithToolbar(const QWidget *window)
{
    return MouseEvent::mouseDownWithToolbar(window ? qint64(window->effectiveWinId()) : 0,
                                            contentFrameOfWindow(window));
}

platform::Event MRKOUtils::mouseUpWithToolbar(const QWidget *window)
{
    return MouseEvent::mouseUpWithToolbar(window ? qint64(window->effectiveWinId()) : 0, contentFrameOfWindow(window));
}

void MRKOUtils::pressOnTheToolbarWindow(const QWidget *window)
{
    // Global y-up frames of the window and the pointer, turned into the window system's y-down points with the
    // height of the window's screen.
    const QScreen *primary = QGuiApplication::primaryScreen();
    const double primaryHeight = primary ? primary->geometry().height() : 0;
    QRectF frame;
    double screenHeight = 0;
    if (window) {
        const QRect g = window->frameGeometry();
        frame = QRectF(g.x(), primaryHeight - (g.y() + g.height()), g.width(), g.height());
        if (const QScreen *screen = window->screen())
            screenHeight = screen->geometry().height();
    }
    const QPointF pointer = globalPointerLocation();
    platform::SyntheticInput &input = *platform::services().syntheticInput;
    if (!input.clickAt(QPointF(20, screenHeight - (platform::maxY(frame) - 3))))
        qCWarning(lcFoundation) << "pressOnTheToolbarWindow: the click could not be sent";
    input.movePointerTo(QPointF(pointer.x(), screenHeight - pointer.y()));
}

void MRKOUtils::forwardKeystrokeToNextApp(quint16 keyCode)
{
    if (!platform::services().syntheticInput->postKeystroke(keyCode, previousApplicationProcessId()))
        qCWarning(lcFoundation) << "forwardKeystrokeToNextApp: key code" << keyCode << "could not be sent";
}

void MRKOUtils::postReturnPressing()
{
    platform::EventQueue::shared().postEvent(MouseEvent::returnPressingEvent(), true);
}

bool MRKOUtils::fnPressed()
{
    return platform::EventQueue::shared().currentModifierFlags() & platform::kFunctionFlag;
}

QScreen *MRKOUtils::screenForMouseLocation()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return nullptr;
    const QPoint pos = QCursor::pos();
    QScreen *found = nullptr;
    for (QScreen *screen : screens) {
        if (screen->geometry().contains(pos))
            found = screen;
    }
    return found ? found : screens.first();
}

void MRKOUtils::openWebPage()
{
    openAddress(kMakerWebPage);
}

void MRKOUtils::openInkoraWebPage()
{
    openAddress(kProductWebPage);
}

void MRKOUtils::openAppStore()
{
    openAddress(kProductStorePage);
}

void MRKOUtils::openAppStoreGetInkroaRemote()
{
    openAddress(kRemoteStorePage);
}

QUrl MRKOUtils::feedbackMailURL()
{
    auto encoded = [](const QString &text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); };
    const QString subject = QStringLiteral("SUBJECT=%1").arg(encoded(QStringLiteral("Inkora Feedback")));
    const QString body = QStringLiteral("BODY=%1").arg(encoded(QString()));
    return QUrl(QStringLiteral("mailto:%1?%2&%3").arg(kSupportAddress, subject, body));
}

void MRKOUtils::openMail()
{
    if (!QDesktopServices::openUrl(feedbackMailURL()))
        qCWarning(lcFoundation) << "openMail: no mail program opened the feedback mail";
}
