// A table component with three rows (key attribute 1 holding 1, 2, 3) serving attributes 1,
// 2, 3, 4 and 6. Its values are texts, "r<row>a<attribute>" until a set replaces them. Every
// slot records its call; attribute 4 answers 0x2008 in every slot, as a component's own
// status. getAttribute counts concurrent calls and can be held (see fxRequestRecord).
#include "tests/modules/fxRequestRecord.h"
#include <cstring>
#include <string>

FX_REQUEST_RECORD

namespace {

std::string texts[4][7];

class fxTable_c : public coxBase_c {
  public:
    fxTable_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2, 3, 4, 6}, "FX|Table|001",
                    "FX|TableEvent|001") {
        fxAddRows(rowKeys(), 3);
        for (int row = 1; row <= 3; ++row)
            for (int attribute = 1; attribute <= 6; ++attribute)
                texts[row][attribute] = "r" + std::to_string(row) + "a" + std::to_string(attribute);
    }
    bool getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override {
        fxInside inside(record, value.id);
        fxNote(record, 0, value, key, a, b);
        const std::uint32_t row = fxRowOf(key);
        if (value.id == 4 || row < 1 || row > 3 || value.id > 6)
            return answer(status);
        value.value.setString(oxString_c(texts[row][value.id].c_str()));
        return true;
    }
    bool reserveAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status) override {
        fxNote(record, 1, value, key, a, b);
        return answer(value, status);
    }
    bool releaseAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status) override {
        fxNote(record, 2, value, key, a, b);
        return answer(value, status);
    }
    bool setAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override {
        fxNote(record, 3, value, key, a, b);
        const oxString_c& text = value.value.string;
        record.textWide = text.isWide();
        record.textLength = text.length() < sizeof record.text ? text.length() : 0;
        if (text.length() != 0)
            std::memcpy(record.text, text.text(), record.textLength);
        const std::uint32_t row = fxRowOf(key);
        if (value.value.kind == 8 && text.length() != 0 && !text.isWide() && value.id != 4 &&
            row >= 1 && row <= 3 && value.id <= 6)
            texts[row][value.id].assign(text.text(), std::strlen(text.text()));
        return answer(value, status);
    }
    bool addRow(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                std::uint32_t* status) override {
        fxNote(record, 4, value, key, a, b);
        return answer(value, status);
    }
    bool deleteRow(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                   std::uint32_t* status) override {
        fxNote(record, 5, value, key, a, b);
        return answer(value, status);
    }

  private:
    static bool answer(std::uint32_t* status) {
        *status = 0x2008;
        return false;
    }
    static bool answer(const oxAttribValue_c& value, std::uint32_t* status) {
        return value.id == 4 ? answer(status) : true;
    }
};

} // namespace

FK_ENTRY_POINTS(fxTable_c)
FK_COMPONENT_VERSION_BLOCK("fixture table with three rows of texts")
