#include "foundation/MRKOInkoraState.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

QRectF MRKOInkoraStateUtils::whiteboardRectWithRect(const QRectF &rect, qint64 layout)
{
    const double w = rect.width();
    const double h = rect.height();
    const double hw = std::floor(w * 0.5);
    const double hh = std::floor(h * 0.5);
    // The rectangle's own y axis points up: maxY is its top edge.
    const double maxX = rect.x() + w;
    const double maxY = rect.y() + h;
    switch (layout) {
    case MRKOWhiteboardLayoutLeftHalf:
        return {0, 0, hw, h};
    case MRKOWhiteboardLayoutRightHalf:
        return {maxX - hw, 0, hw, h};
    case MRKOWhiteboardLayoutTopHalf:
        return {0, maxY - hh, w, hh};
    case MRKOWhiteboardLayoutBottomHalf:
        return {0, 0, w, hh};
    case MRKOWhiteboardLayoutTopLeft:
        return {0, maxY - hh, hw, hh};
    case MRKOWhiteboardLayoutTopRight:
        return {maxX - hw, maxY - hh, hw, hh};
    case MRKOWhiteboardLayoutBottomLeft:
        return {0, 0, hw, hh};
    case MRKOWhiteboardLayoutBottomRight:
        return {maxX - hw, 0, hw, hh};
    default:
        return {rect.x(), rect.y(), w, h};
    }
}

QByteArray MRKOInkoraStateUtils::encodeInkoraState(const MRKOInkoraState &state)
{
    QByteArray bytes(20, '\0');
    auto *out = reinterpret_cast<uchar *>(bytes.data());
    out[0] = state.toolType;
    out[1] = state.colorType;
    out[2] = state.thickness;
    out[3] = state.dissolveMode;
    qToLittleEndian<quint32>(state.toolColor, out + 4);
    quint32 hueBits = 0;
    static_assert(sizeof(hueBits) == sizeof(state.hue));
    std::memcpy(&hueBits, &state.hue, sizeof(hueBits));
    qToLittleEndian<quint32>(hueBits, out + 8);
    out[12] = state.undoMask;
    out[13] = state.toolbarShown;
    out[14] = state.overlayShown;
    out[15] = state.screenCount;
    out[16] = state.activeScreenIndex;
    return bytes;
}

QList<QVariant> MRKOInkoraStateUtils::arrayWithCapacityNulled(qsizetype n)
{
    return QList<QVariant>(qMax<qsizetype>(n, 0));
}

QList<QByteArray> MRKOInkoraStateUtils::arrayWithCapacityNulledNSData(qsizetype n)
{
    return QList<QByteArray>(qMax<qsizetype>(n, 0));
}
