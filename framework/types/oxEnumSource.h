// Source name of the enumerations in their raise sites.
#pragma once

inline constexpr const char* oxEnumSource = "..\\..\\oxEnum";
