#include "tests/support/oxBoxRecorder.h"
#include "platform/oxpMessageBox.h"
#include <mutex>

namespace {
std::mutex boxesLock;
std::vector<oxRecordedBox> recorded;
oxp::MessageBoxPresenter previous = nullptr;

int record(const char* text, const char* title, std::uint32_t style) {
    std::lock_guard<std::mutex> hold(boxesLock);
    recorded.push_back({text ? text : "", title ? title : "", style});
    return oxp::idOk;
}
} // namespace

oxBoxRecorder::oxBoxRecorder() {
    clear();
    previous = oxp::setMessageBoxPresenter(&record);
}

oxBoxRecorder::~oxBoxRecorder() { oxp::setMessageBoxPresenter(previous); }

const std::vector<oxRecordedBox>& oxBoxRecorder::boxes() const { return recorded; }

void oxBoxRecorder::clear() {
    std::lock_guard<std::mutex> hold(boxesLock);
    recorded.clear();
}
