#include "app/MRKOPlaySound.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Services.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int kSetSize = 6;
constexpr int kMaxRedraws = 100;
constexpr auto kKeyboardVolumeKey = "KeyboardSoundVolume";
constexpr auto kMouseVolumeKey = "MouseSoundVolume";

MRKOPlaySound *s_shared = nullptr;

} // namespace

MRKOPlaySound &MRKOPlaySound::sharedSounds()
{
    if (!s_shared) {
        std::random_device seed;
        s_shared = new MRKOPlaySound(*platform::services().soundOutput,
                                     [engine = std::mt19937(seed())]() mutable { return quint32(engine()); });
        // Sounds of the output must go before the application does.
        qAddPostRoutine([] {
            delete s_shared;
            s_shared = nullptr;
        });
    }
    return *s_shared;
}

MRKOPlaySound::MRKOPlaySound(platform::SoundOutput &output, RandomDraw random) : m_random(std::move(random))
{
    loadSet(m_keyboard, output, "CrispyKeyboard");
    loadSet(m_mouse, output, "CrispyMouse");
    updateKeyboardVolume();
    updateMouseVolume();
}

MRKOPlaySound::~MRKOPlaySound() = default;

void MRKOPlaySound::loadSet(SoundSet &set, platform::SoundOutput &output, const char *prefix)
{
    for (int i = 1; i <= kSetSize; ++i) {
        // A missing sample is left out (the output logged it); the set plays what it has.
        if (auto sound =
                output.soundNamed(QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(i, 2, 10, QLatin1Char('0'))))
            set.sounds.push_back(std::move(sound));
    }
}

void MRKOPlaySound::playKeyboard()
{
    play(m_keyboard);
}

void MRKOPlaySound::playMouse()
{
    play(m_mouse);
}

void MRKOPlaySound::play(SoundSet &set)
{
    const quint64 n = set.sounds.size();
    if (n == 0)
        return; // nothing to draw from: the state stays as it is
    const auto draw = [this, n] { return quint64(m_random()) % n; };
    quint64 index = 0;
    if (set.played.size() == n - 1) {
        while (index < n - 1 && set.played.count(index))
            ++index;
    } else {
        index = draw();
    }
    if (set.played.size() >= n) {
        for (int i = 0; i < kMaxRedraws && index == set.last; ++i)
            index = draw();
        set.played.clear();
    } else {
        for (int i = 0; i < kMaxRedraws && set.played.count(index); ++i)
            index = draw();
    }
    if (index < n)
        set.sounds[index]->play();
    set.played.insert(index);
    set.last = index;
}

void MRKOPlaySound::setVolume(SoundSet &set, float volume)
{
    set.volume = validateVolume(volume);
    for (const auto &sound : set.sounds)
        sound->setVolume(set.volume);
}

void MRKOPlaySound::setKeyboardVolume(float volume)
{
    setVolume(m_keyboard, volume);
}

void MRKOPlaySound::setMouseVolume(float volume)
{
    setVolume(m_mouse, volume);
}

void MRKOPlaySound::updateVolume(SoundSet &set, const char *key)
{
    const QVariant stored = MRKOUtils::userDefaults().objectForKey(QLatin1String(key));
    bool number = false;
    const double volume = stored.toDouble(&number);
    if (stored.isValid() && !number)
        qCWarning(lcApp).noquote()
            << QStringLiteral("updateVolume: \"%1\" is not a number; full volume").arg(QLatin1String(key));
    setVolume(set, float(number ? volume : 1.0));
}

void MRKOPlaySound::updateKeyboardVolume()
{
    updateVolume(m_keyboard, kKeyboardVolumeKey);
}

void MRKOPlaySound::updateMouseVolume()
{
    updateVolume(m_mouse, kMouseVolumeKey);
}

void MRKOPlaySound::saveKeyboardVolume()
{
    MRKOUtils::userDefaults().setFloat(m_keyboard.volume, QLatin1String(kKeyboardVolumeKey));
}

void MRKOPlaySound::saveMouseVolume()
{
    MRKOUtils::userDefaults().setFloat(m_mouse.volume, QLatin1String(kMouseVolumeKey));
}

float MRKOPlaySound::validateVolume(double volume)
{
    if (std::isnan(volume))
        return 1;
    return float(std::clamp(volume, 0.0, 1.0));
}

void MRKOPlaySound::resetAllVolume()
{
    setVolume(m_keyboard, 1);
    setVolume(m_mouse, 1);
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.removeObjectForKey(QLatin1String(kKeyboardVolumeKey));
    defaults.removeObjectForKey(QLatin1String(kMouseVolumeKey));
}

float MRKOPlaySound::volumeWithPrefVolume(qint64 selector) const
{
    switch (selector) {
    case 0:
        return keyboardVolume();
    case 1:
        return mouseVolume();
    default:
        return 1;
    }
}

void MRKOPlaySound::setVolumeWithPrefVolume(float volume, qint64 selector)
{
    if (selector == 0) {
        setKeyboardVolume(volume);
        saveKeyboardVolume();
    } else if (selector == 1) {
        setMouseVolume(volume);
        saveMouseVolume();
    }
}
