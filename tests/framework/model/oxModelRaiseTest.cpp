// Every raise site of the model lists: the exception and its one box naming source and line,
// the count left behind, no leak. Out-of-memory sites fail the k-th allocation of the operation.
#include "oxModelFixture.h"
#include <functional>
#include <optional>

namespace {

template <class L> class oxModelRaiseTest : public oxModelTest {
  protected:
    struct Site {
        std::uint32_t line, k, countAfter; // k = 0: a failed lookup
        std::function<void(L&)> op;
    };
    // Each site runs on a fresh list from fill.
    void expectSites(const std::function<void(L&)>& fill, std::initializer_list<Site> sites) {
        for (const Site& s : sites) {
            SCOPED_TRACE(s.line);
            oxLiveAllocations live;
            {
                L list;
                fill(list);
                std::optional<oxFailAllocation> fail;
                if (s.k)
                    fail.emplace(s.k);
                EXPECT_ANY_THROW(s.op(list));
                fail.reset();
                EXPECT_EQ(list.count(), s.countAfter);
            }
            expectOneBox(oxKit<L>::lines.source, s.line,
                         s.k ? "not enough memory" : "found nothing");
            EXPECT_EQ(live.leaked(), 0);
        }
    }
};
template <class L> using oxIdKeyedRaiseTest = oxModelRaiseTest<L>;
TYPED_TEST_SUITE(oxIdKeyedRaiseTest, oxIdKeyedLists);

TYPED_TEST(oxIdKeyedRaiseTest, EveryRaiseSite) {
    using L = TypeParam;
    const oxLines& ln = oxKit<L>::lines;
    const auto one = oxKit<L>::make(1), extra = oxKit<L>::make(9);
    const L other = this->template listOf<L>({3, 4});
    const oxIdList_c ids{4, 5};
    const typename L::element_type records[] = {oxKit<L>::make(4), oxKit<L>::make(5)};
    auto construct = [&](L&) {
        if constexpr (std::is_constructible_v<L, oxIdList_c>)
            L list(ids);
        else
            L list(2, records);
    };
    this->expectSites([&](L& l) { l.add(one), l.add(oxKit<L>::make(2)); },
                      {{ln.at, 0, 2, [](L& l) { l.at(2); }},
                       {ln.find, 0, 2, [](L& l) { l.find(3); }},
                       {ln.indexOf, 0, 2, [](L& l) { l.indexOf(3); }},
                       {ln.add, 1, 2, [&](L& l) { l.add(extra); }},
                       {ln.addElement, 2, 2, [&](L& l) { l.add(extra); }},
                       {ln.remove, 1, 2, [&](L& l) { l.remove(one); }},
                       {ln.assign, 1, 0, [&](L& l) { l = other; }},
                       {ln.assignElement, 2, 0, [&](L& l) { l = other; }},
                       {ln.construct, 1, 2, construct},
                       {ln.constructElement, 2, 2, construct}});
}

template <class L> using oxRowRaiseTest = oxModelRaiseTest<L>;
TYPED_TEST_SUITE(oxRowRaiseTest, oxRowLists);

TYPED_TEST(oxRowRaiseTest, EveryRaiseSite) {
    using L = TypeParam;
    const oxLines& ln = oxKit<L>::lines;
    const typename L::element_type a(oxIdList_c{1}), b(oxIdList_c{2}), extra(oxIdList_c{3});
    this->expectSites([&](L& l) { l.add(a), l.add(b); },
                      {{ln.at, 0, 2, [](L& l) { l.at(2); }},
                       {ln.indexOf, 0, 2, [&](L& l) { l.indexOf(extra); }},
                       {ln.add, 1, 2, [&](L& l) { l.add(extra); }},
                       {ln.addElement, 2, 2, [&](L& l) { l.add(extra); }},
                       {ln.remove, 1, 2, [&](L& l) { l.remove(a); }}});
}
} // namespace
