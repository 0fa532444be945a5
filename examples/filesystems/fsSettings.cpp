// Reading fsComp.conf.
#include "fsSettings.h"
#include <fstream>
#include <sstream>

fsSettings fsSettings::read(const std::string& path) {
    fsSettings settings;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        line = line.substr(0, line.find('#'));
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string name;
        std::istringstream(line.substr(0, equals)) >> name;
        long long value = -1;
        std::istringstream in(line.substr(equals + 1));
        if (!(in >> value) || value < 0)
            continue;
        if (name == "threshold" && value <= 100)
            settings.threshold = static_cast<std::uint32_t>(value);
        else if (name == "period" && value >= 1 && value <= 86400)
            settings.period = static_cast<std::uint32_t>(value);
    }
    return settings;
}
