// Message boxes of the framework, as the host shows them: one line each on standard error,
// "oxagent: <title>: <text>", the text's line breaks folded into spaces, and the paths the
// framework builds under a kernel's directory ("/x/os\Os.mif") shown with the host's separator.
#pragma once
#include <string>

namespace oxagent {

// Installs the one-line presenter for the rest of the process.
void installBoxPresenter();
// From now on a '\' right after this directory in a box's text is shown as '/'.
void showPathsUnder(const std::string& hostDirectory);

} // namespace oxagent
