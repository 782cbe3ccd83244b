#include "tools/MRKOToolButton.h"

#include "app/LiveSettings.h"
#include "platform/Animation.h"
#include "platform/LayerWidget.h"
#include "tests/tools/ToolsFixture.h"

#include <QCoreApplication>
#include <QEvent>

class MRKOToolButtonTest : public ToolsFixture
{
protected:
    std::unique_ptr<MRKOToolButton> makeButton()
    {
        auto button = std::make_unique<MRKOToolButton>(QStringLiteral("FreezeMode"));
        button->setImageName(QStringLiteral("DissolveMedium"));
        button->setAlternateImageName(QStringLiteral("DissolveOffMedium"));
        place(*button);
        return button;
    }
    platform::LayerWidget *flash() { return m_panel->findChild<platform::LayerWidget *>(QStringLiteral("fadeFlash")); }
};

TEST_F(MRKOToolButtonTest, StripesShowOnlyOnTheSelectedIconWhileAnAuxiliaryActionIsOn)
{
    auto button = makeButton();
    button->setState(1);
    const QImage plain = rendered(*button);

    button->setWantToCheckAuxAction(true);
    EXPECT_EQ(rendered(*button), plain); // no auxiliary action on
    m_delegate->auxAction = true;
    const QImage striped = rendered(*button);
    EXPECT_NE(striped, plain);
    // Only inside the icon: where the icon is transparent nothing changed.
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (qAlpha(plain.pixel(x, y)) == 0) {
                ASSERT_EQ(qAlpha(striped.pixel(x, y)), 0) << x << "," << y;
            }
        }
    }

    button->setState(1); // any change of state drops them
    EXPECT_FALSE(button->wantToCheckAuxAction());
    EXPECT_EQ(rendered(*button), plain);
}

TEST_F(MRKOToolButtonTest, FadeFlashLastsTheLiveFadeTimeAndGoesAway)
{
    auto button = makeButton();
    struct Row
    {
        double fadeTime;
        double duration;
    };
    for (const Row row : {Row{1.5, 1.5}, Row{0, 1.0}, Row{0.25, 0.25}}) {
        SCOPED_TRACE(row.fadeTime);
        inkora::liveSettings().fadeTime = row.fadeTime;
        button->animateFadeWithColor(inkora::SrgbColor(0, 1, 0, 1));

        platform::LayerWidget *host = flash();
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(host->geometry(), button->geometry());
        ASSERT_EQ(host->rootLayer()->sublayers().size(), 1u);
        const platform::Layer &layer = *host->rootLayer()->sublayers().front();
        const platform::Animation *fade = layer.animationForKey(QStringLiteral("opacity"));
        ASSERT_NE(fade, nullptr);
        EXPECT_DOUBLE_EQ(fade->duration(), row.duration);
        ASSERT_TRUE(layer.contents());
        EXPECT_GT(qGreen(layer.contents()->pixel(20, 20)), 200); // the alternate icon in the colour

        advance(row.duration + 0.1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(flash(), nullptr);
    }
}
