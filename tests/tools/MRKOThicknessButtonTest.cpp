#include "tools/MRKOThicknessButton.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"
#include "platform/NotificationCenter.h"
#include "tests/tools/ToolsFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <cstdlib>

namespace {

bool near(QRgb pixel, const QColor &color)
{
    const QColor c = QColor::fromRgba(pixel);
    return c.alpha() > 200 && std::abs(c.red() - color.red()) < 8 && std::abs(c.green() - color.green()) < 8 &&
           std::abs(c.blue() - color.blue()) < 8;
}

} // namespace

class MRKOThicknessButtonTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        m_posts = platform::NotificationCenter::defaultCenter().addObserver(kMRKOThicknessChangedNotification, nullptr,
                                                                            [this](const platform::Notification &note) {
                                                                                EXPECT_EQ(note.sender, m_button.get());
                                                                                ++m_notes;
                                                                            });
    }
    void TearDown() override
    {
        m_button.reset(); // before the panel it sits on
        ToolsFixture::TearDown();
    }
    void makeButton()
    {
        m_button = std::make_unique<MRKOThicknessButton>();
        QObject::connect(m_button.get(), &MRKOButton::actionSent, [this] { ++m_actions; });
        place(*m_button);
    }

    std::unique_ptr<MRKOThicknessButton> m_button;
    platform::ObserverToken m_posts;
    int m_notes = 0;
    int m_actions = 0;
};

TEST_F(MRKOThicknessButtonTest, OnlyANewPresetIsStoredAnnouncedAndSent)
{
    MRKOUtils::userDefaults().setInteger(3, QStringLiteral("AllToolsThicknessKey"));
    makeButton();
    EXPECT_EQ(m_button->thickness(), 3u);

    m_button->changeThickness(3);
    EXPECT_EQ(m_notes, 0);
    EXPECT_EQ(m_actions, 0);

    m_button->changeThickness(5);
    EXPECT_EQ(m_button->thickness(), 5u);
    EXPECT_EQ(m_notes, 1);
    EXPECT_EQ(m_actions, 1);
    MRKOUtils::userDefaults().reload(); // written and synchronised
    EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("AllToolsThicknessKey")), 5);

    m_button->setThickness(1); // mirrors a change made elsewhere: no announcement
    EXPECT_EQ(m_notes, 1);
}

TEST_F(MRKOThicknessButtonTest, MenuOfSixPresetsOpensOnReleaseInsideOrRightRelease)
{
    makeButton();
    press(*m_button);
    release(*m_button, QPoint(60, 20)); // outside: only the highlight goes
    EXPECT_EQ(m_button->openMenu(), nullptr);
    EXPECT_FALSE(m_button->isHighlighted());

    press(*m_button, QPoint(20, 20), Qt::RightButton);
    release(*m_button, QPoint(20, 20), Qt::RightButton);
    QMenu *menu = m_button->openMenu();
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (const QAction *item : menu->actions())
        titles << item->text() + (item->isChecked() ? QStringLiteral("*") : QString());
    EXPECT_EQ(titles, QStringList({"Ultralight", "Thin", "Light*", "Medium", "Semibold", "Bold"})); // registered 2
    menu->setActiveAction(menu->actions()[4]);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(m_button->thickness(), 4u);
    EXPECT_EQ(m_actions, 1);

    click(*m_button);
    ASSERT_NE(m_button->openMenu(), nullptr);
    QTest::keyClick(m_button->openMenu(), Qt::Key_Escape);
    EXPECT_FALSE(m_button->isHighlighted());
    EXPECT_EQ(m_actions, 1);
}

TEST_F(MRKOThicknessButtonTest, PresetsLightTheirBar)
{
    makeButton();
    // Sample points on the thin, middle and bold bars of the 40-point icon.
    const QPoint bars[3] = {QPoint(20, 11), QPoint(20, 17), QPoint(20, 26)};
    struct Row
    {
        quint64 preset;
        int lit; // -1: none
    };
    for (const Row row : {Row{0, 0}, Row{1, 0}, Row{2, 0}, Row{3, 1}, Row{4, 2}, Row{5, 2}, Row{7, -1}}) {
        SCOPED_TRACE(row.preset);
        m_button->setThickness(row.preset);
        const QImage image = rendered(*m_button);
        for (int bar = 0; bar < 3; ++bar)
            EXPECT_EQ(near(image.pixel(bars[bar]), OnOffColor::iconOnColor()), bar == row.lit) << bar;
    }
}
