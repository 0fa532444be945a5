// Source names of the model's raise sites.
#pragma once

inline constexpr const char* oxKeySource = "..\\..\\oxKey";       // oxKey_c, oxKeyList_c
inline constexpr const char* oxGroupSource = "..\\..\\oxGroup";   // oxGroupList_c
inline constexpr const char* oxAttribSource = "..\\..\\oxAttrib"; // value lists, attribute list
inline constexpr const char* oxComponentSource = "..\\..\\oxCompon"; // oxComponentList_c
