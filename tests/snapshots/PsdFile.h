#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRect>
#include <QString>

#include <optional>

/// A strict reader of the PSD files the writer makes, so tests can check every length and decode every channel.
namespace psdtest {

/// Unpacks PackBits; nullopt when a packet runs past the data or the output is not `expected` bytes.
[[nodiscard]] std::optional<QByteArray> unpackBits(const QByteArray &packed, qsizetype expected);

struct Channel
{
    int id = 0;
    quint32 length = 0;
    QByteArray block; // the channel's bytes in the channel data, compression code included
};

struct InfoBlock
{
    QByteArray key; // "luni", "lrFX", "lsct" ...
    QByteArray data;
};

struct Record
{
    QRect rect; // left, top, right, bottom made into a rectangle
    qint32 top = 0, left = 0, bottom = 0, right = 0;
    QList<Channel> channels;
    QByteArray blendSignature, blendMode;
    int opacity = 0, clipping = 0, flags = 0;
    quint32 extraLength = 0;
    QByteArray extra; // the bytes the extra-data length covers
    QByteArray pascalName;
    QList<InfoBlock> blocks;
    QByteArray recordBytes; // the whole record as written

    [[nodiscard]] QByteArray block(const char *key) const;
    /// The channel with `id` decoded to width x height bytes, nullopt when it cannot be.
    [[nodiscard]] std::optional<QByteArray> decodedChannel(int id) const;
};

struct File
{
    int channels = 0, height = 0, width = 0, depth = 0, mode = 0;
    QMap<int, QByteArray> resources;
    QList<int> resourceOrder;
    qint16 layerCount = 0;
    QList<Record> records;
    quint32 layerSectionLength = 0, layerInfoLength = 0;
    /// Decoded composite planes, one per channel.
    QList<QByteArray> composite;
    QList<int> compositeRowLengths;
};

/// Parses the whole file; on failure `error` says what was wrong and where.
[[nodiscard]] std::optional<File> parse(const QByteArray &bytes, QString *error = nullptr);

} // namespace psdtest
