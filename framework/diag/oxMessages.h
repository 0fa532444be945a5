// oxMessages_c: the one message object of a module (or host). Every error box of the
// framework is composed here from the language modules' texts.
//
// Box texts are composed in one 512-byte buffer: the header, then the message. What does not
// fit is cut at the buffer's end, the terminating zero kept (a numbered text is cut, not
// replaced by "Unable to format Message"; that text stands for the other formatting failures).
#pragma once
#include "framework/diag/oxLanguageModule.h"
#include "framework/types/oxString.h"
#include <cstdarg>
#include <cstdint>

class oxMessages_c {
  public:
    // Loads "oxLng.dll" then "oxOemLng.dll" and the four texts of the primary module. The newest
    // live message object is the one the exceptions report through.
    oxMessages_c();
    virtual ~oxMessages_c();
    oxMessages_c(const oxMessages_c&) = delete;
    oxMessages_c& operator=(const oxMessages_c&) = delete;

    // The message object reports go to: the newest live one, else a fallback built on first
    // use. The fallback lives until releaseFallback() (a module calls it as it is unloaded,
    // a host never), so reports made while other static objects are destroyed still find it.
    // A report raised while the fallback itself is being built goes to a mute object that
    // shows nothing, rather than recursing.
    static oxMessages_c& instance();
    // Destroys the fallback, if one was built, with its language modules.
    static void releaseFallback() noexcept;

    // Header, then the message text formatted with the inserts (insert-style, %1, %2!lu!...).
    // Calls that pass inserts take the template below, which counts them and names their
    // kinds, so a text naming more inserts than were given, or reading one as another kind
    // (a number as a text), shows "Unable to format Message"; this form is reached without
    // inserts. An insert is a number, a pointer, a text or an oxString_c.
    void reportNumbered(const char* source, std::uint32_t line, std::uint32_t number, ...);
    template <typename First, typename... Rest>
    void reportNumbered(const char* source, std::uint32_t line, std::uint32_t number,
                        const First& first, const Rest&... rest) {
        static constexpr oxInsertKind kinds[] = {oxInsert::kindOf<First>(),
                                                 oxInsert::kindOf<Rest>()...};
        reportCounted(source, line, number, static_cast<std::uint32_t>(1 + sizeof...(Rest)), kinds,
                      oxInsert::pass(oxInsert::Held<First>(first)),
                      oxInsert::pass(oxInsert::Held<Rest>(rest))...);
    }
    void reportNumberedText(const char* source, std::uint32_t line, std::uint32_t number,
                            const oxString_c& insert);
    // reportNumberedText with message 0x1001.
    void reportText(const char* source, std::uint32_t line, const oxString_c& insert);
    // Header, then a printf-style format applied to the arguments.
    void reportFormatted(const char* source, std::uint32_t line, const char* format, ...);
    // Without header; the inserts are counted as for reportNumbered.
    void showNumbered(std::uint32_t number, ...);
    template <typename First, typename... Rest>
    void showNumbered(std::uint32_t number, const First& first, const Rest&... rest) {
        static constexpr oxInsertKind kinds[] = {oxInsert::kindOf<First>(),
                                                 oxInsert::kindOf<Rest>()...};
        showCounted(number, static_cast<std::uint32_t>(1 + sizeof...(Rest)), kinds,
                    oxInsert::pass(oxInsert::Held<First>(first)),
                    oxInsert::pass(oxInsert::Held<Rest>(rest))...);
    }
    void showFormatted(const char* format, ...);

    const oxString_c& errorTitle() const noexcept { return errorTitle_; }
    const oxString_c& warningTitle() const noexcept { return warningTitle_; }

  private:
    struct muteTag {};
    explicit oxMessages_c(muteTag) noexcept;

    void reportCounted(const char* source, std::uint32_t line, std::uint32_t number,
                       std::uint32_t count, const oxInsertKind* kinds, ...);
    void showCounted(std::uint32_t number, std::uint32_t count, const oxInsertKind* kinds, ...);
    std::uint32_t writeHeader(const char* source, std::uint32_t line);
    void writeNumbered(std::uint32_t offset, std::uint32_t number, std::uint32_t count,
                       const oxInsertKind* kinds, va_list* inserts);
    const oxString_c& findText(std::uint32_t number);
    void show();

    bool showSource_ = true;
    bool mute_ = false;
    oxString_c errorTitle_;
    oxString_c lineHeader_;
    oxString_c sourceHeader_;
    oxLanguageModule_c primary_;
    oxLanguageModule_c second_;
    oxString_c warningTitle_;
    oxMessages_c* previous_ = nullptr;
};
