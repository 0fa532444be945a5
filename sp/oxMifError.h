// oxMifError_c: a MIF file that cannot be read or does not follow the MIF language. It names
// the file, the line (0 when the file as a whole is at fault) and what was expected.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

class oxMifError_c : public std::runtime_error {
  public:
    oxMifError_c(const std::string& file, std::uint32_t line, const std::string& problem)
        : std::runtime_error(format(file, line, problem)), file_(file), line_(line),
          problem_(problem) {}

    const std::string& file() const noexcept { return file_; }
    std::uint32_t line() const noexcept { return line_; }
    const std::string& problem() const noexcept { return problem_; }

  private:
    static std::string format(const std::string& file, std::uint32_t line,
                              const std::string& problem) {
        return line ? file + ":" + std::to_string(line) + ": " + problem
                    : file + ": " + problem;
    }
    std::string file_;
    std::uint32_t line_;
    std::string problem_;
};
