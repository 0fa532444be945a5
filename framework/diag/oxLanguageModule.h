// oxLanguageModule_c: one message-text module, searched by its plain name, then under "..\".
#pragma once
#include "framework/types/oxString.h"
#include <cstdint>

class oxLanguageModule_c {
  public:
    explicit oxLanguageModule_c(const char* fileName);
    ~oxLanguageModule_c();
    oxLanguageModule_c(const oxLanguageModule_c&) = delete;
    oxLanguageModule_c& operator=(const oxLanguageModule_c&) = delete;

    // The string resource of that number, or an empty string.
    const oxString_c& loadText(std::uint32_t number);
    // The resource formatted with the inserts (insert-style, as FormatMessage reads them).
    const oxString_c& formatText(std::uint32_t number, ...);

    bool isLoaded() const noexcept { return module_ != 0; }

  private:
    std::uint32_t module_ = 0;
    oxString_c lastText_;
};
