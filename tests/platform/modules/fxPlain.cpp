// A module without version block or strings; its counter shows whether it was unloaded.
#include "tests/platform/modules/fxExport.h"

namespace {
int calls = 0;
}

FX_EXPORT int fxCount() { return ++calls; }
