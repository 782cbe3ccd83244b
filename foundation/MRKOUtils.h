#pragma once

#include "foundation/SrgbColor.h"
#include "tools/MRKOToolType.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class KQShortCut;
class QScreen;
class QUrl;
class QWidget;
namespace platform {
class Defaults;
class Layer;
struct Event;
} // namespace platform

/// Class methods every subsystem calls: the one route to the settings, system queries, the program's folders and
/// free file names, the tool tables, the default shortcuts and the shared colour helpers. Main thread unless noted.
class MRKOUtils final
{
public:
    MRKOUtils() = delete;

    // Settings and launch flags
    /// The settings store; every read and write of a setting goes through it.
    static platform::Defaults &userDefaults();
    static QString appVersion();
    /// "RateSavedKey_" followed by the version: the key of this version's rating answer.
    static QString ratingNameKey();
    /// Reads "EnableLog", remembers it and returns it.
    static bool shouldLogToDocuments();
    static bool cachedLogToDocuments();
    static bool disableFullLoadAtLaunch();
    static bool shouldEnterGhostModeAtLaunch();
    /// Re-reads "AllowFnShortcutsInGhostMode" (on exactly when 1), remembers it and returns it.
    static bool updatedFnShortcutsInGhostMode();
    static bool cachedFnShortcutsInGhostMode();
    static bool shouldHighlightClicksGhostMode();
    /// On the very first run keeps the Touch Bar with a hidden tool bar ("KeepTouchBarKey" 1), once.
    static void touchBarAvailable();
    /// "console.log" and "console.bak.log" in the Documents folder.
    static QString logPath();
    static QString logBakPath();
    static void openLog();

    // Operating system and environment
    static bool mojaveOrLater();
    static bool catalinaOrLater();
    static bool bigSurOrLater();
    static bool montereyOrLater();
    static bool venturaOrLater();
    static bool sonomaOrLater();
    static bool sequoiaOrLater();
    static bool isTrusted();
    static bool canRecordScreen();
    static QString screenRecordingPrefString();
    static QString accesibilityPrefString();
    static void openPrivacyAccessibilityPreferences();
    static void openPrivacyScreenRecPreferences();
    /// 0.3 s later closes the overlay when it is shown.
    static void closeAllDrawableScreensAfterDelay();
    static void hapticFeedbackGeneric();
    static void activateAppDecide(bool decide);
    /// Keeps the flashlight's shape ratio: 1 and above as given, below 1 mapped into 0.5 ... 0.95.
    static void setFlashLightRatio(double ratio);
    static double flashLightRatio();
    static QString moveToBinName();
    static qint64 effectViewMaterial();
    static qint64 effectViewMaterialSnapshotsTopBar();
    static void registerKeysForTypingIfNeeded();
    static void unregisterKeysForTypingIfNeeded();
    /// Whether the defaults that prefer the Function key take it: only where there is one, on the newer systems.
    static bool functionKeyDefaultsApply();

    // Folders and file names (paths; a null string where a folder could not be made)
    static QString applicationSupportDir();
    static QString snapshotsURL();
    static QString snapshotsDir();
    static QString dazadUdizsURL();
    static QString dazadUdizsDir();
    static QString trashURL();
    static QString trashDir();
    static QString presetsURL();
    static QString presetsDir();
    static QString shortcutPresetsURL();
    static QString shortcutPresetsDir();
    static QString sequencesDBURL();
    static QString trashDBURL();
    static QString cachesDir();
    static QString snapshotsCacheURL();
    static QString snapshotsCacheDir();
    static QString appDocumentsDir();
    static QString tempDir();
    static bool isTempDirExists();
    static void removeTempDir();
    static QString createDirectoryAtURLIfNeeded(const QString &path);
    static void removeContentAtURLIfNeeded(const QString &path);
    /// The path itself when nothing is there, else the first free "name (n).ext" in the folder.
    static QString uniqueFilePathWithPathFolder(const QString &path, const QString &folder);
    /// The first free name in the folder, starting with the path's own name; paths about to be written count as
    /// taken.
    static QString uniqueFilePathWithPathFolderFuturePaths(const QString &path, const QString &folder,
                                                           const QStringList &futurePaths);
    /// A file name made from a name the user gave: "/" and NUL become "-", leading dots go, an empty result takes
    /// `fallback`; cut at a character boundary so that the name, a " (10000)" counter and ".extension" fit in 255
    /// bytes of UTF-8. No dot is added for an empty extension.
    [[nodiscard]] static QString safeFileName(const QString &name, const QString &extension, const QString &fallback);
    static QString sequenceNameWithType(qint64 type);
    static QString shotsViewNameWithType(qint64 type);
    static QString sequenceDirWithType(qint64 type);
    static qint64 sequenceTypeWithName(const QString &name);
    static QString extentionWithExportMethod(qint64 method);
    static QString extentionWithGraphicFormat(qint64 format);

    // Tool tables
    static QString stringForToolType(quint64 type);
    static MRKOToolType toolTypeForString(const QString &name);
    static QString stringForToolGroup(quint64 group);
    static QList<quint64> relatedTypesForToolType(quint64 type);
    static QImage smallImageForToolType(quint64 type);
    static QImage imageForToolType(quint64 type);
    static QImage bigImageForToolType(quint64 type);
    static quint64 extraActionForToolType(quint64 type);
    static MRKOToolType toolTypeForExtraAction(quint64 action);
    static quint64 extraActionForString(const QString &identifier);
    static QString actionKeyStringDescriptionForString(const QString &identifier);
    static const QHash<QString, QString> &toolsDescriptions();
    static QString toolDescriptionWithIdentifier(const QString &identifier);
    static QColor highlightColorForIdentifier(const QString &identifier);

    // Default shortcuts (actions are selector texts such as "undoWithEvent:")
    [[nodiscard]] static std::shared_ptr<KQShortCut> defaultShortCutForAction(const QString &action);
    static std::shared_ptr<KQShortCut> shortCutForKeyAction(const QString &key, const QString &action);
    static std::shared_ptr<KQShortCut> bindCustomShortCutForKey(const QString &key);
    static std::shared_ptr<KQShortCut> bindDefaultForAction(const QString &action);
    /// The stored shortcut of the key (string form, else the older archived form), else the action's default;
    /// nothing is bound or written.
    [[nodiscard]] static std::shared_ptr<KQShortCut> effectiveShortCutForKeyAction(const QString &key,
                                                                                   const QString &action);
    static bool shortCutIsDefault(const KQShortCut &shortCut);

    // Layers and events
    /// The composite of drawing layers, with the mask's painted pixels cut out and the rest trimmed when a mask is
    /// given (see inkora::compositeOfLayers).
    [[nodiscard]] static std::shared_ptr<platform::Layer>
    compositeOfLayers(const std::vector<std::shared_ptr<platform::Layer>> &layers,
                      const std::shared_ptr<platform::Layer> &maskedLayer = nullptr);
    static void cutRectInLayer(const QRectF &rect, platform::Layer &layer);
    /// A left-mouse-up at the centre of the view, located in its window (points, y up): flags 0, click count 1,
    /// pressure 1.0, the current event's time stamp (now when there is none) and the window's number.
    [[nodiscard]] static platform::Event mouseUpCenteredInView(const QWidget &view);

    // Colours and times
    /// The seven colours of the rainbow gradient, red to red.
    static QList<inkora::SrgbColor> rainbowColorsArray();
    static inkora::SrgbColor randomColor();
    static inkora::SrgbColor randomColorHueIntervalWithMinHueMaxHue(double minHue, double maxHue);
    /// Seconds of the fade-time setting: 1 -> 2.0, 2 -> 0.5, 3 -> 3.0, 4 -> 4.0, 5 -> 5.0, 6 -> 0.25, 7 -> 0.15,
    /// 8 -> 0.075, any other 1.5.
    static double secondsWithFadeoutTime(qint64 fadeoutTime);

    // --- Synthetic events, the screen under the pointer and outside links ---
    /// A left-mouse-up at the global pointer location (points, y up): flags 0, time stamp 0, window 0, click
    /// count 1, pressure 1.0.
    [[nodiscard]] static platform::Event mouseUpWithNoContext();
    [[nodiscard]] static platform::Event keyDownWithKeyUpEvent(const platform::Event &keyUp);
    /// Left-mouse-down (or up) at (20, top of the window's content - 2) in the window; (20, -2) without a window.
    [[nodiscard]] static platform::Event mouseDownWithToolbar(const QWidget *window);
    [[nodiscard]] static platform::Event mouseUpWithToolbar(const QWidget *window);
    /// Puts a Return key-down ahead of every event waiting in our own queue.
    static void postReturnPressing();
    /// A real click 3 points below the window's top edge at x = 20 of the screen space, through the window
    /// system; then the pointer goes back where it was.
    static void pressOnTheToolbarWindow(const QWidget *window);
    /// Key down and up of the key code, sent to the program that was in front before ours.
    static void forwardKeystrokeToNextApp(quint16 keyCode);
    /// Whether the Function modifier (the Menu key on X11) is held as input last reported it.
    [[nodiscard]] static bool fnPressed();
    /// The screen whose frame holds the pointer (a later screen wins a tie); the first screen when none does.
    [[nodiscard]] static QScreen *screenForMouseLocation();
    static void openWebPage();
    static void openInkoraWebPage();
    static void openAppStore();
    static void openAppStoreGetInkroaRemote();
    static void openMail();
    /// The feedback mail's address: "mailto:" with the subject "Inkora Feedback" and an empty body.
    [[nodiscard]] static QUrl feedbackMailURL();
    // --- end of events, screens and links ---
};
