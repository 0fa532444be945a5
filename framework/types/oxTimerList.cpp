#include "framework/types/oxTimerList.h"

namespace {
// Stops the list for the span of a change; restart() puts the flag back once it completed.
class oxPauseList {
  public:
    explicit oxPauseList(oxTimerList_c& list) noexcept : list_(list), was_(list.isRunning()) {
        list_.stop();
    }
    void restart() noexcept {
        if (was_)
            list_.start();
    }

  private:
    oxTimerList_c& list_;
    bool was_;
};
} // namespace

oxTimer_c* oxTimerList_c::find(std::uint32_t id) const {
    return findWhere([id](const oxTimer_c& t) { return t.id == id; }, 199);
}

std::uint32_t oxTimerList_c::indexOf(std::uint32_t id) const {
    return indexWhere([id](const oxTimer_c& t) { return t.id == id; }, 330);
}

bool oxTimerList_c::contains(std::uint32_t id) const {
    return firstIndex([id](const oxTimer_c& t) { return t.id == id; }) != npos;
}

void oxTimerList_c::add(const oxTimer_c& timer) {
    if (contains(timer.id))
        return;
    oxPauseList pause(*this);
    oxPtrList_c::add(timer);
    pause.restart();
}

void oxTimerList_c::remove(const oxTimer_c& timer) {
    oxPauseList pause(*this);
    oxPtrList_c::remove(timer);
    pause.restart();
}

void oxTimerList_c::assign(const oxTimerList_c& other) {
    oxPauseList pause(*this);
    oxPtrList_c::assign(other);
    pause.restart();
}

void oxTimerList_c::reload() noexcept {
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i])
            items_[i]->reload();
}

void oxTimerList_c::tick() {
    if (!running_)
        return;
    // Count and array are read afresh on each step: a callback may change the list.
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i])
            items_[i]->tick();
}
