#pragma once

/// The window level at which the overlay windows float ("InkoraWindowLevel"), and moving them when it changes.
class MRKOAppLevel final
{
public:
    static constexpr int kDefaultLevel = 29;

    static MRKOAppLevel &appLevel();

    [[nodiscard]] int level() const { return m_level; }
    /// A new level is stored and every overlay window moves to it.
    void setLevel(int level);
    void updateLevel();
    void saveLevel();
    void validateLevel();
    void resetLevel();
    void moveWindows();
    void updateLevelForAllWindowsIfNeeded();

private:
    MRKOAppLevel() = default;
    int m_level = 0; // until the settings are first read
};
