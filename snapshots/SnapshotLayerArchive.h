#pragma once

#include "platform/Layer.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace inkora {

/// How one drawn layer goes into a snapshot archive and comes back: the drawn-object layer archive.
/// TODO: call the objects subsystem's layer archive directly once it exists; until then it installs itself here,
/// and without an installed archive a snapshot writes no layers and refuses archives that carry some.
struct SnapshotLayerArchive
{
    std::function<QByteArray(const platform::Layer &)> layerDataToSave;
    /// Null, with the reason in `error`, when the data is no layer archive.
    std::function<platform::LayerPtr(const QByteArray &data, QString *error)> layerWithData;
};

void setSnapshotLayerArchive(SnapshotLayerArchive archive);
[[nodiscard]] SnapshotLayerArchive snapshotLayerArchive();

} // namespace inkora
