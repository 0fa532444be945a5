// Reading fsComp.conf. A line the component cannot use is named on standard error (the host's
// log) and leaves the default, so a typing error never stops the component.
#include "fsSettings.h"
#include <fstream>
#include <iostream>
#include <sstream>

namespace {
void ignoreLine(std::size_t number, const char* why) {
    std::cerr << fsSettings::fileName << ':' << number << ": ignored (" << why << ")\n";
}
} // namespace

fsSettings fsSettings::read(const std::string& path) {
    fsSettings settings;
    std::ifstream file(path);
    std::size_t number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            if (line.find_first_not_of(" \t\r") != std::string::npos)
                ignoreLine(number, "no '='");
            continue;
        }
        std::string name, rest;
        std::istringstream(line.substr(0, equals)) >> name;
        long long value = -1;
        std::istringstream in(line.substr(equals + 1));
        if (name != "threshold" && name != "period")
            ignoreLine(number, "unknown name");
        else if (!(in >> value) || (in >> rest))
            ignoreLine(number, "not a number");
        else if (name == "threshold" && value >= 0 && value <= 100)
            settings.threshold = static_cast<std::uint32_t>(value);
        else if (name == "period" && value >= 1 && value <= 86400)
            settings.period = static_cast<std::uint32_t>(value);
        else
            ignoreLine(number, "out of range");
    }
    return settings;
}
