#include "framework/model/oxKey.h"

template class oxPtrList_c<oxAttribValue_c, oxKeyTraits>;
template class oxIdKeyedList_c<oxAttribValue_c, oxKeyTraits>;
