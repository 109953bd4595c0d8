// initdb and postgres run as the user nobody (when the tests run as root) in a folder under /tmp,
// the server a child of the test with a parent-death signal, so that it never outlives it.
#include "support/pg_cluster.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace nlx::test {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

fs::path find_bin() {
    if (const char* given = std::getenv("NLX_PG_BIN")) return given;
    std::error_code ec;
    fs::path best;
    int best_version = 0;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        const int version = std::atoi(entry.path().filename().c_str());
        if (version > best_version && fs::exists(entry.path() / "bin" / "postgres", ec)) {
            best_version = version;
            best = entry.path() / "bin";
        }
    }
    return best;
}

std::string last_lines(const fs::path& file, std::size_t count) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    std::string out;
    for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        out += (out.empty() ? "" : " | ") + lines[i];
    return out;
}

// Forks a child that runs `argv` as nobody (when root), output to `log`; the child gets
// `death_signal` when the test process ends.
pid_t spawn(const std::vector<std::string>& argv, const fs::path& log, int death_signal) {
    // Everything the child needs is made before the fork: it only makes system calls.
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    static char path[] = "PATH=/usr/bin:/bin";
    static char lang[] = "LC_ALL=C.UTF-8";
    char* env[] = {path, lang, nullptr};
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (::geteuid() == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNoGroup, kNoGroup, kNoGroup) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(125);
    }
    // Set after the change of user, which clears it.
    if (death_signal) {
        ::prctl(PR_SET_PDEATHSIG, death_signal);
        if (::getppid() != parent) ::_exit(124);
    }
    ::execve(args[0], args.data(), env);
    ::_exit(127);
}

// Waits for the child up to `limit`; its exit status, or -1 while it still runs.
int wait_for(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0) return 255;
        if (Clock::now() >= until) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool give_to_nobody(const fs::path& p) { return ::geteuid() != 0 || ::chown(p.c_str(), kNobody, kNoGroup) == 0; }

}  // namespace

bool PgCluster::required() {
    const char* v = std::getenv("NLX_POSTGRES_REQUIRED");
    return v && std::string(v) == "1";
}

std::unique_ptr<PgCluster> PgCluster::start(std::string& why, bool durable) {
    std::unique_ptr<PgCluster> c(new PgCluster);
    c->durable_ = durable;
    c->bin_ = find_bin();
    std::error_code ec;
    if (c->bin_.empty() || !fs::exists(c->bin_ / "initdb", ec) || !fs::exists(c->bin_ / "postgres", ec)) {
        why = "no PostgreSQL server found under /usr/lib/postgresql (Debian package postgresql) and NLX_PG_BIN unset";
        return nullptr;
    }
    // Directly under /tmp: the socket's path must stay under 108 bytes, and nobody must reach it.
    char name[] = "/tmp/nlx-pg.XXXXXX";
    if (!::mkdtemp(name)) {
        why = "cannot make a folder under /tmp";
        return nullptr;
    }
    c->folder_ = name;
    c->data_ = c->folder_ / "data";
    c->socket_ = c->folder_ / "sock";
    c->log_ = c->folder_ / "server.log";
    fs::create_directory(c->socket_, ec);
    std::ofstream(c->log_).close();
    ::chmod(c->folder_.c_str(), 0700);
    if (!give_to_nobody(c->folder_) || !give_to_nobody(c->socket_) || !give_to_nobody(c->log_)) {
        why = "cannot hand " + c->folder_.string() + " to the user nobody";
        return nullptr;
    }
    const pid_t initdb = spawn({(c->bin_ / "initdb").string(), "-D", c->data_.string(), "-U", kAdmin, "-A", "trust",
                                "-E", "UTF8", "--locale=C.UTF-8", "--no-sync", "--no-instructions"},
                               c->log_, SIGKILL);
    const int status = initdb < 0 ? 255 : wait_for(initdb, std::chrono::seconds(120));
    if (status != 0) {
        if (status < 0) {
            ::kill(initdb, SIGKILL);
            wait_for(initdb, std::chrono::seconds(5));
        }
        why = "initdb failed (status " + std::to_string(status) + "): " + last_lines(c->log_, 3);
        return nullptr;
    }
    // One role signs in with a password; every other local connection is trusted.
    std::ofstream(c->data_ / "pg_hba.conf", std::ios::trunc)
        << "local all " << kPasswordRole << " scram-sha-256\nlocal all all trust\n";
    if (!c->launch(why)) return nullptr;
    return c;
}

bool PgCluster::launch(std::string& why) {
    std::vector<std::string> args = {(bin_ / "postgres").string(), "-D", data_.string(), "-k", socket_.string(),
                                      "-c", "listen_addresses=", "-c", "max_connections=50", "-c", "shared_buffers=32MB",
                                      "-c", "password_encryption=scram-sha-256"};
    if (!durable_)
        for (const char* off : {"fsync=off", "synchronous_commit=off", "full_page_writes=off"}) {
            args.push_back("-c");
            args.push_back(off);
        }
    pid_ = spawn(args, log_, SIGINT);
    if (pid_ < 0) {
        why = "cannot start postgres";
        return false;
    }
    const std::string ping = "host=" + socket_.string() + " dbname=postgres user=" + kAdmin;
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (PQping(ping.c_str()) != PQPING_OK) {
        if (wait_for(pid_, std::chrono::milliseconds(50)) >= 0) {
            pid_ = -1;
            why = "postgres exited during start-up: " + last_lines(log_, 3);
            return false;
        }
        if (Clock::now() >= until) {
            stop();
            why = "postgres did not answer within 60 s: " + last_lines(log_, 3);
            return false;
        }
    }
    return true;
}

void PgCluster::stop() {
    if (pid_ <= 0) return;
    // Fast shutdown (clients are disconnected), then immediate, then the end.
    for (auto [signal, wait] : {std::pair{SIGINT, 10}, std::pair{SIGQUIT, 5}, std::pair{SIGKILL, 5}}) {
        ::kill(pid_, signal);
        if (wait_for(pid_, std::chrono::seconds(wait)) >= 0) break;
    }
    pid_ = -1;
}

bool PgCluster::restart(std::string& why) {
    stop();
    return launch(why);
}

PgCluster::~PgCluster() {
    stop();
    std::error_code ec;
    if (!folder_.empty() && folder_.string().starts_with("/tmp/nlx-pg.")) fs::remove_all(folder_, ec);
}

std::string PgCluster::conninfo(const std::string& database, const std::string& user) const {
    return "host=" + socket_.string() + " dbname=" + database + " user=" + user;
}

std::map<std::string, std::string> PgCluster::environment(const std::string& database, const std::string& user) const {
    return {{"PGHOST", socket_.string()}, {"PGDATABASE", database}, {"PGUSER", user}};
}

std::string PgCluster::sql(const std::string& database, const std::string& statements) const {
    PGconn* conn = PQconnectdb(conninfo(database).c_str());
    std::string out;
    if (PQstatus(conn) != CONNECTION_OK) {
        out = std::string("ERROR: ") + PQerrorMessage(conn);
        PQfinish(conn);
        return out;
    }
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(conn, statements.c_str());
    const auto status = PQresultStatus(r);
    if (status == PGRES_TUPLES_OK) out = PQntuples(r) && PQnfields(r) ? PQgetvalue(r, 0, 0) : "";
    else if (status != PGRES_COMMAND_OK) out = std::string("ERROR: ") + PQresultErrorMessage(r);
    PQclear(r);
    PQfinish(conn);
    return out;
}

}  // namespace nlx::test
