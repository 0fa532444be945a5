// oxSpDatabase_c: the service provider's store in SQLite: components, groups, attributes,
// enumerations, table rows and originated events. Every change is one transaction begun with
// BEGIN IMMEDIATE under a busy timeout, so concurrent writers wait for each other instead of
// failing, and a failed or interrupted installation leaves nothing behind. The schema carries
// its version in user_version. Opening looks before it writes: a file of another program or of
// an unknown version is refused and left as it was; an empty one gets the schema, one of the
// previous version is migrated; only then is it switched to WAL, so readers go on while one
// process writes. Opened for reading only, it never writes and takes no write lock. Safe to
// share between threads (one lock around every operation).
#pragma once
#include "sp/oxMifModel.h"
#include "sp/oxSpGroupSnapshot.h"
#include "sp/oxSpRecords.h"
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
class oxSqliteStatement_c;

class oxSpDatabase_c {
  public:
    // 2 added each component's owner; version 1 files are migrated (or read as they are).
    static constexpr int schemaVersion = 2;
    enum class Access { readWrite, readOnly };

    // A file path or ":memory:". Read-write creates a missing file. Read-only changes nothing;
    // a missing or empty file reads as a database with nothing installed. Throws oxSpError_c
    // (oxSpStatusDatabase, oxSpStatusSchemaVersion) with a text naming the path.
    explicit oxSpDatabase_c(const std::string& path, Access access = Access::readWrite);
    ~oxSpDatabase_c();
    oxSpDatabase_c(const oxSpDatabase_c&) = delete;
    oxSpDatabase_c& operator=(const oxSpDatabase_c&) = delete;

    // This process, recorded as the owner of every component it installs.
    const oxSpProcess& owner() const noexcept { return owner_; }

    // Installs the whole component; returns its new ID. IDs are never reused.
    std::uint32_t installComponent(const oxMifComponent& component, const std::string& source);
    // Removes the component with everything that belongs to it; false when there is none.
    bool deleteComponent(std::uint32_t componentId);
    // Adds a group from a definition file. The file's group ID is used when the component
    // has none of that ID; otherwise (or when the file gives none) the next free ID.
    // Throws oxSpError_c(oxSpStatusNoComponent) for an unknown component.
    std::uint32_t addGroup(std::uint32_t componentId, const oxMifGroup& group,
                           const std::string& definitionFile);
    bool deleteGroup(std::uint32_t componentId, std::uint32_t groupId);

    std::vector<oxSpComponentInfo> components() const;
    std::optional<oxSpComponentInfo> component(std::uint32_t componentId) const;
    // The most recently installed component of that name.
    std::optional<oxSpComponentInfo> componentNamed(const std::string& name) const;
    std::vector<oxSpGroupInfo> groups(std::uint32_t componentId) const;
    std::optional<oxSpGroupInfo> group(std::uint32_t componentId, std::uint32_t groupId) const;
    // In MIF order, with enumerations and static values.
    std::vector<oxMifAttribute> attributes(std::uint32_t componentId,
                                           std::uint32_t groupId) const;
    // A table group's rows, one cell per attribute in MIF order; empty for a plain group.
    std::vector<oxMifRow> rows(std::uint32_t componentId, std::uint32_t groupId) const;
    // The group with its attributes and rows; null when there is none. The last one is kept
    // and handed out again until this or another connection changes the database.
    std::shared_ptr<const oxSpGroupSnapshot_c> groupSnapshot(std::uint32_t componentId,
                                                             std::uint32_t groupId) const;

    // Stores the event; fills its ID and time.
    void recordEvent(oxSpEvent& event);
    // Events with an ID above afterId, oldest first.
    std::vector<oxSpEvent> events(std::int64_t afterId = 0) const;

  private:
    void open(const std::string& path, int flags);
    // The schema version found; 0 for an empty database. Throws for files it cannot use.
    int foundVersion(const std::string& path);
    void prepareForWriting(const std::string& path);
    void prepareForReading(const std::string& path);
    std::string selectComponents(const char* rest) const;
    void insertGroup(std::uint32_t componentId, const oxMifGroup& group, std::uint32_t groupId,
                     const std::string& definitionFile);
    std::vector<oxSpGroupInfo> selectGroups(std::uint32_t componentId,
                                            std::int64_t groupId) const;
    std::vector<oxMifAttribute> selectAttributes(std::uint32_t componentId,
                                                 std::uint32_t groupId) const;
    std::vector<oxMifRow> selectRows(std::uint32_t componentId, std::uint32_t groupId) const;
    // Changes with every commit of this connection or another one.
    std::pair<std::int64_t, std::int64_t> changeMark() const;

    sqlite3* db_ = nullptr;
    int version_ = schemaVersion; // below it only when read-only
    oxSpProcess owner_;
    mutable std::mutex lock_;
    struct CachedSnapshot {
        std::uint32_t componentId = 0, groupId = 0;
        std::pair<std::int64_t, std::int64_t> mark;
        std::shared_ptr<const oxSpGroupSnapshot_c> snapshot;
    };
    mutable CachedSnapshot cached_;
    mutable std::unique_ptr<oxSqliteStatement_c> dataVersion_; // prepared once: asked per request
};
