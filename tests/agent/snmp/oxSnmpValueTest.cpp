// The wire forms of DMI values under dmtfDynOids, both ways: each value kind as SNMP carries it,
// and what a SET of each MIF type accepts, with the refusals a console sees.
#include "agent/snmp/oxSnmpValue.h"
#include "sp/oxSpValueText.h"
#include <gtest/gtest.h>

namespace {

oxSnmpValue typed(oxSnmpType_e type, std::uint64_t number) {
    oxSnmpValue v;
    v.type = type;
    v.number = number;
    return v;
}

TEST(oxSnmpValue, EveryKindTravelsAsItsSnmpTypeAndASetTakesOnlyThatType) {
    const struct { oxMifType_e type; const char* text; oxSnmpValue wire; } kinds[] = {
        {oxMifType_e::counter, "4000000000", typed(oxSnmpType_e::counter32, 4000000000u)},
        {oxMifType_e::counter64, "18446744073709551615", typed(oxSnmpType_e::counter64, ~0ull)},
        {oxMifType_e::gauge, "90", typed(oxSnmpType_e::gauge32, 90)},
        {oxMifType_e::integer, "-2", oxSnmpInteger(-2)},
        {oxMifType_e::integer64, "-2", oxSnmpOctets("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFE")},
        {oxMifType_e::integer64, "258", oxSnmpOctets(std::string("\0\0\0\0\0\0\x01\x02", 8))},
        {oxMifType_e::displayString, "/home", oxSnmpOctets("/home")},
        {oxMifType_e::octetString, "A\xC3\xBF", oxSnmpOctets("A\xFF")}, // one octet per ISO 8859-1 character
        {oxMifType_e::date, "20261206131500.000000+060", oxSnmpOctets("20261206131500.000000+060")},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.text);
        const oxSnmpValue wire = oxSnmpValueOf(oxSpValueFromText(k.type, k.text));
        EXPECT_EQ(std::tuple(wire.type, wire.number, wire.octets),
                  std::tuple(k.wire.type, k.wire.number, k.wire.octets));
        // A SET of the same wire value gives back text the provider reads as the same value.
        const oxSnmpSetText back = oxSnmpTextForSet(k.type, wire);
        ASSERT_EQ(back.error, "");
        EXPECT_EQ(oxSpTextOfValue(oxSpValueFromText(k.type, back.text)),
                  oxSpTextOfValue(oxSpValueFromText(k.type, k.text)));
        // Any other SNMP type is refused.
        const oxSnmpValue other = wire.type == oxSnmpType_e::octets ? oxSnmpInteger(1) : oxSnmpOctets("1");
        EXPECT_EQ(oxSnmpTextForSet(k.type, other).error, "wrongType");
    }
    EXPECT_EQ(oxSnmpTextForSet(oxMifType_e::gauge, oxSnmpUnsigned(7)).text, "7"); // Unsigned32 is Gauge32
    EXPECT_EQ(oxSnmpTextForSet(oxMifType_e::integer64, oxSnmpOctets("1234567")).error, "wrongLength");
    EXPECT_EQ(oxSnmpTextForSet(oxMifType_e::date, oxSnmpOctets("20261206")).error, "wrongLength");
    // Octets a SET carries arrive as they are, also those that read as UTF-8.
    const oxValue_c octets = oxSpValueFromText(
        oxMifType_e::octetString, oxSnmpTextForSet(oxMifType_e::octetString, oxSnmpOctets("\xC3\xA9")).text);
    EXPECT_EQ(std::string(octets.octetString.bytes(), octets.octetString.length()), "\xC3\xA9");
    EXPECT_EQ(oxSnmpDateOfTime("2026-12-06 13:15:09"), "20261206131509.000000+000");
}

} // namespace
