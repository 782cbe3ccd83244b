#include "settings/MRKOOptionsController.h"

#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/OptionsSidebar.h"
#include "shortcuts/MRKOShortcutsViewController.h"
#include "tests/settings/PreferencesFixture.h"
#include "tools/MRKOTools.h"

#include <QApplication>
#include <QTest>

namespace {

const QString kSelectionKey = QStringLiteral("OutlineViewSelectionKey");

class MRKOOptionsControllerTest : public PreferencesFixture
{
protected:
    void SetUp() override
    {
        PreferencesFixture::SetUp();
        // The offscreen platform cannot raise, grab or size windows as a window system would.
        log().expectWarning(QStringLiteral("This plugin does not support"));
    }

    void TearDown() override
    {
        m_options.reset();
        PreferencesFixture::TearDown();
    }

    MRKOOptionsController &options()
    {
        if (!m_options) {
            m_options = std::make_unique<MRKOOptionsController>();
            m_options->setTerminateHandler([this] { ++terminations; });
            m_options->show();
            QApplication::processEvents();
        }
        return *m_options;
    }

    inkora::OptionsSidebar &sidebar() { return *options().sidebar(); }

    void clickRow(int row)
    {
        const QRect rect = sidebar().visualRect(sidebar().indexForRow(row));
        QTest::mouseClick(sidebar().viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    void press(Qt::Key key) { QTest::keyClick(&sidebar(), key); }

    int terminations = 0;

private:
    std::unique_ptr<MRKOOptionsController> m_options;
};

TEST_F(MRKOOptionsControllerTest, SidebarShowsTheGroupInCapitalsOverElevenRowsOfTheirHeights)
{
    ASSERT_EQ(sidebar().numberOfRows(), 12);
    const QModelIndex group = sidebar().indexForRow(0);
    EXPECT_EQ(group.data().toString(), MRKOOptionsController::itemForRow(0).toUpper());
    EXPECT_FALSE(group.flags() & Qt::ItemIsSelectable);
    EXPECT_FALSE(sidebar().rootIsDecorated());
    const int heights[12] = {17, 28, 15, 30, 30, 30, 30, 30, 15, 30, 15, 30};
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(sidebar().visualRect(sidebar().indexForRow(row)).height(), heights[row]) << "row " << row;
    for (const int row : {2, 8, 10})
        EXPECT_EQ(MRKOOptionsController::itemForRow(row), QStringLiteral("-"));
}

TEST_F(MRKOOptionsControllerTest, ArrowKeysNeverReachTheCloseOrQuitRowsNorGroupAndSeparators)
{
    options().selectRow(1);
    QList<int> visited;
    for (int i = 0; i < 8; ++i) {
        press(Qt::Key_Down);
        visited << options().selectedRow();
    }
    EXPECT_EQ(visited, (QList<int>{3, 4, 5, 6, 7, 7, 7, 7}));
    for (int i = 0; i < 8; ++i)
        press(Qt::Key_Up);
    EXPECT_EQ(options().selectedRow(), 1);
    press(Qt::Key_End);
    EXPECT_EQ(options().selectedRow(), 7);
    // Typing letters selects nothing ("Q" would lead to the quit row).
    QTest::keyClicks(&sidebar(), QStringLiteral("quit"));
    EXPECT_EQ(options().selectedRow(), 7);
    EXPECT_EQ(terminations, 0);
}

TEST_F(MRKOOptionsControllerTest, AKeyPressNeverSelectsTheActingRowsButACodeOrClickDoes)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(), QPointF(), QPointF(), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    for (const int row : {MRKOOptionsController::kCloseOverlayRow, MRKOOptionsController::kQuitRow}) {
        EXPECT_FALSE(MRKOOptionsController::shouldSelectRow(row, &key)) << row;
        EXPECT_TRUE(MRKOOptionsController::shouldSelectRow(row, &click)) << row;
        EXPECT_TRUE(MRKOOptionsController::shouldSelectRow(row, nullptr)) << row;
    }
    for (const int row : {0, 2, 8, 10, 12, -1})
        EXPECT_FALSE(MRKOOptionsController::shouldSelectRow(row, &click)) << row;
}

TEST_F(MRKOOptionsControllerTest, ChoosingAPaneRowShowsItsPaneAndRemembersIt)
{
    clickRow(MRKOOptionsController::kPreferencesRow);

    EXPECT_EQ(options().selectedRow(), 5);
    EXPECT_EQ(options().shownPane(), &MRKOPreferencesViewController::sharedController());
    EXPECT_EQ(options().shownPane()->parentWidget(), options().contentView());
    EXPECT_EQ(stored(kSelectionKey).toLongLong(), 5);

    clickRow(MRKOOptionsController::kRemoteRow);
    EXPECT_EQ(stored(kSelectionKey).toLongLong(), 3);
    EXPECT_FALSE(MRKOPreferencesViewController::sharedController().isVisible());
    EXPECT_EQ(options().contentView()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(MRKOOptionsControllerTest, ClickingTheCloseRowHidesTheOverlayAndKeepsThePane)
{
    showOverlay();
    ASSERT_TRUE(delegate().isActiveAndShown());
    clickRow(MRKOOptionsController::kPreferencesRow);

    clickRow(MRKOOptionsController::kCloseOverlayRow);
    drainMainQueue();

    EXPECT_FALSE(delegate().isActiveAndShown());
    EXPECT_EQ(options().selectedRow(), 5);
    EXPECT_EQ(options().shownPane(), &MRKOPreferencesViewController::sharedController());
    EXPECT_EQ(stored(kSelectionKey).toLongLong(), 5);
}

TEST_F(MRKOOptionsControllerTest, ClickingTheQuitRowQuits)
{
    clickRow(MRKOOptionsController::kQuitRow);
    EXPECT_EQ(terminations, 1);
}

TEST_F(MRKOOptionsControllerTest, OnlyAStoredPaneRowComesBack)
{
    showOverlay();
    for (const qint64 stored : {1, 3, 4, 5, 6, 7}) {
        MRKOUtils::userDefaults().setInteger(stored, kSelectionKey);
        MRKOOptionsController fresh;
        fresh.setTerminateHandler([this] { ++terminations; });
        EXPECT_TRUE(fresh.loadSelection()) << stored;
        EXPECT_EQ(fresh.selectedRow(), stored);
        EXPECT_NE(fresh.shownPane(), nullptr) << stored;
    }
    for (const qint64 stored : {0, 2, 8, 9, 10, 11, 12, -1}) {
        MRKOUtils::userDefaults().setInteger(stored, kSelectionKey);
        MRKOOptionsController fresh;
        fresh.setTerminateHandler([this] { ++terminations; });
        EXPECT_FALSE(fresh.loadSelection()) << stored;
        EXPECT_EQ(fresh.selectedRow(), -1) << stored;
        EXPECT_EQ(fresh.shownPane(), nullptr) << stored;
    }
    EXPECT_EQ(terminations, 0);
    EXPECT_TRUE(delegate().isActiveAndShown());
}

TEST_F(MRKOOptionsControllerTest, TheStatusMenuOpensPreferencesOnTheToolBarsSidePanel)
{
    MRKOUtils::userDefaults().setInteger(3, kSelectionKey);
    delegate().applicationDidFinishLaunching();
    drainMainQueue();

    delegate().performAction(QStringLiteral("openPreferences:"), nullptr);
    drainMainQueue();

    ASSERT_TRUE(delegate().isActiveAndShown());
    MRKOTools *tools = delegate().activeToolBar();
    ASSERT_NE(tools, nullptr);
    EXPECT_TRUE(tools->menuIsOpen());
    EXPECT_EQ(tools->selectedRow(), 5);
    EXPECT_EQ(tools->optionsController()->shownPane(), &MRKOPreferencesViewController::sharedController());
    EXPECT_EQ(tools->optionsController()->toolsViewController(), tools);

    // Closing and opening the side panel again keeps the pane; the first opening restores the stored row.
    tools->closeMenu();
    tools->openMenu();
    EXPECT_EQ(tools->selectedRow(), 5);
}

TEST_F(MRKOOptionsControllerTest, TheStatusMenuOpensTheShortcutsPaneOnTheSidePanelNotInAWindowOfItsOwn)
{
    delegate().applicationDidFinishLaunching();
    drainMainQueue();

    delegate().performAction(QStringLiteral("openShortcuts:"), nullptr);
    drainMainQueue();

    ASSERT_TRUE(delegate().isActiveAndShown());
    MRKOTools *tools = delegate().activeToolBar();
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->selectedRow(), 4);
    QWidget *pane = tools->optionsController()->shownPane();
    EXPECT_EQ(pane, &MRKOShortcutsViewController::sharedController());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->parentWidget(), tools->optionsController()->contentView());
    EXPECT_FALSE(pane->isWindow());
}

TEST_F(MRKOOptionsControllerTest, ASharedPaneGoesBackToItsOwnerWithTheController)
{
    clickRow(MRKOOptionsController::kPreferencesRow);
    QPointer<QWidget> pane = options().shownPane();
    {
        MRKOOptionsController other;
        other.selectRow(MRKOOptionsController::kPreferencesRow);
        EXPECT_EQ(pane->parentWidget(), other.contentView());
    }
    ASSERT_FALSE(pane.isNull());
    EXPECT_EQ(pane->parentWidget(), nullptr);
    // The first controller shows it again when its row is chosen again.
    options().selectRow(MRKOOptionsController::kRemoteRow);
    options().selectRow(MRKOOptionsController::kPreferencesRow);
    EXPECT_EQ(pane->parentWidget(), options().contentView());
}

} // namespace
