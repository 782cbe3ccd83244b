#include "foundation/ToolTables.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/SrgbColor.h"
#include "platform/ImageLoader.h"
#include "shortcuts/KeyNames.h"
#include "shortcuts/MRKOSingleKeyActionController.h"

#include <array>

namespace inkora {

namespace {

struct ToolRow
{
    const char *name;
    const char *icon; // the small, normal and big icons add "Small", "Medium" and "Medium100"
    quint64 extraAction;
};

const std::array<ToolRow, 8> kTools = {{
    {"Brush", "Brush", 37},
    {"Arrow", "Arrow", 39},
    {"Rectangle", "Rectangle", 41},
    {"Text", "Text", 43},
    {"Quick Arrow", "QuickArrow", 38},
    {"Line", "Line", 40},
    {"Ellipse", "Ellipse", 42},
    {"Plain Text", nullptr, ToolTables::kNoExtraAction},
}};

constexpr quint16 kNoKeyCode = 65535; // no single-key slot holds the action

QImage toolImage(quint64 type, const char *suffix)
{
    if (type >= kTools.size() || !kTools[type].icon)
        return {};
    return platform::ImageLoader::namedImage(QLatin1String(kTools[type].icon) + QLatin1String(suffix));
}

QHash<QString, QString> makeToolsDescriptions()
{
    // The flashlight's shortcut is the grave accent alone unless Fn-grave accent is its default.
    const QString flashlightKey = MRKOUtils::functionKeyDefaultsApply() ? QStringLiteral("Fn-`") : QStringLiteral("`");
    return {
        {QStringLiteral("Brush"), QStringLiteral("Brush Tool")},
        {QStringLiteral("Arrow"), QStringLiteral("Arrow Tool")},
        {QStringLiteral("Rectangle"), QStringLiteral("Rectangle Tool")},
        {QStringLiteral("Ellipse"), QStringLiteral("Ellipse Tool")},
        {QStringLiteral("Line"), QStringLiteral("Line Tool")},
        {QStringLiteral("Text"), QStringLiteral("Text Tool")},
        {QStringLiteral("Quick Arrow"), QStringLiteral("Quick Arrow Tool")},
        {QStringLiteral("Thickness"), QStringLiteral("Tool Thickness")},
        {QStringLiteral("Rainbow"), QStringLiteral("Rainbow Colors")},
        {QStringLiteral("ColorWheel"), QStringLiteral("Color Wheel")},
        {QStringLiteral("FreezeMode"), QStringLiteral("Freeze/Fade Mode")},
        {QStringLiteral("Flashlight"), QStringLiteral("Flashlight (\u21E7 or %1)").arg(flashlightKey)},
        {QStringLiteral("CloseToolbar"), QStringLiteral("Close Toolbar")},
        {QStringLiteral("Options"), QStringLiteral("Options")},
        {QStringLiteral("Repeat"), QStringLiteral("Repeat")},
        {QStringLiteral("Hand"), QStringLiteral("Hand Tool")},
        {QStringLiteral("Scissors"), QStringLiteral("Scissors Tool")},
        {QStringLiteral("Undo"), QStringLiteral("Undo")},
        {QStringLiteral("Redo"), QStringLiteral("Redo")},
        {QStringLiteral("CloseSnapshots"), QStringLiteral("Close Snapshots")},
        {QStringLiteral("CreateSnapshot"), QStringLiteral("Create New Snapshot")},
        {QStringLiteral("CreateDazadUdiz"), QStringLiteral("Create Fullscreen DazadUdiz")},
        {QStringLiteral("ExportSnapshot"), QStringLiteral("Export")},
        {QStringLiteral("ApplySnapshot"), QStringLiteral("Apply Snapshot")},
        {QStringLiteral("RemoveSnapshot"), QStringLiteral("Remove")},
        {QStringLiteral("CloseQuickLook"), QStringLiteral("Close Quick Look")},
        {QStringLiteral("SaveSnapshot"), QStringLiteral("Save or Load Snapshots")},
        {QStringLiteral("QuickLookSnapshot"), QStringLiteral("Quick Look")},
        {QStringLiteral("PutBackSnapshot"), QStringLiteral("Put Back")},
        {QStringLiteral("DeleteAllSnapshots"), QStringLiteral("Delete All")},
        {QStringLiteral("CleanUpShots"), QStringLiteral("Clean Up")},
        {QStringLiteral("MoveLayerUp"), QStringLiteral("Move Layer Forward")},
        {QStringLiteral("MoveLayerDown"), QStringLiteral("Move Layer Backward")},
        {QStringLiteral("DeselectLayer"), QStringLiteral("Deselect Layer")},
    };
}

} // namespace

QString ToolTables::stringForToolType(quint64 type)
{
    return type < kTools.size() ? QString::fromLatin1(kTools[type].name) : QString(QLatin1String(""));
}

MRKOToolType ToolTables::toolTypeForString(const QString &name)
{
    for (size_t type = 0; type < kTools.size(); ++type) {
        if (name == QLatin1String(kTools[type].name))
            return MRKOToolType(type);
    }
    return MRKOToolType(kNoExtraAction);
}

QString ToolTables::stringForToolGroup(quint64 group)
{
    switch (group) {
    case MRKOToolGroupArrow:
        return QStringLiteral("GroupArrow");
    case MRKOToolGroupRectangle:
        return QStringLiteral("GroupRectangle");
    case MRKOToolGroupText:
        return QStringLiteral("GroupText");
    default:
        return QStringLiteral("GroupBrush");
    }
}

QList<quint64> ToolTables::relatedTypesForToolType(quint64 type)
{
    if (type <= MRKOToolTypeEllipse && type % 4 != MRKOToolGroupText)
        return {type % 4, type % 4 + 4};
    qCWarning(lcFoundation).noquote() << QStringLiteral("Type %1 has no related types").arg(type);
    return {};
}

QImage ToolTables::smallImageForToolType(quint64 type)
{
    return toolImage(type, "Small");
}

QImage ToolTables::imageForToolType(quint64 type)
{
    return toolImage(type, "Medium");
}

QString ToolTables::imageNameForToolType(quint64 type)
{
    if (type >= kTools.size() || !kTools[type].icon)
        return {};
    return QLatin1String(kTools[type].icon) + QLatin1String("Medium");
}

QImage ToolTables::bigImageForToolType(quint64 type)
{
    return toolImage(type, "Medium100");
}

quint64 ToolTables::extraActionForToolType(quint64 type)
{
    return type < kTools.size() ? kTools[type].extraAction : kNoExtraAction;
}

MRKOToolType ToolTables::toolTypeForExtraAction(quint64 action)
{
    switch (action) {
    case 38:
        return MRKOToolTypeQuickArrow;
    case 39:
        return MRKOToolTypeArrow;
    case 40:
        return MRKOToolTypeLine;
    case 41:
        return MRKOToolTypeRectangle;
    case 42:
        return MRKOToolTypeEllipse;
    case 43:
        return MRKOToolTypeText;
    default:
        return MRKOToolTypeBrush; // 37, the brush's own action, included
    }
}

quint64 ToolTables::extraActionForString(const QString &identifier)
{
    const MRKOToolType type = toolTypeForString(identifier);
    if (type != MRKOToolType(kNoExtraAction))
        return extraActionForToolType(type);
    if (identifier == QLatin1String("Thickness"))
        return 4;
    if (identifier == QLatin1String("ColorWheel"))
        return 46;
    if (identifier == QLatin1String("FreezeMode"))
        return 6;
    return kNoExtraAction;
}

QString ToolTables::actionKeyStringDescriptionForString(const QString &identifier)
{
    const quint64 action = extraActionForString(identifier);
    if (action == kNoExtraAction)
        return QLatin1String("");
    const quint16 keyCode = MRKOSingleKeyActionController::keyCodeOfAction(action);
    if (keyCode >= kNoKeyCode)
        return QLatin1String("");
    return keyCodeSymbolString(keyCode).toUpper();
}

const QHash<QString, QString> &ToolTables::toolsDescriptions()
{
    static const QHash<QString, QString> descriptions = makeToolsDescriptions();
    return descriptions;
}

QString ToolTables::toolDescriptionWithIdentifier(const QString &identifier)
{
    const auto found = toolsDescriptions().constFind(identifier);
    if (found == toolsDescriptions().constEnd())
        return QStringLiteral("Description");
    const QString key = actionKeyStringDescriptionForString(identifier);
    return key.isEmpty() ? *found : QStringLiteral("%1 (%2)").arg(*found, key);
}

QColor ToolTables::highlightColorForIdentifier(const QString &identifier)
{
    if (identifier == QLatin1String("RemoveSnapshot") || identifier == QLatin1String("DeleteAllSnapshots") ||
        identifier == QLatin1String("CleanUpShots"))
        return SrgbColor(0.92, 0.78, 0.2, 1).toQColor();
    if (identifier == QLatin1String("PutBackSnapshot"))
        return SrgbColor(0.2, 0.92, 0.38, 1).toQColor();
    return OnOffColor::iconOnColor();
}

} // namespace inkora
