#include "common/channel.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvelle {
namespace {

TEST(Channel, DeliversInOrderThenReportsDisconnection) {
  auto [tx, rx] = make_channel<int>();
  std::thread producer([tx = std::move(tx)]() mutable {
    for (int i = 0; i < 1000; ++i) tx.send(i);
  });
  std::optional<int> v;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(rx.receive_for(v, std::chrono::seconds(10)), RecvStatus::value);
    EXPECT_EQ(*v, i);
  }
  producer.join();
  EXPECT_EQ(rx.receive_for(v, std::chrono::seconds(10)), RecvStatus::disconnected);
}

TEST(Channel, BoundedSendNeverBlocks) {
  auto [tx, rx] = make_channel<int>(2);
  EXPECT_EQ(tx.send(1), SendResult::sent);
  EXPECT_EQ(tx.send(2), SendResult::sent);
  EXPECT_EQ(tx.send(3), SendResult::full);
  std::optional<int> v;
  EXPECT_EQ(rx.try_receive(v), RecvStatus::value);
  EXPECT_EQ(tx.send(3), SendResult::sent);
  { auto gone = std::move(rx); }
  EXPECT_EQ(tx.send(4), SendResult::disconnected);
}

TEST(Channel, ABoundedChannelGoesRoundItsSlotsAndLetsQueuedValuesGo) {
  auto alive = std::make_shared<int>(0);
  std::weak_ptr<int> watch = alive;
  auto [tx, rx] = make_channel<std::shared_ptr<int>>(2);
  std::optional<std::shared_ptr<int>> v;
  for (int i = 0; i < 7; ++i) {  // round the two slots and past their end
    ASSERT_EQ(tx.send(std::make_shared<int>(i)), SendResult::sent);
    ASSERT_EQ(rx.try_receive(v), RecvStatus::value);
    EXPECT_EQ(**v, i);
  }
  tx.send(std::move(alive));
  v.reset();
  { auto gone = std::move(rx); }  // the queued value goes with the receiver
  EXPECT_TRUE(watch.expired());
}

TEST(Channel, WaitsTimeOutAndEverySenderCounts) {
  auto [tx, rx] = make_channel<int>();
  std::optional<int> v;
  EXPECT_EQ(rx.receive_for(v, std::chrono::milliseconds(10)), RecvStatus::timeout);
  Sender<int> copy = tx;
  tx.reset();
  EXPECT_EQ(rx.try_receive(v), RecvStatus::timeout);  // the copy still sends
  copy.send(7);
  copy.reset();
  EXPECT_EQ(rx.receive(v), RecvStatus::value);  // queued values outlive senders
  EXPECT_EQ(rx.receive(v), RecvStatus::disconnected);
}

}  // namespace
}  // namespace orvelle
