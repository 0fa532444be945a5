// coxGroupProxy_c: stands for one group of the kernel's component, named by its class text,
// so that code inside the process can send that group requests without knowing its ID. The
// forwarders call the kernel's unguarded handlers: a proxy may be used from code that already
// holds the busy guard (a component answering a request, a timer firing during poll).
#pragma once
#include "framework/model/oxGroup.h"
#include "framework/types/oxString.h"
#include <cstddef>
#include <cstdint>

class coxKernel_c;
class oxAttribValue_c;
class oxKey_c;

class coxGroupProxy_c {
  public:
    // The group ID while the kernel lists no group of the class.
    static constexpr std::uint32_t unknownId = 0xFFFFFFFFu;

    // Takes the ID of the kernel's first group of that class, if there is one yet.
    coxGroupProxy_c(const oxString_c& classText, coxKernel_c* kernel);
    virtual ~coxGroupProxy_c() = default;
    coxGroupProxy_c(const coxGroupProxy_c&) = default;
    coxGroupProxy_c& operator=(const coxGroupProxy_c&) = default;

    // Proxies live in storage of the allocation pair, as every framework object does; a
    // failed allocation gives a null proxy.
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* p) noexcept;

    // One forwarder per request. An ID still unknown is looked up again first; when the
    // kernel has no group of the class the status is 0x7005. Each returns whether the status
    // is 0.
    bool getAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status);
    bool getNextAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status);
    bool reserveAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status);
    bool releaseAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status);
    bool setAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status);
    bool addRow(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                std::uint32_t* status);
    bool deleteRow(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                   std::uint32_t* status);

    std::uint32_t groupId() const noexcept { return group_.id; }
    const oxString_c& classText() const noexcept { return group_.groupClass; }
    coxKernel_c* kernel() const noexcept { return kernel_; }

  private:
    using Handler = bool (coxKernel_c::*)(oxAttribValue_c&, const std::uint32_t*, oxKey_c&,
                                          std::uint32_t, std::uint32_t, std::uint32_t*);
    bool forward(Handler handler, oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                 std::uint32_t b, std::uint32_t* status);
    // Looks the class up among the kernel's groups; true when the ID is known afterwards.
    bool resolve();

    oxGroup_c group_;
    coxKernel_c* kernel_ = nullptr;
};
