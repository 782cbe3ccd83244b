// Decodes any bytes as a snapshot archive; a snapshot that decodes is written again and rendered as a thumbnail.
#include "snapshots/MRKOSnapshot.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Refusals and image decoder complaints are expected here; keep the fuzzer's output readable.
    static const bool quiet = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        return true;
    }();
    (void)quiet;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::shared_ptr<MRKOSnapshot> snapshot = MRKOSnapshot::snapshotWithData(bytes);
    if (!snapshot)
        return 0;
    (void)snapshot->encodedSnapshotData();
    (void)snapshot->documentSize();
    (void)snapshot->snapshotImage();
    return 0;
}
