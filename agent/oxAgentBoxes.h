// Message boxes of the framework, as the host shows them: one line each on standard error,
// "oxagent: <title>: <text>", the text's line breaks folded into spaces.
#pragma once
#include <string>

namespace oxagent {

// Installs the one-line presenter for the rest of the process.
void installBoxPresenter();
// The line a box becomes (without the line break).
std::string boxLine(const char* text, const char* title);

} // namespace oxagent
