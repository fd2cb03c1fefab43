#include "monitor/MidiPath.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <semaphore>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::vector<TMidiEvent> DrainAll(TMidiQueue& aQueue) {
  std::vector<TMidiEvent> events;
  while (aQueue.Drain([&](const TMidiEvent& e) { events.push_back(e); }, 1s)) {
  }
  return events;
}

TEST(MidiQueue, KeepsOrderAndCountsDropsWhenFull) {
  TMidiQueue queue({}, 3); // rounded up to 4
  ASSERT_EQ(queue.Capacity(), 4u);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(queue.Push({i, 0x90, std::uint8_t(i), 0, false}), i < 4) << i;
  EXPECT_EQ(queue.Drops(), 2u);
  const auto events = DrainAll(queue);
  ASSERT_EQ(events.size(), 4u);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(events[i].Data1, i);
  EXPECT_TRUE(queue.Empty());
  // Room again after the drain, across the ring's wrap.
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(queue.Push({i, 0x80, std::uint8_t(10 + i), 0, false}));
  const auto again = DrainAll(queue);
  ASSERT_EQ(again.size(), 4u);
  EXPECT_EQ(again[3].Data1, 13);
  EXPECT_EQ(queue.Drops(), 2u);
}

TEST(MidiQueue, WakesOnceUntilTheNextDrain) {
  int wakes = 0;
  TMidiQueue queue([&] { ++wakes; }, 16);
  queue.Push({});
  queue.Push({});
  queue.Push({});
  EXPECT_EQ(wakes, 1);
  DrainAll(queue);
  queue.Push({});
  EXPECT_EQ(wakes, 2);
  // A drain of an empty queue re-arms the wake-up too.
  DrainAll(queue);
  DrainAll(queue);
  queue.Push({});
  EXPECT_EQ(wakes, 3);
}

TEST(MidiQueue, DrainStopsAtTheBudgetAndResumesInOrder) {
  TMidiQueue queue({}, 4096);
  for (int i = 0; i < 1000; ++i)
    queue.Push({i, 0, 0, 0, false});
  std::vector<int> seen;
  const bool more = queue.Drain([&](const TMidiEvent& e) { seen.push_back(e.DeviceIndex); }, 0s);
  EXPECT_TRUE(more);
  EXPECT_EQ(seen.size(), 32u);
  while (queue.Drain([&](const TMidiEvent& e) { seen.push_back(e.DeviceIndex); }, 0s)) {
  }
  ASSERT_EQ(seen.size(), 1000u);
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(seen[i], i);
}

TEST(MidiQueue, HandlerFailureLeavesTheRestQueued) {
  TMidiQueue queue({}, 16);
  for (int i = 0; i < 3; ++i)
    queue.Push({i, 0, 0, 0, false});
  EXPECT_THROW(queue.Drain(
                   [](const TMidiEvent& e) {
                     if (e.DeviceIndex == 1)
                       throw std::runtime_error("handler");
                   },
                   1s),
               std::runtime_error);
  const auto rest = DrainAll(queue);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].DeviceIndex, 2);
}

std::vector<int> Served(const TThruTargets& aTargets, int aCount) {
  std::vector<int> order;
  aTargets.ForEachDescending(aCount, [&](int i) { order.push_back(i); });
  return order;
}

TEST(ThruTargets, ServesCheckedLinesBelowTheCountFromTheHighestDown) {
  TThruTargets t;
  EXPECT_EQ(Served(t, 10), std::vector<int>{});
  t.Set(0, true);
  t.Set(2, true);
  EXPECT_EQ(Served(t, 3), (std::vector<int>{2, 0}));
  EXPECT_EQ(Served(t, 2), (std::vector<int>{0}));
  EXPECT_EQ(Served(t, 0), std::vector<int>{});
  t.Set(63, true);
  t.Set(64, true);
  t.Set(1023, true);
  t.Set(1024, true); // beyond the capacity: ignored
  t.Set(-1, true);
  EXPECT_EQ(Served(t, 5000), (std::vector<int>{1023, 64, 63, 2, 0}));
  EXPECT_EQ(Served(t, 64), (std::vector<int>{63, 2, 0}));
  EXPECT_EQ(Served(t, 65), (std::vector<int>{64, 63, 2, 0}));
  t.Set(2, false);
  EXPECT_FALSE(t.IsSet(2));
  EXPECT_TRUE(t.IsSet(63));
  EXPECT_FALSE(t.IsSet(1024));
  t.Clear();
  EXPECT_EQ(Served(t, 5000), std::vector<int>{});
}

struct TSent {
  int Index;
  std::uint8_t Status, Data1, Data2;
};

TEST(MidiPath, ActiveSensingIsNeitherForwardedNorQueued) {
  std::vector<TSent> sent;
  TMidiPath path(
      [&](int i, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        sent.push_back({i, s, a, b});
      },
      [] { return 3; }, {}, 16);
  path.Targets().Set(0, true);
  EXPECT_FALSE(path.Receive(0, 0xFE, 0, 0, 0));
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(path.Queue().Empty());
  EXPECT_EQ(path.Queue().Drops(), 0u);
}

TEST(MidiPath, ForwardsUnchangedToCheckedOutputsHighestFirstThenQueues) {
  std::vector<TSent> sent;
  TMidiPath path(
      [&](int i, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        sent.push_back({i, s, a, b});
      },
      [] { return 3; }, {}, 16);
  path.Targets().Set(0, true);
  path.Targets().Set(2, true);
  EXPECT_TRUE(path.Receive(4, 0x90, 0x3C, 0x64, 0));
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].Index, 2);
  EXPECT_EQ(sent[1].Index, 0);
  for (const TSent& s : sent) {
    EXPECT_EQ(s.Status, 0x90);
    EXPECT_EQ(s.Data1, 0x3C);
    EXPECT_EQ(s.Data2, 0x64);
  }
  const auto events = DrainAll(path.Queue());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].DeviceIndex, 4);
  EXPECT_EQ(events[0].Status, 0x90);
  EXPECT_FALSE(events[0].ThruFailed);
}

TEST(MidiPath, FailingOutputIsReportedAndTheOthersAreStillServed) {
  std::vector<int> sent;
  TMidiPath path(
      [&](int i, std::uint8_t, std::uint8_t, std::uint8_t) {
        if (i == 1)
          throw std::runtime_error("Loopback: port vanished");
        sent.push_back(i);
      },
      [] { return 3; }, {}, 16);
  for (int i = 0; i < 3; ++i)
    path.Targets().Set(i, true);
  EXPECT_TRUE(path.Receive(0, 0xB0, 7, 100, 0));
  EXPECT_EQ(sent, (std::vector<int>{2, 0}));
  const auto events = DrainAll(path.Queue());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].ThruFailed);
  auto failure = path.Failures().Take(events[0].Sequence);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->OutputIndex, 1);
  EXPECT_EQ(failure->Text, "Loopback: port vanished");
  EXPECT_EQ(failure->Missed, 0u);
  // A second failure while the first is unread is counted, not kept.
  path.Receive(0, 0x90, 1, 1, 0);
  path.Receive(0, 0x90, 1, 2, 0);
  const auto later = DrainAll(path.Queue());
  ASSERT_EQ(later.size(), 2u);
  EXPECT_EQ(later[1].Sequence, later[0].Sequence + 1);
  // Each failure goes only to its own message.
  EXPECT_FALSE(path.Failures().Take(later[0].Sequence - 1).has_value());
  failure = path.Failures().Take(later[0].Sequence);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->Sequence, later[0].Sequence);
  EXPECT_EQ(failure->Missed, 1u);
  EXPECT_FALSE(path.Failures().Take(later[1].Sequence).has_value());
}

TEST(MidiPath, FailingPortCountServesNothingButStillQueues) {
  int sends = 0;
  TMidiPath path([&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++sends; },
                 []() -> int { throw 42; }, {}, 16);
  path.Targets().Set(0, true);
  EXPECT_TRUE(path.Receive(0, 0x90, 1, 1, 0));
  EXPECT_EQ(sends, 0);
  const auto failure = path.Failures().Take(DrainAll(path.Queue()).at(0).Sequence);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->OutputIndex, -1);
  EXPECT_EQ(failure->Text, "");
}

TEST(ThruFailureSlot, LongTextIsCutAtACharacterBoundary) {
  TThruFailureSlot slot;
  std::string text(TThruFailureSlot::TextCapacity - 2, 'x');
  text += "\xC3\xBC\xC3\xBC"; // two 2-byte characters straddling the limit
  slot.Put(7, 3, text.c_str());
  const auto failure = slot.Take(7);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->Text, std::string(TThruFailureSlot::TextCapacity - 2, 'x'));
  slot.Put(8, 4, nullptr);
  EXPECT_EQ(slot.Take(8)->Text, "");
}

// A failure is handed only to its own message: a later message's waits, an
// earlier one's (its message never reached the window) is dropped. Numbers
// wrap around.
TEST(ThruFailureSlot, AFailureGoesToItsOwnMessageOnly) {
  const struct {
    std::uint32_t Failed;
    std::uint32_t Asked;
    bool Given;
    bool StillThere;
  } rows[] = {
      {5, 5, true, false},
      {6, 5, false, true},
      {4, 5, false, false},
      {0, 0xFFFFFFFFu, false, true},
      {0xFFFFFFFFu, 0, false, false},
  };
  for (const auto& r : rows) {
    TThruFailureSlot slot;
    slot.Put(r.Failed, 1, "x");
    EXPECT_EQ(slot.Take(r.Asked).has_value(), r.Given) << r.Failed << " " << r.Asked;
    EXPECT_EQ(slot.Take(r.Failed).has_value(), r.StillThere) << r.Failed << " " << r.Asked;
  }
}

// Two MIDI threads flood the path under one lock while the user-interface
// thread drains on every wake-up and toggles an output line in between.
TEST(MidiPathThreaded, FloodLosesAndReordersNothing) {
  constexpr int PerThread = 100000;
  std::atomic<long> sentTo0{0}, sentTo1{0};
  std::binary_semaphore woken{0};
  TMidiPath path(
      [&](int i, std::uint8_t, std::uint8_t, std::uint8_t) {
        (i == 0 ? sentTo0 : sentTo1).fetch_add(1, std::memory_order_relaxed);
      },
      [] { return 2; }, [&] { woken.release(); });
  path.Targets().Set(0, true);
  std::mutex criticalSection;
  auto produce = [&](int aDevice) {
    for (int n = 0; n < PerThread; ++n) {
      std::lock_guard lock(criticalSection);
      path.Receive(aDevice, 0x90 | (n & 0x0F), (n >> 4) & 0x7F, (n >> 11) & 0x7F, 0);
    }
  };
  std::thread a(produce, 0), b(produce, 1);
  int next[2] = {0, 0};
  long received = 0;
  bool ordered = true;
  const auto until = std::chrono::steady_clock::now() + 60s;
  while (received < 2L * PerThread && std::chrono::steady_clock::now() < until) {
    (void)woken.try_acquire_for(10ms);
    path.Targets().Set(1, received % 2 == 0);
    while (path.Queue().Drain(
        [&](const TMidiEvent& e) {
          const int n = next[e.DeviceIndex]++;
          ordered = ordered && e.Status == (0x90 | (n & 0x0F)) && e.Data1 == ((n >> 4) & 0x7F) &&
                    e.Data2 == ((n >> 11) & 0x7F);
          ++received;
        },
        5ms)) {
    }
  }
  a.join();
  b.join();
  EXPECT_EQ(received, 2L * PerThread);
  EXPECT_TRUE(ordered);
  EXPECT_EQ(path.Queue().Drops(), 0u);
  EXPECT_EQ(sentTo0.load(), 2L * PerThread);
  EXPECT_GT(sentTo1.load(), 0);
}

} // namespace
