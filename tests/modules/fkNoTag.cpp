// A module whose version block carries coxBaseTag only in its string table, not in a top-level
// OXInfo block: the kernel's version test must reject it without loading it.
#include "platform/oxpResource.h"

OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 0, 0, 0, 1, 0, 0, 0, OX_VFT_DLL)
                     OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\coxBaseTag", "coxBaseTag"))
