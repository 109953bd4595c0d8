// The SQLite C API behind the RAII wrappers; every engine error becomes a Result message.
#include "store/sqlite.h"

#include <sqlite3.h>

namespace nlx::sql {

namespace {
constexpr const char* kSavepoint = "nlx_nested";

// The engine's failure in plain words; its own text only where it says more than the code.
std::string plain_words(sqlite3* db, int rc) {
    switch (rc & 0xFF) {
    case SQLITE_NOTADB: return "it is not a database file";
    case SQLITE_CORRUPT: return "the database file is damaged";
    case SQLITE_READONLY: return "the file cannot be written (it or its medium is read-only)";
    case SQLITE_CANTOPEN: return "the file cannot be opened (its folder is missing or may not be written)";
    case SQLITE_IOERR: return "the disk could not be read or written";
    case SQLITE_FULL: return "the disk is full";
    case SQLITE_PERM:
    case SQLITE_AUTH: return "permission denied";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "the database is in use by another program";
    case SQLITE_NOMEM: return "out of memory";
    default: return db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    }
}

}  // namespace

std::string failure_text(sqlite3* db, int rc) {
    const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
    std::string words = plain_words(db, rc);
    return file && *file ? std::string(file) + ": " + words : words;
}

Result<std::shared_ptr<Connection>> Connection::open(const std::filesystem::path& file, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string why = plain_words(db, rc);
        sqlite3_close_v2(db);
        return fail(file.string() + ": " + why);
    }
    sqlite3_extended_result_codes(db, 1);
    return std::shared_ptr<Connection>(new Connection(db));
}

Connection::~Connection() { sqlite3_close_v2(db_); }

Result<void> Connection::exec(const std::string& sql) {
    char* err = nullptr;
    if (int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err); rc != SQLITE_OK) {
        sqlite3_free(err);
        return fail(failure_text(db_, rc));
    }
    return {};
}

std::string Connection::error_text() const { return sqlite3_errmsg(db_); }

bool Connection::in_transaction() const { return sqlite3_get_autocommit(db_) == 0; }

long long Connection::last_insert_rowid() const { return sqlite3_last_insert_rowid(db_); }

Result<Statement> Statement::prepare(Connection& db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (int rc = sqlite3_prepare_v2(db.handle(), sql.c_str(), int(sql.size()), &stmt, nullptr); rc != SQLITE_OK)
        return fail(failure_text(db.handle(), rc));
    return Statement(stmt);
}

Statement::Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::bind(int index, const Value& value) {
    if (value.is_text()) bind_text(index, value.text());
    else if (value.is_number()) bind_double(index, value.number());
    else bind_null(index);
}

void Statement::bind_text_in_place(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), int(text.size()), SQLITE_STATIC);
}

void Statement::bind_text(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

void Statement::bind_int(int index, long long number) { sqlite3_bind_int64(stmt_, index, number); }

void Statement::bind_double(int index, double number) { sqlite3_bind_double(stmt_, index, number); }

void Statement::bind_null(int index) { sqlite3_bind_null(stmt_, index); }

Result<bool> Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string why = failure_text(sqlite3_db_handle(stmt_), rc);
    sqlite3_reset(stmt_);
    return fail(why);
}

Result<void> Statement::run() {
    auto r = step();
    sqlite3_reset(stmt_);
    if (!r) return r.error();
    return {};
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::column_count() const { return sqlite3_column_count(stmt_); }

Value Statement::column(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
        return Value::null();
    case SQLITE_INTEGER:
        return Value(double(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(stmt_, index));
    default:
        return Value(column_text(index));
    }
}

ValueView Statement::column_view(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return {ValueView::Kind::number, {}, double(sqlite3_column_int64(stmt_, index))};
    case SQLITE_FLOAT:
        return {ValueView::Kind::number, {}, sqlite3_column_double(stmt_, index)};
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
        const int n = sqlite3_column_bytes(stmt_, index);
        return {ValueView::Kind::text, p ? std::string_view(p, std::size_t(n)) : std::string_view(), 0};
    }
    }
}

std::string Statement::column_text(int index) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
    int n = sqlite3_column_bytes(stmt_, index);
    return p ? std::string(p, std::size_t(n)) : std::string();
}

long long Statement::column_int(int index) const { return sqlite3_column_int64(stmt_, index); }
bool Statement::column_is_null(int index) const { return sqlite3_column_type(stmt_, index) == SQLITE_NULL; }

Result<Transaction> Transaction::begin(Connection& db) {
    bool nested = db.in_transaction();
    auto r = db.exec(nested ? std::string("SAVEPOINT ") + kSavepoint : "BEGIN IMMEDIATE");
    if (!r) return r.error();
    return Transaction(&db, nested);
}

Transaction::Transaction(Transaction&& other) noexcept : db_(other.db_), nested_(other.nested_) {
    other.db_ = nullptr;
}

Transaction::~Transaction() {
    if (!db_) return;
    if (nested_) {
        (void)db_->exec(std::string("ROLLBACK TO ") + kSavepoint);
        (void)db_->exec(std::string("RELEASE ") + kSavepoint);
    } else if (db_->in_transaction()) {
        (void)db_->exec("ROLLBACK");
    }
}

Result<void> Transaction::commit() {
    auto r = db_->exec(nested_ ? std::string("RELEASE ") + kSavepoint : "COMMIT");
    if (r) db_ = nullptr;
    return r;
}

void append_quoted_identifier(std::string& out, std::string_view name) {
    out += '"';
    for (std::size_t quote; (quote = name.find('"')) != std::string_view::npos; name.remove_prefix(quote + 1)) {
        out.append(name.substr(0, quote + 1));
        out += '"';
    }
    out.append(name);
    out += '"';
}

std::string quote_identifier(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 2);
    append_quoted_identifier(out, name);
    return out;
}

}  // namespace nlx::sql
