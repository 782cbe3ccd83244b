#include "tests/shortcuts/ShortcutsFixture.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/fake/FakeHotKeys.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOShortcutsView.h"
#include "shortcuts/ShortcutsNeighbours.h"

namespace {

constexpr int kFieldWidth = 300;  // points
constexpr int kFieldHeight = 24;  // points
constexpr int kFieldSpacing = 30; // points from one field's top to the next

} // namespace

void ShortcutsFixture::SetUp()
{
    InkoraFixture::SetUp();
    m_pane = std::make_unique<MRKOShortcutsView>();
    m_pane->setGeometry(100, 100, 400, 600);
    m_pane->show();
}

void ShortcutsFixture::TearDown()
{
    inkora::setShortcutsTextFields({});
    m_pane.reset();
    InkoraFixture::TearDown();
}

std::shared_ptr<KQShortCut> ShortcutsFixture::bind(quint16 keyCode, quint64 flags, const QString &action)
{
    auto shortCut = KQShortCut::shortCutWithKeyCode(keyCode, flags, &commands, action);
    KQShortCutMonitor::defaultMonitor().bindShortCut(shortCut);
    m_shortCuts.append(shortCut);
    return shortCut;
}

KQTextField &ShortcutsFixture::addField(const QString &key, const std::shared_ptr<KQShortCut> &shortCut, qint64 tag)
{
    auto *field = new KQTextField(m_pane.get()); // child of the pane
    field->setIdentifier(key);
    field->setTag(tag);
    field->setGeometry(20, 20 + kFieldSpacing * int(m_fields.size()), kFieldWidth, kFieldHeight);
    field->show();
    if (shortCut && !m_shortCuts.contains(shortCut))
        m_shortCuts.append(shortCut);
    field->setShortCut(shortCut);
    m_fields.append(field);
    inkora::setShortcutsTextFields(m_fields);
    return *field;
}

platform::FakeHotKeys &ShortcutsFixture::hotKeys()
{
    return *fakes().hotKeys;
}

QString ShortcutsFixture::stored(const QString &key)
{
    const QVariant value = MRKOUtils::userDefaults().objectForKey(key);
    return value.isValid() ? value.toString() : QString();
}
