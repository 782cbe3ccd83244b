// Drives the snapshot stores from a process of its own, for tests that kill it or read the stores as a new run would.
//   churn <seed>  adds shots, moves them to the bin and puts them back, forever; after each commit it prints
//                 "committed <file name>" for the shot the commit concerned.
//   dump          prints every record as a new run reads it: "<store>|<kind folder>|<folder>|<position>|<name>|<file>";
//                 exits 2 when a store could not be opened as it was.
#include "platform/Services.h"
#include "platform/fake/FakeAlerts.h"
#include "platform/fake/FakeServices.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <cstdio>

namespace {

std::shared_ptr<MRKOSnapshot> shot(int n)
{
    QImage screen(64, 40, QImage::Format_RGBA8888_Premultiplied);
    screen.fill(QColor::fromHsv(n * 37 % 360, 200, 220));
    auto layer = platform::Layer::create();
    QImage ink(16, 16, QImage::Format_RGBA8888_Premultiplied);
    ink.fill(Qt::red);
    layer->setFrame(QRectF(4, 4, 8, 8));
    layer->setContentsScale(2);
    layer->setContents(std::make_shared<const QImage>(ink));
    auto snapshot = MRKOSnapshot::snapshotWithLayers({layer}, screen, QRectF(0, 0, 32, 20), 0);
    snapshot->setName(QStringLiteral("Shot %1").arg(n));
    return snapshot;
}

void committed(const QString &file)
{
    std::printf("committed %s\n", qPrintable(file));
    std::fflush(stdout);
}

int churn(quint32 seed)
{
    QRandomGenerator random(seed);
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    MRKOPersistentTrash &bin = MRKOPersistentTrash::sharedTrash();
    for (int n = 0;; ++n) {
        const int choice = random.bounded(10);
        if (choice < 5 || roll.items().empty()) {
            const auto info = roll.addSnapshotForSequenceType(shot(n), 0);
            roll.settlePendingWrites();
            if (info)
                committed(info->filename());
        } else if (choice < 8) {
            const auto items = roll.items();
            const auto info = items[size_t(random.bounded(int(items.size())))];
            if (roll.moveSnapshotToTrash(info)) {
                roll.finalizeMoveToTrashOrPutBack();
                committed(info->filename());
            }
        } else if (bin.hasObjects()) {
            const auto sequence = bin.sequences()[size_t(random.bounded(int(bin.sequences().size())))];
            const QString file = sequence->firstInfo() ? sequence->firstInfo()->filename() : QString();
            bin.putSequenceBack(sequence);
            roll.finalizeMoveToTrashOrPutBack();
            committed(file);
        }
    }
}

void print(const char *store, const std::vector<std::shared_ptr<Sequence>> &sequences)
{
    for (const auto &sequence : sequences) {
        int position = 0;
        for (const auto &info : sequence->snapInfos().objects()) {
            std::printf("%s|%s|%s|%d|%s|%s\n", store, qPrintable(sequence->parentFolder()),
                        qPrintable(sequence->foldername()), position++, qPrintable(info->name()),
                        qPrintable(info->filename()));
        }
    }
}

int dump(const platform::FakeAlerts &alerts)
{
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    MRKOPersistentTrash &bin = MRKOPersistentTrash::sharedTrash();
    print("roll", roll.sequences());
    print("roll", roll.dazadUdizsSequences());
    print("bin", bin.sequences());
    std::fflush(stdout);
    return alerts.errors.isEmpty() && roll.managedObjectContext() && bin.managedObjectContext() ? 0 : 2;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    platform::FakeServices fakes;
    platform::install(platform::makeFakeServices(fakes));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("churn"))
        return churn(arguments[2].toUInt());
    if (arguments.size() >= 2 && arguments[1] == QLatin1String("dump"))
        return dump(*fakes.alerts);
    std::fprintf(stderr, "usage: snapshot_store_driver churn <seed> | dump\n");
    return 1;
}
