#include "sp/oxMifReader.h"
#include "sp/oxMifGrammar.h"
#include <fstream>
#include <iterator>

oxMifComponent oxMifReader_c::parseComponent(const std::string& bytes,
                                             const std::string& fileName) {
    return oxMifGrammar_c(bytes, fileName).component();
}

oxMifGroup oxMifReader_c::parseGroup(const std::string& bytes, const std::string& fileName) {
    return oxMifGrammar_c(bytes, fileName).definitionFile();
}

std::string oxMifReader_c::readBytes(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        throw oxMifError_c(hostPath, 0, "cannot open the file");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw oxMifError_c(hostPath, 0, "cannot read the file");
    return bytes;
}

oxMifComponent oxMifReader_c::readComponentFile(const std::string& hostPath) {
    return parseComponent(readBytes(hostPath), hostPath);
}

oxMifGroup oxMifReader_c::readGroupFile(const std::string& hostPath) {
    return parseGroup(readBytes(hostPath), hostPath);
}
