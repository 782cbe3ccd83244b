#include "shortcuts/KQTextField.h"

#include "foundation/MRKOUtils.h"
#include "foundation/SrgbColor.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "platform/Popover.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeSystemProfile.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutPopover.h"
#include "shortcuts/MRKOShortcutsView.h"
#include "shortcuts/ShortcutOutline.h"
#include "shortcuts/ShortcutsNeighbours.h"
#include "tests/shortcuts/ShortcutsFixture.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

using namespace platform;

namespace {

constexpr quint64 kCmd = kCommandFlag;
constexpr std::uint32_t kCommandMask = 0x100;

QStringList titles(const QMenu &menu)
{
    QStringList result;
    for (const QAction *item : menu.actions())
        result.append(item->isSeparator() ? QStringLiteral("-") : item->text());
    return result;
}

QAction *itemTitled(const QMenu &menu, const QString &title)
{
    for (QAction *item : menu.actions()) {
        if (item->text() == title)
            return item;
    }
    return nullptr;
}

void putOnClipboard(const QByteArray &shortcutString)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("mrko.shortcutString"), shortcutString);
    QGuiApplication::clipboard()->setMimeData(data.release());
}

std::unique_ptr<QMimeData> dragData()
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("mrko.shortcutDrag"), QByteArray(16, '\0'));
    return data;
}

bool sameColor(const QColor &color, double red, double green, double blue)
{
    const inkora::SrgbColor c(color);
    return c.isValid() && c.red() == red && c.green() == green && c.blue() == blue;
}

class KQTextFieldTest : public ShortcutsFixture
{
protected:
    void SetUp() override
    {
        ShortcutsFixture::SetUp();
        QGuiApplication::clipboard()->clear();
    }

    /// The undo command's field with its default, Command-Z.
    KQTextField &undoField()
    {
        undo = bind(kKeyZ, kCmd, QStringLiteral("undoWithEvent:"));
        undo->setIsDefault(true);
        return addField(QStringLiteral("ShortcutUndo"), undo);
    }

    std::shared_ptr<KQShortCut> undo;
};

TEST_F(KQTextFieldTest, ShowsTheShortcutOrWhyThereIsNone)
{
    KQTextField &field = undoField();
    EXPECT_EQ(field.stringValue(), QStringLiteral("Ctrl+Z")); // the words read as the hint does

    KQTextField &missing = addField(QStringLiteral("ShortcutRedo"), nullptr);
    EXPECT_EQ(missing.stringValue(), QStringLiteral("Missing Shortcut"));

    const auto none = bind(KQShortCut::kNotAssignedKeyCode, 0, QStringLiteral("nextTool:"));
    KQTextField &unassigned = addField(QStringLiteral("ShortcutChangeTool"), none);
    EXPECT_EQ(unassigned.stringValue(), QStringLiteral("Not Assigned"));
    EXPECT_TRUE(sameColor(unassigned.textColor(), 0.95, 0.68, 0.2));
    const QStringList items = titles(*unassigned.menuForEvent());
    EXPECT_FALSE(items.contains(QStringLiteral("Copy Shortcut")));
    EXPECT_FALSE(items.contains(QStringLiteral("Remove Shortcut")));

    undo->setDisabled(true);
    field.setShortCut(undo);
    EXPECT_TRUE(sameColor(field.textColor(), 0.5, 0.5, 0.5));
}

TEST_F(KQTextFieldTest, ContextMenuListsItsItemsInOrder)
{
    KQTextField &field = undoField();
    undo->setIsDefault(false);

    EXPECT_EQ(titles(*field.menuForEvent()),
              (QStringList{"Edit Shortcut...", "-", "Copy Shortcut", "Assign Function Key", "Assign Signle Key", "-",
                           "Disable Shortcut", "Restore Shortcut", "-", "Remove Shortcut"}));

    undo->setIsDefault(true);
    KQShortCutMonitor::defaultMonitor().disableShortCut(undo);
    const QStringList items = titles(*field.menuForEvent());
    EXPECT_TRUE(items.contains(QStringLiteral("Enable Shortcut")));
    EXPECT_FALSE(items.contains(QStringLiteral("Restore Shortcut")));
}

TEST_F(KQTextFieldTest, PastedShortcutOffersAssignOrSwap)
{
    KQTextField &field = undoField();
    const auto redo = bind(kKeyZ, kCmd | kShiftFlag, QStringLiteral("redoWithEvent:"));
    addField(QStringLiteral("ShortcutRedo"), redo);

    // Another program's string of an unbound combination is offered for assigning.
    putOnClipboard(QByteArrayLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww")); // Ctrl+Shift+U
    std::unique_ptr<QMenu> menu = field.menuForEvent();
    QAction *assign = itemTitled(*menu, QStringLiteral("Assign Ctrl+Shift+U Shortcut"));
    ASSERT_TRUE(assign) << titles(*menu).join('|').toStdString();
    EXPECT_EQ(titles(*menu).indexOf(assign->text()), 3); // after "Copy Shortcut"
    assign->trigger();
    EXPECT_EQ(undo->keyCode(), kKeyU);
    EXPECT_TRUE(hotKeys().isGrabbed(kKeyU, 0x300));
    EXPECT_EQ(stored(QStringLiteral("ShortcutUndo")), QStringLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww"));

    // A combination another field holds is offered for swapping with that field.
    redo->setKeyCode(kKeyZ);
    redo->setModifierFlags(kCmd);
    KQShortCutMonitor::defaultMonitor().bindShortCut(redo);
    auto copied = KQShortCut::shortCutWithKeyCode(kKeyZ, kCmd, nullptr, QStringLiteral("x:"));
    putOnClipboard(copied->shortcutObjectStringValue().toUtf8());
    menu = field.menuForEvent();
    QAction *swap = itemTitled(*menu, QStringLiteral("Swap for Ctrl+Z Shortcut"));
    ASSERT_TRUE(swap) << titles(*menu).join('|').toStdString();
    EXPECT_EQ(swap->data().toLongLong(), 1);
}

TEST_F(KQTextFieldTest, PastedDataThatIsNoShortcutOffersNothing)
{
    KQTextField &field = undoField();
    const int plainCount = int(field.menuForEvent()->actions().size());
    const QByteArray rows[] = {
        QByteArrayLiteral("not base64 at all!"),
        QByteArrayLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OA=="), // three parts
        QByteArray("\xff\xfe\x00\x01", 4),
        QByteArray(),
        QByteArray(5000, 'A'),
        // The field's own combination is nothing new.
        QByteArrayLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA="),
    };
    for (const QByteArray &row : rows) {
        putOnClipboard(row);
        EXPECT_EQ(field.menuForEvent()->actions().size(), plainCount) << row.left(40).toStdString();
    }
    EXPECT_EQ(undo->keyCode(), kKeyZ);
}

TEST_F(KQTextFieldTest, FunctionKeySubmenuListsTwentyKeysAndMarksTakenOnes)
{
    KQTextField &field = undoField();
    bind(kKeyF5, 0, QStringLiteral("flashlightWithEvent:"));
    bind(kKeyF6, kCmd, QStringLiteral("magnifyGWithEvent:")); // with a modifier: F6 alone stays free

    const std::unique_ptr<QMenu> menu = field.assignFunctionKeyMenu();
    ASSERT_EQ(menu->actions().size(), 20);
    for (int i = 0; i < 20; ++i) {
        const QAction *item = menu->actions().at(i);
        const bool taken = i == 4;
        EXPECT_EQ(item->text(), QStringLiteral("F%1").arg(i + 1) + (taken ? QStringLiteral(" (Assigned)") : QString()));
        EXPECT_EQ(item->isEnabled(), !taken);
    }
    EXPECT_EQ(menu->actions().at(11)->data().toInt(), kKeyF12);

    menu->actions().at(5)->trigger();
    EXPECT_EQ(undo->keyCode(), kKeyF6);
    EXPECT_EQ(undo->modifierFlags(), 0u);
    EXPECT_TRUE(hotKeys().isGrabbed(kKeyF6, 0));

    log().expectWarning(QStringLiteral("assignFunction: alreadyHasShortCutWithKeyCode"));
    field.assignFunction(kKeyF5);
    EXPECT_TRUE(log().contains(QStringLiteral("assignFunction: alreadyHasShortCutWithKeyCode")));
    EXPECT_EQ(undo->keyCode(), kKeyF6);
}

TEST_F(KQTextFieldTest, ControlClickOnADisabledDefaultLeavesNoStoredValue)
{
    KQTextField &field = undoField();
    KQShortCutMonitor::defaultMonitor().disableShortCut(undo);
    field.saveShortCutToUserDefaults();
    ASSERT_FALSE(stored(QStringLiteral("ShortcutUndo")).isNull());

    QTest::mouseClick(&field, Qt::LeftButton, Qt::MetaModifier, QPoint(150, 12)); // Super is Control
    drainMainQueue();

    EXPECT_FALSE(undo->disabled());
    EXPECT_TRUE(hotKeys().isGrabbed(kKeyZ, kCommandMask));
    EXPECT_FALSE(MRKOUtils::userDefaults().objectForKey(QStringLiteral("ShortcutUndo")).isValid());
    EXPECT_FALSE(KQShortCutPopover::sharedPopover().isShown());

    QTest::mouseClick(&field, Qt::LeftButton, Qt::MetaModifier, QPoint(150, 12));
    drainMainQueue();
    EXPECT_TRUE(undo->disabled());
    EXPECT_FALSE(stored(QStringLiteral("ShortcutUndo")).isNull());
}

TEST_F(KQTextFieldTest, AClickOpensTheRecorderAndARightButtonItsMenuOnly)
{
    KQTextField &field = undoField();
    QTest::mouseClick(&field, Qt::LeftButton, Qt::NoModifier, QPoint(150, 12));

    KQShortCutPopover &popover = KQShortCutPopover::sharedPopover();
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(popover.label(), &field);
    EXPECT_EQ(popover.popover().shownEdge(), RectEdge::MaxY);
    popover.close();
}

TEST_F(KQTextFieldTest, DragExchangesShortcutsAndTheEnabledStateTravelsWithTheCombination)
{
    KQTextField &source = undoField();
    const auto redo = bind(kKeyY, kCmd, QStringLiteral("redoWithEvent:"));
    KQTextField &target = addField(QStringLiteral("ShortcutRedo"), redo);
    KQShortCutMonitor::defaultMonitor().disableShortCut(redo);

    const auto data = dragData();
    EXPECT_TRUE(target.draggingEntered(*data, &source));
    ASSERT_TRUE(target.insertionLayer());
    EXPECT_TRUE(target.performDragOperation(*data, &source, QPointF(150, 12)));
    target.draggingExited();
    drainMainQueue();

    EXPECT_EQ(redo->keyCode(), kKeyZ);
    EXPECT_FALSE(redo->disabled());
    EXPECT_EQ(undo->keyCode(), kKeyY);
    EXPECT_TRUE(undo->disabled());
    EXPECT_TRUE(hotKeys().isGrabbed(kKeyZ, kCommandMask));
    EXPECT_FALSE(hotKeys().isGrabbed(kKeyY, kCommandMask));
    EXPECT_EQ(target.stringValue(), QStringLiteral("Ctrl+Z"));
    EXPECT_FALSE(stored(QStringLiteral("ShortcutUndo")).isNull());
    hotKeys().press(kKeyZ, kCommandMask, kCmd);
    EXPECT_EQ(commands.performed, QStringList{QStringLiteral("redoWithEvent:")});
}

TEST_F(KQTextFieldTest, DropsFromElsewhereChangeNothing)
{
    KQTextField &field = undoField();
    const auto data = dragData();
    QWidget stranger;

    // From another program Qt gives no source; from a widget that is no shortcut field, that widget.
    QDropEvent outside(QPointF(150, 12), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&field, &outside);
    EXPECT_FALSE(outside.isAccepted());
    EXPECT_FALSE(field.performDragOperation(*data, &stranger, QPointF(150, 12)));
    QMimeData other;
    other.setText(QStringLiteral("Ctrl+Shift+U"));
    EXPECT_FALSE(field.draggingEntered(other, &stranger));

    // The pane's background answers the drag but takes no drop.
    QDropEvent onPane(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&pane(), &onPane);
    EXPECT_FALSE(onPane.isAccepted());
    EXPECT_TRUE(MRKOShortcutsView::prepareForDragOperation(*data));

    EXPECT_EQ(undo->keyCode(), kKeyZ);
    EXPECT_EQ(undo->modifierFlags(), kCmd);
    EXPECT_TRUE(stored(QStringLiteral("ShortcutUndo")).isNull());
}

TEST_F(KQTextFieldTest, DroppingAFieldOnItselfIsAClick)
{
    KQTextField &field = undoField();
    EXPECT_TRUE(field.draggingEntered(*dragData(), &field));
    EXPECT_FALSE(field.insertionLayer());
    EXPECT_FALSE(field.performDragOperation(*dragData(), &field, QPointF(150, 12)));
    EXPECT_TRUE(KQShortCutPopover::sharedPopover().isShown());
    KQShortCutPopover::sharedPopover().close();
}

TEST_F(KQTextFieldTest, RestoringADefaultAnotherFieldHoldsTakesItAway)
{
    struct Case
    {
        const char *name;
        bool otherInView;
        bool dontNotify;
        bool popover;
    };
    const Case cases[] = {
        {"InView", true, false, false},
        {"OutOfView", false, false, true},
        {"OutOfViewNotNotified", false, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        KQShortCutMonitor::defaultMonitor().unbindAll();
        MRKOUtils::userDefaults().setBool(c.dontNotify, QStringLiteral("ShortcutRemovedPopover"));
        KQTextField &field = undoField();
        undo->setKeyCode(kKeyU);
        KQShortCutMonitor::defaultMonitor().unbindShortCut(undo);
        KQShortCutMonitor::defaultMonitor().bindShortCut(undo);
        undo->setIsDefault(false);
        const auto holder = bind(kKeyZ, kCmd, QStringLiteral("redoWithEvent:"));
        KQTextField &other = addField(QStringLiteral("ShortcutRedo"), holder);
        if (!c.otherInView)
            other.move(other.x(), pane().height() + 50);

        field.restoreShortcut();
        drainMainQueue();

        EXPECT_EQ(undo->keyCode(), kKeyZ);
        EXPECT_TRUE(undo->isDefault());
        EXPECT_EQ(other.stringValue(), QStringLiteral("Not Assigned"));
        EXPECT_EQ(holder->keyCode(), KQShortCut::kNotAssignedKeyCode);
        EXPECT_TRUE(hotKeys().isGrabbed(kKeyZ, kCommandMask));
        hotKeys().press(kKeyZ, kCommandMask, kCmd);
        EXPECT_EQ(commands.performed.takeLast(), QStringLiteral("undoWithEvent:"));
        EXPECT_FALSE(MRKOUtils::userDefaults().objectForKey(QStringLiteral("ShortcutUndo")).isValid());
        EXPECT_FALSE(stored(QStringLiteral("ShortcutRedo")).isNull());
        const bool shown = field.attentionPopover() && field.attentionPopover()->isShown();
        EXPECT_EQ(shown, c.popover);
        if (shown) {
            field.dontNotifyAgain();
            EXPECT_TRUE(MRKOUtils::userDefaults().boolForKey(QStringLiteral("ShortcutRemovedPopover")));
        }
    }
}

TEST_F(KQTextFieldTest, ShowItScrollsTheRemovedFieldIntoTheMiddle)
{
    QScrollArea scroll;
    scroll.setGeometry(600, 100, 340, 200);
    auto *page = new QWidget; // owned by the scroll area
    page->resize(320, 1000);
    scroll.setWidget(page);
    scroll.show();
    const auto holder = bind(kKeyZ, kCmd, QStringLiteral("redoWithEvent:"));
    auto *other = new KQTextField(page); // child of the page
    other->setIdentifier(QStringLiteral("ShortcutRedo"));
    other->setGeometry(20, 800, 300, 24);
    other->setShortCut(holder);
    KQTextField &field = undoField();
    KQShortCutMonitor::defaultMonitor().unbindShortCut(undo);
    undo->setKeyCode(kKeyU);
    KQShortCutMonitor::defaultMonitor().bindShortCut(undo);
    inkora::setShortcutsTextFields({&field, other});

    field.restoreShortcut();
    ASSERT_TRUE(field.attentionPopover() && field.attentionPopover()->isShown());
    field.showRemovedShortcut();
    advance(0.35);

    EXPECT_FALSE(field.attentionPopover()->isShown());
    const int viewport = scroll.viewport()->height();
    EXPECT_EQ(scroll.verticalScrollBar()->value(), 800 + 24 - viewport / 2);
    EXPECT_TRUE(page->findChild<inkora::ShortcutOutline *>());
    EXPECT_FALSE(field.removedShortcutField());
}

TEST_F(KQTextFieldTest, FlashedOutlineFadesOutAndGoes)
{
    KQTextField &field = undoField();
    field.animateShortcutAction(true);
    auto *outline = pane().findChild<inkora::ShortcutOutline *>();
    ASSERT_TRUE(outline);
    QPointer<inkora::ShortcutOutline> watched(outline);
    EXPECT_EQ(outline->opacity(), 1);
    EXPECT_EQ(outline->geometry(), inkora::ShortcutOutline::sourceFrame(field.geometry()));

    advance(1);
    ASSERT_TRUE(watched);
    EXPECT_GT(watched->opacity(), 0);
    EXPECT_LT(watched->opacity(), 1);
    advance(1.1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(watched);
}

TEST_F(KQTextFieldTest, HoverShowsTheButtonsForTheShortcutsState)
{
    KQTextField &field = undoField();
    field.mouseEntered();
    EXPECT_TRUE(field.isHighlighted());
    EXPECT_FALSE(field.restoreButton()->isVisibleTo(&field)); // a default has nothing to restore
    EXPECT_TRUE(field.enableButton()->isVisibleTo(&field));
    EXPECT_TRUE(field.dropdownButton()->isVisibleTo(&field));
    EXPECT_EQ(field.sixDotsAlpha(), 1);

    field.mouseExited();
    EXPECT_FALSE(field.isHighlighted());
    EXPECT_FALSE(field.enableButton()->isVisibleTo(&field));
    EXPECT_EQ(field.sixDotsAlpha(), 0);
}

TEST_F(KQTextFieldTest, TagLetsEveryDefaultBeRecordedAgain)
{
    const std::pair<const char *, qint64> rows[] = {
        {"undoWithEvent:", 1}, // Ctrl+Z
        {"redoWithEvent:", 2}, // Ctrl+Shift+Z
        {"nextTool:", 0},      // Tab alone
        {"noSuchCommand:", 2}, // no default: the usual rule
    };
    for (const auto &[action, tag] : rows)
        EXPECT_EQ(KQTextField::tagForAction(QLatin1String(action)), tag) << action;
}

class KQTextFieldWarningTest : public ShortcutsFixture, public testing::WithParamInterface<bool>
{
};

TEST_P(KQTextFieldWarningTest, RefusedOptionOnlyShortcutExplainsByTheSystemsAnswer)
{
    fakes().systemProfile->setVersionAtLeast(15, 0, GetParam());
    // Another program holds the combination.
    hotKeys().setRefusalRule([](std::uint16_t, std::uint32_t modifiers) { return modifiers == 0x800 ? 10 : 0; });
    log().expectWarning(QStringLiteral("Can't register the shortcut"));
    const auto refused = bind(kKeyE, kOptionFlag, QStringLiteral("emojiWithEvent:"));
    ASSERT_TRUE(refused->isFailedToRegister());
    KQTextField &field = addField(QStringLiteral("ShortcutEmojiAndSymbols"), refused);

    const QString warning = field.textFieldDescription();
    if (GetParam())
        EXPECT_TRUE(warning.contains(QStringLiteral("with single Option key in combination with typing keys.")));
    else
        EXPECT_TRUE(warning.startsWith(QStringLiteral("\u26A0\uFE0F Unable to register this shortcut")));
    EXPECT_TRUE(warning.endsWith(QStringLiteral("Shortcut will work when Inkora is a foreground app.")));
    EXPECT_TRUE(sameColor(field.textColor(), 0.95, 0.68, 0.2));

    const auto fine = bind(kKeyR, kCmd, QStringLiteral("rectangleToolWithEvent:"));
    EXPECT_TRUE(addField(QStringLiteral("ShortcutRectangle"), fine).textFieldDescription().isNull());
}

INSTANTIATE_TEST_SUITE_P(Sequoia, KQTextFieldWarningTest, testing::Bool(),
                         [](const auto &info) { return std::string(info.param ? "Yes" : "No"); });

} // namespace
