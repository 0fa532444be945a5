#include "framework/types/oxTimerList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <algorithm>
#include <optional>
#include <vector>

namespace {

using Ids = std::vector<std::uint32_t>;
Ids fired; // callback arguments, in firing order
void record(std::uint32_t argument) {
    fired.push_back(argument);
}
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
Ids ids(const oxTimerList_c& list) {
    Ids out;
    for (std::uint32_t i = 0; i < list.count(); ++i)
        out.push_back(list.at(i)->id);
    return out;
}

class oxTimerTest : public oxRaiseFixture {
  protected:
    void SetUp() override {
        oxRaiseFixture::SetUp();
        fired.clear();
    }
};

TEST_F(oxTimerTest, PeriodIsIntervalTimesSecondsPerUnit) {
    const std::uint64_t seconds[] = {86400, 3600, 60, 1, 604800};
    for (std::uint32_t unit = 0; unit < 5; ++unit) {
        oxTimer_c t(17, 10000, unit, &record, 99);
        EXPECT_EQ(t.period, 10000 * seconds[unit]) << unit; // 64-bit product
        EXPECT_EQ(t.remaining, static_cast<std::int64_t>(t.period)) << unit;
        EXPECT_FALSE(t.isRunning() || t.oneShot);
        EXPECT_EQ(t.tickLength, 1000u);
    }
    for (std::int64_t n : {0, -5}) // an interval below 1 counts as 1
        EXPECT_EQ(oxTimer_c(1, n, oxTimer_c::hours, nullptr, 0).period, 3600u) << n;
    oxTimer_c unknown(1, 5, 9, nullptr, 0); // unit kept, period and count 0
    unknown.setInterval(6);
    EXPECT_EQ(unknown.interval, 6);
    EXPECT_EQ(unknown.unit, 9u);
    EXPECT_EQ(unknown.period, 0u);
    EXPECT_EQ(unknown.remaining, 0);
}

TEST_F(oxTimerTest, ChangesRecomputeTheCountAndKeepTheFlag) {
    oxTimer_c t = timer(1);
    t.setUnit(oxTimer_c::weeks);
    ticks(t, 5);
    t.setUnit(7); // unknown unit: nothing changes
    EXPECT_EQ(t.unit, 4u);
    EXPECT_EQ(t.remaining, 604795);
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

TEST_F(oxTimerTest, FiringOverRealTickCounts) {
    oxTimer_c periodic(1, 2, oxTimer_c::minutes, &record, 1),
        shot = timer(2, 1, true, true), idle = timer(3, 3, false),
        silent(4, 2, oxTimer_c::seconds, nullptr, 4);
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

TEST_F(oxTimerTest, ListOwnsCopiesKeyedById) {
    oxLiveAllocations live;
    {
        oxTimerList_c list, copy;
        oxTimer_c t = timer(7, 2);
        list.add(t);
        t.setInterval(9); // the list holds its own copy
        list.start();
        for (std::uint32_t id : {7, 3, 5})
            list.add(timer(id, 5)); // a known ID is refused
        EXPECT_EQ(ids(list), (Ids{7, 3, 5}));
        EXPECT_EQ(list.at(0)->interval, 2);
        EXPECT_EQ(list.find(3), list.at(1));
        EXPECT_EQ(list.indexOf(5), 2u);
        EXPECT_FALSE(list.contains(4));
        EXPECT_EQ(live.leaked(), 4); // one exact array, three timers
        list.remove(oxTimer_c(3, 99, oxTimer_c::weeks, nullptr, 0)); // only the ID counts
        list.remove(timer(4));
        copy = list;
        copy.assign(copy);
        list.remove(timer(7));
        list.remove(timer(5));
        EXPECT_EQ(live.leaked(), 3);
        list.assign(copy);
        EXPECT_EQ(ids(list), (Ids{7, 5}));
        EXPECT_NE(list.at(0), copy.at(0));
        EXPECT_TRUE(list.isRunning());
        EXPECT_FALSE(oxTimerList_c(list).isRunning());
    }
    EXPECT_EQ(live.leaked(), 0);
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

// What a raise-site case works on: a running list of timers 1, 2, 3 and a source list.
struct Scene {
    oxTimerList_c list, source;
    Scene() {
        for (std::uint32_t id : {1, 2, 3})
            list.add(timer(id));
        source.add(timer(7));
        source.add(timer(8));
        list.start();
    }
};

TEST_F(oxTimerTest, RaiseSitesLeaveTheListAsDocumented) {
    const Ids same{1, 2, 3};
    const struct {
        std::uint32_t k, line; // k: which allocation fails; 0 for a failed lookup
        void (*call)(Scene&);
        Ids after;
        bool running; // a failed change leaves the list stopped
    } cases[] = {{0, 199, [](Scene& s) { s.list.find(9); }, same, true},
                 {0, 207, [](Scene& s) { s.list.at(3); }, same, true},
                 {0, 330, [](Scene& s) { s.list.indexOf(0); }, same, true},
                 {1, 302, [](Scene& s) { s.list.add(timer(9)); }, same, false},
                 {2, 308, [](Scene& s) { s.list.add(timer(9)); }, same, false},
                 {1, 265, [](Scene& s) { s.list.remove(timer(2)); }, same, false},
                 {1, 231, [](Scene& s) { s.list = s.source; }, {}, false},
                 {2, 238, [](Scene& s) { s.list = s.source; }, {}, false},
                 {3, 238, [](Scene& s) { s.list.assign(s.source); }, {}, false},
                 {1, 231, [](Scene& s) { oxTimerList_c c(s.source); }, same, true},
                 {3, 238, [](Scene& s) { oxTimerList_c c(s.source); }, same, true}};
    for (const auto& c : cases) {
        oxLiveAllocations live;
        {
            Scene scene;
            std::optional<oxFailAllocation> fail;
            if (c.k) {
                fail.emplace(c.k);
                EXPECT_THROW(c.call(scene), oxInsufficientMemory_c) << c.line;
            } else {
                EXPECT_THROW(c.call(scene), oxInvalidIndex_c) << c.line;
            }
            fail.reset();
            expectOneBox(oxTimerSource, c.line);
            EXPECT_EQ(ids(scene.list), c.after) << c.line;
            EXPECT_EQ(scene.list.isRunning(), c.running) << c.line;
        }
        EXPECT_EQ(live.leaked(), 0) << c.line;
    }
}

} // namespace
