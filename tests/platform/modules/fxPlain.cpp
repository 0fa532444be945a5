// A module without version block or strings; its counter shows whether it was unloaded.
#include "platform/oxpModule.h"

namespace {
int calls = 0;
}

extern "C" OX_EXPORT int fxCount() {
    return ++calls;
}
