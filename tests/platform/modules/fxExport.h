// Visible entry points of the fixture modules (they are built with hidden visibility).
#pragma once
#define FX_EXPORT extern "C" __attribute__((visibility("default")))
