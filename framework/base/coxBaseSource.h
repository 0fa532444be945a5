// Source name of the component base object and its list in their raise sites.
#pragma once

inline constexpr const char* coxBaseSource = "..\\..\\coxBase";
