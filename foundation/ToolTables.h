#pragma once

#include "tools/MRKOToolType.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

namespace inkora {

/// The fixed tables that name the drawing tools: names, groups, icons, related tools, single-key actions and the
/// tool-tip texts of the tool bar and snapshot panel controls; behind the tool-table methods of MRKOUtils.
class ToolTables final
{
public:
    ToolTables() = delete;

    /// The single-key action of no action (the largest signed integer, as the tables have always used).
    static constexpr quint64 kNoExtraAction = 0x7FFFFFFFFFFFFFFFull;

    static QString stringForToolType(quint64 type);
    static MRKOToolType toolTypeForString(const QString &name);
    static QString stringForToolGroup(quint64 group);
    static QList<quint64> relatedTypesForToolType(quint64 type);

    static QImage smallImageForToolType(quint64 type);
    static QImage imageForToolType(quint64 type);
    /// The name of the tool's normal icon ("BrushMedium"); empty for a type without one.
    static QString imageNameForToolType(quint64 type);
    static QImage bigImageForToolType(quint64 type);

    static quint64 extraActionForToolType(quint64 type);
    static MRKOToolType toolTypeForExtraAction(quint64 action);
    static quint64 extraActionForString(const QString &identifier);
    static QString actionKeyStringDescriptionForString(const QString &identifier);

    static const QHash<QString, QString> &toolsDescriptions();
    static QString toolDescriptionWithIdentifier(const QString &identifier);
    static QColor highlightColorForIdentifier(const QString &identifier);
};

} // namespace inkora
