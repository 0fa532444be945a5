// Timers over real tick counts and the timer list's own rules (matching by ID, the running
// flag); the list operations it shares with the other lists are in oxListTest.cpp.
#include "framework/types/oxTimerList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <functional>
#include <optional>
#include <string>

namespace {

std::string fired; // callback arguments in firing order, one digit each
void record(std::uint32_t argument) {
    fired += std::to_string(argument);
}
template <class T> void ticks(T& timer, int times) {
    for (int i = 0; i < times; ++i)
        timer.tick();
}
// A timer of the given period in seconds, its ID as callback argument.
oxTimer_c timer(std::uint32_t id, std::int64_t seconds = 1, bool run = true, bool once = false) {
    oxTimer_c t(id, seconds, oxTimer_c::seconds, &record, id);
    run ? t.start() : t.stop();
    t.oneShot = once;
    return t;
}

class oxTimerTest : public oxRaiseFixture {
  protected:
    void SetUp() override {
        oxRaiseFixture::SetUp();
        fired.clear();
    }
};

// The period is the interval (at least 1) times the unit's seconds, in 64 bits; an unknown unit
// gives none; changes recompute it and keep the running flag.
TEST_F(oxTimerTest, PeriodIsIntervalTimesSecondsPerUnit) {
    const std::uint64_t seconds[] = {86400, 3600, 60, 1, 604800};
    for (std::uint32_t unit = 0; unit < 5; ++unit) {
        const oxTimer_c t(17, 10000, unit, &record, 99);
        EXPECT_EQ(t.period, 10000 * seconds[unit]) << unit;
        EXPECT_TRUE(t.remaining == static_cast<std::int64_t>(t.period) && !t.isRunning() &&
                    !t.oneShot);
    }
    for (std::int64_t n : {0, -5})
        EXPECT_EQ(oxTimer_c(1, n, oxTimer_c::hours, nullptr, 0).period, 3600u) << n;
    oxTimer_c unknown(1, 5, 9, nullptr, 0);
    unknown.setInterval(6);
    EXPECT_TRUE(unknown.interval == 6 && unknown.unit == 9 && unknown.period == 0 &&
                unknown.remaining == 0);
    oxTimer_c t = timer(1);
    t.setUnit(oxTimer_c::weeks);
    ticks(t, 5);
    t.setUnit(7); // unknown unit: nothing changes
    EXPECT_EQ(std::pair(t.unit, t.remaining), std::pair(4u, std::int64_t{604795}));
    for (bool run : {true, false}) {
        run ? t.start() : t.stop();
        t.setInterval(-3);
        EXPECT_EQ(t.interval, 1);
        t.configure(oxTimer_c::hours, 2);
        t.reload();
        EXPECT_EQ(t.isRunning(), run);
    }
    EXPECT_EQ(t.remaining, 7200);
}

// Only a running timer fires, even when its count stands at 0; a one-shot counts on below zero
// until reloaded; a timer without callback still reloads.
TEST_F(oxTimerTest, FiringOverRealTickCounts) {
    oxTimer_c periodic(1, 2, oxTimer_c::minutes, &record, 1),
        shot = timer(2, 1, true, true), idle = timer(3, 3, false),
        silent(4, 2, oxTimer_c::seconds, nullptr, 4), zero(5, 1, 12, &record, 5);
    periodic.start();
    silent.start();
    ticks(periodic, 119);
    EXPECT_EQ(fired, "");
    ticks(periodic, 361);                 // ticks 120, 240, 360, 480
    periodic.setUnit(oxTimer_c::seconds); // a unit change restarts the count
    ticks(periodic, 2);
    ticks(shot, 52);
    EXPECT_EQ(shot.remaining, -51);
    shot.reload();
    shot.tick();
    shot.stop(); // stopped at 0: stays there, silent
    ticks(shot, 5);
    ticks(idle, 10);
    ticks(silent, 5);
    ticks(zero, 10);
    zero.start(); // running from 0: counts below zero, never reaches it again
    ticks(zero, 3);
    EXPECT_EQ(fired, "1111122");
    EXPECT_EQ(std::vector<std::int64_t>(
                  {idle.remaining, silent.remaining, zero.remaining, shot.remaining}),
              std::vector<std::int64_t>({3, 1, -3, 0}));
}

TEST_F(oxTimerTest, ListMatchesByIdAndKeepsItsRunningFlag) {
    oxTimerList_c list;
    oxTimer_c t = timer(7, 2);
    list.add(t);
    t.setInterval(9); // the list holds its own copy
    list.start();
    list.add(timer(7, 5)); // a known ID is refused
    list.add(timer(3));
    EXPECT_EQ(list.at(0)->interval, 2);
    EXPECT_TRUE(list.find(3) == list.at(1) && !list.contains(4));
    list.remove(oxTimer_c(3, 99, oxTimer_c::weeks, nullptr, 0)); // only the ID counts
    EXPECT_EQ(list.count(), 1u);
    list.assign(oxTimerList_c(list));
    EXPECT_TRUE(list.isRunning() && !oxTimerList_c(list).isRunning()); // a copy starts stopped
    EXPECT_THROW(list.find(9), oxInvalidIndex_c);
    expectOneBox(oxTimerSource, 199);
    // A failed change leaves the list stopped; a failed lookup or copy leaves it running.
    list.add(timer(8));
    const oxTimerList_c source(list);
    const std::pair<std::uint32_t, std::function<void()>> cases[] = {
        {0, [&] { list.indexOf(0); }},          {0, [&] { list.at(5); }},
        {1, [&] { oxTimerList_c copy(list); }}, {2, [&] { list.add(timer(9)); }},
        {1, [&] { list.remove(timer(7)); }},    {3, [&] { list.assign(source); }}};
    std::string running;
    for (const auto& [k, op] : cases) { // k: which allocation fails; 0 for a failed lookup
        list.assign(source);
        list.start();
        std::optional<oxFailAllocation> fail;
        if (k)
            fail.emplace(k);
        EXPECT_ANY_THROW(op());
        fail.reset();
        boxes.clear();
        running += list.isRunning() ? 'r' : '-';
    }
    EXPECT_EQ(running, "rrr---");
}

TEST_F(oxTimerTest, ListTicksRunningTimersInOrderWhileItRuns) {
    oxTimerList_c list;
    for (const oxTimer_c& t : {timer(1), timer(2, 2, false), oxTimer_c(3, 1, 6, &record, 3),
                               timer(4, 10), timer(5, 25, true, true)})
        list.add(t);
    list.tick();
    EXPECT_EQ(fired, "");
    list.start();
    ticks(list, 60);
    EXPECT_EQ(fired.substr(9, 3), "141"); // tick 10, then 11
    EXPECT_EQ(fired.size(), 67u);         // 60 + 6 + 1
    EXPECT_EQ(list.find(2)->remaining * 10 + list.find(3)->remaining, 20);
    list.stop();
    ticks(list, 10);
    list.find(4)->setUnit(oxTimer_c::minutes);
    list.reload(); // rearms the one-shot
    list.start();
    fired.clear();
    ticks(list, 25);
    EXPECT_EQ(fired, std::string(24, '1') + "15");
}

} // namespace
