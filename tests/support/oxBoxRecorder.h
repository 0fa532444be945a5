// Records every message box shown while it lives, instead of presenting it.
#pragma once
#include "platform/oxpMessageBox.h"
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// The line break that ends a box's header: Windows' own formatting writes CR LF, the portable
// formatter LF.
#ifdef _WIN32
inline const std::string oxBoxLineBreak = "\r\n";
#else
inline const std::string oxBoxLineBreak = "\n";
#endif

struct oxRecordedBox {
    std::string text;
    std::string title;
    std::uint32_t style;
};

class oxBoxRecorder {
  public:
    oxBoxRecorder() {
        clear();
        previous_ = oxp::setMessageBoxPresenter(&record);
    }
    ~oxBoxRecorder() { oxp::setMessageBoxPresenter(previous_); }
    oxBoxRecorder(const oxBoxRecorder&) = delete;
    oxBoxRecorder& operator=(const oxBoxRecorder&) = delete;

    const std::vector<oxRecordedBox>& boxes() const { return recorded_; }
    std::size_t count() const { return recorded_.size(); }
    void clear() {
        std::lock_guard<std::mutex> hold(lock_);
        recorded_.clear();
    }

  private:
    static int record(const char* text, const char* title, std::uint32_t style) {
        std::lock_guard<std::mutex> hold(lock_);
        recorded_.push_back({text ? text : "", title ? title : "", style});
        return oxp::idOk;
    }
    static inline std::mutex lock_;
    static inline std::vector<oxRecordedBox> recorded_;
    oxp::MessageBoxPresenter previous_ = nullptr;
};
