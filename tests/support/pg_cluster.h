// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder, run as an
// unprivileged user, listening on a Unix socket only, stopped however the test ends.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace nlx::test {

class PgCluster {
public:
    // The superuser initdb makes; local connections of every other role but kPasswordRole are
    // trusted, kPasswordRole's need its password (scram-sha-256).
    static constexpr const char* kAdmin = "nlx_admin";
    static constexpr const char* kPasswordRole = "nlx_pw";

    // Makes and starts a cluster from Debian's PostgreSQL server (the newest under
    // /usr/lib/postgresql, or the folder NLX_PG_BIN names). Null, with the reason in `why`, when
    // this machine cannot run one: not installed, or initdb or the server fails to start.
    // `durable` keeps the server's flushes to disk on (fsync, synchronous commit), as a real
    // server runs; the tests leave them off for speed.
    static std::unique_ptr<PgCluster> start(std::string& why, bool durable = false);
    // Stops the server (a fast shutdown, then harder) and removes the folder. Should the test
    // process die first, the server is sent SIGINT by the kernel (parent-death signal).
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // A libpq connection string to `database` as `user`.
    std::string conninfo(const std::string& database, const std::string& user = kAdmin) const;
    // The same as PG* environment variables, for a child process.
    std::map<std::string, std::string> environment(const std::string& database, const std::string& user = kAdmin) const;
    const std::filesystem::path& socket_folder() const { return socket_; }
    const std::filesystem::path& folder() const { return folder_; }

    // Runs SQL (one statement, or several without parameters) as the superuser on `database`;
    // the first cell of the last result, or the error message prefixed "ERROR: ".
    std::string sql(const std::string& database, const std::string& statements) const;

    // Stops and starts the server again on the same folder (a server restart under a client).
    bool restart(std::string& why);

    // True when the tests must not be skipped for want of a server (NLX_POSTGRES_REQUIRED=1).
    static bool required();

private:
    PgCluster() = default;
    bool launch(std::string& why);
    void stop();

    std::filesystem::path bin_, folder_, data_, socket_, log_;
    pid_t pid_ = -1;
    bool durable_ = false;
};

}  // namespace nlx::test
