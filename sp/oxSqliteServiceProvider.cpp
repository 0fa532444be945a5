#include "sp/oxSqliteServiceProvider.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "platform/oxpPath.h"
#include "sp/oxMifReader.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include <algorithm>
#include <new>

namespace {

void setStatus(std::uint32_t* status, std::uint32_t value) {
    if (status)
        *status = value;
}

std::string hostFile(const oxString_c& windowsPath) {
    return oxp::resolveHostPath(oxp::hostPath(oxSpNarrow(windowsPath).c_str()));
}

oxComponent_c componentRecord(const oxSpComponentInfo& c) {
    return oxComponent_c(c.id, oxString_c(c.name.c_str()), oxString_c(c.description.c_str()),
                         oxString_c(c.source.c_str()));
}

// Built in one piece: adding the IDs one by one would copy the list at every step.
oxGroup_c groupRecord(const oxSpGroupInfo& g) {
    const oxIdList_c ids(static_cast<std::uint32_t>(g.attributeIds.size()), g.attributeIds.data());
    return oxGroup_c(g.id, oxString_c(g.groupClass.c_str()), oxString_c(g.name.c_str()), ids,
                     oxString_c(g.description.c_str()), oxString_c(g.definitionFile.c_str()));
}

} // namespace

oxSqliteServiceProvider_c::oxSqliteServiceProvider_c(const std::string& databasePath)
    : database_(std::make_unique<oxSpDatabase_c>(databasePath)) {}

oxSqliteServiceProvider_c::~oxSqliteServiceProvider_c() = default;

void oxSqliteServiceProvider_c::fail(std::uint32_t* status, std::uint32_t code,
                                     const std::string& text) {
    setStatus(status, code);
    std::lock_guard<std::mutex> hold(lock_);
    lastError_ = text;
}

template <class Body> bool oxSqliteServiceProvider_c::slot(std::uint32_t* status, Body body) {
    try {
        body();
        setStatus(status, 0);
        return true;
    } catch (const oxMifError_c& e) {
        fail(status, e.line() == 0 ? oxSpStatusUnreadableFile : oxSpStatusBadMif, e.what());
    } catch (const oxSpError_c& e) {
        fail(status, e.status(), e.what());
    } catch (const std::bad_alloc&) {
        fail(status, oxSpStatusDatabase, "out of memory");
    } catch (const std::exception& e) {
        fail(status, oxSpStatusDatabase, e.what());
    } catch (...) { // the framework's own exceptions (e.g. out of memory in a record copy)
        fail(status, oxSpStatusDatabase, "the framework failed while copying a record");
    }
    return false;
}

std::string oxSqliteServiceProvider_c::lastError() const {
    std::lock_guard<std::mutex> hold(lock_);
    return lastError_;
}

void oxSqliteServiceProvider_c::setEventHook(std::function<void(const oxSpEvent&)> hook) {
    std::lock_guard<std::mutex> hold(lock_);
    hook_ = std::move(hook);
}

std::vector<coxKernel_c*> oxSqliteServiceProvider_c::announcedKernels() const {
    std::lock_guard<std::mutex> hold(lock_);
    return announced_;
}

bool oxSqliteServiceProvider_c::isAnnounced(const coxKernel_c* kernel) const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::find(announced_.begin(), announced_.end(), kernel) != announced_.end();
}

bool oxSqliteServiceProvider_c::refreshDescription(oxComponent_c& own, oxComponent_c& same,
                                                   oxOctetString_c&, std::uint32_t* status) {
    return slot(status, [&] {
        if (own.id == 0)
            return; // nothing installed yet: nothing to refresh
        const auto c = database_->component(own.id);
        if (!c)
            throw oxSpError_c(oxSpStatusNoComponent,
                              "no installed component has the ID " + std::to_string(own.id));
        own = componentRecord(*c);
        if (&same != &own)
            same = own;
    });
}

bool oxSqliteServiceProvider_c::listComponents(oxComponentList_c& components, oxOctetString_c&,
                                               std::uint32_t* status) {
    return slot(status, [&] {
        const auto all = database_->components();
        const oxSpProcess& self = database_->owner();
        components = oxComponentList_c();
        std::set<std::uint32_t> leftovers;
        for (const auto& c : all) {
            const bool mine = c.owner == self;
            if (!mine && c.owner.isRunning())
                continue; // another live process holds it
            components.add(componentRecord(c));
            if (!mine)
                leftovers.insert(c.id);
        }
        std::lock_guard<std::mutex> hold(lock_);
        leftovers_.insert(leftovers.begin(), leftovers.end());
    });
}

bool oxSqliteServiceProvider_c::install(oxComponent_c& own, const oxString_c& path,
                                        std::uint32_t* status) {
    return slot(status, [&] {
        const std::string file = hostFile(path);
        const oxMifComponent component = oxMifReader_c::readComponentFile(file);
        const std::uint32_t id = database_->installComponent(component, oxp::baseName(file));
        own = componentRecord(*database_->component(id));
    });
}

bool oxSqliteServiceProvider_c::installFromMIFName(oxComponent_c& own, const oxString_c& mifName,
                                                   oxOctetString_c&, std::uint32_t* status) {
    return install(own, mifName, status);
}

bool oxSqliteServiceProvider_c::installFromMIF(oxComponent_c& own, const oxString_c& mifPath,
                                               oxOctetString_c&, std::uint32_t* status) {
    return install(own, mifPath, status);
}

bool oxSqliteServiceProvider_c::installByName(oxComponent_c& own, const oxString_c& name,
                                              oxOctetString_c&, std::uint32_t* status) {
    return slot(status, [&] {
        const std::string wanted = oxSpNarrow(name);
        const auto c = database_->componentNamed(wanted);
        if (!c)
            throw oxSpError_c(oxSpStatusNoComponent,
                              "no installed component is named \"" + wanted + "\"");
        own = componentRecord(*c);
    });
}

bool oxSqliteServiceProvider_c::deleteComponent(std::uint32_t& componentId, oxOctetString_c&,
                                                std::uint32_t* status) {
    return slot(status, [&] {
        const bool deleted = database_->deleteComponent(componentId);
        bool offered = false;
        {
            std::lock_guard<std::mutex> hold(lock_);
            offered = leftovers_.erase(componentId) != 0;
        }
        if (!deleted && !offered)
            throw oxSpError_c(oxSpStatusNoComponent, "no installed component has the ID " +
                                                         std::to_string(componentId));
    });
}

bool oxSqliteServiceProvider_c::originateEvent(oxAttribValueList_c& values, oxComponent_c& own,
                                               oxGroup_c& eventGroup, std::uint32_t a,
                                               std::uint32_t b, std::uint32_t c,
                                               std::uint32_t* status) {
    oxSpEvent event;
    const bool recorded = slot(status, [&] {
        event.componentId = own.id;
        event.groupId = eventGroup.id;
        event.groupClass = oxSpNarrow(eventGroup.groupClass);
        event.a = a;
        event.b = b;
        event.c = c;
        for (std::uint32_t i = 0; i < values.count(); ++i) {
            const oxAttribValue_c* v = values.at(i);
            event.values.push_back({v->id, v->value.kind, oxSpTextOfValue(v->value)});
        }
        database_->recordEvent(event);
    });
    if (recorded) {
        std::function<void(const oxSpEvent&)> hook;
        {
            std::lock_guard<std::mutex> hold(lock_);
            hook = hook_;
        }
        if (hook)
            hook(event);
    }
    return recorded;
}

bool oxSqliteServiceProvider_c::listGroups(oxComponent_c& own, oxGroupList_c& groups,
                                           oxOctetString_c&, std::uint32_t* status) {
    return slot(status, [&] {
        groups = oxGroupList_c();
        if (own.id == 0)
            return; // nothing installed: no groups
        if (!database_->component(own.id))
            throw oxSpError_c(oxSpStatusNoComponent,
                              "no installed component has the ID " + std::to_string(own.id));
        for (const auto& g : database_->groups(own.id))
            groups.add(groupRecord(g));
    });
}

bool oxSqliteServiceProvider_c::addGroupFromFile(oxComponent_c& own, oxGroup_c& group,
                                                 const oxString_c& file, oxOctetString_c&,
                                                 std::uint32_t* status) {
    return slot(status, [&] {
        const std::string path = hostFile(file);
        const oxMifGroup definition = oxMifReader_c::readGroupFile(path);
        const std::uint32_t id = database_->addGroup(own.id, definition, oxp::baseName(path));
        group = groupRecord(*database_->group(own.id, id));
    });
}

bool oxSqliteServiceProvider_c::deleteGroup(oxComponent_c& own, oxGroup_c& group,
                                            oxOctetString_c&, std::uint32_t* status) {
    return slot(status, [&] {
        if (!database_->deleteGroup(own.id, group.id))
            throw oxSpError_c(oxSpStatusNoGroup, "component " + std::to_string(own.id) +
                                                     " has no group " +
                                                     std::to_string(group.id));
    });
}

bool oxSqliteServiceProvider_c::announceComponents(coxKernel_c* kernel, oxOctetString_c&,
                                                   std::uint32_t* status) {
    return slot(status, [&] {
        std::lock_guard<std::mutex> hold(lock_);
        if (std::find(announced_.begin(), announced_.end(), kernel) == announced_.end())
            announced_.push_back(kernel);
    });
}

bool oxSqliteServiceProvider_c::withdrawComponents(coxKernel_c* kernel, oxOctetString_c&,
                                                   std::uint32_t* status) {
    return slot(status, [&] {
        std::lock_guard<std::mutex> hold(lock_);
        announced_.erase(std::remove(announced_.begin(), announced_.end(), kernel),
                         announced_.end());
    });
}
