#include "app/MRKOPlaySound.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Sound.h"
#include "tests/support/InkoraFixture.h"

#include <cmath>
#include <limits>
#include <random>
#include <set>

namespace {

// The samples of the program, of which only the first `available` of each set exist.
class PartialOutput final : public platform::SoundOutput
{
public:
    explicit PartialOutput(int available) : m_available(available) {}
    [[nodiscard]] std::unique_ptr<Sound> soundNamed(const QString &name) override
    {
        if (name.right(2).toInt() > m_available)
            return nullptr;
        return m_silent.soundNamed(name);
    }
    [[nodiscard]] const QStringList &played() const { return m_silent.played(); }

private:
    platform::SilentSoundOutput m_silent;
    int m_available;
};

MRKOPlaySound::RandomDraw seeded(unsigned seed)
{
    return [engine = std::mt19937(seed)]() mutable { return quint32(engine()); };
}

} // namespace

class MRKOPlaySoundTest : public InkoraFixture
{
protected:
    static platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
};

TEST_F(MRKOPlaySoundTest, EveryRoundPlaysEachSampleOnceAndNeverStartsWithTheLastOne)
{
    for (const unsigned seed : {1u, 7u, 42u, 2026u}) {
        PartialOutput output(6);
        MRKOPlaySound sounds(output, seeded(seed));
        for (int i = 0; i < 24; ++i)
            sounds.playMouse();

        ASSERT_EQ(output.played().size(), 24) << "seed " << seed;
        for (int round = 0; round < 4; ++round) {
            const QStringList names = output.played().mid(round * 6, 6);
            EXPECT_EQ(std::set<QString>(names.begin(), names.end()).size(), 6u) << "seed " << seed;
            for (const QString &name : names)
                EXPECT_TRUE(name.startsWith(QLatin1String("CrispyMouse0")));
            if (round > 0) {
                EXPECT_NE(names.first(), output.played().at(round * 6 - 1)) << "seed " << seed;
            }
        }
    }
}

TEST_F(MRKOPlaySoundTest, AnEmptySetPlaysNothingAndASetOfOneRepeatsItsSample)
{
    defaults().setFloat(0.4f, QStringLiteral("KeyboardSoundVolume"));
    PartialOutput none(0);
    MRKOPlaySound empty(none, seeded(1));
    empty.playKeyboard();
    empty.playMouse();
    EXPECT_TRUE(none.played().isEmpty());
    EXPECT_EQ(empty.playedKeyboardIndex(), MRKOPlaySound::kNone) << "the state is kept";
    EXPECT_FLOAT_EQ(empty.keyboardVolume(), 0.4f) << "the volume reads its setting";

    PartialOutput one(1);
    MRKOPlaySound single(one, seeded(1));
    for (int i = 0; i < 3; ++i)
        single.playKeyboard();
    EXPECT_EQ(one.played(), QStringList(3, QStringLiteral("CrispyKeyboard01")));
}

TEST_F(MRKOPlaySoundTest, VolumesAreValidatedStoredAndReset)
{
    PartialOutput output(6);
    MRKOPlaySound sounds(output, seeded(1));
    EXPECT_FLOAT_EQ(sounds.keyboardVolume(), 1.0f) << "the registered default";

    const struct
    {
        double stored;
        float expected;
    } rows[] = {{1.7, 1.0f},
                {-0.2, 0.0f},
                {std::nan(""), 1.0f},
                {std::numeric_limits<double>::infinity(), 1.0f},
                {0.25, 0.25f}};
    for (const auto &row : rows) {
        defaults().setDouble(row.stored, QStringLiteral("MouseSoundVolume"));
        sounds.updateMouseVolume();
        EXPECT_FLOAT_EQ(sounds.mouseVolume(), row.expected) << row.stored;
    }
    log().expectWarning(QStringLiteral("\"KeyboardSoundVolume\" is not a number"));
    defaults().setObject(QStringLiteral("loud"), QStringLiteral("KeyboardSoundVolume"));
    sounds.updateKeyboardVolume();
    EXPECT_FLOAT_EQ(sounds.keyboardVolume(), 1.0f);

    sounds.setVolumeWithPrefVolume(0.3f, 0);
    EXPECT_FLOAT_EQ(defaults().floatForKey(QStringLiteral("KeyboardSoundVolume")), 0.3f);
    EXPECT_FLOAT_EQ(sounds.volumeWithPrefVolume(0), 0.3f);
    EXPECT_FLOAT_EQ(sounds.volumeWithPrefVolume(9), 1.0f);

    sounds.resetAllVolume();
    EXPECT_FALSE(defaults().persistentDomain().contains(QStringLiteral("KeyboardSoundVolume")));
    EXPECT_FALSE(defaults().persistentDomain().contains(QStringLiteral("MouseSoundVolume")));
    EXPECT_FLOAT_EQ(sounds.keyboardVolume(), 1.0f);
    EXPECT_FLOAT_EQ(sounds.mouseVolume(), 1.0f);
}
