#include "settings/MRKOSavePresetPopover.h"

#include "platform/Popover.h"
#include "tests/support/InkoraFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class Owner final : public MRKOSavePresetPopoverTarget
{
public:
    [[nodiscard]] bool presetNameExists(const QString &name) const override { return names.contains(name); }
    [[nodiscard]] QString presetExtension() const override { return QStringLiteral("ikshortcuts"); }

    QStringList names;
    QStringList saved;
};

const QColor kYellow(255, 204, 0);

} // namespace

class MRKOSavePresetPopoverTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_anchor = std::make_unique<QWidget>();
        m_anchor->setGeometry(200, 200, 120, 30);
        m_anchor->show();
        m_popover = std::make_unique<MRKOSavePresetPopover>();
        m_popover->setTarget(&owner);
        m_popover->setAction([this](const QString &name) { owner.saved.append(name); });
        m_popover->popover().showRelativeToRect(QRectF(0, 0, 120, 30), m_anchor.get(), platform::RectEdge::MinY);
    }
    void TearDown() override
    {
        m_popover.reset();
        m_anchor.reset();
        InkoraFixture::TearDown();
    }

    MRKOSavePresetPopover &popover() { return *m_popover; }
    QLineEdit &field() { return *m_popover->nameField(); }
    QString title() { return m_popover->titleField()->text(); }
    QColor titleColor() { return m_popover->titleField()->palette().color(QPalette::WindowText); }
    QString button() { return m_popover->saveButton()->text(); }
    void type(const QString &text)
    {
        field().setFocus();
        field().selectAll();
        QTest::keyClick(&field(), Qt::Key_Backspace);
        QTest::keyClicks(&field(), text);
    }

    Owner owner;

private:
    std::unique_ptr<QWidget> m_anchor;
    std::unique_ptr<MRKOSavePresetPopover> m_popover;
};

TEST_F(MRKOSavePresetPopoverTest, ContentHasItsThreeElementsAtTheirFrames)
{
    const QWidget *content = popover().popover().contentWidget();
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->size(), QSize(324, 70));
    EXPECT_EQ(popover().popover().contentSize(), QSizeF(324, 70));
    // y up in the layout: the field at y 16 is 34 from the top of Qt's y-down content.
    EXPECT_EQ(field().geometry(), QRect(20, 34, 200, 20));
    EXPECT_EQ(popover().saveButton()->geometry(), QRect(226, 34, 80, 20));
    EXPECT_EQ(popover().titleField()->geometry(), QRect(12, 10, 300, 20));
    EXPECT_EQ(field().text(), QStringLiteral("Preset Name"));
    EXPECT_EQ(field().selectedText(), QStringLiteral("Preset Name"));
    EXPECT_EQ(title(), QStringLiteral("Name for a new preset"));
    EXPECT_EQ(button(), QStringLiteral("Save"));
}

TEST_F(MRKOSavePresetPopoverTest, ReturnInTheUntouchedFieldSavesPresetName)
{
    QTest::keyClick(&field(), Qt::Key_Return);

    EXPECT_EQ(owner.saved, QStringList{QStringLiteral("Preset Name")});
    EXPECT_EQ(popover().presetName(), QStringLiteral("Preset Name"));
    EXPECT_FALSE(popover().popover().isShown());
}

TEST_F(MRKOSavePresetPopoverTest, RefusedNamesWarnInYellowAndStayOpen)
{
    const struct
    {
        const char *name;
        QString text;
        const char *warning;
    } rows[] = {
        {"Empty", QString(), "Preset name is too short"},
        {"LeavesTheFolder", QStringLiteral("../x"), "Preset name is not allowed"},
        {"Slash", QStringLiteral("a/b"), "Preset name is not allowed"},
        {"Dot", QStringLiteral("."), "Preset name is not allowed"},
        {"DotDot", QStringLiteral(".."), "Preset name is not allowed"},
        {"Nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "Preset name is not allowed"},
        // 244 bytes and ".ikshortcuts" make 256.
        {"TooLong", QString(122, QChar(0xE9)), "Preset name is not allowed"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        field().setText(row.text);
        popover().controlTextDidChange();

        popover().save();

        EXPECT_EQ(title(), QLatin1String(row.warning));
        EXPECT_EQ(titleColor(), kYellow);
        EXPECT_TRUE(popover().popover().isShown());
    }
    EXPECT_TRUE(owner.saved.isEmpty());

    // The longest name that fits, and names that merely look odd, are kept as typed.
    for (const QString &text :
         {QString(121, QChar(0xE9)) + QStringLiteral("a"), QStringLiteral(" .hidden "), QStringLiteral("...")}) {
        EXPECT_TRUE(MRKOSavePresetPopover::nameIsAllowed(text, QStringLiteral("ikshortcuts"))) << text.toStdString();
    }
}

TEST_F(MRKOSavePresetPopoverTest, ExistingNameAsksOnceAndAnEditAsksAgain)
{
    owner.names = {QStringLiteral("Mine")};
    type(QStringLiteral("Mine"));

    popover().save();
    EXPECT_EQ(title(), QStringLiteral("Preset name already exists"));
    EXPECT_EQ(titleColor(), kYellow);
    EXPECT_EQ(button(), QStringLiteral("Rewrite"));
    EXPECT_TRUE(owner.saved.isEmpty());

    // One more letter and its removal bring back the editing state: confirming needs a new press.
    QTest::keyClick(&field(), Qt::Key_S);
    QTest::keyClick(&field(), Qt::Key_Backspace);
    EXPECT_EQ(button(), QStringLiteral("Save"));
    EXPECT_EQ(title(), QStringLiteral("Name for a new preset"));
    EXPECT_NE(titleColor(), kYellow);
    popover().save();
    EXPECT_EQ(button(), QStringLiteral("Rewrite"));
    EXPECT_TRUE(owner.saved.isEmpty());

    popover().save();
    EXPECT_EQ(owner.saved, QStringList{QStringLiteral("Mine")});
    EXPECT_FALSE(popover().popover().isShown());
}

TEST_F(MRKOSavePresetPopoverTest, WithoutAnOwnerNothingIsSaved)
{
    log().expectWarning(QStringLiteral("invokeAction:"));
    popover().setTarget(nullptr);

    popover().save();

    EXPECT_TRUE(owner.saved.isEmpty());
    EXPECT_FALSE(popover().popover().isShown());
}
