// The scripted line itself: virtual clock, scheduled and answered bytes, injected faults.
#include <gtest/gtest.h>

#include "support/fake_link.h"
#include "link/port_lock.h"

namespace nlx::link {
namespace {

using namespace std::chrono_literals;

TEST(FakeLink, SilenceMovesTheVirtualClockToTheDeadlineOrTheNextDelivery) {
    FakeLink link;
    ASSERT_TRUE(link.open("p", 9600, FlowControl::none).ok());
    auto t0 = link.now();
    auto r = link.read(10, t0 + 2s);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->empty());
    EXPECT_EQ(link.now(), t0 + 2s);

    link.feed_after(300ms, {1, 2, 3});
    auto t1 = link.now();
    auto early = link.read(10, t1 + 100ms);
    EXPECT_TRUE(early->empty());
    auto got = link.read(2, t1 + 1s);
    EXPECT_EQ(*got, (Bytes{1, 2}));
    EXPECT_EQ(link.now(), t1 + 300ms);
    EXPECT_EQ(link.bytes_waiting(), 1u);
    EXPECT_EQ(*link.read(10, link.now()), (Bytes{3}));
}

TEST(FakeLink, AnswersFireOnceInOrderAfterTheirTrigger) {
    FakeLink link;
    link.answer({0x1B, 0x40}, {0xAA});
    link.answer({0x1A}, {7, 8}, 50ms);
    ASSERT_TRUE(link.open("p", 9600, FlowControl::none).ok());
    ASSERT_TRUE(link.write_byte(0x1A).ok());  // before the attention: not the trigger yet
    EXPECT_EQ(link.bytes_waiting(), 0u);
    ASSERT_TRUE(link.write_byte(0x1B).ok());
    EXPECT_EQ(link.bytes_waiting(), 0u);
    ASSERT_TRUE(link.write_byte(0x40).ok());
    EXPECT_EQ(*link.read(5, link.now()), (Bytes{0xAA}));
    ASSERT_TRUE(link.write_byte(0x1A).ok());
    EXPECT_TRUE(link.read(5, link.now() + 10ms)->empty());
    EXPECT_EQ(*link.read(5, link.now() + 1s), (Bytes{7, 8}));
    ASSERT_TRUE(link.write_byte(0x1A).ok());  // each answer fires once
    EXPECT_TRUE(link.read(5, link.now() + 1s)->empty());
    EXPECT_EQ(link.written(), (Bytes{0x1A, 0x1B, 0x40, 0x1A, 0x1A}));
}

TEST(FakeLink, StaleInputIsDiscardedAndFaultsAreReported) {
    FakeLink link;
    link.feed({9, 9, 9});
    EXPECT_FALSE(link.read(1, link.now()).ok());  // closed
    ASSERT_TRUE(link.open("p", 9600, FlowControl::none).ok());
    ASSERT_TRUE(link.discard_input().ok());
    EXPECT_EQ(link.discarded(), 3u);
    EXPECT_EQ(link.bytes_waiting(), 0u);

    link.feed({1, 2, 3, 4});
    link.fail_read("line dropped", 2);
    EXPECT_EQ(*link.read(10, link.now()), (Bytes{1, 2}));
    auto failed = link.read(10, link.now());
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.message(), "line dropped");

    link.fail_write("cable out");
    EXPECT_EQ(link.write_byte(1).message(), "cable out");
    link.close();
    link.close();
    EXPECT_EQ(link.close_count(), 1);

    FakeLink refused;
    refused.fail_open("no such port");
    EXPECT_FALSE(refused.open("p", 9600, FlowControl::none).ok());
    EXPECT_FALSE(refused.is_open());
}

TEST(PortLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    EXPECT_FALSE(PortLock::holder().has_value());
    {
        auto first = PortLock::try_acquire("数据接收");
        ASSERT_TRUE(first.ok());
        auto second = PortLock::try_acquire("打印");
        ASSERT_FALSE(second.ok());
        EXPECT_EQ(second.message(), "串行口正被另一个操作使用(数据接收)");
        PortLock moved = std::move(first).value();
        EXPECT_EQ(PortLock::holder(), std::optional<std::string>("数据接收"));
        moved.release();
        EXPECT_FALSE(PortLock::holder().has_value());
        auto third = PortLock::try_acquire("打印");
        EXPECT_TRUE(third.ok());
    }
    EXPECT_FALSE(PortLock::holder().has_value());
}

}  // namespace
}  // namespace nlx::link
