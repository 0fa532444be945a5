#include "framework/base/coxServiceProvider.h"

// The reserved slots answer "not done" should a provider be called through one of them.
bool coxServiceProvider_c::reserved0() { return false; }
bool coxServiceProvider_c::reserved1() { return false; }
bool coxServiceProvider_c::reserved2() { return false; }
bool coxServiceProvider_c::reserved3() { return false; }
bool coxServiceProvider_c::reserved4() { return false; }
bool coxServiceProvider_c::reserved5() { return false; }
bool coxServiceProvider_c::reserved6() { return false; }
bool coxServiceProvider_c::reserved7() { return false; }
bool coxServiceProvider_c::reserved8() { return false; }
bool coxServiceProvider_c::reserved10() { return false; }
bool coxServiceProvider_c::reserved17() { return false; }
bool coxServiceProvider_c::reserved19() { return false; }
bool coxServiceProvider_c::reserved21() { return false; }
bool coxServiceProvider_c::reserved23() { return false; }
bool coxServiceProvider_c::reserved24() { return false; }
bool coxServiceProvider_c::reserved25() { return false; }
bool coxServiceProvider_c::reserved26() { return false; }
bool coxServiceProvider_c::reserved28() { return false; }
bool coxServiceProvider_c::reserved29() { return false; }
bool coxServiceProvider_c::reserved30() { return false; }
