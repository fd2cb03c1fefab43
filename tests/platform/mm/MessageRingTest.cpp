#include "platform/mm/MessageRing.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace platform;

namespace {

TEST(MessageRing, HoldsItsCapacityInOrderAndRefusesMore) {
  for (std::size_t asked : {1u, 2u, 5u, 64u}) {
    MessageRing ring(asked);
    const std::size_t capacity = ring.Capacity();
    EXPECT_GE(capacity, asked);
    EXPECT_EQ(capacity & (capacity - 1), 0u);
    for (int round = 0; round < 3; ++round) { // the positions wrap around
      EXPECT_TRUE(ring.Empty());
      for (DWORD i = 0; i < capacity; ++i)
        ASSERT_TRUE(ring.Push(i + 100 * round));
      EXPECT_FALSE(ring.Push(0xDEAD));
      DWORD value = 0;
      for (DWORD i = 0; i < capacity; ++i) {
        EXPECT_FALSE(ring.Empty());
        ASSERT_TRUE(ring.Pop(value));
        EXPECT_EQ(value, i + 100 * round);
      }
      EXPECT_FALSE(ring.Pop(value));
    }
    EXPECT_TRUE(ring.Empty());
  }
}

TEST(MessageRing, ManyProducersLoseNothingAndKeepTheirOrder) {
  constexpr int Producers = 4;
  constexpr DWORD PerProducer = 20000;
  MessageRing ring(256);
  std::vector<std::thread> threads;
  for (int p = 0; p < Producers; ++p)
    threads.emplace_back([&ring, p] {
      for (DWORD i = 0; i < PerProducer; ++i)
        while (!ring.Push((DWORD(p) << 24) | i))
          std::this_thread::yield();
    });
  std::vector<DWORD> next(Producers, 0);
  DWORD received = 0;
  while (received < Producers * PerProducer) {
    DWORD value = 0;
    if (!ring.Pop(value)) {
      std::this_thread::yield();
      continue;
    }
    const DWORD producer = value >> 24;
    ASSERT_LT(producer, DWORD(Producers));
    ASSERT_EQ(value & 0xFFFFFF, next[producer]) << producer;
    ++next[producer];
    ++received;
  }
  for (auto& thread : threads)
    thread.join();
}

} // namespace
