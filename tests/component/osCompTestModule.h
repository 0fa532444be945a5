// Loads the built osComp.dll through the platform layer and finds its two entry points.
#pragma once
#include "framework/base/coxBase.h"
#include "framework/kernel/coxKernel.h"
#include "platform/oxpModule.h"
#include <cstdint>
#include <string>

using coxBaseConstructFn = void (*)(oxString_c*, coxKernel_c*, std::uint32_t*, coxBase_c**);
using coxBaseDestructFn = void (*)(coxBase_c*);

struct osCompModule {
    explicit osCompModule(const std::string& path = std::string(OX_BIN_DIR) + "/osComp.dll")
        : handle(oxp::loadModule(path.c_str())),
          construct(reinterpret_cast<coxBaseConstructFn>(
              oxp::findSymbol(handle, "coxBaseConstruct"))),
          destruct(reinterpret_cast<coxBaseDestructFn>(oxp::findSymbol(handle, "coxBaseDestruct"))) {}
    ~osCompModule() {
        if (handle)
            oxp::freeModule(handle);
    }
    osCompModule(const osCompModule&) = delete;
    osCompModule& operator=(const osCompModule&) = delete;

    oxp::ModuleHandle handle;
    coxBaseConstructFn construct;
    coxBaseDestructFn destruct;
};
