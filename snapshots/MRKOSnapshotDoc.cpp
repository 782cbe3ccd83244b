#include "snapshots/MRKOSnapshotDoc.h"

#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "platform/Alerts.h"
#include "platform/Dispatch.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "settings/MRKOPresetController.h"
#include "shortcuts/MRKOShortcutPresetController.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <vector>

namespace {

constexpr quint64 kOptionKeyMask = 0x80000;

MRKOSnapshotDoc::ModifierFlagsSource &modifierFlagsSource()
{
    static MRKOSnapshotDoc::ModifierFlagsSource s_source = [] {
        return platform::modifierFlagsFromQt(QGuiApplication::queryKeyboardModifiers());
    };
    return s_source;
}

/// The open documents; each goes when it closes.
std::vector<std::unique_ptr<MRKOSnapshotDoc>> &openDocuments()
{
    static std::vector<std::unique_ptr<MRKOSnapshotDoc>> s_documents;
    return s_documents;
}

void closeDocument(const MRKOSnapshotDoc *document)
{
    std::vector<std::unique_ptr<MRKOSnapshotDoc>> &documents = openDocuments();
    std::erase_if(documents, [document](const auto &open) { return open.get() == document; });
}

void presentDecodeError(const QString &fileName)
{
    platform::Alerts *alerts = platform::services().alerts.get();
    if (!alerts)
        return;
    platform::ErrorReport report;
    report.domain = QStringLiteral("NSOSStatusErrorDomain");
    report.code = MRKOSnapshotDoc::kDecodeError;
    report.description = QStringLiteral("The document \u201c%1\u201d could not be opened.").arg(fileName);
    report.failureReason = QStringLiteral("It is no snapshot of Inkora, or it is damaged.");
    (void)alerts->presentError(report);
}

} // namespace

void MRKOSnapshotDoc::setModifierFlagsSource(ModifierFlagsSource source)
{
    modifierFlagsSource() = std::move(source);
}

MRKOSnapshotDoc::Type MRKOSnapshotDoc::typeForPath(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("iksettings"))
        return Type::SettingsPreset;
    if (extension == QLatin1String("ikshortcuts"))
        return Type::ShortcutsPreset;
    if (extension == QLatin1String("iksnapshot"))
        return Type::Snapshot;
    return Type::Unknown;
}

QStringList MRKOSnapshotDoc::documentPathsFromArguments(const QStringList &arguments, const QString &workingDirectory)
{
    QStringList paths;
    for (const QString &argument : arguments) {
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        paths << QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(path));
    }
    return paths;
}

void MRKOSnapshotDoc::openDocumentsFromArguments(const QStringList &arguments)
{
    for (const QString &path : documentPathsFromArguments(arguments, QDir::currentPath()))
        (void)openDocumentAtPath(path);
}

int MRKOSnapshotDoc::openDocumentCount()
{
    return int(openDocuments().size());
}

bool MRKOSnapshotDoc::openDocumentAtPath(const QString &path)
{
    const Type type = typeForPath(path);
    if (type == Type::Unknown) {
        qCWarning(lcSnapshots).noquote() << QStringLiteral("MRKOSnapshotDoc can't be loaded. File Type: %1").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.exists()) {
        qCWarning(lcSnapshots).noquote() << QStringLiteral("MRKOSnapshotDoc: no file at %1").arg(path);
        return false;
    }
    const qint64 limit = type == Type::Snapshot ? kMaxSnapshotBytes : kMaxPresetBytes;
    if (file.size() > limit) {
        qCWarning(lcSnapshots).noquote()
            << QStringLiteral("MRKOSnapshotDoc: %1 is larger than %2 bytes; not opened").arg(path).arg(limit);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSnapshots).noquote()
            << QStringLiteral("MRKOSnapshotDoc: %1 can't be read: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray data = file.read(limit + 1);
    file.close();
    openDocuments().push_back(std::unique_ptr<MRKOSnapshotDoc>(new MRKOSnapshotDoc(path)));
    MRKOSnapshotDoc *document = openDocuments().back().get();
    int error = 0;
    if (document->readFromData(data, type, &error))
        return true;
    closeDocument(document);
    if (error == kDecodeError)
        presentDecodeError(QFileInfo(path).fileName());
    return false;
}

MRKOSnapshotDoc::MRKOSnapshotDoc(const QString &path) : m_path(path) {}

MRKOSnapshotDoc::~MRKOSnapshotDoc() = default;

bool MRKOSnapshotDoc::readFromData(const QByteArray &data, Type type, int *error)
{
    const QString fileName = QFileInfo(m_path).fileName();
    switch (type) {
    case Type::SettingsPreset:
        qCInfo(lcSnapshots).noquote() << QStringLiteral("Load Settings from iksettings file %1").arg(fileName);
        (void)MRKOPresetController::sharedPresets().addPresetWithData(data, fileName);
        cleanUpAndCloseDocument();
        return true;
    case Type::ShortcutsPreset:
        qCInfo(lcSnapshots).noquote() << QStringLiteral("Load Shortcuts from ikshortcuts file %1").arg(fileName);
        MRKOShortcutPresetController::sharedPresets().addPresetWithDataName(data, fileName);
        cleanUpAndCloseDocument();
        return true;
    case Type::Snapshot:
        break;
    case Type::Unknown:
        qCWarning(lcSnapshots) << "MRKOSnapshotDoc can't be loaded. File Type";
        return false;
    }

    AppDelegate *delegate = AppDelegate::shared();
    bool showOverlay = false;
    if (delegate && !delegate->wasActiveAndShown()) {
        delegate->prepareToLaunchIfNeeded();
        showOverlay = true;
    }
    const std::shared_ptr<MRKOSnapshot> snapshot = MRKOSnapshot::snapshotWithData(data);
    if (!snapshot) {
        qCWarning(lcSnapshots).noquote()
            << QStringLiteral("MRKOSnapshotDoc: %1 holds no snapshot (error %2)").arg(fileName).arg(kDecodeError);
        if (error)
            *error = kDecodeError;
        return false;
    }
    if (const QString name = QFileInfo(m_path).completeBaseName(); !name.isEmpty())
        snapshot->setName(name);
    const bool optionKey = (modifierFlagsSource()() & kOptionKeyMask) != 0;
    QPointer<MRKOSnapshotDoc> self(this);
    platform::DispatchQueue::main().after(kHandOverDelay, [self, snapshot, showOverlay, optionKey] {
        AppDelegate *app = AppDelegate::shared();
        if (showOverlay && app && !app->isActiveAndShown())
            app->runInkora(nullptr);
        if (optionKey) {
            if (snapshot->hasLayers())
                (void)MRKOSnapshotManager::sharedSnapshotManager().addSnapshot(snapshot);
            else if (!snapshot->screenBitmap().isNull())
                (void)MRKOSnapshotManager::sharedSnapshotManager().addDazadUdiz(snapshot);
        } else if (app) {
            app->applySnapshot(snapshot);
        }
        if (self)
            self->cleanUpAndCloseDocument();
    });
    return true;
}

void MRKOSnapshotDoc::cleanUpAndCloseDocument()
{
    QPointer<MRKOSnapshotDoc> self(this);
    platform::DispatchQueue::main().after(kHandOverDelay, [self] {
        if (self)
            closeDocument(self.data());
    });
}
