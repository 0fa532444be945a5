// The kernel object: start-up, start/stop/poll, teardown and its directory.
#include "framework/kernel/coxKernel.h"
#include "framework/base/coxBase.h"
#include "framework/base/coxServiceProvider.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernelSource.h"
#include "framework/model/oxMIFParser.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxText.h"
#include "platform/oxpDirectory.h"

namespace {

constexpr const char* unknownName = "Unknown";
constexpr const char* defaultLanguage = "en|US|iso8859-1";
constexpr std::uint32_t directoryBufferSize = 514;
constexpr std::uint32_t directoryReadSize = 512;

// The text of a string for the platform and for paths: "" rather than the null marker.
const char* plainText(const oxString_c& s) noexcept { return s.length() != 0 ? s.text() : ""; }

// The first file of the current directory that matches the pattern, or false.
bool findFirst(const char* pattern, oxString_c& name) {
    oxp::FindData data{};
    const oxp::FindHandle search = oxp::findFirstFile(pattern, &data);
    if (search == oxp::invalidFindHandle)
        return false;
    try {
        name.assign(data.fileName);
    } catch (...) {
        oxp::findClose(search);
        throw;
    }
    oxp::findClose(search);
    return true;
}

// Storage of the allocation pair released on every way out.
class coxBuffer_c {
  public:
    explicit coxBuffer_c(std::size_t size) : bytes_(static_cast<char*>(oxAllocate(size))) {}
    ~coxBuffer_c() { oxRelease(bytes_); }
    coxBuffer_c(const coxBuffer_c&) = delete;
    coxBuffer_c& operator=(const coxBuffer_c&) = delete;
    char* bytes() const noexcept { return bytes_; }

  private:
    char* bytes_;
};

// The MIX reader, deleted through the allocation pair on every way out.
class coxMixReader_c {
  public:
    explicit coxMixReader_c(const oxString_c& fileName)
        : parser_(oxNew<oxMIFParser_c>(fileName)) {
        if (!parser_)
            throw oxInsufficientMemory_c(coxKernelLoaderSource, 67);
    }
    ~coxMixReader_c() { oxDelete(parser_); }
    coxMixReader_c(const coxMixReader_c&) = delete;
    coxMixReader_c& operator=(const coxMixReader_c&) = delete;
    oxMIFParser_c& parser() const noexcept { return *parser_; }

  private:
    oxMIFParser_c* parser_;
};

} // namespace

coxKernel_c::coxKernel_c(const oxString_c& directory, coxServiceProvider_c* serviceProvider,
                         std::uint32_t* status)
    : ownDescription_(0, oxString_c(unknownName), oxString_c(), oxString_c()),
      directory_(directory), language_(defaultLanguage), serviceProvider_(serviceProvider) {
    if (discoverMIF()) {
        installedFromMIF_ = true;
        // The path is the refusal message's insert, so the box names the file.
        oxText_c path(plainText(directory_));
        path.append("\\");
        path.append(plainText(ownDescription_.name));
        if (!serviceProvider_->installFromMIF(ownDescription_, oxString_c(path.text()),
                                              spContext_, status))
            oxMessages_c::instance().reportNumbered(coxKernelSource, 55, oxMsgMifInstallRefused,
                                                    path.text());
    } else if (discoverMIX()) {
        if (!serviceProvider_->installByName(ownDescription_, ownDescription_.name, spContext_,
                                             status))
            oxMessages_c::instance().reportNumbered(coxKernelSource, 59, oxMsgMixInstallRefused,
                                                    ownDescription_.name);
    }
    finishStartUp(status);
}

coxKernel_c::coxKernel_c(const oxString_c& mifName, const oxString_c& directory,
                         coxServiceProvider_c* serviceProvider, std::uint32_t* status)
    : ownDescription_(0, oxString_c(unknownName), oxString_c(), oxString_c()),
      directory_(directory), installedFromMIF_(true), language_(defaultLanguage),
      serviceProvider_(serviceProvider) {
    if (!serviceProvider_->installFromMIFName(ownDescription_, mifName, spContext_, status))
        oxMessages_c::instance().reportNumbered(coxKernelSource, 93, oxMsgMifNameInstallRefused);
    finishStartUp(status);
}

// Teardown: stop, delete a MIF-installed component, withdraw, unload every module; the
// members then go in reverse declaration order. Each step runs whatever the others did.
coxKernel_c::~coxKernel_c() {
    std::uint32_t status = oxStatusSuccess;
    try {
        stop(&status);
    } catch (...) {
    }
    try {
        if (installedFromMIF_) {
            status = oxStatusSuccess;
            serviceProvider_->deleteComponent(ownDescription_.id, spContext_, &status);
        }
        status = oxStatusSuccess;
        serviceProvider_->withdrawComponents(this, spContext_, &status);
    } catch (...) {
    }
    unloadAllModules();
}

// No "*.mif": false (the discovery's own status would be 0x1000).
bool coxKernel_c::discoverMIF() {
    std::uint32_t status = oxStatusSuccess;
    changeToDirectory(&status);
    oxString_c fileName;
    if (!findFirst("*.mif", fileName))
        return false;
    ownDescription_.id = 0;
    ownDescription_.name.assign(fileName);
    return true;
}

// No "*.mix": false. Otherwise language and name come from the file; reader failures throw.
bool coxKernel_c::discoverMIX() {
    std::uint32_t status = oxStatusSuccess;
    changeToDirectory(&status);
    oxString_c fileName;
    if (!findFirst("*.mix", fileName))
        return false;
    ownDescription_.id = 0;
    ownDescription_.name.assign("");
    language_.assign("");
    const coxMixReader_c reader(fileName);
    reader.parser().readLanguageAndName(language_, ownDescription_.name, &status);
    return status == oxStatusSuccess;
}

// An exception after the scan still leaves the constructor, but first the loaded modules go:
// their objects point at this kernel, whose destructor will not run.
void coxKernel_c::finishStartUp(std::uint32_t* status) {
    if (*status != oxStatusSuccess)
        return;
    wideStrings_ = ownDescription_.name.isWide();
    serviceProvider_->refreshDescription(ownDescription_, ownDescription_, spContext_, status);
    serviceProvider_->listGroups(ownDescription_, groups_, spContext_, status);
    try {
        loadAllModules();
        checkDuplicates(status);
        std::uint32_t comparison = oxStatusSuccess;
        compareGroups(&comparison);
    } catch (...) {
        unloadAllModules();
        throw;
    }
}

// Older installations of the same component (equal texts under another ID): deleted when this
// kernel installed from a MIF file, otherwise reported and the start-up fails with 0xB001.
void coxKernel_c::checkDuplicates(std::uint32_t* status) {
    *status = oxStatusSuccess;
    oxComponentList_c installed;
    if (!serviceProvider_->listComponents(installed, spContext_, status))
        return;
    for (std::uint32_t i = 0; i < installed.count(); ++i) {
        oxComponent_c& other = *installed.at(i);
        if (other.id == ownDescription_.id)
            continue;
        std::uint32_t otherId = other.id;
        other.id = ownDescription_.id;
        if (!(other == ownDescription_))
            continue;
        if (installedFromMIF_) {
            serviceProvider_->deleteComponent(otherId, spContext_, status);
            continue;
        }
        oxMessages_c::instance().reportNumbered(coxKernelSource, 876, oxMsgDuplicateComponent);
        *status = oxStatusDuplicateComponent;
        return;
    }
}

// The provider's groups of a MIF-installed component, less one group per served and per event
// class of each loaded object. What remains is kept as unservedGroups().
void coxKernel_c::compareGroups(std::uint32_t* status) {
    if (!installedFromMIF_)
        return;
    oxGroupList_c listed;
    if (!serviceProvider_->listGroups(ownDescription_, listed, spContext_, status))
        return;
    const auto strike = [&listed](const oxString_c& groupClass) {
        if (listed.contains(groupClass)) {
            const oxGroup_c first(*listed.find(groupClass));
            listed.remove(first);
        }
    };
    for (std::uint32_t i = 0; i < componentObjects_.count(); ++i) {
        const coxBase_c& object = *componentObjects_.at(i);
        strike(object.eventGroup().groupClass);
        strike(object.servedGroup().groupClass);
    }
    unservedGroups_.assign(listed);
}

// The early answers come before the guard, so a component may call start or stop from inside
// a request. They are asked again under the guard: another thread may have changed the state
// while this one waited.
bool coxKernel_c::start(std::uint32_t* status) {
    if (answeredAtOnce(true, status))
        return *status == oxStatusSuccess;
    const coxBusyScope_c guard(busy_);
    if (answeredAtOnce(true, status))
        return *status == oxStatusSuccess;
    serviceProvider_->announceComponents(this, spContext_, status);
    started_.store(true, std::memory_order_release);
    for (std::uint32_t i = 0; i < componentObjects_.count(); ++i)
        componentObjects_.at(i)->timers().start();
    return *status == oxStatusSuccess;
}

bool coxKernel_c::stop(std::uint32_t* status) {
    if (answeredAtOnce(false, status))
        return *status == oxStatusSuccess;
    const coxBusyScope_c guard(busy_);
    if (answeredAtOnce(false, status))
        return *status == oxStatusSuccess;
    serviceProvider_->withdrawComponents(this, spContext_, status);
    started_.store(false, std::memory_order_release);
    for (std::uint32_t i = 0; i < componentObjects_.count(); ++i)
        componentObjects_.at(i)->timers().stop();
    return *status == oxStatusSuccess;
}

// No component objects: 0x8001. Already in the wanted state: 0. Otherwise false, status left.
bool coxKernel_c::answeredAtOnce(bool wantStarted, std::uint32_t* status) const noexcept {
    if (componentObjects_.count() == 0) {
        *status = oxStatusUnloadMe;
        return true;
    }
    if (started_.load(std::memory_order_acquire) == wantStarted) {
        *status = oxStatusSuccess;
        return true;
    }
    return false;
}

// A module whose timers fail is unloaded and the object that moves into its place is still
// ticked in the same poll: every surviving object gets its second.
void coxKernel_c::poll() {
    const coxBusyScope_c guard(busy_);
    std::uint32_t status = oxStatusSuccess;
    if (componentObjects_.count() == 0) {
        if (installedFromMIF_)
            serviceProvider_->deleteComponent(ownDescription_.id, spContext_, &status);
        serviceProvider_->withdrawComponents(this, spContext_, &status);
        return;
    }
    std::uint32_t i = 0;
    while (componentObjects_.isValidIndex(i)) {
        coxBase_c& object = *componentObjects_.at(i);
        try {
            object.timers().tick();
            ++i;
            continue;
        } catch (...) {
        }
        const std::uint32_t before = componentObjects_.count();
        try {
            oxMessages_c::instance().reportText(coxKernelSource, 1038, object.moduleName());
        } catch (...) {
        }
        status = oxStatusSuccess;
        unloadModule(object.moduleName(), &status);
        if (componentObjects_.count() == before)
            ++i; // it stayed: step over it
    }
}

bool coxKernel_c::useCurrentDirectory(std::uint32_t* status) {
    const coxBuffer_c buffer(directoryBufferSize);
    if (!buffer.bytes())
        throw oxInsufficientMemory_c(coxKernelLoaderSource, 83);
    // A path longer than the buffer comes back as the size it needs, with nothing written:
    // treated as unreadable, like a failure.
    const std::uint32_t length = oxp::getCurrentDirectory(directoryReadSize, buffer.bytes());
    if (length == 0 || length >= directoryReadSize)
        throw oxInvalidDirectory_c(coxKernelLoaderSource, 86);
    directory_.assign(buffer.bytes());
    *status = oxStatusSuccess;
    return true;
}

// Success writes status 0; failure throws and leaves it.
bool coxKernel_c::changeToDirectory(std::uint32_t* status) {
    if (!oxp::setCurrentDirectory(plainText(directory_)))
        throw oxInvalidDirectory_c(coxKernelLoaderSource, 99);
    *status = oxStatusSuccess;
    return true;
}
