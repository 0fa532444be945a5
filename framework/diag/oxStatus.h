// Status codes written by the framework. Codes from the service provider pass through as they are.
#pragma once
#include <cstdint>

using oxStatus_t = std::uint32_t;

constexpr oxStatus_t oxStatusSuccess = 0x0000;
constexpr oxStatus_t oxStatusNoDescriptionFile = 0x1000;   // no *.mif (or *.mix) in the directory
constexpr oxStatus_t oxStatusSetNotSupported = 0x2006;     // component does not set attributes
constexpr oxStatus_t oxStatusAttributeNotServed = 0x2007;  // attribute ID not served
constexpr oxStatus_t oxStatusAttributeNotAnswered = 0x2008;// served ID the component does not answer
constexpr oxStatus_t oxStatusModuleLoadFailed = 0x6001;    // cannot load, entry point missing, no memory
constexpr oxStatus_t oxStatusNotComponentModule = 0x6002;  // no component tag, or already loaded
constexpr oxStatus_t oxStatusAddRowNotSupported = 0x7002;
constexpr oxStatus_t oxStatusDeleteRowNotSupported = 0x7003;
constexpr oxStatus_t oxStatusNoNextRow = 0x7004;
constexpr oxStatus_t oxStatusNoComponent = 0x7005;         // no object serves the group, or it failed
constexpr oxStatus_t oxStatusUnloadMe = 0x8001;            // kernel has no objects; from a component: unload me
constexpr oxStatus_t oxStatusInvalidRowKey = 0x9005;
constexpr oxStatus_t oxStatusDuplicateComponent = 0xB001;

// Message numbers of the language modules.
constexpr std::uint32_t oxMsgModuleFailed = 0x1001;        // %1 module file name
constexpr std::uint32_t oxMsgErrorTitle = 0x1008;
constexpr std::uint32_t oxMsgLineHeader = 0x1009;          // %1 line
constexpr std::uint32_t oxMsgSourceHeader = 0x100A;        // %1 source, %2 line
constexpr std::uint32_t oxMsgDuplicateComponent = 0x100C;
constexpr std::uint32_t oxMsgInsufficientMemory = 0x100D;
constexpr std::uint32_t oxMsgInvalidDirectory = 0x100E;
constexpr std::uint32_t oxMsgInvalidIndex = 0x100F;
constexpr std::uint32_t oxMsgMifInstallRefused = 0x1024;   // %1 MIF file path
constexpr std::uint32_t oxMsgMifNameInstallRefused = 0x1025;
constexpr std::uint32_t oxMsgMixInstallRefused = 0x1026;   // %1 component name
constexpr std::uint32_t oxMsgGroupNotRegistered = 0x1027;  // %1 served group's class text
constexpr std::uint32_t oxMsgWarningTitle = 0x102C;
