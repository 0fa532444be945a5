// oxSnmpMib_c: the DMTF DMI MIB of the installed components as one ordered map from instance
// OID to cell, built from the provider's database. The descriptive tables (classes, attributes,
// keys, descriptions, enumerations, components, groups, languages) hold their values; the
// attribute cells under dmtfDynOids name what to ask for, since their values are live.
//
// Attribute cells: dmtfDynOids.<component>.<group>.1.<attribute>.<row>, one table per group
// whose columns are its attribute IDs. A plain group has the one row 1; a table group's rows
// are numbered from 1 in the order the database keeps them, each asked for by its key values.
// A table group the database lists no rows for has the rows its component object keeps, in
// the object's order: rows only the instrumentation knows, as of the map's building.
#pragma once
#include "agent/snmp/oxSnmpValue.h"
#include "framework/model/oxKey.h"
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class oxSpDatabase_c;

using oxSnmpOid = std::vector<std::uint32_t>;

// An attribute value to ask the kernels (or the MIF) for.
struct oxSnmpAttributeCell {
    std::uint32_t componentId = 0, groupId = 0, attributeId = 0;
    oxKey_c key; // the row's; empty for a plain group
    oxMifType_e type = oxMifType_e::integer;
    std::uint32_t maxLength = 0; // strings only; 0 for no limit
    bool writable = false;
};

struct oxSnmpCell {
    std::optional<oxSnmpValue> fixed; // set for the descriptive tables
    oxSnmpAttributeCell attribute;    // otherwise
};

class oxSnmpMib_c {
  public:
    using Cells = std::map<oxSnmpOid, oxSnmpCell>;
    static const oxSnmpOid& dmtf();        // 1.3.6.1.4.1.412: everything served lies under it
    static const oxSnmpOid& dynamicOids(); // dmtfDynOids, 412.3
    static const oxSnmpOid& notifications(); // dmiNotifications, 412.1.2

    // The row keys the component object serving a group keeps; null when none serves it.
    using ComponentRows = std::function<const oxKeyList_c*(std::uint32_t componentId,
                                                           std::uint32_t groupId)>;

    oxSnmpMib_c(const oxSpDatabase_c& database, const ComponentRows& componentRows);

    // Null when no cell has that OID.
    const oxSnmpCell* find(const oxSnmpOid& oid) const;
    // The cells after the OID, in OID order.
    Cells::const_iterator after(const oxSnmpOid& oid) const { return cells_.upper_bound(oid); }
    Cells::const_iterator end() const noexcept { return cells_.end(); }

  private:
    void addClasses(const oxSpDatabase_c& database);
    void addComponents(const oxSpDatabase_c& database);
    void addMappingLevel();
    void addAttributeCells(const oxSpDatabase_c& database, const ComponentRows& componentRows);
    // Column `column` of the table entry's row `index`.
    void put(const oxSnmpOid& entry, std::uint32_t column, const oxSnmpOid& index,
             oxSnmpValue value);

    Cells cells_;
    std::map<std::string, std::uint32_t> classIndex_; // class text -> dmiClassIndex
};
