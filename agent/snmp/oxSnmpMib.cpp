// Fills the DMI MIB's map from the database: the class, component and attribute-value subtrees.
#include "agent/snmp/oxSnmpMib.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpRequests.h"
#include "sp/oxSpStatus.h"

namespace {

// Table entries under dmiMIBObjects (412.1.1).
const oxSnmpOid classEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 1, 1, 1};
const oxSnmpOid attributeEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 1, 2, 1};
const oxSnmpOid keyEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 1, 3, 1};
const oxSnmpOid descrEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 1, 4, 1};
const oxSnmpOid enumEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 1, 5, 1};
const oxSnmpOid componentEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 2, 1, 1};
const oxSnmpOid compDescrEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 2, 2, 1};
const oxSnmpOid groupEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 2, 3, 1};
const oxSnmpOid languageEntry = {1, 3, 6, 1, 4, 1, 412, 1, 1, 2, 4, 1};
const oxSnmpOid mappingLevel = {1, 3, 6, 1, 4, 1, 412, 1, 1, 3, 1, 0};

// How far this agent maps DMI onto SNMP, on a scale of our own: 1 the DMI MIB's tables and
// notifications, 2 those and every group's attribute values under dmtfDynOids (this agent),
// 3 also the standard groups' own MIBs under dmtfStdMifs.
constexpr std::int64_t thisMappingLevel = 2;

// Long descriptions are split into rows of at most this many octets.
constexpr std::size_t descriptionPiece = 255;

// The MIB's type numbers: counter32 2, counter64 3, gauge32 4, integer32 5, integer64 6,
// octetString 7, displayString 8, date 9.
std::int64_t typeNumber(oxMifType_e type) {
    switch (type) {
    case oxMifType_e::counter: return 2;
    case oxMifType_e::counter64: return 3;
    case oxMifType_e::gauge: return 4;
    case oxMifType_e::integer: return 5;
    case oxMifType_e::integer64: return 6;
    case oxMifType_e::octetString: return 7;
    case oxMifType_e::displayString: return 8;
    case oxMifType_e::date: return 9;
    }
    return 1;
}

// unknown 1, readOnly 2, readWrite 3, writeOnly 4, unsupported 5.
std::int64_t accessNumber(const std::string& access) {
    const char* names[] = {"Read-Only", "Read-Write", "Write-Only", "Unsupported"};
    for (std::int64_t i = 0; i < 4; ++i)
        if (access == names[i])
            return i + 2;
    return 1;
}

// The version field of a class text "defining body|specific name|version"; 0 when not a number.
std::int64_t classVersion(const std::string& groupClass) {
    const std::size_t bar = groupClass.rfind('|');
    const std::string version = bar == std::string::npos ? "" : groupClass.substr(bar + 1);
    if (version.empty() || version.size() > 3 ||
        version.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(version);
}

oxSnmpOid concat(oxSnmpOid oid, const oxSnmpOid& more) {
    oid.insert(oid.end(), more.begin(), more.end());
    return oid;
}

} // namespace

const oxSnmpOid& oxSnmpMib_c::dmtf() {
    static const oxSnmpOid oid = {1, 3, 6, 1, 4, 1, 412};
    return oid;
}

const oxSnmpOid& oxSnmpMib_c::dynamicOids() {
    static const oxSnmpOid oid = {1, 3, 6, 1, 4, 1, 412, 3};
    return oid;
}

const oxSnmpOid& oxSnmpMib_c::notifications() {
    static const oxSnmpOid oid = {1, 3, 6, 1, 4, 1, 412, 1, 2};
    return oid;
}

oxSnmpMib_c::oxSnmpMib_c(const oxSpDatabase_c& database, const ComponentRows& componentRows) {
    addClasses(database);
    addComponents(database);
    addMappingLevel();
    addAttributeCells(database, componentRows);
}

const oxSnmpCell* oxSnmpMib_c::find(const oxSnmpOid& oid) const {
    const auto at = cells_.find(oid);
    return at == cells_.end() ? nullptr : &at->second;
}

void oxSnmpMib_c::put(const oxSnmpOid& entry, std::uint32_t column, const oxSnmpOid& index,
                      oxSnmpValue value) {
    oxSnmpOid oid = entry;
    oid.push_back(column);
    cells_[concat(oid, index)].fixed = std::move(value);
}

void oxSnmpMib_c::addClasses(const oxSpDatabase_c& database) {
    // A class is described once, by the first group of it (oldest component first).
    for (const oxSpComponentInfo& component : database.components()) {
        for (const oxSpGroupInfo& group : database.groups(component.id)) {
            if (classIndex_.count(group.groupClass) != 0)
                continue;
            const std::uint32_t index = static_cast<std::uint32_t>(classIndex_.size() + 1);
            classIndex_[group.groupClass] = index;
            const std::vector<oxMifAttribute> attributes =
                database.attributes(component.id, group.id);
            put(classEntry, 1, {index}, oxSnmpUnsigned(index));
            put(classEntry, 2, {index}, oxSnmpOctets(group.groupClass));
            put(classEntry, 3, {index}, oxSnmpInteger(classVersion(group.groupClass)));
            put(classEntry, 4, {index}, oxSnmpOctets(group.name));
            oxSnmpValue none;
            none.type = oxSnmpType_e::objectId;
            none.objectId = {0, 0};
            put(classEntry, 5, {index}, none);
            put(classEntry, 6, {index}, oxSnmpInteger(std::int64_t(group.keys.size())));
            put(classEntry, 7, {index}, oxSnmpInteger(std::int64_t(group.description.size())));
            put(classEntry, 8, {index}, oxSnmpOctets(""));
            // The group's own description goes in as attribute 0's.
            std::vector<std::pair<std::uint32_t, const std::string*>> texts = {
                {0, &group.description}};
            for (const oxMifAttribute& a : attributes) {
                const oxSnmpOid at = {index, a.id};
                put(attributeEntry, 1, at, oxSnmpUnsigned(a.id));
                put(attributeEntry, 2, at, oxSnmpOctets(a.name));
                put(attributeEntry, 3, at, oxSnmpInteger(accessNumber(a.access)));
                put(attributeEntry, 4, at, oxSnmpInteger(typeNumber(a.type)));
                put(attributeEntry, 5, at, oxSnmpInteger(a.maxLength));
                put(attributeEntry, 6, at, oxSnmpInteger(std::int64_t(a.enumeration.size())));
                put(attributeEntry, 7, at, oxSnmpInteger(std::int64_t(a.description.size())));
                texts.emplace_back(a.id, &a.description);
                for (std::uint32_t e = 0; e < a.enumeration.size(); ++e) {
                    const oxSnmpOid item = {index, a.id, e + 1};
                    put(enumEntry, 1, item, oxSnmpUnsigned(e + 1));
                    put(enumEntry, 2, item, oxSnmpInteger(a.enumeration[e].value));
                    put(enumEntry, 3, item, oxSnmpOctets(a.enumeration[e].name));
                }
            }
            for (std::uint32_t k = 0; k < group.keys.size(); ++k) {
                put(keyEntry, 1, {index, k + 1}, oxSnmpInteger(k + 1));
                for (const oxMifAttribute& a : attributes)
                    if (a.id == group.keys[k])
                        put(keyEntry, 2, {index, k + 1}, oxSnmpInteger(typeNumber(a.type)));
                put(keyEntry, 3, {index, k + 1}, oxSnmpUnsigned(group.keys[k]));
            }
            for (const auto& [attributeId, text] : texts) {
                for (std::uint32_t piece = 0; piece * descriptionPiece < text->size(); ++piece) {
                    const oxSnmpOid at = {index, attributeId, piece + 1};
                    put(descrEntry, 1, at, oxSnmpInteger(piece + 1));
                    put(descrEntry, 2, at,
                        oxSnmpOctets(text->substr(piece * descriptionPiece, descriptionPiece)));
                }
            }
        }
    }
}

void oxSnmpMib_c::addComponents(const oxSpDatabase_c& database) {
    for (const oxSpComponentInfo& component : database.components()) {
        const std::uint32_t id = component.id;
        const std::vector<oxSpGroupInfo> groups = database.groups(id);
        put(componentEntry, 1, {id}, oxSnmpUnsigned(id));
        put(componentEntry, 2, {id}, oxSnmpOctets(component.name));
        put(componentEntry, 3, {id}, oxSnmpInteger(std::int64_t(component.description.size())));
        put(componentEntry, 4, {id}, oxSnmpInteger(std::int64_t(groups.size())));
        put(componentEntry, 5, {id}, oxSnmpOctets(""));
        const std::string& text = component.description;
        for (std::uint32_t piece = 0; piece * descriptionPiece < text.size(); ++piece) {
            put(compDescrEntry, 1, {id, piece + 1}, oxSnmpInteger(piece + 1));
            put(compDescrEntry, 2, {id, piece + 1},
                oxSnmpOctets(text.substr(piece * descriptionPiece, descriptionPiece)));
        }
        for (const oxSpGroupInfo& group : groups) {
            put(groupEntry, 1, {id, group.id}, oxSnmpUnsigned(group.id));
            put(groupEntry, 2, {id, group.id}, oxSnmpOctets(group.groupClass));
            put(groupEntry, 3, {id, group.id}, oxSnmpInteger(classVersion(group.groupClass)));
            put(groupEntry, 4, {id, group.id}, oxSnmpUnsigned(classIndex_[group.groupClass]));
        }
        // The language is the row's index (its octets, implied length) and its one column.
        if (!component.language.empty()) {
            oxSnmpOid index = {id};
            for (const char c : component.language)
                index.push_back(static_cast<unsigned char>(c));
            put(languageEntry, 1, index, oxSnmpOctets(component.language));
        }
    }
}

void oxSnmpMib_c::addMappingLevel() {
    cells_[mappingLevel].fixed = oxSnmpInteger(thisMappingLevel);
}

void oxSnmpMib_c::addAttributeCells(const oxSpDatabase_c& database,
                                    const ComponentRows& componentRows) {
    const oxSpRequests_c requests(database);
    for (const oxSpComponentInfo& component : database.components()) {
        for (const oxSpGroupInfo& info : database.groups(component.id)) {
            const auto group = database.groupSnapshot(component.id, info.id);
            if (!group)
                continue;
            // A row whose key cells do not make a key keeps its number but has no cells.
            std::vector<std::optional<oxKey_c>> rows;
            if (info.keys.empty())
                rows.emplace_back(oxKey_c()); // a plain group: the one row 1
            for (std::size_t r = 0; !info.keys.empty() && r < group->rows().size(); ++r) {
                std::vector<std::string> texts;
                for (const std::uint32_t key : info.keys) {
                    const std::optional<std::size_t> at = group->position(key);
                    texts.push_back(at && group->rows()[r][*at] ? *group->rows()[r][*at] : "");
                }
                try {
                    rows.emplace_back(requests.makeKey(component.id, info.id, texts));
                } catch (const oxSpError_c&) {
                    rows.emplace_back();
                }
            }
            const oxKeyList_c* kept = !info.keys.empty() && group->rows().empty()
                                          ? componentRows(component.id, info.id)
                                          : nullptr;
            for (std::uint32_t r = 0; kept && r < kept->count(); ++r)
                rows.push_back(*kept->at(r));
            for (const oxMifAttribute& a : group->attributes()) {
                for (std::uint32_t r = 0; r < rows.size(); ++r) {
                    if (!rows[r])
                        continue;
                    oxSnmpCell& cell = cells_[concat(
                        dynamicOids(), {component.id, info.id, 1, a.id, r + 1})];
                    cell.attribute = {component.id, info.id, a.id, *rows[r], a.type, a.maxLength,
                                      a.access == "Read-Write" || a.access == "Write-Only"};
                }
            }
        }
    }
}
