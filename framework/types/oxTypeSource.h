// Source name of the foundation types (string, lists, values, dates) in their raise sites.
#pragma once

inline constexpr const char* oxTypeSource = "..\\..\\oxType";
