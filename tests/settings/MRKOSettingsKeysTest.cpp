#include "settings/MRKOSettingsKeys.h"

#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "app/RegisteredDefaults.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"

#include <QSet>

#include <array>
#include <functional>
#include <vector>

using inkora::SettingsKeyRow;
using inkora::settingsKeyTable;

class MRKOSettingsKeysTest : public InkoraFixture
{
protected:
    AppDelegate delegate;
};

TEST_F(MRKOSettingsKeysTest, ListHoldsTheFixedKeysThenTwoKeysPerCanvas)
{
    const QStringList fixed = inkora::settingsKeysForCanvasIndexes({});
    ASSERT_EQ(fixed.size(), 104);
    EXPECT_EQ(fixed.first(), QStringLiteral("FadeOutTimeKey"));
    EXPECT_EQ(fixed.last(), QStringLiteral("QuickGhostModeWithWhiteBoard"));
    EXPECT_EQ(QSet<QString>(fixed.begin(), fixed.end()).size(), 104);
    // Written by the pane but carried by no preset.
    EXPECT_FALSE(fixed.contains(QStringLiteral("QuickArrowHead")));
    EXPECT_FALSE(fixed.contains(QStringLiteral("MagnifyToggleScale")));

    const std::array<qint64, 2> indexes = {0, 1};
    const QStringList withCanvases = inkora::settingsKeysForCanvasIndexes(indexes);
    ASSERT_EQ(withCanvases.size(), 108);
    EXPECT_EQ(withCanvases.mid(104), (QStringList{QStringLiteral("wb_0"), QStringLiteral("wbHidden_0"),
                                                  QStringLiteral("wb_1"), QStringLiteral("wbHidden_1")}));
}

TEST_F(MRKOSettingsKeysTest, TableDefaultsAreTheRegisteredOnes)
{
    const QVariantMap registered = inkora::registeredDefaultSettings();
    int withDefault = 0;
    for (const SettingsKeyRow &row : settingsKeyTable()) {
        SCOPED_TRACE(row.key);
        const QVariant value = registered.value(QLatin1String(row.key));
        if (!row.registeredDefault) {
            EXPECT_FALSE(value.isValid());
            continue;
        }
        ++withDefault;
        ASSERT_TRUE(value.isValid());
        const double number = value.typeId() == QMetaType::Float ? double(value.toFloat()) : value.toDouble();
        EXPECT_EQ(number, *row.registeredDefault);
    }
    EXPECT_EQ(withDefault, 45);
}

TEST_F(MRKOSettingsKeysTest, EveryLiveCopyFollowsItsKeyThroughTheFullUpdate)
{
    struct Row
    {
        const char *key;
        std::function<qint64()> live;
    };
    const std::vector<Row> rows = {
        {"ShowNotificationsKey", [this] { return delegate.notifications(); }},
        {"ClearScreenWhenHides", [this] { return qint64(delegate.clearScreenWhenHides()); }},
        {"KeepTouchBarWithToolbarKey", [this] { return qint64(delegate.keepTouchBarWToolbar()); }},
        {"FlashlightByShift", [this] { return qint64(delegate.flashlightByShift()); }},
        {"HighlightClicksGhostMode", [this] { return qint64(delegate.highlightClicksGhostMode()); }},
        {"SimulateArrowKeys", [this] { return qint64(delegate.simulateArrowKeys()); }},
        {"ForwardUnusedKeys", [this] { return qint64(delegate.unusedKeysForwarding()); }},
        {"WholeScreenToClipboard", [this] { return qint64(delegate.wholeScreenToClipboard()); }},
        {"UseZoomByZKey", [this] { return qint64(delegate.zoomByZKey()); }},
        {"PlayKeyboardSounds", [this] { return qint64(delegate.playKeyboardSounds()); }},
        {"PlayMouseSounds", [this] { return qint64(delegate.playMouseClickSounds()); }},
        {"SnapshotExportFormat", [this] { return delegate.snapshotExportFormat(); }},
        {"SnapshotMultiExportFormat", [this] { return delegate.snapshotMultiExportFormat(); }},
        {"ShowSnapshotNotification", [this] { return qint64(delegate.snapshotNotification()); }},
        {"CleanUpRecentlyDeletedOnQuit", [this] { return qint64(delegate.cleanUpRecentlyDeletedOnQuit()); }},
        {"ResetBadgeCountWhenClearCanvas", [this] { return qint64(delegate.resetBadgeCountWhenClearCanvas()); }},
        {"ResetBadgeCountWhenAppHides", [this] { return qint64(delegate.resetBadgeCountWhenAppHides()); }},
        {"QuickGhostModeWithWhiteBoard", [this] { return qint64(delegate.quickGhostModeWithWhiteBoard()); }},
        {"InkoraWindowLevel", [] { return qint64(MRKOAppLevel::appLevel().level()); }},
    };
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    for (const Row &row : rows)
        defaults.setInteger(row.key == std::string("InkoraWindowLevel") ? 40 : 2, QLatin1String(row.key));
    delegate.updateAllSettings();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.key);
        const QString key = QLatin1String(row.key);
        // Flags are on only for exactly 1; the sound and click-highlight keys take any non-zero low byte.
        const bool byteKey = key.startsWith(QLatin1String("Play")) || key == QLatin1String("HighlightClicksGhostMode");
        const bool number = key.contains(QLatin1String("Format")) || key.contains(QLatin1String("Notifications"));
        EXPECT_EQ(row.live(), key == QLatin1String("InkoraWindowLevel") ? 40 : (number ? 2 : (byteKey ? 1 : 0)));
    }

    for (const Row &row : rows)
        defaults.setInteger(1, QLatin1String(row.key));
    defaults.setInteger(-5, QStringLiteral("InkoraWindowLevel"));
    delegate.updateAllSettings();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.live(), QLatin1String(row.key) == QLatin1String("InkoraWindowLevel") ? 29 : 1);
    }
}
