#pragma once

#include "foundation/SrgbColor.h"

#include <QString>
#include <QtGlobal>

#include <array>

/// How custom colours are kept: one for all tools, one per tool group, or one per tool.
enum MRKOToolColorFormat : quint64 {
    MRKOToolColorFormatShared = 0,
    MRKOToolColorFormatToolGroup = 1,
    MRKOToolColorFormatSingleTool = 2,
};

/// Posted with the model as sender whenever the colour format is set anew.
inline const QString kMRKOToolColorFormatChangedNotification = QStringLiteral("MRKOToolColorFormatChangedNotification");

/// The custom drawing colour of the current tool, kept shared, per tool group or per tool. Every colour is written
/// to the settings at once, so the choice survives a restart; switching the format copies nothing, each slot keeps
/// its own colour. Also the program's fixed fallback colours. Main thread only.
class MRKOToolColor final
{
public:
    static MRKOToolColor &toolColor();

    /// Opaque sRGB red.
    [[nodiscard]] static inkora::SrgbColor defaultColor();
    /// Black with alpha 0.5.
    [[nodiscard]] static inkora::SrgbColor defaultFlashlightColor();
    [[nodiscard]] static inkora::SrgbColor defaultBackgroundColor();
    /// The flashlight surround chosen in the Preferences ("FlashlightBackgroundColor"), else the default.
    [[nodiscard]] static inkora::SrgbColor flashlightColor();

    /// The colour of the current slot; none for an unknown format. A group or tool slot that holds nothing takes
    /// red, in memory and in the settings.
    [[nodiscard]] inkora::SrgbColor color();
    /// Stores the colour in the current slot and under its key; none is replaced by red.
    void setColor(const inkora::SrgbColor &color);
    /// The colour to paint with: `color`, or red where there is none.
    [[nodiscard]] inkora::SrgbColor drawingColor();

    [[nodiscard]] quint64 toolColorFormat() const { return m_toolColorFormat; }
    /// A different format is stored, written to "ToolColorFormat" and announced; the same one does nothing.
    void setToolColorFormat(quint64 format);
    /// Reads "ToolColorFormat" and announces it, every time.
    void updateToolColorFormat();
    [[nodiscard]] bool isFormatNotShared() const { return m_toolColorFormat != MRKOToolColorFormatShared; }
    /// The current tool, from "ToolTypeKey"; a value outside 0-7 counts as the brush.
    [[nodiscard]] quint64 toolType() const;
    /// The settings key of the current slot.
    [[nodiscard]] QString defaultsKeyAccordingFormat() const;

private:
    MRKOToolColor();
    Q_DISABLE_COPY_MOVE(MRKOToolColor)

    [[nodiscard]] inkora::SrgbColor colorForToolGroup();
    [[nodiscard]] inkora::SrgbColor colorForSingleTool();
    [[nodiscard]] static QString defaultsToolGroupKeyWithGroup(quint64 group);
    [[nodiscard]] static QString defaultsSingleToolKeyWithType(quint64 type);
    [[nodiscard]] static inkora::SrgbColor colorForKey(const QString &key);
    static void saveColorForKey(const inkora::SrgbColor &color, const QString &key);
    void notifiFormatChanged();

    quint64 m_toolColorFormat = MRKOToolColorFormatShared;
    inkora::SrgbColor m_sharedColor;
    std::array<inkora::SrgbColor, 4> m_toolGroupColors;  // by tool group; none: empty
    std::array<inkora::SrgbColor, 8> m_singleToolColors; // by tool type; none: empty
};
