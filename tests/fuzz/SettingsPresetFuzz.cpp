// Reads any bytes as a settings preset file and applies what the reader gives on a scratch settings store with each
// load type. A preset the check refuses must leave the settings file as it was.
#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/fake/FakeServices.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/MRKOPresetController.h"

#include <QApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir *setUp()
{
    static int argc = 1;
    static char name[] = "fuzz_settings_preset";
    static char *argv[] = {name, nullptr};
    static QTemporaryDir home;
    for (const char *folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME"})
        qputenv(folder, home.path().toLocal8Bit());
    static QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("inkora.*=false"));
    static platform::FakeServices fakes;
    platform::uninstall();
    (void)platform::install(platform::makeFakeServices(fakes));
    static AppDelegate delegate;
    delegate.prepareUserDefaults();
    MRKOUtils::userDefaults().synchronize();
    (void)MRKOPreferencesViewController::sharedController();
    return &home;
}

QByteArray settingsFile()
{
    QFile file(MRKOUtils::userDefaults().filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir *const home = setUp();
    const QString path = home->filePath(QStringLiteral("input.iksettings"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const std::optional<QVariantMap> preset = MRKOPresetController::presetWithPath(path);
    if (!preset)
        return 0;
    MRKOPreferencesViewController &pane = MRKOPreferencesViewController::sharedController();
    for (int loadType = 0; loadType < 3; ++loadType) {
        const QByteArray before = settingsFile();
        if (!pane.applySettingsWithPresetLoadType(*preset, loadType) && settingsFile() != before)
            std::abort(); // a refused preset changed the settings file
    }
    platform::drainMainQueue();
    return 0;
}
