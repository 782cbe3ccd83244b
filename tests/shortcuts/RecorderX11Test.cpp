#include "platform/Keys.h"
#include "platform/Popover.h"
#include "platform/Services.h"
#include "platform/linux/XcbHotKeys.h"
#include "platform/linux/XcbWindowSystem.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutPopover.h"
#include "shortcuts/KQShortCutTextField.h"
#include "shortcuts/KQTextField.h"
#include "tests/shortcuts/ShortcutsFixture.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <xcb/xcb.h>

#include <functional>

using namespace platform;

namespace {

constexpr quint64 kCmd = kCommandFlag;
constexpr std::uint16_t kCtrlShiftMask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;

// The X server delivers on its own time; there is no clock of ours to advance for it.
bool waitFor(const std::function<bool()> &condition, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

void xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
}

/// Moves the X pointer to the middle of the widget and, when asked, clicks there.
void pointAt(const QWidget &widget, bool click)
{
    // Without --sync, which waits for a motion that never comes when the pointer is already there.
    const QPoint centre = widget.mapToGlobal(widget.rect().center());
    xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y())});
    ASSERT_TRUE(waitFor([&] { return QCursor::pos() == centre; }));
    if (click)
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

/// A second client of the X server, as another program is.
class OtherClient
{
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_connection); }
    [[nodiscard]] bool grab(quint16 keyCode, std::uint16_t modifiers)
    {
        const auto keycode = xcb_keycode_t(x11KeyCodeFromKeyCode(keyCode));
        xcb_generic_error_t *error =
            xcb_request_check(m_connection, xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode,
                                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        free(error);
        return error == nullptr;
    }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
};

} // namespace

class RecorderX11Test : public ShortcutsFixture
{
protected:
    void SetUp() override
    {
        ShortcutsFixture::SetUp();
        // The real grabs and window activation, before the registry first asks for them.
        services().hotKeys = std::make_unique<XcbHotKeys>();
        services().windowSystem = XcbWindowSystem::create();
        ASSERT_TRUE(services().windowSystem);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane()));
    }
    void TearDown() override
    {
        KQShortCutPopover::sharedPopover().close();
        KQShortCutMonitor::defaultMonitor().unbindAll();
        ShortcutsFixture::TearDown();
    }
    static platform::Services &services() { return platform::services(); }
    static KQShortCutPopover &popover() { return KQShortCutPopover::sharedPopover(); }

    /// Clicks the field and waits until its popover records.
    void openByClick(KQTextField &field)
    {
        pointAt(field, true);
        ASSERT_TRUE(waitFor([] { return popover().isShown() && popover().shortCutField()->isBeingEdited(); }))
            << "the click opened the recorder with the keyboard";
        ASSERT_EQ(popover().label(), &field);
    }
    void clickOk()
    {
        pointAt(*popover().okButton(), true);
        ASSERT_TRUE(waitFor([] { return !popover().isShown(); }));
        drainMainQueue();
    }
};

TEST_F(RecorderX11Test, ClickRecordAndOkGiveTheCommandItsNewKeys)
{
    const auto undo = bind(kKeyZ, kCmd, QStringLiteral("undoWithEvent:"));
    KQTextField &field = addField(QStringLiteral("ShortcutUndo"), undo);
    ASSERT_FALSE(undo->isFailedToRegister());
    openByClick(field);

    // Our own hot key reaches the recorder while it records, not its command.
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+z")});
    ASSERT_TRUE(waitFor([] { return popover().shortCutField()->stringValue() == QLatin1String("Ctrl+Z"); }))
        << popover().shortCutField()->stringValue().toStdString();
    EXPECT_TRUE(commands.performed.isEmpty());

    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+u")});
    ASSERT_TRUE(waitFor([] { return popover().shortCutField()->stringValue() == QLatin1String("Ctrl+Shift+U"); }))
        << popover().shortCutField()->stringValue().toStdString();
    clickOk();
    EXPECT_EQ(field.stringValue(), QStringLiteral("Ctrl+Shift+U"));
    EXPECT_FALSE(undo->isFailedToRegister());

    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+u")});
    EXPECT_TRUE(waitFor([&] { return commands.performed.contains(QStringLiteral("undoWithEvent:")); }));
}

TEST_F(RecorderX11Test, CombinationAnotherProgramHoldsTurnsTheFieldOrangeWithItsReason)
{
    const auto undo = bind(kKeyZ, kCmd, QStringLiteral("undoWithEvent:"));
    KQTextField &field = addField(QStringLiteral("ShortcutUndo"), undo);
    openByClick(field);
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+u")});
    ASSERT_TRUE(waitFor([] { return popover().shortCutField()->stringValue() == QLatin1String("Ctrl+Shift+U"); }));

    OtherClient other;
    ASSERT_TRUE(other.grab(kKeyU, kCtrlShiftMask));
    log().expectWarning(QStringLiteral("Can't register the shortcut"));
    clickOk();

    EXPECT_TRUE(undo->isFailedToRegister());
    EXPECT_EQ(field.textColor().name(), QColor::fromRgbF(0.95f, 0.68f, 0.2f).name());
    pointAt(field, false);
    ASSERT_TRUE(waitFor([&] { return field.isHighlighted(); }));
    advance(0.31);
    ASSERT_TRUE(field.descPopover().isShown());
    EXPECT_TRUE(field.textFieldDescription().contains(QStringLiteral("Unable to register this shortcut")));
}
