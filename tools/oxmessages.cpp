// oxmessages: builds the message object with the language modules beside the program and
// shows one report of each kind through the current box presenter (standard error by default).
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include <cstdio>

int main() {
    oxMessages_c messages;
    // A numbered report with one text insert, as the kernel makes for a failing module.
    messages.reportNumbered("..\\..\\coxKern", 1038, oxMsgModuleFailed, "osComp.dll");
    // An exception reports while it is made; the catch has nothing more to show.
    try {
        throw oxInsufficientMemory_c("..\\..\\oxType", 58);
    } catch (const oxInsufficientMemory_c&) {
    }
    // A printf-style report under the header.
    messages.reportFormatted("..\\..\\oxMIFPar", 34, "Unable to locate MIF File %s\n", "Os.mif");
    // A number no language module holds.
    messages.showNumbered(0x1FFF);
    std::fprintf(stderr, "oxmessages: error title \"%s\", warning title \"%s\"\n",
                 messages.errorTitle().text(), messages.warningTitle().text());
    return 0;
}
