#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine; does nothing when all is there.
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -f /usr/include/sqlite3.h ] || need+=(libsqlite3-dev)
[ -f /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
command -v gcovr >/dev/null || need+=(gcovr)
# SNMP: net-snmp's agent library for run --agentx, and snmpd, its tools and snmptrapd for its tests.
[ -f /usr/include/net-snmp/agent/net-snmp-agent-includes.h ] || need+=(libsnmp-dev)
[ -x /usr/sbin/snmpd ] || need+=(snmpd)
command -v snmpget >/dev/null || need+=(snmp)
[ -x /usr/sbin/snmptrapd ] || need+=(snmptrapd)
# The Windows build: mingw-w64 (posix thread model), Wine to run its tests, GoogleTest's sources.
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${need[@]}"
fi
