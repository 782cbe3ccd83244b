#include "snapshots/MRKOSnapshotDoc.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/PropertyList.h"
#include "platform/fake/FakeAlerts.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/SnapInfo.h"
#include "tests/snapshots/SnapshotsFixture.h"

#include <QDir>
#include <QFile>

namespace {

constexpr quint64 kOptionKey = 0x80000;

class MRKOSnapshotDocTest : public SnapshotsFixture
{
protected:
    void SetUp() override
    {
        SnapshotsFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support"));
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->prepareUserDefaults();
        MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
        m_delegate->applicationDidFinishLaunching();
        drainMainQueue();
        MRKOSnapshotDoc::setModifierFlagsSource([this] { return modifiers; });
    }

    void TearDown() override
    {
        advance(1.0);
        MRKOSnapshotDoc::setModifierFlagsSource(nullptr);
        m_delegate.reset();
        SnapshotsFixture::TearDown();
    }

    AppDelegate &delegate() { return *m_delegate; }
    QString document(const QString &name, const QByteArray &bytes) const
    {
        QDir(home()).mkpath(QStringLiteral("docs"));
        const QString path = home() + QStringLiteral("/docs/") + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    quint64 modifiers = 0;

private:
    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(MRKOSnapshotDocTest, APresetDocumentTwiceTakesTheNextFreeName)
{
    const QString path = document(QStringLiteral("x.iksettings"),
                                  *platform::PropertyList::toBinary(QVariantMap{{QStringLiteral("EraserSize"), 90}}));
    EXPECT_TRUE(MRKOSnapshotDoc::openDocumentAtPath(path));
    EXPECT_TRUE(MRKOSnapshotDoc::openDocumentAtPath(path));

    const QString presets = MRKOUtils::presetsDir();
    EXPECT_TRUE(QFile::exists(presets + QStringLiteral("/x.iksettings")));
    EXPECT_TRUE(QFile::exists(presets + QStringLiteral("/x (1).iksettings")));
    EXPECT_EQ(log().count(QStringLiteral("Load Settings from iksettings file x.iksettings")), 2);
    EXPECT_EQ(MRKOSnapshotDoc::openDocumentCount(), 2);
    advance(0.1);
    EXPECT_EQ(MRKOSnapshotDoc::openDocumentCount(), 0);
}

TEST_F(MRKOSnapshotDocTest, TypesGoByExtensionWhateverItsCase)
{
    EXPECT_EQ(MRKOSnapshotDoc::typeForPath(QStringLiteral("/a/B.IKSETTINGS")), MRKOSnapshotDoc::Type::SettingsPreset);
    EXPECT_EQ(MRKOSnapshotDoc::typeForPath(QStringLiteral("b.IkShortcuts")), MRKOSnapshotDoc::Type::ShortcutsPreset);
    EXPECT_EQ(MRKOSnapshotDoc::typeForPath(QStringLiteral("c.iksnapshot")), MRKOSnapshotDoc::Type::Snapshot);
    EXPECT_EQ(MRKOSnapshotDoc::typeForPath(QStringLiteral("iksnapshot")), MRKOSnapshotDoc::Type::Unknown);
}

TEST_F(MRKOSnapshotDocTest, BadDocumentsGetOneLineAndABadSnapshotAnAlert)
{
    log().expectWarning(QStringLiteral("MRKOSnapshotDoc"));
    log().expectWarning(QStringLiteral("snapshotWithData"));
    log().expectWarning(QStringLiteral("not a snapshot"));
    EXPECT_FALSE(MRKOSnapshotDoc::openDocumentAtPath(document(QStringLiteral("x.txt"), "text")));
    EXPECT_TRUE(log().contains(QStringLiteral("MRKOSnapshotDoc can't be loaded. File Type")));
    EXPECT_FALSE(MRKOSnapshotDoc::openDocumentAtPath(home() + QStringLiteral("/docs/missing.iksnapshot")));
    EXPECT_FALSE(MRKOSnapshotDoc::openDocumentAtPath(
        document(QStringLiteral("big.iksettings"), QByteArray(MRKOSnapshotDoc::kMaxPresetBytes + 1, 'x'))));
    EXPECT_TRUE(fakes().alerts->errors.isEmpty());

    EXPECT_FALSE(MRKOSnapshotDoc::openDocumentAtPath(document(QStringLiteral("Bad.iksnapshot"), "no archive")));
    ASSERT_EQ(fakes().alerts->errors.size(), 1);
    EXPECT_EQ(fakes().alerts->errors[0].code, -4);
    EXPECT_TRUE(fakes().alerts->errors[0].description.contains(QStringLiteral("Bad.iksnapshot")));
    EXPECT_EQ(MRKOSnapshotDoc::openDocumentCount(), 0);
    EXPECT_FALSE(delegate().isActiveAndShown());
}

TEST_F(MRKOSnapshotDocTest, ASnapshotOpenedBeforeTheFirstShowingShowsTheOverlayThenApplies)
{
    const QString path =
        document(QStringLiteral("Meeting.iksnapshot"), smallShot(QStringLiteral("x"))->encodedSnapshotData());
    ASSERT_FALSE(delegate().wasActiveAndShown());

    ASSERT_TRUE(MRKOSnapshotDoc::openDocumentAtPath(path));
    advance(0.09);
    EXPECT_FALSE(delegate().isActiveAndShown());
    advance(0.01);

    ASSERT_TRUE(delegate().isActiveAndShown());
    ASSERT_NE(delegate().activeDrawView(), nullptr);
    EXPECT_TRUE(delegate().activeDrawView()->layerContainerHasLayers());
    EXPECT_TRUE(MRKOPersistentData::sharedData().items().empty());
}

TEST_F(MRKOSnapshotDocTest, WithAltHeldASnapshotJoinsTheRollUnderItsFileName)
{
    modifiers = kOptionKey;
    ASSERT_TRUE(MRKOSnapshotDoc::openDocumentAtPath(
        document(QStringLiteral("Meeting.iksnapshot"), smallShot(QStringLiteral("x"))->encodedSnapshotData())));
    ASSERT_TRUE(MRKOSnapshotDoc::openDocumentAtPath(
        document(QStringLiteral("Screen.iksnapshot"), smallShot(QStringLiteral("y"), true)->encodedSnapshotData())));
    advance(0.1);
    settleWrites();

    ASSERT_EQ(MRKOPersistentData::sharedData().items().size(), 1u);
    EXPECT_EQ(MRKOPersistentData::sharedData().items().front()->name(), QStringLiteral("Meeting"));
    ASSERT_EQ(MRKOPersistentData::sharedData().dazadUdizsItems().size(), 1u);
    EXPECT_EQ(MRKOPersistentData::sharedData().dazadUdizsItems().front()->name(), QStringLiteral("Screen"));
}

TEST_F(MRKOSnapshotDocTest, ArgumentsBecomeAbsolutePaths)
{
    EXPECT_EQ(MRKOSnapshotDoc::documentPathsFromArguments({QStringLiteral("a.iksnapshot"),
                                                           QStringLiteral("file:///tmp/b%20c.iksettings"),
                                                           QStringLiteral("/abs/d.ikshortcuts"), QString()},
                                                          QStringLiteral("/work/dir")),
              (QStringList{QStringLiteral("/work/dir/a.iksnapshot"), QStringLiteral("/tmp/b c.iksettings"),
                           QStringLiteral("/abs/d.ikshortcuts")}));
}

} // namespace
