// A module whose version block carries coxBaseTag only in its string table, not in a top-level
// OXInfo block: the kernel's version test must reject it without loading it. Its entry shows a
// box, so a test sees whether its code ever ran.
#include "platform/oxpMessageBox.h"
#include "platform/oxpModuleEntry.h"
#include "platform/oxpResource.h"

namespace {
bool fkNoTagEntry(oxp::ModuleHandle, oxp::ModuleEvent event) noexcept {
    if (event == oxp::ModuleEvent::processAttach)
        oxp::messageBox("fkNoTag.dll ran", "fkNoTag", oxp::mbOk);
    return true;
}
} // namespace

OX_MODULE_ENTRY(fkNoTagEntry)

OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 0, 0, 0, 1, 0, 0, 0, OX_VFT_DLL)
                     OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\coxBaseTag", "coxBaseTag"))
