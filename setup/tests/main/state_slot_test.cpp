#include "main/state_slot.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

TEST(StateSlot, BorrowsOnceAndLendsNothingWhileOut) {
  StateSlot<int> slot;
  EXPECT_FALSE(slot.borrow());  // empty
  slot.put(5);
  {
    auto first = slot.borrow();
    ASSERT_TRUE(first);
    *first = 6;
    // A handler called back from inside the first finds no state.
    EXPECT_FALSE(slot.borrow());
  }
  auto again = slot.borrow();
  ASSERT_TRUE(again);
  EXPECT_EQ(*again, 6);
}

TEST(StateSlot, TakesTheStateOut) {
  StateSlot<int> slot;
  slot.put(1);
  EXPECT_EQ(slot.take(), 1);
  EXPECT_EQ(slot.take(), std::nullopt);
  EXPECT_FALSE(slot.borrow());
}

}  // namespace
}  // namespace orvelle::setup
