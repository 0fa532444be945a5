// A component module for the host's tests: a table whose rows only the component knows (keys
// 1-3 of attribute 1) and whose attribute 2 is a text each row keeps. Attribute 3 answers the
// slots called for attribute 2 so far ("reserve set release ..."), so a test sees the order of
// a set's steps. Reserve refuses the text "no"; set refuses "late", which its reserve accepted.
#include "framework/diag/oxStatus.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxIdList.h"
#include "tests/modules/fkComponentModule.h"
#include <string>

namespace {

constexpr std::uint32_t refused = 0xF00A;

class faStore_c : public coxBase_c {
  public:
    faStore_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2, 3}, "FA|Store|001", "") {
        for (std::uint32_t row = 1; row <= 3; ++row) {
            oxKey_c key(oxIdList_c{1});
            key.at(0)->value.number6 = row;
            rowKeys().add(key);
        }
    }
    bool getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        const std::uint32_t row = key.at(0)->value.number6; // a key of rowKeys(): checked
        if (value.id == 1) {
            value.value.kind = 6;
            value.value.number6 = row;
        } else {
            value.value.setString(oxString_c(value.id == 2 ? texts_[row - 1].c_str() : calls_.c_str()));
        }
        *status = 0;
        return true;
    }
    bool reserveAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t, std::uint32_t,
                          std::uint32_t* status) override {
        return step("reserve", value, "no", status);
    }
    bool setAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        if (!step("set", value, "late", status))
            return false;
        texts_[key.at(0)->value.number6 - 1] = textOf(value);
        return true;
    }
    bool releaseAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t, std::uint32_t,
                          std::uint32_t* status) override {
        return step("release", value, nullptr, status);
    }

  private:
    // Reserve sees the provider's text as it came, 16-bit when the provider's texts are.
    static std::string textOf(const oxAttribValue_c& value) {
        oxString_c text = value.value.string;
        if (text.isWide())
            text.makeNarrow();
        return text.length() ? std::string(text.text()) : std::string(); // the length counts the NUL
    }
    bool step(const char* name, const oxAttribValue_c& value, const char* refusedText,
              std::uint32_t* status) {
        if (value.id != 2) {
            *status = oxStatusSetNotSupported;
            return false;
        }
        calls_ += calls_.empty() ? name : std::string(" ") + name;
        *status = refusedText && textOf(value) == refusedText ? refused : 0;
        return *status == 0;
    }

    std::string texts_[3] = {"one", "two", "three"};
    std::string calls_;
};

} // namespace

FK_ENTRY_POINTS(faStore_c)
FK_COMPONENT_VERSION_BLOCK("fixture table that keeps its texts and the steps of each set")
