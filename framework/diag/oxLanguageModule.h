// oxLanguageModule_c: one message-text module, searched by its plain name, then under "..\".
#pragma once
#include "framework/diag/oxFormatMessage.h"
#include "framework/types/oxString.h"
#include <cstdarg>
#include <cstdint>
#include <type_traits>

// Inserts travel through a C variable argument list together with their number and kinds:
// numbers and pointers pass as they are, a text as its pointer, and an oxString_c as a
// terminated copy of its bytes (at most what a message buffer holds), since a string's length
// need not count a terminator. The kinds let the formatter read each argument as it was passed
// and refuse a text whose forms read something else.
namespace oxInsert {
constexpr std::uint32_t textSize = 512;

class Text {
  public:
    explicit Text(const oxString_c& string) noexcept;
    const char* text() const noexcept { return text_; }

  private:
    char text_[textSize];
};

template <typename T> constexpr oxInsertKind kindOf() {
    using Passed = std::decay_t<T>;
    static_assert(std::is_integral_v<Passed> || std::is_pointer_v<Passed> ||
                      std::is_null_pointer_v<Passed> || std::is_same_v<Passed, oxString_c>,
                  "an insert is a number, a pointer, a text or an oxString_c");
    if constexpr (std::is_same_v<Passed, oxString_c> || std::is_same_v<Passed, const char*> ||
                  std::is_same_v<Passed, char*>)
        return oxInsertKind::text;
    else if constexpr (std::is_pointer_v<Passed> || std::is_null_pointer_v<Passed>)
        return oxInsertKind::pointer;
    else
        return sizeof(Passed) > sizeof(std::uint32_t) ? oxInsertKind::number64
                                                      : oxInsertKind::number32;
}
// What pass() takes for a value of type T: a Text for a string, else the value itself.
template <typename T>
using Held = std::conditional_t<std::is_same_v<T, oxString_c>, Text, const T&>;

template <typename T> constexpr auto pass(const T& value) {
    if constexpr (std::is_null_pointer_v<T>)
        return static_cast<const void*>(nullptr);
    else
        return value;
}
inline const char* pass(const Text& text) { return text.text(); }
} // namespace oxInsert

class oxLanguageModule_c {
  public:
    // Loads the module: the plain name, then "..\" and the name; when both fail, one warning
    // box and a null handle.
    explicit oxLanguageModule_c(const char* fileName);
    // No module: every text is empty. Allocates nothing.
    oxLanguageModule_c() noexcept = default;
    ~oxLanguageModule_c();
    oxLanguageModule_c(const oxLanguageModule_c&) = delete;
    oxLanguageModule_c& operator=(const oxLanguageModule_c&) = delete;

    // The string resource of that number, or an empty string.
    const oxString_c& loadText(std::uint32_t number);
    // The resource formatted with the inserts (insert-style, as FormatMessage reads them).
    // Calls that pass inserts take the overload below, which counts them; this one is reached
    // without inserts, so a text naming any fails. A failure gives an empty text; a result
    // longer than the 512-byte buffer is cut at its end.
    const oxString_c& formatText(std::uint32_t number, ...);
    template <typename First, typename... Rest>
    const oxString_c& formatText(std::uint32_t number, const First& first, const Rest&... rest) {
        static constexpr oxInsertKind kinds[] = {oxInsert::kindOf<First>(),
                                                 oxInsert::kindOf<Rest>()...};
        return formatCounted(number, static_cast<std::uint32_t>(1 + sizeof...(Rest)), kinds,
                             oxInsert::pass(oxInsert::Held<First>(first)),
                             oxInsert::pass(oxInsert::Held<Rest>(rest))...);
    }

    bool isLoaded() const noexcept { return module_ != 0; }

  private:
    const oxString_c& formatCounted(std::uint32_t number, std::uint32_t count,
                                    const oxInsertKind* kinds, ...);
    void formatList(std::uint32_t number, std::uint32_t count, const oxInsertKind* kinds,
                    va_list* inserts);

    std::uint32_t module_ = 0;
    oxString_c lastText_;
};
