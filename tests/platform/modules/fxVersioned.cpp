// A module with a version block and a string table.
#include "platform/oxpResource.h"

OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 2, 3, 4, 5, 6, 0x7, 8, OX_VFT_DLL)
                     OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileVersion", "1.2.3.4")
                         OX_VERSION_VALUE("\\OXInfo\\coxBaseTag", "coxBaseTag")
                             OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\Comments", ""))

OX_STRING_TABLE(OX_STRING(4097, "Component module %1 failed.") OX_STRING(4104, "OX Error"))
