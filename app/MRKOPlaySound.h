#pragma once

#include "platform/Sound.h"

#include <QtGlobal>

#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <vector>

/// The click sounds: six keyboard and six mouse samples. Each set plays every sample once, in random order, before
/// any repeats, and a new round never starts with the sample that ended the last one. Volumes live in the settings.
class MRKOPlaySound final
{
public:
    using RandomDraw = std::function<quint32()>;
    /// The sentinel of "nothing played yet".
    static constexpr quint64 kNone = quint64(std::numeric_limits<qint64>::max());

    /// Made on first use over the installed sound output; gone with the application.
    static MRKOPlaySound &sharedSounds();
    /// A player over `output` (which it outlives, or not: the sounds hold what they need) and a random draw.
    MRKOPlaySound(platform::SoundOutput &output, RandomDraw random);
    ~MRKOPlaySound();
    MRKOPlaySound(const MRKOPlaySound &) = delete;
    MRKOPlaySound &operator=(const MRKOPlaySound &) = delete;

    void playKeyboard();
    void playMouse();

    void setKeyboardVolume(float volume);
    void setMouseVolume(float volume);
    [[nodiscard]] float keyboardVolume() const { return m_keyboard.volume; }
    [[nodiscard]] float mouseVolume() const { return m_mouse.volume; }
    /// From "KeyboardSoundVolume" / "MouseSoundVolume".
    void updateKeyboardVolume();
    void updateMouseVolume();
    void saveKeyboardVolume();
    void saveMouseVolume();
    /// NaN is 1; then clamped to 0...1.
    [[nodiscard]] static float validateVolume(double volume);
    /// Both sets at 1; both settings removed.
    void resetAllVolume();
    /// Selector 0 keyboard, 1 mouse; others 1.
    [[nodiscard]] float volumeWithPrefVolume(qint64 selector) const;
    void setVolumeWithPrefVolume(float volume, qint64 selector);

    [[nodiscard]] quint64 playedKeyboardIndex() const { return m_keyboard.last; }
    [[nodiscard]] quint64 playedMouseIndex() const { return m_mouse.last; }
    [[nodiscard]] size_t keyboardSoundCount() const { return m_keyboard.sounds.size(); }
    [[nodiscard]] size_t mouseSoundCount() const { return m_mouse.sounds.size(); }

private:
    struct SoundSet
    {
        std::vector<std::unique_ptr<platform::SoundOutput::Sound>> sounds;
        std::set<quint64> played;
        quint64 last = kNone;
        float volume = 1; // kept apart so that an empty set still reads its setting
    };

    void loadSet(SoundSet &set, platform::SoundOutput &output, const char *prefix);
    void play(SoundSet &set);
    void setVolume(SoundSet &set, float volume);
    void updateVolume(SoundSet &set, const char *key);

    RandomDraw m_random;
    SoundSet m_keyboard;
    SoundSet m_mouse;
};
