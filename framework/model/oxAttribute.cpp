#include "framework/model/oxAttribute.h"

oxAttribute_c::oxAttribute_c(std::uint32_t id, const oxString_c& firstText,
                             const oxString_c& secondText, const oxString_c& thirdText,
                             std::uint32_t firstNumber, const oxEnumList_c& enumeration,
                             std::uint32_t secondNumber, std::uint32_t thirdNumber,
                             std::uint32_t fourthNumber)
    : id(id), firstText(firstText), secondText(secondText), thirdText(thirdText),
      firstNumber(firstNumber), enumeration(enumeration), secondNumber(secondNumber),
      thirdNumber(thirdNumber), fourthNumber(fourthNumber) {}

bool oxAttribute_c::operator==(const oxAttribute_c& other) const {
    return id == other.id && firstText == other.firstText && secondText == other.secondText &&
           thirdText == other.thirdText && firstNumber == other.firstNumber &&
           enumeration == other.enumeration && secondNumber == other.secondNumber &&
           thirdNumber == other.thirdNumber && fourthNumber == other.fourthNumber;
}

template class oxPtrList_c<oxAttribute_c, oxAttributeListTraits>;
