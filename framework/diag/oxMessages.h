// oxMessages_c: the one message object of a module (or host). Every error box of the
// framework is composed here from the language modules' texts.
#pragma once
#include "framework/diag/oxLanguageModule.h"
#include "framework/types/oxString.h"
#include <cstdint>

class oxMessages_c {
  public:
    // Loads "oxLng.dll" then "oxOemLng.dll" and the four texts of the primary module. The newest
    // live message object is the one the exceptions report through.
    oxMessages_c();
    virtual ~oxMessages_c();
    oxMessages_c(const oxMessages_c&) = delete;
    oxMessages_c& operator=(const oxMessages_c&) = delete;

    // The message object reports go to: the newest live one, else one built on first use.
    static oxMessages_c& instance();

    // Header, then the message text formatted with the inserts (insert-style %1, %2!lu!...).
    void reportNumbered(const char* source, std::uint32_t line, std::uint32_t number, ...);
    void reportNumberedText(const char* source, std::uint32_t line, std::uint32_t number,
                            const oxString_c& insert);
    // reportNumberedText with message 0x1001.
    void reportText(const char* source, std::uint32_t line, const oxString_c& insert);
    // Header, then a printf-style format applied to the arguments.
    void reportFormatted(const char* source, std::uint32_t line, const char* format, ...);
    // Without header.
    void showNumbered(std::uint32_t number, ...);
    void showFormatted(const char* format, ...);

    const oxString_c& errorTitle() const noexcept { return errorTitle_; }
    const oxString_c& warningTitle() const noexcept { return warningTitle_; }

  private:
    bool showSource_ = true;
    oxString_c errorTitle_;
    oxString_c lineHeader_;
    oxString_c sourceHeader_;
    oxLanguageModule_c primary_;
    oxLanguageModule_c second_;
    oxString_c warningTitle_;
    oxMessages_c* previous_ = nullptr;
};
