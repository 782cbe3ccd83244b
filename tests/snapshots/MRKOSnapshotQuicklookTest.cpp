#include "snapshots/MRKOSnapshotQuicklook.h"

#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOSnapshotAddedWindow.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/WindowAnimation.h"
#include "tests/snapshots/SnapshotPanelFixture.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTest>
#include <QWindow>

class MRKOSnapshotQuicklookTest : public SnapshotPanelFixture
{
};

TEST_F(MRKOSnapshotQuicklookTest, OpensCentredAndReopensWhereItWasLeft)
{
    addNamed({QStringLiteral("a")});
    MRKOSnapshotQuicklook &quicklook = MRKOSnapshotQuicklook::sharedSnapshotQuicklook();
    quicklook.showQuickLookWithSnapshot(manager().snapshots().front());
    EXPECT_EQ(quicklook.frame(), QRectF(320, 150, 800, 600));
    EXPECT_EQ(quicklook.title(), QStringLiteral("a"));
    EXPECT_TRUE(quicklook.windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus) << "never takes the keyboard";
    advance(0.25);

    // Dragged by its image, then faded out: the next preview opens where it was left.
    QTest::mousePress(&quicklook, Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseMove(&quicklook, QPoint(450, 280));
    QTest::mouseRelease(&quicklook, Qt::LeftButton, {}, QPoint(450, 280));
    const QRectF moved = quicklook.frame();
    EXPECT_NE(moved, QRectF(320, 150, 800, 600));
    quicklook.hideQuickLookAnimated(true);
    advance(0.3);
    EXPECT_FALSE(quicklook.isVisible());
    quicklook.showQuickLookWithSnapshot(manager().snapshots().front());
    EXPECT_EQ(quicklook.frame(), moved);

    // A hide without fading keeps the window where it is too.
    quicklook.hideQuickLookAnimated(false);
    quicklook.showQuickLookWithSnapshot(manager().snapshots().front());
    EXPECT_EQ(quicklook.frame(), moved);
}

TEST_F(MRKOSnapshotQuicklookTest, TheAddedWindowConfirmsAShotAndSlidesAwayUnlessHovered)
{
    MRKOSnapshotManager::hidePanelAnimated(true);
    advance(0.3);
    addNamed({QStringLiteral("a")});
    auto info = std::dynamic_pointer_cast<SnapInfo>(manager().snapshots().front());
    ASSERT_TRUE(info);
    const QImage thumbnail = info->snapshotImage();
    ASSERT_FALSE(thumbnail.isNull());
    const QSizeF size = QSizeF(thumbnail.size()) / thumbnail.devicePixelRatio();

    MRKOSnapshotAddedWindow::showWindowWithSnapshot(info);
    MRKOSnapshotAddedWindow &window = MRKOSnapshotAddedWindow::sharedWindow();
    EXPECT_EQ(window.frame(), QRectF(44, 10, size.width() + 10, size.height() + 10));
    EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);
    advance(0.35); // faded in
    advance(1.9);
    EXPECT_EQ(window.frame().y(), 10) << "still up";
    advance(0.1);
    advance(0.3); // slid out
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.frame().y(), 10 - 120);

    // Hovered, it stays; once the pointer leaves it goes 2.0 s later.
    MRKOSnapshotAddedWindow::showWindowWithSnapshot(info);
    advance(0.35);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&window, &enter);
    advance(3);
    EXPECT_TRUE(window.isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&window, &leave);
    advance(2.05);
    advance(0.3);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MRKOSnapshotQuicklookTest, ClickingTheAddedWindowOpensItsRollWithTheFirstShotSelected)
{
    MRKOSnapshotManager::hidePanelAnimated(true);
    advance(0.3);
    addNamed({QStringLiteral("d1"), QStringLiteral("d2")}, true);
    const std::shared_ptr<SnapInfo> info = MRKOPersistentData::sharedData().dazadUdizsItems().front();
    MRKOSnapshotAddedWindow::showWindowWithSnapshot(info);
    advance(0.3);
    MRKOSnapshotAddedWindow &window = MRKOSnapshotAddedWindow::sharedWindow();
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(5, 5));
    advance(0.3);
    EXPECT_TRUE(MRKOSnapshotManager::isPanelShown());
    EXPECT_EQ(manager().collectionViewType(), 1);
    advance(0.3);
    EXPECT_EQ(collection().selectionIndexes(), inkora::ItemIndexes{0});
    EXPECT_FALSE(window.isVisible());
}
