#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "foundation/MRKOUtilsAux.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "platform/fake/FakeStatusItem.h"
#include "settings/MRKOGhostModePopover.h"
#include "settings/MRKOPreferencesClipView.h"
#include "settings/MRKOSideSettings.h"
#include "tests/settings/PreferencesFixture.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QStyleHints>
#include <QTest>

using inkora::liveSettings;

namespace {

constexpr quint64 kShift = 0x20000;
constexpr quint64 kControl = 0x40000;
constexpr quint64 kOption = 0x80000;
constexpr quint64 kCommand = 0x100000;

class SideSettingsTest : public PreferencesFixture
{
protected:
    void SetUp() override
    {
        PreferencesFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support"));
    }

    void TearDown() override
    {
        if (MRKOUtilsAux::isLogging())
            MRKOUtilsAux::suspendLog();
        PreferencesFixture::TearDown();
    }
};

TEST_F(SideSettingsTest, TheGestureNeedsSuperAltCtrlAndExactlyTwoClicks)
{
    struct Case
    {
        quint64 flags;
        int clicks;
        bool opens;
    };
    for (const Case c :
         {Case{kControl | kOption | kCommand, 2, true}, Case{kControl | kOption | kCommand | kShift, 2, true},
          Case{kControl | kOption, 2, false}, Case{kOption | kCommand, 2, false}, Case{kControl | kCommand, 2, false},
          Case{kControl | kOption | kCommand, 1, false}, Case{kControl | kOption | kCommand, 3, false}})
        EXPECT_EQ(MRKOPreferencesClipView::opensSideSettings(c.flags, c.clicks), c.opens) << c.flags << " " << c.clicks;
}

TEST_F(SideSettingsTest, ADoubleClickWithTheModifiersInThePaneOpensTheSideSettings)
{
    pane().resize(600, 400);
    pane().show();
    auto *clip = qobject_cast<MRKOPreferencesClipView *>(pane().scrollView()->viewport());
    ASSERT_NE(clip, nullptr);
    EXPECT_TRUE(clip->isFlipped());
    const Qt::KeyboardModifiers three = Qt::MetaModifier | Qt::AltModifier | Qt::ControlModifier;

    // A press, or a double click's second press, as the window system delivers it, at a time in milliseconds.
    const auto press = [clip](QEvent::Type type, Qt::KeyboardModifiers modifiers, quint64 time) {
        QMouseEvent event(type, QPointF(5, 5), clip->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                          modifiers);
        event.setTimestamp(time);
        QCoreApplication::sendEvent(clip, &event);
    };
    press(QEvent::MouseButtonPress, Qt::MetaModifier | Qt::AltModifier, 1000);
    press(QEvent::MouseButtonDblClick, Qt::MetaModifier | Qt::AltModifier, 1100);
    press(QEvent::MouseButtonPress, three, 5000);
    drainMainQueue();
    EXPECT_EQ(clip->sideSettingsPopover(), nullptr);
    // A third quick press is no double click.
    press(QEvent::MouseButtonPress, three, 9000);
    press(QEvent::MouseButtonDblClick, three, 9100);
    press(QEvent::MouseButtonPress, three, 9200);
    drainMainQueue();
    ASSERT_NE(clip->sideSettingsPopover(), nullptr); // from the second press

    press(QEvent::MouseButtonPress, three | Qt::ShiftModifier, 20000);
    press(QEvent::MouseButtonDblClick, three | Qt::ShiftModifier, 20100);
    drainMainQueue();
    ASSERT_NE(clip->sideSettingsPopover(), nullptr);
    EXPECT_TRUE(clip->sideSettingsPopover()->isShown());
    EXPECT_EQ(clip->sideSettingsPopover()->behavior(), platform::Popover::SemiTransient);
}

TEST_F(SideSettingsTest, ResetRemovesTheThreeKeysAndLoggingStops)
{
    MRKOSideSettings settings;
    EXPECT_FALSE(settings.enableLog()->isChecked());
    EXPECT_TRUE(settings.useCustomDrawLayer()->isChecked()); // registered as 1
    EXPECT_TRUE(settings.drawChunks()->isEnabled());

    settings.enableLog()->click();
    EXPECT_TRUE(MRKOUtilsAux::isLogging());
    EXPECT_TRUE(stored(QStringLiteral("EnableLog")).toBool());
    settings.useCustomDrawLayer()->click();
    EXPECT_EQ(stored(QStringLiteral("AllowDrawBaseLayer")).toLongLong(), 0);
    EXPECT_FALSE(liveSettings().allowDrawBaseLayer);
    EXPECT_FALSE(settings.drawChunks()->isEnabled()); // chunks cannot change while the base layer is off
    settings.useCustomDrawLayer()->click();
    settings.drawChunks()->click();
    EXPECT_EQ(stored(QStringLiteral("DrawCroppedChunks")).toLongLong(), 0);
    EXPECT_FALSE(liveSettings().drawCroppedChunks);

    settings.findChild<QPushButton *>(QStringLiteral("resetButton"))->click();

    for (const QString &key : MRKOSideSettings::supplementarySettingsKeys())
        EXPECT_FALSE(MRKOUtils::userDefaults().persistentDomain().contains(key)) << key.toStdString();
    EXPECT_FALSE(MRKOUtilsAux::isLogging());
    EXPECT_FALSE(settings.enableLog()->isChecked());
    EXPECT_TRUE(settings.drawChunks()->isChecked());
    EXPECT_TRUE(liveSettings().drawCroppedChunks);
}

TEST_F(SideSettingsTest, TheGhostPopoverShowsAtEachEntryUntilDontShowAgain)
{
    fakes().statusItem->setGeometry(QRectF(1300, 870, 24, 24));
    showOverlay();
    platform::Popover &popover = MRKOGhostModePopover::sharedPopover();

    // The ghost-mode activation path shows nothing.
    delegate().performAction(QStringLiteral("runInkora:"), nullptr);
    delegate().activateWithGhostMode();
    EXPECT_FALSE(popover.isShown());
    EXPECT_FALSE(MRKOGhostModePopover::ghostModePopoverDisabled());

    for (int entry = 0; entry < 2; ++entry) {
        delegate().setPinOnTop(false);
        popover.close();
        delegate().setPinOnTop(true);
        EXPECT_TRUE(popover.isShown()) << entry;
        EXPECT_EQ(popover.shownEdge(), platform::RectEdge::MinY);
    }
    popover.contentWidget()->findChild<QPushButton *>(QStringLiteral("dontShowAgainButton"))->click();
    EXPECT_FALSE(popover.isShown());
    EXPECT_TRUE(stored(QStringLiteral("GhostModePopoverDontShow")).toBool());
    delegate().setPinOnTop(false);
    delegate().setPinOnTop(true);
    EXPECT_FALSE(popover.isShown());
}

} // namespace
