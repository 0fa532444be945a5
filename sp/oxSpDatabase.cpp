#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSqliteStatement.h"
#include <filesystem>
#include <new>
#include <sqlite3.h>
#include <sstream>

namespace {

constexpr const char* schema = R"sql(
CREATE TABLE component(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL, description TEXT NOT NULL, language TEXT NOT NULL,
  source TEXT NOT NULL, owner_pid INTEGER, owner_start INTEGER);
CREATE TABLE grp(
  component INTEGER NOT NULL REFERENCES component(id) ON DELETE CASCADE,
  id INTEGER NOT NULL, class TEXT NOT NULL, name TEXT NOT NULL, description TEXT NOT NULL,
  keys TEXT NOT NULL, file TEXT NOT NULL,
  PRIMARY KEY(component, id));
CREATE TABLE attribute(
  component INTEGER NOT NULL, grp INTEGER NOT NULL, id INTEGER NOT NULL,
  position INTEGER NOT NULL, name TEXT NOT NULL, description TEXT NOT NULL,
  type INTEGER NOT NULL, max_length INTEGER NOT NULL, access TEXT NOT NULL,
  storage TEXT NOT NULL, value TEXT,
  PRIMARY KEY(component, grp, id),
  FOREIGN KEY(component, grp) REFERENCES grp(component, id) ON DELETE CASCADE);
CREATE TABLE enum_item(
  component INTEGER NOT NULL, grp INTEGER NOT NULL, attribute INTEGER NOT NULL,
  position INTEGER NOT NULL, name TEXT NOT NULL, value INTEGER NOT NULL,
  PRIMARY KEY(component, grp, attribute, position),
  FOREIGN KEY(component, grp, attribute) REFERENCES attribute(component, grp, id)
    ON DELETE CASCADE);
CREATE TABLE row_value(
  component INTEGER NOT NULL, grp INTEGER NOT NULL, row INTEGER NOT NULL,
  attribute INTEGER NOT NULL, value TEXT,
  PRIMARY KEY(component, grp, row, attribute),
  FOREIGN KEY(component, grp, attribute) REFERENCES attribute(component, grp, id)
    ON DELETE CASCADE);
CREATE TABLE event(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  component INTEGER NOT NULL REFERENCES component(id) ON DELETE CASCADE,
  grp INTEGER NOT NULL, class TEXT NOT NULL, a INTEGER NOT NULL, b INTEGER NOT NULL,
  c INTEGER NOT NULL, time TEXT NOT NULL);
CREATE TABLE event_value(
  event INTEGER NOT NULL REFERENCES event(id) ON DELETE CASCADE,
  position INTEGER NOT NULL, attribute INTEGER NOT NULL, kind INTEGER NOT NULL,
  value TEXT NOT NULL,
  PRIMARY KEY(event, position));
)sql";

// Version 1 had no owners; its components read as of an unknown owner.
constexpr int firstVersion = 1;
constexpr const char* addOwners = "ALTER TABLE component ADD COLUMN owner_pid INTEGER; "
                                  "ALTER TABLE component ADD COLUMN owner_start INTEGER";

// A file SQLite cannot open at all; the text names the path.
class openFailure_c : public oxSpError_c {
  public:
    using oxSpError_c::oxSpError_c;
};

// The path as the path of a "file:" URI.
std::string uriPath(const std::string& path) {
    std::string uri;
    for (char c : path)
        uri += c == '%' ? "%25" : c == '?' ? "%3f" : c == '#' ? "%23" : std::string(1, c);
    return uri;
}

std::string joinIds(const std::vector<std::uint32_t>& ids) {
    std::string s;
    for (std::uint32_t id : ids)
        s += (s.empty() ? "" : ",") + std::to_string(id);
    return s;
}

std::vector<std::uint32_t> splitIds(const std::string& s) {
    std::vector<std::uint32_t> ids;
    std::istringstream in(s);
    std::string part;
    while (std::getline(in, part, ','))
        if (!part.empty())
            ids.push_back(static_cast<std::uint32_t>(std::stoul(part)));
    return ids;
}

std::uint32_t u32(std::int64_t v) { return static_cast<std::uint32_t>(v); }

oxSpComponentInfo componentFrom(const oxSqliteStatement_c& s) {
    return {u32(s.integer(0)), s.text(1), s.text(2), s.text(3), s.text(4),
            oxSpProcess{s.integer(5), s.integer(6)}};
}

} // namespace

oxSpDatabase_c::oxSpDatabase_c(const std::string& path, Access access)
    : owner_(oxSpProcess::current()) {
    try {
        if (access == Access::readOnly)
            prepareForReading(path);
        else
            prepareForWriting(path);
    } catch (const openFailure_c&) {
        throw; // its text names the path already
    } catch (const oxSpError_c& e) {
        sqlite3_close(db_);
        db_ = nullptr;
        if (e.status() == oxSpStatusDatabase)
            throw oxSpError_c(e.status(), "cannot use the database " + path + ": " + e.what());
        throw;
    }
}

oxSpDatabase_c::~oxSpDatabase_c() {
    dataVersion_.reset(); // statements go before their connection
    sqlite3_close(db_);
}

void oxSpDatabase_c::open(const std::string& path, int flags) {
    sqlite3_close(db_);
    db_ = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        if (rc == SQLITE_NOMEM || oxSqliteOutOfMemory(db_)) { // as any other allocation
            sqlite3_close(db_);
            db_ = nullptr;
            throw std::bad_alloc();
        }
        const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw openFailure_c(oxSpStatusDatabase, "cannot open the database " + path + ": " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
    oxSqliteExec(db_, "PRAGMA foreign_keys = ON");
}

int oxSpDatabase_c::foundVersion(const std::string& path) {
    oxSqliteStatement_c version(db_, "PRAGMA user_version");
    version.step();
    const std::int64_t v = version.integer(0);
    if (v == 0) {
        oxSqliteStatement_c tables(db_, "SELECT count(*) FROM sqlite_master");
        tables.step();
        if (tables.integer(0) != 0)
            throw oxSpError_c(oxSpStatusSchemaVersion,
                              "the database " + path + " holds tables of another program");
        return 0;
    }
    if (v < firstVersion || v > schemaVersion)
        throw oxSpError_c(oxSpStatusSchemaVersion,
                          "the database " + path + " has schema version " + std::to_string(v) +
                              "; this program knows versions " + std::to_string(firstVersion) +
                              " to " + std::to_string(schemaVersion));
    return static_cast<int>(v);
}

// Every change waits until the file is known to be ours: a refused file stays as it was.
void oxSpDatabase_c::prepareForWriting(const std::string& path) {
    open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (foundVersion(path) != schemaVersion) {
        oxSqliteTransaction_c t(db_);
        const int found = foundVersion(path); // another process may have prepared it meanwhile
        if (found == 0)
            oxSqliteExec(db_, schema);
        else if (found == 1)
            oxSqliteExec(db_, addOwners);
        oxSqliteExec(db_, ("PRAGMA user_version = " + std::to_string(schemaVersion)).c_str());
        t.commit();
    }
    oxSqliteStatement_c wal(db_, "PRAGMA journal_mode = WAL");
    wal.run();
}

// Reading never writes, and a missing or empty file reads as nothing installed. A first look
// through an immutable connection (no locks, no -wal or -shm files) refuses a file of another
// program or version before a read-only connection could leave its -wal and -shm beside it;
// other failures of that look (a file being written that moment) wait for the real reading.
void oxSpDatabase_c::prepareForReading(const std::string& path) {
    std::error_code error;
    if (path != ":memory:" && std::filesystem::exists(path, error)) {
        try {
            open("file:" + uriPath(path) + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
            foundVersion(path);
        } catch (const oxSpError_c& e) {
            if (e.status() != oxSpStatusDatabase)
                throw;
        }
        open(path, SQLITE_OPEN_READONLY);
        version_ = foundVersion(path);
        if (version_ != 0)
            return;
    }
    // Nothing was ever installed there: read an empty schema of our own instead.
    open(":memory:", SQLITE_OPEN_READWRITE);
    oxSqliteExec(db_, schema);
    version_ = schemaVersion;
}

std::string oxSpDatabase_c::selectComponents(const char* rest) const {
    return std::string("SELECT id, name, description, source, language, ") +
           (version_ >= 2 ? "owner_pid, owner_start" : "NULL, NULL") + " FROM component " + rest;
}

std::uint32_t oxSpDatabase_c::installComponent(const oxMifComponent& component,
                                               const std::string& source) {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteTransaction_c t(db_);
    oxSqliteStatement_c insert(db_, "INSERT INTO component(name, description, language, source, "
                                    "owner_pid, owner_start) VALUES(?,?,?,?,?,?)");
    insert.bind(1, component.name).bind(2, component.description);
    insert.bind(3, component.language).bind(4, source);
    insert.bind(5, owner_.pid).bind(6, owner_.start).run();
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    if (id > 0xFFFFFFFFll)
        throw oxSpError_c(oxSpStatusDatabase, "database: no component IDs left");
    for (const auto& g : component.groups)
        insertGroup(u32(id), g, g.id, "");
    t.commit();
    return u32(id);
}

void oxSpDatabase_c::insertGroup(std::uint32_t componentId, const oxMifGroup& g,
                                 std::uint32_t groupId, const std::string& definitionFile) {
    oxSqliteStatement_c group(db_, "INSERT INTO grp(component, id, class, name, description, "
                                   "keys, file) VALUES(?,?,?,?,?,?,?)");
    group.bind(1, componentId).bind(2, groupId).bind(3, g.groupClass).bind(4, g.name);
    group.bind(5, g.description).bind(6, joinIds(g.keys)).bind(7, definitionFile).run();
    oxSqliteStatement_c attribute(
        db_, "INSERT INTO attribute(component, grp, id, position, name, description, type, "
             "max_length, access, storage, value) VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    oxSqliteStatement_c item(db_, "INSERT INTO enum_item(component, grp, attribute, position, "
                                  "name, value) VALUES(?,?,?,?,?,?)");
    for (std::size_t p = 0; p < g.attributes.size(); ++p) {
        const oxMifAttribute& a = g.attributes[p];
        attribute.bind(1, componentId).bind(2, groupId).bind(3, a.id);
        attribute.bind(4, static_cast<std::int64_t>(p)).bind(5, a.name).bind(6, a.description);
        attribute.bind(7, static_cast<std::int64_t>(a.type)).bind(8, a.maxLength);
        attribute.bind(9, a.access).bind(10, a.storage).bind(11, a.value).run();
        for (std::size_t e = 0; e < a.enumeration.size(); ++e) {
            item.bind(1, componentId).bind(2, groupId).bind(3, a.id);
            item.bind(4, static_cast<std::int64_t>(e)).bind(5, a.enumeration[e].name);
            item.bind(6, a.enumeration[e].value).run();
        }
    }
    oxSqliteStatement_c cell(db_, "INSERT INTO row_value(component, grp, row, attribute, value) "
                                  "VALUES(?,?,?,?,?)");
    for (std::size_t r = 0; r < g.rows.size(); ++r)
        for (std::size_t c = 0; c < g.rows[r].size() && c < g.attributes.size(); ++c) {
            cell.bind(1, componentId).bind(2, groupId).bind(3, static_cast<std::int64_t>(r));
            cell.bind(4, g.attributes[c].id).bind(5, g.rows[r][c]).run();
        }
}

bool oxSpDatabase_c::deleteComponent(std::uint32_t componentId) {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteTransaction_c t(db_);
    oxSqliteStatement_c del(db_, "DELETE FROM component WHERE id = ?");
    del.bind(1, componentId).run();
    const bool gone = sqlite3_changes(db_) > 0;
    t.commit();
    return gone;
}

std::uint32_t oxSpDatabase_c::addGroup(std::uint32_t componentId, const oxMifGroup& group,
                                       const std::string& definitionFile) {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteTransaction_c t(db_);
    oxSqliteStatement_c known(db_, "SELECT count(*) FROM component WHERE id = ?");
    known.bind(1, componentId).step();
    if (known.integer(0) == 0)
        throw oxSpError_c(oxSpStatusNoComponent,
                          "no installed component has the ID " + std::to_string(componentId));
    oxSqliteStatement_c last(db_, "SELECT coalesce(max(id), 0) FROM grp WHERE component = ?");
    oxSqliteStatement_c same(db_, "SELECT count(*) FROM grp WHERE component = ? AND id = ?");
    same.bind(1, componentId).bind(2, group.id).step();
    std::int64_t id = group.id;
    if (id == 0 || same.integer(0) != 0) {
        last.bind(1, componentId).step();
        id = last.integer(0) + 1;
        if (id > 0xFFFFFFFFll)
            throw oxSpError_c(oxSpStatusDatabase, "database: no group IDs left");
    }
    insertGroup(componentId, group, u32(id), definitionFile);
    t.commit();
    return u32(id);
}

bool oxSpDatabase_c::deleteGroup(std::uint32_t componentId, std::uint32_t groupId) {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteTransaction_c t(db_);
    oxSqliteStatement_c del(db_, "DELETE FROM grp WHERE component = ? AND id = ?");
    del.bind(1, componentId).bind(2, groupId).run();
    const bool gone = sqlite3_changes(db_) > 0;
    t.commit();
    return gone;
}

std::vector<oxSpComponentInfo> oxSpDatabase_c::components() const {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteStatement_c s(db_, selectComponents("ORDER BY id").c_str());
    std::vector<oxSpComponentInfo> all;
    while (s.step())
        all.push_back(componentFrom(s));
    return all;
}

std::optional<oxSpComponentInfo> oxSpDatabase_c::component(std::uint32_t componentId) const {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteStatement_c s(db_, selectComponents("WHERE id = ?").c_str());
    s.bind(1, componentId);
    if (!s.step())
        return std::nullopt;
    return componentFrom(s);
}

std::optional<oxSpComponentInfo> oxSpDatabase_c::componentNamed(const std::string& name) const {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteStatement_c s(db_, selectComponents("WHERE name = ? ORDER BY id DESC LIMIT 1").c_str());
    s.bind(1, name);
    if (!s.step())
        return std::nullopt;
    return componentFrom(s);
}

std::vector<oxSpGroupInfo> oxSpDatabase_c::selectGroups(std::uint32_t componentId,
                                                        std::int64_t groupId) const {
    oxSqliteStatement_c s(db_, "SELECT id, class, name, description, keys, file FROM grp "
                               "WHERE component = ? AND (? < 0 OR id = ?) ORDER BY id");
    s.bind(1, componentId).bind(2, groupId).bind(3, groupId);
    oxSqliteStatement_c ids(db_, "SELECT id FROM attribute WHERE component = ? AND grp = ? "
                                 "ORDER BY position");
    std::vector<oxSpGroupInfo> all;
    while (s.step()) {
        oxSpGroupInfo g{u32(s.integer(0)), s.text(1), s.text(2), s.text(3),
                        splitIds(s.text(4)), {}, s.text(5)};
        ids.bind(1, componentId).bind(2, g.id);
        while (ids.step())
            g.attributeIds.push_back(u32(ids.integer(0)));
        ids.reset();
        all.push_back(std::move(g));
    }
    return all;
}

std::vector<oxSpGroupInfo> oxSpDatabase_c::groups(std::uint32_t componentId) const {
    std::lock_guard<std::mutex> hold(lock_);
    return selectGroups(componentId, -1);
}

std::optional<oxSpGroupInfo> oxSpDatabase_c::group(std::uint32_t componentId,
                                                   std::uint32_t groupId) const {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = selectGroups(componentId, groupId);
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

std::vector<oxMifAttribute> oxSpDatabase_c::attributes(std::uint32_t componentId,
                                                       std::uint32_t groupId) const {
    std::lock_guard<std::mutex> hold(lock_);
    return selectAttributes(componentId, groupId);
}

std::vector<oxMifAttribute> oxSpDatabase_c::selectAttributes(std::uint32_t componentId,
                                                             std::uint32_t groupId) const {
    oxSqliteStatement_c s(db_, "SELECT id, name, description, type, max_length, access, "
                               "storage, value FROM attribute WHERE component = ? AND grp = ? "
                               "ORDER BY position");
    s.bind(1, componentId).bind(2, groupId);
    oxSqliteStatement_c items(db_, "SELECT name, value FROM enum_item WHERE component = ? AND "
                                   "grp = ? AND attribute = ? ORDER BY position");
    std::vector<oxMifAttribute> all;
    while (s.step()) {
        oxMifAttribute a;
        a.id = u32(s.integer(0));
        a.name = s.text(1);
        a.description = s.text(2);
        a.type = static_cast<oxMifType_e>(s.integer(3));
        a.maxLength = u32(s.integer(4));
        a.access = s.text(5);
        a.storage = s.text(6);
        a.value = s.optionalText(7);
        items.bind(1, componentId).bind(2, groupId).bind(3, a.id);
        while (items.step())
            a.enumeration.push_back({items.text(0), items.integer(1)});
        items.reset();
        all.push_back(std::move(a));
    }
    return all;
}

std::vector<oxMifRow> oxSpDatabase_c::rows(std::uint32_t componentId,
                                           std::uint32_t groupId) const {
    std::lock_guard<std::mutex> hold(lock_);
    return selectRows(componentId, groupId);
}

std::vector<oxMifRow> oxSpDatabase_c::selectRows(std::uint32_t componentId,
                                                 std::uint32_t groupId) const {
    oxSqliteStatement_c s(db_, "SELECT r.row, a.position, r.value FROM row_value r JOIN "
                               "attribute a ON a.component = r.component AND a.grp = r.grp "
                               "AND a.id = r.attribute WHERE r.component = ? AND r.grp = ? "
                               "ORDER BY r.row, a.position");
    s.bind(1, componentId).bind(2, groupId);
    oxSqliteStatement_c width(db_, "SELECT count(*) FROM attribute WHERE component = ? AND "
                                   "grp = ?");
    width.bind(1, componentId).bind(2, groupId).step();
    const auto columns = static_cast<std::size_t>(width.integer(0));
    std::vector<oxMifRow> all;
    while (s.step()) {
        const auto row = static_cast<std::size_t>(s.integer(0));
        const auto column = static_cast<std::size_t>(s.integer(1));
        while (all.size() <= row)
            all.emplace_back(columns);
        if (column < columns)
            all[row][column] = s.optionalText(2);
    }
    return all;
}

std::pair<std::int64_t, std::int64_t> oxSpDatabase_c::changeMark() const {
    if (!dataVersion_)
        dataVersion_ = std::make_unique<oxSqliteStatement_c>(db_, "PRAGMA data_version");
    dataVersion_->step();
    const std::int64_t others = dataVersion_->integer(0);
    dataVersion_->reset();
    return {others, sqlite3_total_changes64(db_)};
}

std::shared_ptr<const oxSpGroupSnapshot_c>
oxSpDatabase_c::groupSnapshot(std::uint32_t componentId, std::uint32_t groupId) const {
    std::lock_guard<std::mutex> hold(lock_);
    const auto mark = changeMark();
    if (cached_.snapshot && cached_.componentId == componentId && cached_.groupId == groupId &&
        cached_.mark == mark)
        return cached_.snapshot;
    auto found = selectGroups(componentId, groupId);
    if (found.empty())
        return nullptr;
    auto snapshot = std::make_shared<const oxSpGroupSnapshot_c>(
        std::move(found.front()), selectAttributes(componentId, groupId),
        selectRows(componentId, groupId));
    cached_ = {componentId, groupId, mark, snapshot};
    return snapshot;
}

void oxSpDatabase_c::recordEvent(oxSpEvent& event) {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteTransaction_c t(db_);
    oxSqliteStatement_c e(db_, "INSERT INTO event(component, grp, class, a, b, c, time) "
                               "VALUES(?,?,?,?,?,?,datetime('now'))");
    e.bind(1, event.componentId).bind(2, event.groupId).bind(3, event.groupClass);
    e.bind(4, event.a).bind(5, event.b).bind(6, event.c).run();
    event.id = sqlite3_last_insert_rowid(db_);
    oxSqliteStatement_c v(db_, "INSERT INTO event_value(event, position, attribute, kind, "
                               "value) VALUES(?,?,?,?,?)");
    for (std::size_t p = 0; p < event.values.size(); ++p) {
        v.bind(1, event.id).bind(2, static_cast<std::int64_t>(p));
        v.bind(3, event.values[p].attributeId).bind(4, event.values[p].kind);
        v.bind(5, event.values[p].text).run();
    }
    oxSqliteStatement_c time(db_, "SELECT time FROM event WHERE id = ?");
    time.bind(1, event.id).step();
    event.time = time.text(0);
    t.commit();
}

std::vector<oxSpEvent> oxSpDatabase_c::events(std::int64_t afterId) const {
    std::lock_guard<std::mutex> hold(lock_);
    oxSqliteStatement_c s(db_, "SELECT id, component, grp, class, a, b, c, time FROM event "
                               "WHERE id > ? ORDER BY id");
    s.bind(1, afterId);
    oxSqliteStatement_c v(db_, "SELECT attribute, kind, value FROM event_value WHERE event = ? "
                               "ORDER BY position");
    std::vector<oxSpEvent> all;
    while (s.step()) {
        oxSpEvent e;
        e.id = s.integer(0);
        e.componentId = u32(s.integer(1));
        e.groupId = u32(s.integer(2));
        e.groupClass = s.text(3);
        e.a = u32(s.integer(4));
        e.b = u32(s.integer(5));
        e.c = u32(s.integer(6));
        e.time = s.text(7);
        v.bind(1, e.id);
        while (v.step())
            e.values.push_back({u32(v.integer(0)), u32(v.integer(1)), v.text(2)});
        v.reset();
        all.push_back(std::move(e));
    }
    return all;
}
