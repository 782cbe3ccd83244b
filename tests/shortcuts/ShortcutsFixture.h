#pragma once

#include "foundation/ActionTarget.h"
#include "shortcuts/MRKOShortcutsView.h"
#include "tests/support/InkoraFixture.h"

#include <QStringList>

#include <memory>

class KQShortCut;
class KQTextField;
namespace platform {
class FakeHotKeys;
}

/// Records the commands shortcuts run.
class CommandRecorder final : public inkora::ActionTarget
{
public:
    [[nodiscard]] bool respondsToAction(const QString &) const override { return true; }
    void performAction(const QString &action, const platform::Event *) override { performed.append(action); }

    QStringList performed;
};

/// A shown pane with recorder fields in a column, their shortcuts bound through the registry and run into a
/// command recorder.
class ShortcutsFixture : public InkoraFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Binds a shortcut of the action through the registry.
    std::shared_ptr<KQShortCut> bind(quint16 keyCode, quint64 flags, const QString &action);
    /// A field of the pane under the settings key, showing the shortcut, with the tag given; it joins the pane's
    /// field list. The shortcut stays owned by the fixture, as the application delegate owns it.
    KQTextField &addField(const QString &key, const std::shared_ptr<KQShortCut> &shortCut, qint64 tag = 2);

    [[nodiscard]] MRKOShortcutsView &pane() const { return *m_pane; }
    [[nodiscard]] platform::FakeHotKeys &hotKeys();
    /// The string stored under the key; null when absent.
    [[nodiscard]] static QString stored(const QString &key);

    CommandRecorder commands;

private:
    std::unique_ptr<MRKOShortcutsView> m_pane;
    QList<KQTextField *> m_fields;                  // children of the pane
    QList<std::shared_ptr<KQShortCut>> m_shortCuts; // as the application delegate holds them
};
