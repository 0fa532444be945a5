// Records every message box shown while it lives, instead of presenting it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct oxRecordedBox {
    std::string text;
    std::string title;
    std::uint32_t style;
};

class oxBoxRecorder {
  public:
    oxBoxRecorder();
    ~oxBoxRecorder();
    oxBoxRecorder(const oxBoxRecorder&) = delete;
    oxBoxRecorder& operator=(const oxBoxRecorder&) = delete;

    const std::vector<oxRecordedBox>& boxes() const;
    std::size_t count() const { return boxes().size(); }
    void clear();
};
