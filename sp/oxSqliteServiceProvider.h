// oxSqliteServiceProvider_c: the reference service provider. It keeps installed components in
// an SQLite database (oxSpDatabase_c) and installs them from MIF files (oxMifReader_c).
//
// Slots:
//  9  refreshDescription  refills the description from the database by its ID; ID 0 (nothing
//                         installed, as for a directory without description) is left as is.
//  11 listComponents      the installed components, oldest first, less those another running
//                         process holds: the kernel's duplicate check deletes what it is
//                         offered, and must never take a live process's copy.
//  12 installFromMIFName  as 13; the name is a path relative to the current directory.
//  13 installFromMIF      parses the whole file first, then installs it in one transaction.
//                         A bad file installs nothing. The description gets the new ID, the
//                         MIF's component name, its Description as first text and the MIF
//                         file's name (no folder) as third text, as slots 9 and 11 give them,
//                         so that the kernel's duplicate check finds older copies.
//  14 installByName       attaches to the most recently installed component of that name
//                         (MIX files name a component installed before); none: 0xC005.
//  15 deleteComponent     removes it with its groups, attributes, rows and events. A leftover
//                         slot 11 offered that another process removed first counts as
//                         removed (status 0): two kernels may clean up the same one at once.
//  16 originateEvent      records the event with its values and hands it to the event hook.
//  18 listGroups          refills the list: ID, class, name (second text), attribute IDs,
//                         description (third text), definition file (fourth text); empty for
//                         ID 0.
//  20 addGroupFromFile    reads a .grp/.evt file (one group in the MIF language) and adds the
//                         group; the record is filled as by slot 18.
//  22 deleteGroup         removes the group of the record's ID.
//  27/31 announce/withdraw keep the set of announced kernels in memory.
//
// Owners: every component records the process that installed it (its ID and start time, see
// oxSpProcess). A copy whose owner no longer runs is a leftover of a process that ended
// without its teardown (killed); only leftovers and this process's own copies are offered to
// the duplicate check. Processes that share a database must see one another in /proc.
//
// Paths from kernels are Windows-style ("dir\Os.mif"); they are resolved on the host file
// system as Windows would (case-insensitively). Every slot writes 0 or one of the codes of
// oxSpStatus.h into the status and answers whether it wrote 0; the text of the last failure
// stays retrievable through lastError(). No slot throws.
#pragma once
#include "framework/base/coxServiceProvider.h"
#include "sp/oxSpDatabase.h"
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// Final: the provider interface has no virtual destructor, so nothing may derive further.
class oxSqliteServiceProvider_c final : public coxServiceProvider_c {
  public:
    // A database file (created when missing) or ":memory:". Throws oxSpError_c with a text
    // naming the path when it cannot be opened or is of an unknown schema version.
    explicit oxSqliteServiceProvider_c(const std::string& databasePath);
    ~oxSqliteServiceProvider_c();
    oxSqliteServiceProvider_c(const oxSqliteServiceProvider_c&) = delete;
    oxSqliteServiceProvider_c& operator=(const oxSqliteServiceProvider_c&) = delete;

    bool refreshDescription(oxComponent_c& own, oxComponent_c& same, oxOctetString_c& context,
                            std::uint32_t* status) override;
    bool listComponents(oxComponentList_c& components, oxOctetString_c& context,
                        std::uint32_t* status) override;
    bool installFromMIFName(oxComponent_c& own, const oxString_c& mifName,
                            oxOctetString_c& context, std::uint32_t* status) override;
    bool installFromMIF(oxComponent_c& own, const oxString_c& mifPath,
                        oxOctetString_c& context, std::uint32_t* status) override;
    bool installByName(oxComponent_c& own, const oxString_c& name, oxOctetString_c& context,
                       std::uint32_t* status) override;
    bool deleteComponent(std::uint32_t& componentId, oxOctetString_c& context,
                         std::uint32_t* status) override;
    bool originateEvent(oxAttribValueList_c& values, oxComponent_c& own, oxGroup_c& eventGroup,
                        std::uint32_t a, std::uint32_t b, std::uint32_t c,
                        std::uint32_t* status) override;
    bool listGroups(oxComponent_c& own, oxGroupList_c& groups, oxOctetString_c& context,
                    std::uint32_t* status) override;
    bool addGroupFromFile(oxComponent_c& own, oxGroup_c& group, const oxString_c& file,
                          oxOctetString_c& context, std::uint32_t* status) override;
    bool deleteGroup(oxComponent_c& own, oxGroup_c& group, oxOctetString_c& context,
                     std::uint32_t* status) override;
    bool announceComponents(coxKernel_c* kernel, oxOctetString_c& context,
                            std::uint32_t* status) override;
    bool withdrawComponents(coxKernel_c* kernel, oxOctetString_c& context,
                            std::uint32_t* status) override;

    // For the host: queries (components, groups, attributes, rows, events).
    oxSpDatabase_c& database() noexcept { return *database_; }
    // The text of the last failed slot ("" when none failed yet).
    std::string lastError() const;
    // Called after each originated event is recorded, on the thread that raised it.
    void setEventHook(std::function<void(const oxSpEvent&)> hook);
    // Kernels announced (slot 27) and not withdrawn (slot 31), in announcement order.
    std::vector<coxKernel_c*> announcedKernels() const;
    bool isAnnounced(const coxKernel_c* kernel) const;

  private:
    // Runs body; turns its exceptions into a status and the last-error text.
    template <class Body> bool slot(std::uint32_t* status, Body body);
    bool install(oxComponent_c& own, const oxString_c& path, std::uint32_t* status);
    void fail(std::uint32_t* status, std::uint32_t code, const std::string& text);

    std::unique_ptr<oxSpDatabase_c> database_;
    mutable std::mutex lock_; // last error, hook, announced kernels, leftovers
    std::set<std::uint32_t> leftovers_; // offered by slot 11, not yet deleted through slot 15
    std::string lastError_;
    std::function<void(const oxSpEvent&)> hook_;
    std::vector<coxKernel_c*> announced_;
};
