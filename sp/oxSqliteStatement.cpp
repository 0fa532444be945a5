#include "sp/oxSqliteStatement.h"
#include "sp/oxSpStatus.h"
#include <cerrno>
#include <new>
#include <sqlite3.h>

// SQLite runs out of memory as SQLITE_NOMEM, as SQLITE_IOERR_NOMEM, or as another I/O error
// whose system call failed with ENOMEM (mapping the WAL index under an address-space limit).
// The extended code is kept per connection whether or not extended result codes are on.
bool oxSqliteOutOfMemory(sqlite3* db) {
    if (!db)
        return false;
    const int code = sqlite3_extended_errcode(db);
    return code == SQLITE_NOMEM || code == SQLITE_IOERR_NOMEM ||
           ((code & 0xFF) == SQLITE_IOERR && sqlite3_system_errno(db) == ENOMEM);
}

namespace {

// Out of memory throws std::bad_alloc, as any other allocation would; the rest oxSpError_c.
[[noreturn]] void fail(sqlite3* db, const char* what) {
    if (oxSqliteOutOfMemory(db))
        throw std::bad_alloc();
    throw oxSpError_c(oxSpStatusDatabase, std::string("database: ") + what + ": " +
                                              (db ? sqlite3_errmsg(db) : "no connection"));
}
} // namespace

void oxSqliteExec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db, sql);
}

oxSqliteStatement_c::oxSqliteStatement_c(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
        fail(db, "prepare");
}

oxSqliteStatement_c::~oxSqliteStatement_c() { sqlite3_finalize(stmt_); }

oxSqliteStatement_c& oxSqliteStatement_c::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

oxSqliteStatement_c& oxSqliteStatement_c::bind(int index, const std::string& text) {
    if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

oxSqliteStatement_c& oxSqliteStatement_c::bind(int index,
                                               const std::optional<std::string>& text) {
    if (text)
        return bind(index, *text);
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

bool oxSqliteStatement_c::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_, "step");
}

void oxSqliteStatement_c::run() {
    while (step()) {
    }
    reset();
}

void oxSqliteStatement_c::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t oxSqliteStatement_c::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string oxSqliteStatement_c::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string();
}

std::optional<std::string> oxSqliteStatement_c::optionalText(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
        return std::nullopt;
    return text(column);
}

oxSqliteTransaction_c::oxSqliteTransaction_c(sqlite3* db) : db_(db) {
    oxSqliteExec(db_, "BEGIN IMMEDIATE");
}

oxSqliteTransaction_c::~oxSqliteTransaction_c() {
    if (!done_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void oxSqliteTransaction_c::commit() {
    oxSqliteExec(db_, "COMMIT");
    done_ = true;
}
