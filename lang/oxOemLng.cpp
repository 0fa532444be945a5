// oxOemLng.dll: the second message texts, read where oxLng.dll has none. 4133 lives only
// here; 4097 and 4104 are also in oxLng.dll, which wins for them.
#include "platform/oxpResource.h"

OX_STRING_TABLE(
    OX_STRING(4097, "OEM: component module %1!s! stopped working.")
    OX_STRING(4104, "OEM Error")
    OX_STRING(4133, "The service provider refused to install the component from the given MIF name."))
