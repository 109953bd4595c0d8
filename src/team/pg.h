// A small RAII layer over libpq for the team store: one session, parameterised statements only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

struct pg_conn;
struct pg_result;
struct pg_cancel;

namespace nlx::team::pg {

// Why a session could not be opened, in the terms the operator acts on.
enum class ConnectProblem {
    none,
    bad_address,     // the connection string or URL does not parse, or names an option libpq lacks
    unreachable,     // no server answered at the address (down, wrong host or port, no network)
    needs_password,  // the server asks for a password and none was found (~/.pgpass, PGPASSFILE)
    refused,         // the server answered and refused: authentication, no such database or role
    cancelled,       // the caller asked to stop before the server answered
};

// A statement parameter: text (SQL NULL when empty) or bytes sent in binary form (for bytea).
struct Param {
    std::optional<std::string> value;
    bool binary = false;

    static Param text(std::string v) { return {std::move(v), false}; }
    static Param null() { return {std::nullopt, false}; }
    static Param integer(long long v) { return {std::to_string(v), false}; }
    static Param boolean(bool v) { return {v ? "true" : "false", false}; }
    static Param bytes(std::span<const std::uint8_t> v) { return {std::string(v.begin(), v.end()), true}; }
};

// The rows a statement returned; cells as text, or as bytes for a binary result.
class Rows {
public:
    explicit Rows(pg_result* result);
    int count() const;
    bool is_null(int row, int column) const;
    std::string_view text(int row, int column) const;  // the cell's bytes (text or binary form)
    long long integer(int row, int column) const;      // a text cell holding a whole number
    bool boolean(int row, int column) const;           // a text cell "t" or "f"

private:
    std::shared_ptr<pg_result> result_;
};

// One connection to the team database. Failures of statements carry the server's message.
class Session {
public:
    // Connects by libpq's conventions: `conninfo` is a "key=value ..." string or a postgresql://
    // URL, completed by the PG* environment variables and libpq's defaults; a password comes from
    // the string itself, PGPASSWORD or the password file (~/.pgpass, PGPASSFILE), never from us.
    // Without a connect_timeout of the user's, a server that does not answer is given up after
    // 10 s; `stop` ends the attempt at once. `problem` says why a connection failed.
    static Result<Session> open(const std::string& conninfo, ConnectProblem* problem = nullptr,
                                std::stop_token stop = {});

    Session(Session&&) noexcept = default;
    Session& operator=(Session&&) noexcept = default;
    ~Session();

    // Runs one statement with its parameters ($1, $2, ...); `binary_result` asks for the cells in
    // binary form (bytea as its bytes).
    Result<Rows> exec(std::string_view sql, std::span<const Param> params = {}, bool binary_result = false);
    Result<Rows> exec(std::string_view sql, std::initializer_list<Param> params, bool binary_result = false) {
        return exec(sql, std::span<const Param>(params.begin(), params.size()), binary_result);
    }

    // Asks the server to stop the statement running now; safe from any thread while the session
    // lives. The statement then fails.
    void interrupt() const;

    // Where the session is connected, without a password: "user@host:port/database".
    std::string target() const;
    // The server's version, "15.18".
    std::string server_version() const;
    // The SQLSTATE of the last statement that failed ("42501": insufficient privilege).
    const std::string& failed_state() const { return failed_state_; }
    // The connection broke (the server went away or the network failed).
    bool lost() const;

private:
    Session() = default;
    std::unique_ptr<pg_conn, void (*)(pg_conn*)> conn_{nullptr, nullptr};
    std::shared_ptr<pg_cancel> cancel_;
    std::string failed_state_;
};

// Where a connection string points, without a password, for messages: "user@host:port/database"
// with the parts it does not give left out; the string itself when libpq cannot parse it.
std::string describe_address(const std::string& conninfo);

// Whether the connection string or URL holds a password (which must not be kept in our files).
bool has_password(const std::string& conninfo);

// Whether libpq accepts the connection string or URL; the reason when it does not.
Result<void> check_address(const std::string& conninfo);

// Text elements as an array literal, "{"a","b\"c",NULL}", for a parameter cast to text[],
// jsonb[], integer[] and the like: every element quoted, quotes and backslashes escaped.
std::string array_literal(std::span<const std::optional<std::string>> elements);

// Bytes as lower-case hexadecimal digits (for decode(x, 'hex') on the server).
std::string hex_text(std::string_view bytes);

}  // namespace nlx::team::pg
