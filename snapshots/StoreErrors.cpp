#include "snapshots/StoreErrors.h"

#include "foundation/InkoraLog.h"
#include "platform/Services.h"
#include "snapshots/StoreContext.h"
#include "snapshots/StoreDatabase.h"

namespace inkora {

void presentFetchError(const QString &reason)
{
    qCWarning(lcSnapshots).noquote() << QStringLiteral("Error fetching: %1").arg(reason);
    platform::services().alerts->presentError({QStringLiteral("YOUR_ERROR_DOMAIN"), 106,
                                               QStringLiteral("Error attepmpting to update data"), QString(), reason});
}

platform::ErrorReport saveError(const QString &storeName, const QString &reason)
{
    qCWarning(lcSnapshots).noquote()
        << QStringLiteral("saveAction: the %1 store could not be saved: %2").arg(storeName, reason);
    const QString what =
        storeName == QLatin1String("Trash") ? QStringLiteral("Recently Deleted") : QStringLiteral("the snapshot roll");
    return {QStringLiteral("SQLite"), 0, QStringLiteral("The changes to %1 could not be saved.").arg(what), reason, {}};
}

StoreContext *openStore(int store)
{
    StoreDatabase &database = StoreDatabase::shared();
    const auto which = static_cast<StoreDatabase::Store>(store);
    if (const auto error = database.takeSetUpError(which))
        platform::services().alerts->presentError(*error);
    return database.context(which);
}

bool saveAndReport(StoreContext *context)
{
    if (!context || !context->hasChanges())
        return true;
    QString reason;
    if (context->save(&reason))
        return true;
    platform::services().alerts->presentError(saveError(context->name(), reason));
    return false;
}

bool storeShouldTerminate(StoreContext *context)
{
    if (!context || !context->hasChanges())
        return true;
    QString reason;
    if (context->save(&reason))
        return true;
    platform::Alerts &alerts = *platform::services().alerts;
    if (alerts.presentError(saveError(context->name(), reason)))
        return false;
    const int answer = alerts.runModal({QStringLiteral("Could not save changes while quitting. Quit anyway?"),
                                        QStringLiteral("Quitting now will lose any changes you have made since the "
                                                       "last successful save"),
                                        {QStringLiteral("Quit anyway"), QStringLiteral("Cancel")}});
    return answer != platform::Alerts::kFirstButton + 1;
}

} // namespace inkora
