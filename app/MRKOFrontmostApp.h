#pragma once

#include <QString>

/// The frontmost application as last read, whether that is this program, and lowering the overlay around save and
/// open panels so they stay usable.
class MRKOFrontmostApp final
{
public:
    MRKOFrontmostApp() = delete;

    static constexpr int kFloatLevel = 8; // where the active overlay waits while a panel is up

    static void updateFrontmostApp();
    static QString updatedFrontmostApp();
    [[nodiscard]] static QString frontmostApp();
    /// Whether the cached application is this program or Inkora Helper.
    [[nodiscard]] static bool isSelfApp();
    [[nodiscard]] static bool isSelfAppEffective();
    /// Activates the program unless it is frontmost already; whether it had to.
    static bool makeFrontmostIfNeeded();
    static void beginSaveOperation();
    static void endSaveOperation();
    static void sendWindowsToFloatLevel();
    static void sendWindowsToWorkingLevel();
    static void levelOfFrontmostApp();
    /// Forgets the cache; for tests.
    static void reset();
};
