// A module whose static object loads fxPlain.dll while it loads and frees it while it unloads.
#include "platform/oxpModule.h"
#include "tests/platform/modules/fxExport.h"

namespace {
struct Holder {
    oxp::ModuleHandle plain = oxp::loadModule("fxPlain.dll");
    ~Holder() { oxp::freeModule(plain); }
} holder;
} // namespace

FX_EXPORT oxp::ModuleHandle fxNestedHandle() { return holder.plain; }
