// Timers over real tick counts and the timer list's own rules (matching by ID, the running
// flag); the list operations it shares with the other lists are in oxListTest.cpp.
#include "framework/types/oxTimerList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace {

using Ids = std::vector<std::uint32_t>;
Ids fired; // callback arguments, in firing order
void record(std::uint32_t argument) { fired.push_back(argument); }
std::size_t firings(std::uint32_t argument) {
    return static_cast<std::size_t>(std::count(fired.begin(), fired.end(), argument));
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

TEST_F(oxTimerTest, PeriodIsIntervalTimesSecondsPerUnitAndChangesRecomputeIt) {
    const std::uint64_t seconds[] = {86400, 3600, 60, 1, 604800};
    for (std::uint32_t unit = 0; unit < 5; ++unit) {
        oxTimer_c t(17, 10000, unit, &record, 99);
        EXPECT_EQ(t.period, 10000 * seconds[unit]) << unit; // 64-bit product
        EXPECT_EQ(t.remaining, static_cast<std::int64_t>(t.period)) << unit;
        EXPECT_FALSE(t.isRunning() || t.oneShot);
    }
    for (std::int64_t n : {0, -5}) // an interval below 1 counts as 1
        EXPECT_EQ(oxTimer_c(1, n, oxTimer_c::hours, nullptr, 0).period, 3600u) << n;
    oxTimer_c unknown(1, 5, 9, nullptr, 0); // unit kept, period and count 0
    unknown.setInterval(6);
    EXPECT_TRUE(unknown.interval == 6 && unknown.unit == 9 && unknown.period == 0);
    EXPECT_EQ(unknown.remaining, 0);
    oxTimer_c t = timer(1);
    t.setUnit(oxTimer_c::weeks);
    ticks(t, 5);
    t.setUnit(7); // unknown unit: nothing changes
    EXPECT_EQ(t.unit, 4u);
    EXPECT_EQ(t.remaining, 604795);
    for (bool run : {true, false}) { // changes keep the running flag
        run ? t.start() : t.stop();
        t.setInterval(-3);
        EXPECT_EQ(t.interval, 1);
        t.configure(oxTimer_c::hours, 2);
        t.reload();
        EXPECT_EQ(t.isRunning(), run);
    }
    EXPECT_EQ(t.remaining, 7200);
}

TEST_F(oxTimerTest, FiringOverRealTickCounts) {
    oxTimer_c periodic(1, 2, oxTimer_c::minutes, &record, 1), shot = timer(2, 1, true, true),
        idle = timer(3, 3, false), silent(4, 2, oxTimer_c::seconds, nullptr, 4);
    periodic.start();
    silent.start();
    ticks(periodic, 119);
    EXPECT_EQ(firings(1), 0u);
    ticks(periodic, 361);
    EXPECT_EQ(firings(1), 4u);            // ticks 120, 240, 360, 480
    periodic.setUnit(oxTimer_c::seconds); // a unit change restarts the count
    ticks(periodic, 2);
    EXPECT_EQ(firings(1), 5u);
    ticks(shot, 52);
    EXPECT_EQ(shot.remaining, -51);
    shot.reload();
    ticks(shot, 3);
    ticks(idle, 10);
    ticks(silent, 5); // no callback, still reloads
    EXPECT_EQ(firings(2), 2u);
    EXPECT_EQ(idle.remaining, 3);
    EXPECT_EQ(silent.remaining, 1);
    EXPECT_EQ(fired.size(), 7u);
}

// Chosen behaviour: only a running timer fires, even when its count stands at 0.
TEST_F(oxTimerTest, StoppedTimerAtZeroStaysSilent) {
    oxTimer_c zero(1, 1, 12, &record, 1), shot = timer(2, 1, true, true);
    ticks(zero, 10);
    shot.tick();
    shot.stop();
    ticks(shot, 5);
    zero.start(); // running from 0: counts below zero, never reaches it again
    ticks(zero, 3);
    EXPECT_EQ(fired, Ids{2});
    EXPECT_EQ(shot.remaining, 0);
    EXPECT_EQ(zero.remaining, -3);
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
    EXPECT_EQ(list.find(3), list.at(1));
    EXPECT_FALSE(list.contains(4));
    list.remove(oxTimer_c(3, 99, oxTimer_c::weeks, nullptr, 0)); // only the ID counts
    EXPECT_EQ(list.count(), 1u);
    list.assign(oxTimerList_c(list));
    EXPECT_TRUE(list.isRunning());
    EXPECT_FALSE(oxTimerList_c(list).isRunning()); // a copy starts stopped
    EXPECT_THROW(list.find(9), oxInvalidIndex_c);
    expectOneBox(oxTimerSource, 199);
    // A failed change leaves the list stopped; a failed lookup or copy leaves it running.
    list.add(timer(8));
    const oxTimerList_c source(list);
    const struct {
        std::uint32_t k; // which allocation fails; 0 for a failed lookup
        std::function<void()> op;
        bool running;
    } cases[] = {{0, [&] { list.indexOf(0); }, true},
                 {0, [&] { list.at(5); }, true},
                 {1, [&] { oxTimerList_c copy(list); }, true},
                 {2, [&] { list.add(timer(9)); }, false},
                 {1, [&] { list.remove(timer(7)); }, false},
                 {3, [&] { list.assign(source); }, false}};
    for (const auto& c : cases) {
        list.assign(source);
        list.start();
        std::optional<oxFailAllocation> fail;
        if (c.k)
            fail.emplace(c.k);
        EXPECT_ANY_THROW(c.op());
        fail.reset();
        boxes.clear();
        EXPECT_EQ(list.isRunning(), c.running) << c.k;
    }
}

TEST_F(oxTimerTest, ListTicksRunningTimersInOrderWhileItRuns) {
    oxTimerList_c list;
    for (const oxTimer_c& t : {timer(1), timer(2, 2, false), oxTimer_c(3, 1, 6, &record, 3),
                               timer(4, 10), timer(5, 25, true, true)})
        list.add(t);
    list.tick();
    EXPECT_TRUE(fired.empty());
    list.start();
    ticks(list, 60);
    EXPECT_EQ(Ids(fired.begin() + 9, fired.begin() + 12), (Ids{1, 4, 1})); // tick 10, then 11
    EXPECT_EQ(fired.size(), 67u);                                          // 60 + 6 + 1
    EXPECT_EQ(list.find(2)->remaining, 2);
    EXPECT_EQ(list.find(3)->remaining, 0);
    list.stop();
    ticks(list, 10);
    list.find(4)->setUnit(oxTimer_c::minutes);
    list.reload(); // rearms the one-shot
    list.start();
    ticks(list, 25);
    EXPECT_EQ(firings(5), 2u);
    EXPECT_EQ(firings(4), 6u);
}

} // namespace
