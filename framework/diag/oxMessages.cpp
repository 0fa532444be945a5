// The message object: header and message composition in one static buffer, boxes through
// the platform.
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxFormatMessage.h"
#include "framework/diag/oxStatus.h"
#include "platform/oxpFormatMessage.h"
#include "platform/oxpMessageBox.h"
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace {
constexpr std::uint32_t bufferSize = 512;
// Every box text is composed here.
char textBuffer[bufferSize];
// The newest live message object.
oxMessages_c* current = nullptr;

constexpr std::uint32_t boxStyle = oxp::mbOk | oxp::mbTopmost;

// The system's own formatting (FormatMessageA on Windows: CR LF for %n and for line breaks)
// replaces the portable text once the portable formatter has accepted the text and its inserts:
// it refuses forms that would read an argument of another kind, which the system call cannot
// tell. Where the system has no formatter (POSIX), fails, or its text does not fit, the
// portable text stays.
template <class Format> void formatBySystem(char* buffer, std::uint32_t size, Format format) {
    char formatted[bufferSize];
    if (size <= bufferSize && format(formatted, size) != 0)
        std::memcpy(buffer, formatted, std::strlen(formatted) + 1);
}

void keepOrDefault(oxString_c& text, const oxString_c& loaded, const char* fallback) {
    text.assign(loaded.length() != 0 ? loaded : oxString_c(fallback));
}
} // namespace

oxMessages_c::oxMessages_c() : primary_("oxLng.dll"), second_("oxOemLng.dll") {
    showSource_ = true;
    std::memset(textBuffer, 0, sizeof textBuffer);
    keepOrDefault(errorTitle_, primary_.loadText(oxMsgErrorTitle), "OX Error");
    keepOrDefault(lineHeader_, primary_.loadText(oxMsgLineHeader), "%1!lu!::\n");
    keepOrDefault(sourceHeader_, primary_.loadText(oxMsgSourceHeader), "%1!s!::%2!lu!\n");
    keepOrDefault(warningTitle_, primary_.loadText(oxMsgWarningTitle), "OX Warning");
    previous_ = current;
    current = this;
}

oxMessages_c::~oxMessages_c() {
    if (current == this) {
        current = previous_;
        return;
    }
    for (oxMessages_c* later = current; later; later = later->previous_) {
        if (later->previous_ == this) {
            later->previous_ = previous_;
            return;
        }
    }
}

oxMessages_c::oxMessages_c(muteTag) noexcept : mute_(true) {}

namespace {
alignas(oxMessages_c) unsigned char fallbackStorage[sizeof(oxMessages_c)];
oxMessages_c* fallback = nullptr;
bool buildingFallback = false;
std::recursive_mutex& fallbackLock() {
    static std::recursive_mutex lock; // constructed without allocating, never destroyed early
    return lock;
}
} // namespace

oxMessages_c& oxMessages_c::instance() {
    if (current)
        return *current;
    const std::lock_guard<std::recursive_mutex> hold(fallbackLock());
    if (current)
        return *current;
    if (!fallback) {
        if (buildingFallback) {
            static oxMessages_c mute{muteTag{}};
            return mute;
        }
        buildingFallback = true;
        try {
            fallback = new (fallbackStorage) oxMessages_c;
        } catch (...) {
            buildingFallback = false;
            throw;
        }
        buildingFallback = false;
    }
    return *fallback;
}

void oxMessages_c::releaseFallback() noexcept {
    const std::lock_guard<std::recursive_mutex> hold(fallbackLock());
    if (fallback)
        fallback->~oxMessages_c();
    fallback = nullptr;
}

void oxMessages_c::reportNumbered(const char* source, std::uint32_t line, std::uint32_t number,
                                  ...) {
    if (mute_)
        return;
    va_list none;
    va_start(none, number);
    writeNumbered(writeHeader(source, line), number, 0, nullptr, &none);
    va_end(none);
    show();
}

void oxMessages_c::reportCounted(const char* source, std::uint32_t line, std::uint32_t number,
                                 std::uint32_t count, const oxInsertKind* kinds, ...) {
    if (mute_)
        return;
    va_list inserts;
    va_start(inserts, kinds);
    writeNumbered(writeHeader(source, line), number, count, kinds, &inserts);
    va_end(inserts);
    show();
}

void oxMessages_c::reportNumberedText(const char* source, std::uint32_t line,
                                      std::uint32_t number, const oxString_c& insert) {
    reportNumbered(source, line, number, insert);
}

void oxMessages_c::reportText(const char* source, std::uint32_t line, const oxString_c& insert) {
    reportNumberedText(source, line, oxMsgModuleFailed, insert);
}

void oxMessages_c::reportFormatted(const char* source, std::uint32_t line, const char* format,
                                   ...) {
    if (mute_)
        return;
    const std::uint32_t offset = writeHeader(source, line);
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(textBuffer + offset, bufferSize - offset, format, arguments);
        va_end(arguments);
    }
    show();
}

void oxMessages_c::showNumbered(std::uint32_t number, ...) {
    if (mute_)
        return;
    va_list none;
    va_start(none, number);
    textBuffer[0] = 0;
    writeNumbered(0, number, 0, nullptr, &none);
    va_end(none);
    show();
}

void oxMessages_c::showCounted(std::uint32_t number, std::uint32_t count, const oxInsertKind* kinds,
                               ...) {
    if (mute_)
        return;
    va_list inserts;
    va_start(inserts, kinds);
    textBuffer[0] = 0;
    writeNumbered(0, number, count, kinds, &inserts);
    va_end(inserts);
    show();
}

void oxMessages_c::showFormatted(const char* format, ...) {
    if (mute_)
        return;
    textBuffer[0] = 0;
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(textBuffer, bufferSize, format, arguments);
        va_end(arguments);
    }
    show();
}

// Clears the buffer and writes the header; returns its length. A header that does not fit is
// cut; one that cannot be formatted is left out.
std::uint32_t oxMessages_c::writeHeader(const char* source, std::uint32_t line) {
    textBuffer[0] = 0;
    const std::uint32_t flags = oxFormatFlag::fromString | oxFormatFlag::argumentArray;
    if (showSource_) {
        const std::uintptr_t arguments[] = {reinterpret_cast<std::uintptr_t>(source), line};
        constexpr oxInsertKind kinds[] = {oxInsertKind::text, oxInsertKind::number32};
        if (oxFormatMessageArray(flags, sourceHeader_.text(), textBuffer, bufferSize, 2,
                                 arguments, nullptr, kinds) != 0)
            formatBySystem(textBuffer, bufferSize, [&](char* out, std::uint32_t room) {
                return oxp::formatMessageArray(0, sourceHeader_.text(), out, room, arguments);
            });
    } else {
        const std::uintptr_t arguments[] = {line};
        constexpr oxInsertKind kinds[] = {oxInsertKind::number32};
        if (oxFormatMessageArray(flags, lineHeader_.text(), textBuffer, bufferSize, 1, arguments,
                                 nullptr, kinds) != 0)
            formatBySystem(textBuffer, bufferSize, [&](char* out, std::uint32_t room) {
                return oxp::formatMessageArray(0, lineHeader_.text(), out, room, arguments);
            });
    }
    return static_cast<std::uint32_t>(std::strlen(textBuffer));
}

// Writes the message text after offset characters, or replaces the whole buffer with the
// fallback texts. A result of 0 other than a cut counts as a failure, an empty result included:
// an insert beyond those given, forms that disagree with each other or with the inserts' kinds.
void oxMessages_c::writeNumbered(std::uint32_t offset, std::uint32_t number, std::uint32_t count,
                                 const oxInsertKind* kinds, va_list* inserts) {
    const oxString_c& text = findText(number);
    if (text.length() == 0) {
        std::snprintf(textBuffer, bufferSize, "Unable to resolve resource id: %lu",
                      static_cast<unsigned long>(number));
        return;
    }
    oxFormatError error = oxFormatError::none;
    va_list again;
    va_copy(again, *inserts);
    const std::uint32_t written =
        oxFormatMessageV(oxFormatFlag::fromString, text.text(), textBuffer + offset,
                         bufferSize - offset, count, inserts, &error, kinds);
    if (written == 0 && error != oxFormatError::insufficientBuffer)
        std::snprintf(textBuffer, bufferSize, "%s", "Unable to format Message");
    else if (written != 0)
        formatBySystem(textBuffer + offset, bufferSize - offset, [&](char* out, std::uint32_t room) {
            return oxp::formatMessage(0, text.text(), out, room, &again);
        });
    va_end(again);
}

// The primary module's text, else the second module's.
const oxString_c& oxMessages_c::findText(std::uint32_t number) {
    const oxString_c& primary = primary_.loadText(number);
    if (primary.length() != 0)
        return primary;
    return second_.loadText(number);
}

void oxMessages_c::show() { oxp::messageBox(textBuffer, errorTitle_.text(), boxStyle); }
