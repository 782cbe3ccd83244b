#include "tests/tools/ProgramFixture.h"

// The colour of the tool the settings name is the colour a drag draws with.
class ToolColorX11Test : public ProgramFixture
{
protected:
    QColor drawnColour(const QColor &expected)
    {
        if (!startAndShowOverlay())
            return {};
        return ProgramFixture::drawnColour(150, 350, 250, expected);
    }
};

TEST_F(ToolColorX11Test, PerToolColourOfTheStoredToolIsDrawn)
{
    writeSettings(QStringLiteral("'ToolColorFormat': 2,\n"
                                 "'LineColorSavedKey': '0.000000+0.000000+1.000000+1.000000',\n"
                                 "'ArrowColorSavedKey': '0.000000+1.000000+0.000000+1.000000'"));

    EXPECT_EQ(drawnColour(QColor(Qt::blue)), QColor(Qt::blue));
}

TEST_F(ToolColorX11Test, PerGroupColourOfTheStoredToolsGroupIsDrawn)
{
    writeSettings(QStringLiteral("'ToolColorFormat': 1,\n"
                                 "'LineColorSavedKey': '0.000000+0.000000+1.000000+1.000000',\n"
                                 "'GroupArrowColorSavedKey': '0.000000+1.000000+0.000000+1.000000'"));

    EXPECT_EQ(drawnColour(QColor(Qt::green)), QColor(Qt::green));
}
