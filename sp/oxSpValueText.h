// Conversions between the text form the database keeps and oxValue_c. Numbers are decimal,
// octet strings hexadecimal in the database's event records but plain text in MIF values,
// dates in the DMI form "yyyymmddHHMMSS.uuuuuu+ooo" (a date from that text keeps all of it; one
// the framework made holds milliseconds).
#pragma once
#include "framework/types/oxValue.h"
#include "framework/types/oxString.h"
#include "sp/oxMifModel.h"
#include <string>

// The value of an attribute of the type from its stored text (an enumeration's number for
// enumerated attributes; an octet string takes a byte per character when all are ISO 8859-1). Throws oxSpError_c(oxSpStatusBadArgument) for text that does not
// fit the type or lies outside its range: Counter and Gauge 0 to 2^32-1, Integer -2^31 to
// 2^31-1, Counter64 0 to 2^64-1, Integer64 -2^63 to 2^63-1.
oxValue_c oxSpValueFromText(oxMifType_e type, const std::string& text);
// The text of a value of any valid kind: numbers in decimal (kinds 6 and 7, Integer and
// Integer64, signed; the others unsigned), display strings as 8-bit text,
// octet strings in hexadecimal, dates in the DMI form.
std::string oxSpTextOfValue(const oxValue_c& value);
// An 8-bit copy of a string's text (16-bit strings are converted); no terminator.
std::string oxSpNarrow(const oxString_c& string);
