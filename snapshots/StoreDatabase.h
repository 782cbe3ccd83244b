#pragma once

#include "platform/Alerts.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace inkora {

class StoreContext;

/// The one SQLite connection of the snapshot stores: the roll's file is the main database and the bin's is attached
/// to it, so that a move between them commits as one transaction (rollback journal, synchronous writes). At opening
/// each file is checked; a damaged one is set aside under a new name, never overwritten or deleted, and a new empty
/// store takes its place; one written by a newer version is left untouched and not opened. Main thread only.
class StoreDatabase final
{
public:
    enum class Store : int { Roll = 0, Bin = 1 };
    static constexpr int kSchemaVersion = 1;

    /// Opens both stores on first use.
    [[nodiscard]] static StoreDatabase &shared();
    ~StoreDatabase();
    StoreDatabase(const StoreDatabase &) = delete;
    StoreDatabase &operator=(const StoreDatabase &) = delete;

    /// The store's records; null when the store could not be set up.
    [[nodiscard]] StoreContext *context(Store store) const;
    /// What the user is to be told about setting up the store (it failed, or a damaged file was replaced); given
    /// once.
    [[nodiscard]] std::optional<platform::ErrorReport> takeSetUpError(Store store);

    /// Writes the changes of the contexts in one transaction; false with the reason when it was rolled back, the
    /// records then staying as changed as they were.
    [[nodiscard]] bool save(const std::vector<StoreContext *> &contexts, QString *error);
    /// Reads every row of the context's store into it.
    [[nodiscard]] bool load(StoreContext &context, QString *error);

    /// "<name>.damaged-<yyyyMMdd-HHmmss>" in UTC beside the file, "-1", "-2" … added while that name is taken.
    [[nodiscard]] static QString damagedName(const QString &path);

private:
    StoreDatabase();
    void open();

    struct Private;
    const std::unique_ptr<Private> d;
};

} // namespace inkora
