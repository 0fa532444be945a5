// A module without version block or strings; its counter shows whether it was unloaded.
namespace {
int calls = 0;
}

extern "C" __attribute__((visibility("default"))) int fxCount() {
    return ++calls;
}
