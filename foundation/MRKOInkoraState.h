#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QVariant>

#include <cstdint>

/// Which part of the screen the whiteboard covers; any other value covers all of it.
enum MRKOWhiteboardLayout : qint64 {
    MRKOWhiteboardLayoutLeftHalf = 1,
    MRKOWhiteboardLayoutRightHalf = 2,
    MRKOWhiteboardLayoutTopHalf = 3,
    MRKOWhiteboardLayoutBottomHalf = 4,
    MRKOWhiteboardLayoutTopLeft = 5,
    MRKOWhiteboardLayoutTopRight = 6,
    MRKOWhiteboardLayoutBottomLeft = 7,
    MRKOWhiteboardLayoutBottomRight = 8,
};

/// The state the remote controller sends after its command byte.
struct MRKOInkoraState
{
    std::uint8_t toolType = 0;
    std::uint8_t colorType = 0;
    std::uint8_t thickness = 0;
    std::uint8_t dissolveMode = 0;
    std::uint32_t toolColor = 0; // 0xRRGGBBFF
    float hue = 0;
    std::uint8_t undoMask = 0;
    std::uint8_t toolbarShown = 0;
    std::uint8_t overlayShown = 0;
    std::uint8_t screenCount = 0;
    std::uint8_t activeScreenIndex = 0;
};

/// Geometry, the remote state bytes and placeholder lists shared by the canvas, the snapshots and the remote.
class MRKOInkoraStateUtils final
{
public:
    MRKOInkoraStateUtils() = delete;

    /// The part of the rectangle the layout names; halves are floor(size / 2), left and bottom pieces start at 0.
    [[nodiscard]] static QRectF whiteboardRectWithRect(const QRectF &rect, qint64 layout);
    /// Exactly 20 bytes, little-endian, fields in declaration order at natural alignment, the tail zero.
    [[nodiscard]] static QByteArray encodeInkoraState(const MRKOInkoraState &state);
    /// n null placeholders.
    [[nodiscard]] static QList<QVariant> arrayWithCapacityNulled(qsizetype n);
    /// n empty data objects.
    [[nodiscard]] static QList<QByteArray> arrayWithCapacityNulledNSData(qsizetype n);
};
