#include "remote/MRKOAppTableCellView.h"

#include "platform/fake/FakeScriptRunner.h"
#include "remote/MRKOClicker.h"
#include "remote/MRKOTableCellView.h"
#include "tests/remote/RemoteFixture.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

using MRKOAppTableCellViewTest = RemoteFixture;

TEST_F(MRKOAppTableCellViewTest, StatusesReadAsTheButtonSays)
{
    const QString keynote = MRKOClicker::kKeynoteIdentifier;
    fakes().scriptRunner->launch(keynote);
    MRKOAppTableCellView cell;
    const QVariantMap app = MRKOClicker::sharedClicker().apps().value(0);
    struct Row
    {
        int code;
        const char *title;
    };
    for (const Row row : {Row{0, "Allowed"}, Row{-1743, "Not Allowed"}, Row{-1744, "Allow Access"}}) {
        SCOPED_TRACE(row.title);
        fakes().scriptRunner->setPermissionResultCode(keynote, row.code);
        QSignalSpy updated(&cell, &MRKOAppTableCellView::statusUpdated);
        cell.setAppDict(app);
        ASSERT_TRUE(waitFor([&] { return updated.count() > 0; }));
        EXPECT_EQ(cell.button()->text(), QLatin1String(row.title));
        EXPECT_TRUE(cell.button()->isVisibleTo(&cell));
    }
    QSignalSpy updated(&cell, &MRKOAppTableCellView::statusUpdated);
    fakes().scriptRunner->terminate(keynote); // the row hears of it and reads again
    ASSERT_TRUE(waitFor([&] { return updated.count() > 0; }));
    EXPECT_EQ(cell.button()->text(), QStringLiteral("Not Launched"));
}

TEST_F(MRKOAppTableCellViewTest, NotAllowedOpensThePermissionSettings)
{
    const QString keynote = MRKOClicker::kKeynoteIdentifier;
    fakes().scriptRunner->launch(keynote);
    fakes().scriptRunner->setPermissionResultCode(keynote, -1743);
    MRKOAppTableCellView cell;
    QSignalSpy updated(&cell, &MRKOAppTableCellView::statusUpdated);
    cell.setAppDict(MRKOClicker::sharedClicker().apps().value(0));
    ASSERT_TRUE(waitFor([&] { return updated.count() > 0; }));
    cell.button()->click();
    EXPECT_EQ(fakes().scriptRunner->privacySettingsOpened(), 1);
}

TEST_F(MRKOAppTableCellViewTest, DeviceRowShowsItsButtonOnlyUnderThePointer)
{
    MRKOTableCellView cell;
    cell.resize(300, 24);
    cell.show();
    EXPECT_FALSE(cell.button()->isVisible());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&cell, &enter);
    EXPECT_TRUE(cell.button()->isVisible());
    EXPECT_EQ(cell.button()->text(), QStringLiteral("Connect"));
    EXPECT_EQ(cell.button()->geometry().right(), cell.width() - 1);
    cell.makeConnecting();
    EXPECT_EQ(cell.button()->text(), QStringLiteral("Disconnect"));
    EXPECT_FALSE(cell.indicator()->isVisible());
    cell.makeConnected();
    EXPECT_TRUE(cell.indicator()->isVisible());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&cell, &leave);
    EXPECT_FALSE(cell.button()->isVisible());
}

} // namespace
