// Thin owners of SQLite objects: oxSqliteStatement_c (a prepared statement with typed binds
// and columns) and oxSqliteTransaction_c (BEGIN IMMEDIATE ... COMMIT, rolled back unless
// committed). Every SQLite failure throws oxSpError_c with oxSpStatusDatabase, except running
// out of memory, which throws std::bad_alloc.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class oxSqliteStatement_c {
  public:
    oxSqliteStatement_c(sqlite3* db, const char* sql);
    ~oxSqliteStatement_c();
    oxSqliteStatement_c(const oxSqliteStatement_c&) = delete;
    oxSqliteStatement_c& operator=(const oxSqliteStatement_c&) = delete;

    // Parameters count from 1.
    oxSqliteStatement_c& bind(int index, std::int64_t value);
    oxSqliteStatement_c& bind(int index, const std::string& text);
    oxSqliteStatement_c& bind(int index, const std::optional<std::string>& text);

    // True while a row is ready; false when the statement is done.
    bool step();
    // Runs a statement that returns no rows, then makes it ready for new binds.
    void run();
    // Makes the statement ready for new binds after its rows were read.
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    std::optional<std::string> optionalText(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class oxSqliteTransaction_c {
  public:
    explicit oxSqliteTransaction_c(sqlite3* db);
    ~oxSqliteTransaction_c();
    oxSqliteTransaction_c(const oxSqliteTransaction_c&) = delete;
    oxSqliteTransaction_c& operator=(const oxSqliteTransaction_c&) = delete;
    void commit();

  private:
    sqlite3* db_;
    bool done_ = false;
};

// Whether the connection's last failure was a shortage of memory (false for a null one).
bool oxSqliteOutOfMemory(sqlite3* db);
// Runs SQL without results (several statements allowed); throws oxSpError_c.
void oxSqliteExec(sqlite3* db, const char* sql);
