#pragma once

#include "platform/Alerts.h"

#include <QString>

namespace inkora {

class StoreContext;

// The errors of the snapshot stores as the user is shown them, and the stores' answer at quit.

/// Logs "Error fetching: …" and shows error 106 with the reason as its underlying error.
void presentFetchError(const QString &reason);
/// A failed save of the named store ("Snapshots", "Trash").
[[nodiscard]] platform::ErrorReport saveError(const QString &storeName, const QString &reason);
/// The store's records once set up, the user told once of what setting it up found; null when it cannot be used.
[[nodiscard]] StoreContext *openStore(int store);
/// Saves the store's changes, if any; a failure is shown to the user. False when they could not be saved.
bool saveAndReport(StoreContext *context);
/// Saves the store's changes at quit: true to quit now. When the save fails the error is shown, and unless it was
/// dealt with the user chooses between quitting anyway and cancelling the quit.
[[nodiscard]] bool storeShouldTerminate(StoreContext *context);

} // namespace inkora
