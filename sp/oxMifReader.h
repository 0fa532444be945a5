// oxMifReader_c: reads a component description (a MIF file) or a group or event definition
// file (.grp, .evt: the same language, one group) into the plain model of oxMifModel.h.
//
// Accepted: an optional Language line (else "en|US|iso8859-1"); Start Component with Name,
// Description, Pragma and the blocks Group, Enum (named enumerations), Table (rows of a group, by
// class) and Path (checked, then ignored: a quoted file name or direct-interface per operating
// system). Groups have Name, Class, ID, Description, Key and at least one attribute; attributes
// have Name, ID, Description, Type (Counter, Counter64, Gauge, Integer/Int, Integer64/Int64,
// Date, String(n)/DisplayString(n), OctetString(n), an inline Start Enum block or the name of a
// named enumeration), Access, Storage and Value. A value of "*" followed by a name, Unknown or
// Unsupported has no static value. Keywords ignore case. Literals apart by white space are one;
// numbers are decimal, 0 octal or 0x hexadecimal, optionally signed.
//
// A group in a MIF without an ID is a template (it needs a Key): each Table of its class makes a
// copy with the table's ID and rows. A row lists values by ascending attribute ID; an omitted
// one is the template's. In a definition file the group may go without an ID; the service
// provider then gives it one.
//
// Every fault throws oxMifError_c naming the file, the line and what was expected.
#pragma once
#include "sp/oxMifError.h"
#include "sp/oxMifModel.h"
#include <string>

class oxMifReader_c {
  public:
    // fileName is used in error texts only.
    static oxMifComponent parseComponent(const std::string& bytes, const std::string& fileName);
    static oxMifGroup parseGroup(const std::string& bytes, const std::string& fileName);

    // Reads a file of the host file system.
    static oxMifComponent readComponentFile(const std::string& hostPath);
    static oxMifGroup readGroupFile(const std::string& hostPath);

    // The whole file's bytes; throws oxMifError_c (line 0) when it cannot be read.
    static std::string readBytes(const std::string& hostPath);
};
