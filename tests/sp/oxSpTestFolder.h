// The provider suites' scratch folder is the shared one; the example description comes from the tree.
#pragma once
#include "tests/support/oxTestFolder.h"

using oxSpTestFolder = oxTestFolder;

inline std::string oxSpExampleMif() { return oxReadFile(OX_SOURCE_DIR "/examples/os/Os.mif"); }
