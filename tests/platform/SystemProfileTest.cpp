#include "platform/SystemProfile.h"

#include "platform/Services.h"
#include "platform/fake/FakeSystemProfile.h"
#include "platform/linux/X11SystemProfile.h"
#include "tests/support/InkoraFixture.h"

#include <utility>
#include <vector>

namespace {

class SystemProfileTest : public InkoraFixture
{
};

// The release tests the subsystems make.
const std::vector<std::pair<int, int>> kReleases = {{10, 12}, {10, 14}, {10, 15}, {11, 0},
                                                    {12, 0},  {13, 0},  {14, 0},  {15, 0}};

TEST_F(SystemProfileTest, FakeAnswersLikeX11UntilTold)
{
    const platform::X11SystemProfile x11;
    const platform::SystemProfile &fake = *platform::services().systemProfile;

    for (const auto &[major, minor] : kReleases) {
        EXPECT_TRUE(x11.isVersionAtLeast(major, minor));
        EXPECT_TRUE(fake.isVersionAtLeast(major, minor));
    }
    EXPECT_FALSE(x11.hasFunctionKey());
    EXPECT_FALSE(fake.hasFunctionKey());
    EXPECT_TRUE(x11.isAccessibilityTrusted() && fake.isAccessibilityTrusted());
    EXPECT_TRUE(x11.canRecordScreen() && fake.canRecordScreen());
}

TEST_F(SystemProfileTest, FakePretendsAReleaseAndFlipsSingleAnswers)
{
    platform::FakeSystemProfile &fake = *fakes().systemProfile;

    fake.setVersion(13);
    fake.setVersionAtLeast(10, 14, false);
    fake.setAccessibilityTrusted(false);
    fake.setCanRecordScreen(false);
    fake.setHasFunctionKey(true);

    std::vector<bool> answers;
    for (const auto &[major, minor] : kReleases)
        answers.push_back(fake.isVersionAtLeast(major, minor));
    EXPECT_EQ(answers, (std::vector<bool>{true, false, true, true, true, true, false, false}));
    EXPECT_FALSE(fake.isAccessibilityTrusted());
    EXPECT_FALSE(fake.canRecordScreen());
    EXPECT_TRUE(fake.hasFunctionKey());
}

} // namespace
