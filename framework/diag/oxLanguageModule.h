// oxLanguageModule_c: one message-text module, searched by its plain name, then under "..\".
#pragma once
#include "framework/types/oxString.h"
#include <cstdarg>
#include <cstdint>
#include <type_traits>

// Inserts travel through a C variable argument list together with their number: numbers and
// pointers pass as they are, an oxString_c as its text.
namespace oxInsert {
template <typename T> constexpr auto pass(const T& value) {
    static_assert(std::is_arithmetic_v<T> || std::is_pointer_v<T> || std::is_array_v<T> ||
                      std::is_null_pointer_v<T>,
                  "an insert is a number, a pointer, a text or an oxString_c");
    if constexpr (std::is_null_pointer_v<T>)
        return static_cast<const void*>(nullptr);
    else
        return value;
}
inline const char* pass(const oxString_c& text) { return text.text(); }
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
        return formatCounted(number, static_cast<std::uint32_t>(1 + sizeof...(Rest)),
                             oxInsert::pass(first), oxInsert::pass(rest)...);
    }

    bool isLoaded() const noexcept { return module_ != 0; }

  private:
    const oxString_c& formatCounted(std::uint32_t number, std::uint32_t count, ...);
    void formatList(std::uint32_t number, std::uint32_t count, va_list* inserts);

    std::uint32_t module_ = 0;
    oxString_c lastText_;
};
