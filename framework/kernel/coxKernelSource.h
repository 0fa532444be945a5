// Source names of the kernel in its raise sites and reported messages: the kernel object, its
// list and request dispatch report as coxKernelSource; start-up discovery, the directory
// operations and the module loader as coxKernelLoaderSource.
#pragma once

inline constexpr const char* coxKernelSource = "..\\..\\coxKern";
inline constexpr const char* coxKernelLoaderSource = "..\\coxKern1";
