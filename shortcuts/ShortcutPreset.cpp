#include "shortcuts/ShortcutPreset.h"

#include "foundation/InkoraLog.h"
#include "platform/PropertyList.h"
#include "shortcuts/KQShortCut.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace inkora {

namespace {

QString describe(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return QStringLiteral("the text \"%1\"").arg(value.toString().left(40));
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QStringLiteral("the number %1").arg(value.toLongLong());
    case QMetaType::Double:
        return QStringLiteral("the number %1").arg(value.toDouble());
    case QMetaType::Bool:
        return QStringLiteral("a boolean");
    case QMetaType::QVariantList:
        return QStringLiteral("an array");
    case QMetaType::QVariantMap:
        return QStringLiteral("a dictionary");
    case QMetaType::QByteArray:
        return QStringLiteral("data");
    case QMetaType::QDateTime:
        return QStringLiteral("a date");
    default:
        return QStringLiteral("a value of another kind");
    }
}

qint64 wholeNumber(double number)
{
    return number == std::trunc(number) && std::abs(number) < 9.0e15 ? qint64(number) : kNoSuchAction;
}

} // namespace

std::optional<double> presetNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return value.toDouble();
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        return std::isfinite(number) ? std::optional(number) : std::nullopt;
    }
    case QMetaType::QString: {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(number) ? std::optional(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

QVariant shortcutPresetFromData(const QByteArray &data)
{
    platform::PropertyListLimits limits;
    limits.maxBytes = kShortcutPresetMaxBytes;
    limits.maxDepth = kShortcutPresetMaxDepth;
    const platform::PropertyList::Parsed parsed = platform::PropertyList::parse(data, limits);
    if (!parsed.value.isValid()) {
        qCWarning(lcShortcuts).noquote() << QStringLiteral("%1").arg(parsed.error);
        return {};
    }
    if (parsed.format != platform::PropertyListFormat::Binary)
        qCInfo(lcShortcuts).noquote() << QStringLiteral("%1 Plist format does not match").arg(kShortcutPresetExtension);
    return parsed.value;
}

QVariant shortcutPresetWithPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (info.size() > kShortcutPresetMaxBytes) {
        qCWarning(lcShortcuts).noquote()
            << QStringLiteral("presetWithPath: %1 is larger than 1 MiB; it is not read").arg(path);
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcShortcuts).noquote() << QStringLiteral("%1").arg(file.errorString());
        return {};
    }
    return shortcutPresetFromData(file.read(kShortcutPresetMaxBytes + 1));
}

std::optional<QVariantMap> checkedShortcutPreset(const QVariant &preset, QString *refusal)
{
    if (preset.typeId() != QMetaType::QVariantMap || preset.toMap().isEmpty())
        return std::nullopt;
    QVariantMap checked = preset.toMap();
    const auto refuse = [refusal](const QString &key, const QVariant &value, const QString &what) {
        if (refusal)
            *refusal = QStringLiteral("\"%1\" holds %2 where %3 belongs").arg(key, describe(value), what);
        return std::nullopt;
    };

    if (const auto it = checked.constFind(kPresetShortcuts); it != checked.constEnd()) {
        if (it->typeId() != QMetaType::QVariantMap)
            return refuse(kPresetShortcuts, *it, QStringLiteral("a dictionary of shortcut texts"));
        const QVariantMap shortcuts = it->toMap();
        for (auto entry = shortcuts.constBegin(); entry != shortcuts.constEnd(); ++entry) {
            if (entry->typeId() != QMetaType::QString || !KQShortCut::shortcutObjectWithString(entry->toString()))
                return refuse(kPresetShortcuts + QLatin1Char('.') + entry.key(), *entry,
                              QStringLiteral("a shortcut text"));
        }
    }
    if (const auto it = checked.find(kPresetSingleKeyActions); it != checked.end()) {
        if (it->typeId() != QMetaType::QVariantList)
            return refuse(kPresetSingleKeyActions, *it, QStringLiteral("an array of numbers"));
        QVariantList actions = it->toList();
        for (QVariant &action : actions) {
            const std::optional<double> number = presetNumber(action);
            if (!number)
                return refuse(kPresetSingleKeyActions, action, QStringLiteral("a number"));
            action = wholeNumber(*number);
        }
        *it = actions;
    }
    for (const QString &key : {kPresetCustomTextBadges, kPresetCustomColorSwatches}) {
        const auto it = checked.constFind(key);
        if (it == checked.constEnd())
            continue;
        if (it->typeId() != QMetaType::QVariantList)
            return refuse(key, *it, QStringLiteral("an array of texts"));
        for (const QVariant &text : it->toList()) {
            if (text.typeId() != QMetaType::QString)
                return refuse(key, text, QStringLiteral("a text"));
        }
    }
    if (const auto it = checked.find(kPresetUseFnShortcutsInGhostMode); it != checked.end()) {
        const std::optional<double> number = presetNumber(*it);
        if (!number)
            return refuse(kPresetUseFnShortcutsInGhostMode, *it, QStringLiteral("a number"));
        *it = qint64(std::clamp(std::trunc(*number), -1.0e15, 1.0e15));
    }
    return checked;
}

} // namespace inkora
