#include "framework/types/oxStringList.h"

// Every operation of the list is compiled once here.
template class oxPtrList_c<oxString_c, oxStringListTraits>;
