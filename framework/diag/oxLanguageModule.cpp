// Language modules: loading with the "..\" fallback, text lookup and formatting.
#include "framework/diag/oxLanguageModule.h"
#include "framework/diag/oxFormatMessage.h"
#include "framework/types/oxText.h"
#include "platform/oxpMessageBox.h"
#include "platform/oxpModule.h"
#include "platform/oxpResource.h"
#include <cstring>

namespace {
constexpr std::uint32_t bufferSize = 512;
// Shared by every language module; holds the latest loaded or formatted text.
char languageBuffer[bufferSize];
} // namespace

// An empty string shows its fixed text, as its text() reads.
oxInsert::Text::Text(const oxString_c& string) noexcept : text_() {
    const char* bytes = string.text();
    const std::size_t held = string.length() != 0 ? string.length() : std::strlen(bytes);
    std::memcpy(text_, bytes, held < textSize ? held : textSize - 1);
}

oxLanguageModule_c::oxLanguageModule_c(const char* fileName) {
    std::memset(languageBuffer, 0, sizeof languageBuffer);
    if (fileName)
        module_ = oxp::loadModule(fileName);
    if (module_ == 0) {
        oxText_c parent("..\\");
        parent.append(fileName);
        module_ = oxp::loadModule(parent.text());
    }
    if (module_ == 0) {
        oxText_c warning("Unable to load language file : ");
        warning.append(fileName);
        oxp::messageBox(warning.text(), "OX Warning", oxp::mbTopmost);
    }
}

oxLanguageModule_c::~oxLanguageModule_c() {
    if (module_ != 0)
        oxp::freeModule(module_);
}

const oxString_c& oxLanguageModule_c::loadText(std::uint32_t number) {
    languageBuffer[0] = 0;
    if (module_ != 0)
        oxp::loadString(module_, number, languageBuffer, static_cast<int>(bufferSize));
    lastText_.assign(languageBuffer);
    return lastText_;
}

const oxString_c& oxLanguageModule_c::formatText(std::uint32_t number, ...) {
    va_list inserts;
    va_start(inserts, number);
    formatList(number, 0, nullptr, &inserts);
    va_end(inserts);
    return lastText_;
}

const oxString_c& oxLanguageModule_c::formatCounted(std::uint32_t number, std::uint32_t count,
                                                    const oxInsertKind* kinds, ...) {
    va_list inserts;
    va_start(inserts, kinds);
    formatList(number, count, kinds, &inserts);
    va_end(inserts);
    return lastText_;
}

// A text that does not fit is kept cut at the buffer's end; any other failure (an insert
// beyond those given, a malformed insert, forms that disagree with each other or with the
// arguments) leaves the last text empty.
void oxLanguageModule_c::formatList(std::uint32_t number, std::uint32_t count,
                                    const oxInsertKind* kinds, va_list* inserts) {
    if (loadText(number).length() == 0)
        return;
    // The template is read from the last text while the result goes to the buffer.
    oxFormatError error = oxFormatError::none;
    oxFormatMessageV(oxFormatFlag::fromString, lastText_.text(), languageBuffer, bufferSize, count,
                     inserts, &error, kinds);
    if (error != oxFormatError::none && error != oxFormatError::insufficientBuffer)
        languageBuffer[0] = 0;
    lastText_.assign(languageBuffer);
}
