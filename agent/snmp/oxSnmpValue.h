// oxSnmpValue: a value as SNMP carries it, and the conversions between DMI values and it.
// Integer, Counter, Counter64 and Gauge travel as their SNMP types; strings as OCTET STRING;
// Integer64 as 8 octets, most significant first, and Date as its 25-character DMI text.
#pragma once
#include "framework/types/oxValue.h"
#include "sp/oxMifModel.h"
#include <cstdint>
#include <string>
#include <vector>

enum class oxSnmpType_e : std::uint8_t { integer, octets, objectId, unsigned32, counter32,
                                         gauge32, counter64 };

struct oxSnmpValue {
    oxSnmpType_e type = oxSnmpType_e::integer;
    std::uint64_t number = 0;           // integer (two's complement), unsigned and counter types
    std::string octets;                 // octets
    std::vector<std::uint32_t> objectId; // objectId
};

oxSnmpValue oxSnmpInteger(std::int64_t number);
oxSnmpValue oxSnmpUnsigned(std::uint32_t number);
oxSnmpValue oxSnmpOctets(std::string octets);

// The SNMP form of a DMI value of any valid kind.
oxSnmpValue oxSnmpValueOf(const oxValue_c& value);

// The text the provider reads a value of the attribute's type from (oxSpValueFromText), out of
// what a SET carries; empty error when it fits. Otherwise the reason: "wrongType" for another
// SNMP type, "wrongLength" for an Integer64 or Date of the wrong size.
struct oxSnmpSetText {
    std::string text;
    std::string error;
};
oxSnmpSetText oxSnmpTextForSet(oxMifType_e type, const oxSnmpValue& value);

// The DMI date of a provider time "YYYY-MM-DD HH:MM:SS" (UTC): "yyyymmddHHMMSS.000000+000".
std::string oxSnmpDateOfTime(const std::string& time);
