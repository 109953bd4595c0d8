// The team store's tables on the server: schema nlx, its version, creating it once.
#pragma once

#include <string>
#include <vector>

#include "core/result.h"
#include "team/pg.h"

namespace nlx::team {

// The version of the tables this program reads and writes, kept in nlx.schema_version. A server
// whose store is of a later version is refused before anything is read or written.
inline constexpr long long kTeamSchemaVersion = 1;

// What the server holds: no store yet, or a store of this version.
struct StoreState {
    bool present = false;
    long long version = 0;
};

// Reads the store's version; fails with the operator's text for a newer one.
Result<StoreState> inspect_store(pg::Session& session);

// Creates the store when the server has none yet: every table and the version row in one
// transaction, under an advisory lock, so that stations starting at once create it once.
// A role that may not create it is told to ask for nlx team init.
Result<StoreState> ensure_store(pg::Session& session);

}  // namespace nlx::team
