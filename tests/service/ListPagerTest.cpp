#include <gtest/gtest.h>

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <vector>

#include "service/ListPager.h"

namespace {

// A stand-in for the service: a list of `total` items, paged by 11, answering the way a
// list endpoint does. Items are their ordinal numbers, so a page's content can be checked.
QVariantMap pageAnswer(int total, int page, const QVariant& count) {
    QVariantList books;
    for (int i = (page - 1) * 11; i < total && i < page * 11; ++i)
        books.append(i + 1);
    return {{QStringLiteral("result"), QStringLiteral("ok")},
            {QStringLiteral("books"), books},
            {QStringLiteral("count"), count}};
}

// The screen's side: its rows, and the table state it would show.
struct Screen {
    ListPager pager;
    QVariantList rows;
    QString lastMessage;
    bool reachedTheEnd = false;
    bool notice = false;
    std::vector<int> asked;

    // One pull (down or up) through to the answer for a list of `total` items.
    ListPager::Outcome pull(bool down, int total, const QVariant& count) {
        const bool schedule = down ? pager.pullDown() : pager.pullUp();
        EXPECT_TRUE(schedule);
        auto next = pager.getData();
        EXPECT_TRUE(next.has_value());
        if (!next)
            return {};
        asked.push_back(next->page);
        if (next->restart)
            rows.clear();
        return apply(pager.answer(next->ticket, pageAnswer(total, next->page, count), true));
    }

    ListPager::Outcome apply(const ListPager::Outcome& out) {
        if (!out.accepted)
            return out;
        rows.append(out.items);
        lastMessage = out.message;
        reachedTheEnd = out.reachedTheEnd;
        notice = out.networkNotice;
        return out;
    }
};

QVariantList ordinals(int from, int to) {
    QVariantList list;
    for (int i = from; i <= to; ++i)
        list.append(i);
    return list;
}

struct PagingCase {
    const char* name;
    int total;                  // items the service holds
    QVariant count;             // what the answer says as count
    int pulls;                  // first load + pull-ups
    std::vector<int> pageSizes; // items each pull appended
    int endsAtPull;             // the pull (1-based) that shows the end text, 0 for none
};

class ListPagerPaging : public ::testing::TestWithParam<PagingCase> {};

TEST_P(ListPagerPaging, PagesHoldTheirItemsAndTheEndComesAfterTheLastPage) {
    const PagingCase& c = GetParam();
    Screen s;
    for (int pull = 1; pull <= c.pulls; ++pull) {
        const auto out = s.pull(pull == 1, c.total, c.count);
        ASSERT_TRUE(out.accepted);
        EXPECT_EQ(out.items.size(), c.pageSizes[pull - 1]) << "pull " << pull;
        const bool ends = pull == c.endsAtPull;
        EXPECT_EQ(s.reachedTheEnd, ends) << "pull " << pull;
        EXPECT_EQ(s.lastMessage, ends ? QStringLiteral("没有了") : QString()) << "pull " << pull;
    }
    std::vector<int> expectedPages;
    for (int p = 1; p <= c.pulls; ++p)
        expectedPages.push_back(p);
    EXPECT_EQ(s.asked, expectedPages);
    EXPECT_EQ(s.rows, ordinals(1, c.total));
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ListPagerPaging,
    ::testing::Values(PagingCase{"count25", 25, 25, 4, {11, 11, 3, 0}, 4},
                      PagingCase{"count11", 11, 11, 2, {11, 0}, 2},
                      PagingCase{"countAsText", 12, QStringLiteral("12"), 3, {11, 1, 0}, 3},
                      PagingCase{"count0", 0, 0, 1, {0}, 1},
                      PagingCase{"countNull", 0, QVariant::fromValue(nullptr), 1, {0}, 1},
                      PagingCase{"countAbsent", 0, QVariant(), 1, {0}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListPager, PullDownAfterSeveralPagesRestartsAtPageOne) {
    Screen s;
    s.pull(true, 40, 40);
    s.pull(false, 40, 40);
    s.pull(false, 40, 40);
    ASSERT_EQ(s.rows.size(), 33);
    EXPECT_EQ(s.pager.page(), 3);

    ASSERT_TRUE(s.pager.pullDown());
    EXPECT_TRUE(s.pager.refreshing());
    const auto next = s.pager.getData();
    ASSERT_TRUE(next);
    EXPECT_TRUE(next->restart);
    EXPECT_EQ(next->page, 1);
    EXPECT_EQ(next->params().value("page").toString(), QStringLiteral("1"));
    EXPECT_EQ(next->params().value("limit").toString(), QStringLiteral("11"));
    EXPECT_FALSE(s.pager.refreshing());
    s.rows.clear();
    s.apply(s.pager.answer(next->ticket, pageAnswer(40, 1, 40), true));
    EXPECT_EQ(s.pager.page(), 1);
    EXPECT_EQ(s.rows, ordinals(1, 11));
}

TEST(ListPager, FailedPullKeepsTheListOpenAndTheNextPullAsksForTheMissingPage) {
    Screen s;
    s.pull(true, 30, 30);
    ASSERT_TRUE(s.pager.pullUp());
    auto next = s.pager.getData();
    ASSERT_TRUE(next);
    ASSERT_EQ(next->page, 2);
    const auto out = s.apply(s.pager.failed(next->ticket));
    EXPECT_TRUE(out.accepted);
    EXPECT_TRUE(out.finishLoading);
    EXPECT_TRUE(out.message.isEmpty());
    EXPECT_TRUE(s.notice);
    EXPECT_FALSE(s.reachedTheEnd);
    EXPECT_FALSE(s.pager.isLoading());

    // The following page after what the list holds: page 2 again, and the rows stay whole.
    s.pull(false, 30, 30);
    s.pull(false, 30, 30);
    EXPECT_EQ(s.asked, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(s.rows, ordinals(1, 30));
}

TEST(ListPager, FailedRefreshAsksForPageOneAgain) {
    Screen s;
    s.pull(true, 30, 30);
    s.pull(false, 30, 30);
    ASSERT_TRUE(s.pager.pullDown());
    auto next = s.pager.getData();
    ASSERT_TRUE(next && next->restart);
    s.rows.clear();
    s.apply(s.pager.failed(next->ticket));
    EXPECT_EQ(s.pager.page(), 0);
    s.pull(false, 30, 30);
    EXPECT_EQ(s.asked.back(), 1);
    EXPECT_EQ(s.rows, ordinals(1, 11));
}

TEST(ListPager, RefusalsFollowTheScreensChoice) {
    struct Case {
        QString text;
        bool ends;
    };
    for (const Case& c : {Case{QString(), false}, Case{QStringLiteral("没有更多消息"), true},
                          Case{QStringLiteral("您所请求的分类下没有相关书籍"), true}}) {
        ListPager pager;
        pager.setRefusal(c.text, c.ends);
        pager.pullDown();
        auto next = pager.getData();
        ASSERT_TRUE(next);
        const auto out =
            pager.answer(next->ticket, {{QStringLiteral("result"), QStringLiteral("fail")}}, false);
        EXPECT_TRUE(out.accepted);
        EXPECT_FALSE(out.ok);
        EXPECT_TRUE(out.items.isEmpty());
        EXPECT_TRUE(out.finishLoading);
        EXPECT_EQ(out.message, c.text);
        EXPECT_EQ(out.reachedTheEnd, c.ends);
        EXPECT_FALSE(out.networkNotice);
        // Pulling again asks for the refused page again.
        pager.pullUp();
        auto again = pager.getData();
        ASSERT_TRUE(again);
        EXPECT_EQ(again->page, 1);
    }
}

TEST(ListPager, NestedFieldsAndMalformedItems) {
    ListPager pager({QStringLiteral("msgs"), QStringLiteral("data")},
                    {QStringLiteral("msgs"), QStringLiteral("count")});
    pager.pullDown();
    auto next = pager.getData();
    const QVariantMap dict{
        {QStringLiteral("result"), QStringLiteral("ok")},
        {QStringLiteral("msgs"), QVariantMap{{QStringLiteral("data"), QVariantList{"a", "b"}},
                                             {QStringLiteral("count"), QStringLiteral("12")}}}};
    auto out = pager.answer(next->ticket, dict, true);
    EXPECT_EQ(out.items, (QVariantList{"a", "b"}));
    EXPECT_EQ(out.count, 12);
    EXPECT_EQ(out.pages, 2);
    EXPECT_FALSE(out.reachedTheEnd);

    // `books` that is not a list adds nothing and still pages by count.
    ListPager plain;
    plain.pullDown();
    next = plain.getData();
    out = plain.answer(next->ticket,
                       {{QStringLiteral("result"), QStringLiteral("ok")},
                        {QStringLiteral("books"), QStringLiteral("oops")},
                        {QStringLiteral("count"), 30}},
                       true);
    EXPECT_TRUE(out.items.isEmpty());
    EXPECT_FALSE(out.reachedTheEnd);
}

TEST(ListPager, LateAnswersForSupersededRequestsChangeNothing) {
    Screen s;
    s.pull(true, 40, 40);
    ASSERT_TRUE(s.pager.pullUp());
    const auto page2 = s.pager.getData();
    ASSERT_TRUE(page2);
    // A pull-up while page 2 is on its way asks for nothing more.
    EXPECT_TRUE(s.pager.pullUp());
    EXPECT_FALSE(s.pager.getData().has_value());

    // The user pulls down before page 2 arrives: page 2's answer is not taken for the list.
    EXPECT_TRUE(s.pager.pullDown());
    EXPECT_FALSE(s.apply(s.pager.answer(page2->ticket, pageAnswer(40, 2, 40), true)).accepted);
    EXPECT_FALSE(s.apply(s.pager.failed(page2->ticket)).accepted);
    const auto restart = s.pager.getData();
    ASSERT_TRUE(restart && restart->restart);
    s.rows.clear();
    // An answer with an old ticket after the restart is still not taken.
    EXPECT_FALSE(s.pager.answer(page2->ticket, pageAnswer(40, 2, 40), true).accepted);
    s.apply(s.pager.answer(restart->ticket, pageAnswer(40, 1, 40), true));
    EXPECT_EQ(s.rows, ordinals(1, 11));
    EXPECT_EQ(s.pager.page(), 1);
    // A second answer for the same ticket is not taken either.
    EXPECT_FALSE(s.pager.answer(restart->ticket, pageAnswer(40, 1, 40), true).accepted);
}

TEST(ListPager, PullsWhileALoadIsPendingScheduleOnce) {
    ListPager pager;
    EXPECT_TRUE(pager.pullUp());
    EXPECT_FALSE(pager.pullDown()); // the pending getData takes the restart along
    auto next = pager.getData();
    ASSERT_TRUE(next);
    EXPECT_TRUE(next->restart);
    EXPECT_EQ(next->page, 1);
}

} // namespace
