#pragma once

#include "app/AppDelegate.h"
#include "shortcuts/MRKOShortcutsViewController.h"
#include "tests/support/InkoraFixture.h"

#include <QByteArray>
#include <QVariant>

#include <memory>

class KQTextField;
namespace platform {
class FakeHotKeys;
}

/// A launched delegate with its overlay shown, so that all its command shortcuts exist and are bound, and the
/// Shortcuts pane loaded on it.
class ShortcutsPaneFixture : public InkoraFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    AppDelegate &delegate() { return *m_delegate; }
    MRKOShortcutsViewController &pane() { return MRKOShortcutsViewController::sharedController(); }
    [[nodiscard]] KQTextField &field(const char *key);
    [[nodiscard]] platform::FakeHotKeys &hotKeys();

    /// The settings file's bytes as written.
    [[nodiscard]] static QByteArray settingsFile();
    /// The presets folder, made when missing.
    [[nodiscard]] static QString presetsFolder();
    /// Writes a property list of the kind into the presets folder.
    static QString writePreset(const QString &name, const QVariant &preset, bool xml = false);

private:
    std::unique_ptr<AppDelegate> m_delegate;
};
