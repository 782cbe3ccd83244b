#include "tests/shortcuts/ShortcutsPaneFixture.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/PropertyList.h"
#include "platform/fake/FakeHotKeys.h"
#include "shortcuts/KQTextField.h"

#include <QDir>
#include <QFile>

void ShortcutsPaneFixture::SetUp()
{
    InkoraFixture::SetUp();
    m_delegate = std::make_unique<AppDelegate>();
    m_delegate->prepareUserDefaults();
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
    m_delegate->updateAllSettings();
    m_delegate->applicationDidFinishLaunching();
    drainMainQueue();
    m_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
    drainMainQueue();
    pane().loadShortcutsViewIfNeeded();
}

void ShortcutsPaneFixture::TearDown()
{
    if (MRKOShortcutsViewController::hasSharedController())
        delete &MRKOShortcutsViewController::sharedController();
    m_delegate.reset();
    InkoraFixture::TearDown();
}

KQTextField &ShortcutsPaneFixture::field(const char *key)
{
    KQTextField *found = pane().fieldWithIdentifier(QLatin1String(key));
    EXPECT_NE(found, nullptr) << key;
    return *found;
}

platform::FakeHotKeys &ShortcutsPaneFixture::hotKeys()
{
    return *fakes().hotKeys;
}

QByteArray ShortcutsPaneFixture::settingsFile()
{
    QFile file(MRKOUtils::userDefaults().filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ShortcutsPaneFixture::presetsFolder()
{
    return MRKOUtils::shortcutPresetsDir();
}

QString ShortcutsPaneFixture::writePreset(const QString &name, const QVariant &preset, bool xml)
{
    const QString path = QDir(presetsFolder()).filePath(name + QStringLiteral(".ikshortcuts"));
    QFile file(path);
    const std::optional<QByteArray> data =
        xml ? platform::PropertyList::toXml(preset) : platform::PropertyList::toBinary(preset);
    EXPECT_TRUE(data.has_value());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data.value_or(QByteArray()));
    return path;
}
