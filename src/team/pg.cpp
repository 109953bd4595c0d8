// libpq sessions: connecting by libpq's conventions, telling why a connection failed, and running
// parameterised statements.
#include "team/pg.h"


#include <poll.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>

#include "core/texts.h"
#include "team/libpq_library.h"

namespace nlx::team::pg {
namespace {

// The loaded library: every function below runs after an entry point (an address check, a
// session's open, the options of an address) found it loaded.
const Libpq& pq() { return *libpq(); }

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

// libpq's message in one or two lines, as it gives it.
std::string error_of(const PGconn* conn) { return trimmed(conn ? pq().PQerrorMessage(conn) : "out of memory"); }

std::string target_of(const PGconn* conn) {
    auto part = [](const char* s) { return s && *s ? std::string(s) : std::string(); };
    std::string user = part(pq().PQuser(conn)), host = part(pq().PQhost(conn)), port = part(pq().PQport(conn)), db = part(pq().PQdb(conn));
    std::string out = user.empty() ? std::string() : user + "@";
    out += host.empty() ? "localhost" : host;
    if (!port.empty()) out += ":" + port;
    if (!db.empty()) out += "/" + db;
    return out;
}

// The keywords every session is opened with, in libpq's order of precedence: a later keyword
// overrides an earlier one, and the user's connection string (dbname, expanded) overrides the
// defaults before it but not the client encoding after it, which the statements rely on.
struct Keywords {
    std::vector<const char*> keys, values;
    explicit Keywords(const std::string& conninfo) {
        if (!std::getenv("PGCONNECT_TIMEOUT")) add("connect_timeout", "10");
        add("fallback_application_name", "nlx");
        // A network that fails under a running statement is noticed within about a minute
        // (TCP only; the user's own settings win).
        add("keepalives_idle", "30");
        add("keepalives_interval", "10");
        add("keepalives_count", "3");
        add("tcp_user_timeout", "60000");
        add("dbname", conninfo.c_str());
        add("client_encoding", "UTF8");
        keys.push_back(nullptr);
        values.push_back(nullptr);
    }
    void add(const char* key, const char* value) {
        keys.push_back(key);
        values.push_back(value);
    }
};

void ignore_notice(void*, const char*) {}

}  // namespace

// --- Rows ---------------------------------------------------------------------------------------

Rows::Rows(pg_result* result) : result_(result, pq().PQclear) {}

int Rows::count() const { return pq().PQntuples(result_.get()); }

bool Rows::is_null(int row, int column) const { return pq().PQgetisnull(result_.get(), row, column) != 0; }

std::string_view Rows::text(int row, int column) const {
    return {pq().PQgetvalue(result_.get(), row, column), std::size_t(pq().PQgetlength(result_.get(), row, column))};
}

long long Rows::integer(int row, int column) const {
    const auto t = text(row, column);
    long long v = 0;
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

bool Rows::boolean(int row, int column) const { return text(row, column) == "t"; }

// --- Session ------------------------------------------------------------------------------------

Result<void> check_address(const std::string& conninfo) {
    if (conninfo.empty()) return {};
    if (!libpq()) return libpq().error();
    char* error = nullptr;
    PQconninfoOption* options = pq().PQconninfoParse(conninfo.c_str(), &error);
    if (!options) {
        std::string why = error ? trimmed(error) : "out of memory";
        pq().PQfreemem(error);
        return fail(why);
    }
    pq().PQconninfoFree(options);
    return {};
}

namespace {

// Seconds libpq's connect_timeout gives the attempt (0: no limit), as the connection holds it.
int connect_seconds(PGconn* conn) {
    int seconds = 0;
    PQconninfoOption* options = pq().PQconninfo(conn);
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (std::string_view(o->keyword) == "connect_timeout" && o->val) seconds = std::atoi(o->val);
    pq().PQconninfoFree(options);
    return seconds > 0 ? std::max(seconds, 2) : 0;
}

enum class Waited { connected, failed, timed_out, stopped };

// Drives a connection started with pq().PQconnectStartParams to its end, looking at `stop` ten times
// a second, so that an operator's cancel is not held up by a server that does not answer.
Waited wait_connected(PGconn* conn, std::stop_token stop) {
    using Clock = std::chrono::steady_clock;
    const int seconds = connect_seconds(conn);
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    for (;;) {
        if (state == PGRES_POLLING_OK) return Waited::connected;
        if (state == PGRES_POLLING_FAILED) return Waited::failed;
        pollfd watched{pq().PQsocket(conn), short(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int ready = watched.fd < 0 ? 1 : ::poll(&watched, 1, 100);
        if (stop.stop_requested()) return Waited::stopped;
        if (seconds && Clock::now() >= deadline) return Waited::timed_out;
        if (ready != 0) state = pq().PQconnectPoll(conn);
    }
}

}  // namespace

Result<Session> Session::open(const std::string& conninfo, ConnectProblem* problem, std::stop_token stop) {
    if (!libpq()) return libpq().error();
    auto said = [&](ConnectProblem p) {
        if (problem) *problem = p;
    };
    said(ConnectProblem::none);
    if (auto ok = check_address(conninfo); !ok) {
        said(ConnectProblem::bad_address);
        return fail(std::string(nlx::tr(texts::kTeamBadAddress)) + "\n" + ok.message());
    }
    const Keywords words(conninfo);
    Session s;
    s.conn_ = {pq().PQconnectStartParams(words.keys.data(), words.values.data(), 1), pq().PQfinish};
    PGconn* conn = s.conn_.get();
    if (!conn) {
        said(ConnectProblem::unreachable);
        return fail(texts::team_unreachable("") + "\nout of memory");
    }
    const Waited waited = pq().PQstatus(conn) == CONNECTION_BAD ? Waited::failed : wait_connected(conn, stop);
    if (waited == Waited::stopped) {
        said(ConnectProblem::cancelled);
        return fail(std::string(nlx::tr(texts::kTeamConnectCancelled)));
    }
    if (waited != Waited::connected || pq().PQstatus(conn) != CONNECTION_OK) {
        const std::string where = target_of(conn);
        const std::string why = waited == Waited::timed_out ? "no answer within the connect_timeout" : error_of(conn);
        // What failed is told apart without reading libpq's messages, which follow the locale:
        // a password wanted and not found; a server that answers a ping (it runs and took the
        // address) but refused the session; and no answer at all.
        if (waited == Waited::failed && pq().PQconnectionNeedsPassword(conn)) {
            said(ConnectProblem::needs_password);
            return fail(texts::team_needs_password(where) + "\n" + why);
        }
        const PGPing ping =
            waited == Waited::timed_out ? PQPING_NO_RESPONSE : pq().PQpingParams(words.keys.data(), words.values.data(), 1);
        switch (ping) {
            case PQPING_OK:
            case PQPING_REJECT:
                said(ConnectProblem::refused);
                return fail(texts::team_refused(where) + "\n" + why);
            case PQPING_NO_ATTEMPT:
                said(ConnectProblem::bad_address);
                return fail(std::string(nlx::tr(texts::kTeamBadAddress)) + "\n" + why);
            case PQPING_NO_RESPONSE:
                break;
        }
        said(ConnectProblem::unreachable);
        return fail(texts::team_unreachable(where) + "\n" + why);
    }
    pq().PQsetNoticeProcessor(conn, ignore_notice, nullptr);
    s.cancel_ = std::shared_ptr<pg_cancel>(pq().PQgetCancel(conn), [](pg_cancel* c) {
        if (c) pq().PQfreeCancel(c);
    });
    return s;
}

Session::~Session() = default;

Result<Rows> Session::exec(std::string_view sql, std::span<const Param> params, bool binary_result) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const auto& p : params) {
        values.push_back(p.value ? p.value->data() : nullptr);
        lengths.push_back(p.value ? int(p.value->size()) : 0);
        formats.push_back(p.binary ? 1 : 0);
    }
    const std::string text(sql);
    PGconn* conn = conn_.get();
    PGresult* result = pq().PQexecParams(conn, text.c_str(), int(params.size()), nullptr, values.data(), lengths.data(),
                                    formats.data(), binary_result ? 1 : 0);
    Rows rows(result);
    const auto status = result ? pq().PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return rows;
    const char* state = result ? pq().PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    failed_state_ = state ? state : "";
    std::string why = trimmed(result ? pq().PQresultErrorMessage(result) : "");
    if (why.empty()) why = error_of(conn);
    // A connection that broke is the server going away, not a statement it refused.
    if (pq().PQstatus(conn) != CONNECTION_OK) return fail(texts::team_connection_lost(target_of(conn)) + "\n" + why);
    return fail(std::string(nlx::tr(texts::kTeamStatementFailed)) + "\n" + why);
}

bool Session::lost() const { return pq().PQstatus(conn_.get()) != CONNECTION_OK; }

void Session::interrupt() const {
    if (!cancel_) return;
    char error[256];
    pq().PQcancel(cancel_.get(), error, int(sizeof error));
}

std::string Session::target() const { return target_of(conn_.get()); }

std::string Session::server_version() const {
    const int v = pq().PQserverVersion(conn_.get());
    return std::to_string(v / 10000) + "." + std::to_string(v % 10000);
}

// --- Addresses and literals -----------------------------------------------------------------------

namespace {

template <class Each>
bool each_option(const std::string& conninfo, Each each) {
    if (conninfo.empty() || !libpq()) return false;
    PQconninfoOption* options = pq().PQconninfoParse(conninfo.c_str(), nullptr);
    if (!options) return false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val && *o->val) each(std::string_view(o->keyword), std::string_view(o->val));
    pq().PQconninfoFree(options);
    return true;
}

}  // namespace

std::string describe_address(const std::string& conninfo) {
    std::string user, host, port, db;
    if (!each_option(conninfo, [&](std::string_view key, std::string_view val) {
            if (key == "user") user = val;
            else if (key == "host" || (key == "hostaddr" && host.empty())) host = val;
            else if (key == "port") port = val;
            else if (key == "dbname") db = val;
        }))
        return conninfo;
    std::string out = user.empty() ? std::string() : user + "@";
    out += host.empty() ? "localhost" : host;
    if (!port.empty()) out += ":" + port;
    if (!db.empty()) out += "/" + db;
    return out;
}

bool has_password(const std::string& conninfo) {
    bool found = false;
    each_option(conninfo, [&](std::string_view key, std::string_view) { found = found || key == "password"; });
    return found;
}

std::string array_literal(std::span<const std::optional<std::string>> elements) {
    std::string out = "{";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i) out += ',';
        if (!elements[i]) {
            out += "NULL";
            continue;
        }
        out += '"';
        for (char c : *elements[i]) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

std::string hex_text(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

}  // namespace nlx::team::pg
