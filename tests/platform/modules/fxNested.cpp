// A module whose static object loads fxPlain.dll while it loads and frees it while it unloads.
#include "platform/oxpModule.h"

namespace {
struct Holder {
    oxp::ModuleHandle plain = oxp::loadModule("fxPlain.dll");
    ~Holder() { oxp::freeModule(plain); }
} holder;
} // namespace

extern "C" __attribute__((visibility("default"))) oxp::ModuleHandle fxNestedHandle() {
    return holder.plain;
}
