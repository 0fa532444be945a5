// bxOther.dll: a module file with a version block but without the component-module tag, the
// module scan's common case of a DLL it reads and passes over.
#include "platform/oxpResource.h"

OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 0, 0, 0, 1, 0, 0, 0, OX_VFT_DLL)
                     OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileDescription",
                                      "a library that is no component module"))
