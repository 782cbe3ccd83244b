#pragma once

#include <QImage>
#include <QString>

#include <memory>

class MRKOSnapshot;

/// What the browser items and the preview read from a shot record of either kind: a stored shot, or a bin sequence
/// shown as the shot it holds.
class MRKOSnapshotInfoProtocol
{
public:
    virtual ~MRKOSnapshotInfoProtocol() = default;

    /// The 152 x 110 point thumbnail; null when the shot cannot be read.
    [[nodiscard]] virtual QImage snapshotImage() = 0;
    /// The 780 x 540 point preview; null when the shot cannot be read.
    [[nodiscard]] virtual QImage quickLookImage() = 0;
    [[nodiscard]] virtual bool isSnapshotImageReady() const = 0;
    /// The decoded shot under the record's current name; null when its file cannot be read.
    [[nodiscard]] virtual std::shared_ptr<MRKOSnapshot> snapshot() = 0;
    /// 0 Snapshots, 1 DazadUdizs.
    [[nodiscard]] virtual qint64 sequenceType() const = 0;
    [[nodiscard]] virtual QString name() const = 0;
};
