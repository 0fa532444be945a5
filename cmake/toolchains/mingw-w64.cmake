# Cross build for Windows with Debian's mingw-w64, posix thread model (std::thread, std::mutex).
# Included by the triple's own toolchain file, which sets OX_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${OX_MINGW_TRIPLE}")
set(CMAKE_C_COMPILER ${OX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${OX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C++ runtime stays in its DLLs (libstdc++, libgcc, winpthread), one copy per process as on
# Linux: an exception thrown in a module and caught in the host must not need code of a module
# that the handler has meanwhile unloaded. The build copies those DLLs beside the programs.
