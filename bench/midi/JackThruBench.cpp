// Thru over JACK built on the registries, against a direct connection between
// the same two foreign clients: added latency in frames and its jitter, and
// the largest burst per period passed without loss, with one and with four
// outputs. A plain program: JACK's frame clock is the measure, not time.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "platform/mm/JackMidiBackend.h"
#include "platform/mm/MidiService.h"
#include "support/JackServer.h"

#include <algorithm>
#include <cstdio>
#include <jack/jack.h>
#include <string>
#include <vector>

using namespace platform;

namespace {

// Sequence number n as a note-on: channel, key and velocity carry 4 + 7 + 7 bits.
TJackProbe::Event Numbered(std::uint32_t aFrame, std::uint32_t aNumber) {
  return ProbeEvent(aFrame, std::uint8_t(0x90 | ((aNumber >> 14) & 0x0F)),
                    std::uint8_t(aNumber & 0x7F), std::uint8_t((aNumber >> 7) & 0x7F));
}

std::uint32_t NumberOf(const TJackProbe::Event& aEvent) {
  return (std::uint32_t(aEvent.Bytes[0] & 0x0F) << 14) | (std::uint32_t(aEvent.Bytes[2]) << 7) |
         aEvent.Bytes[1];
}

int IndexOf(const TMidiDevices& aRegistry, const std::string& aName) {
  const auto names = aRegistry.Names();
  const auto found = std::find(names.begin(), names.end(), aName);
  return found == names.end() ? -1 : int(found - names.begin());
}

struct Path {
  const char* Name;
  int SourceOutput;
  std::vector<int> SinkInputs;
};

class Bench {
public:
  Bench(int aPeriod) : fPeriod(aPeriod), fSource("bench-source", 2, 0), fSink("bench-sink", 0, 5) {}

  bool Setup(int aThruOutputs) {
    if (!fSource.Ok() || !fSink.Ok())
      return false;
    // The direct connection: source out1 -> sink in4.
    if (jack_connect(fSource.Client(), fSource.OutputPort(1).c_str(), fSink.InputPort(4).c_str()) !=
        0)
      return false;
    const MidiServiceStatus status = StartMidiService("jack");
    if (status.Result != MMSYSERR_NOERROR) {
      std::printf("%s\n", status.Note.c_str());
      return false;
    }
    const int input = IndexOf(MidiInput(), fSource.OutputPort(0));
    for (int i = 0; i < aThruOutputs; ++i) {
      fOutputs.push_back(IndexOf(MidiOutput(), fSink.InputPort(i)));
      MidiOutput().Open(fOutputs.back());
    }
    // The window's thru: every checked output, highest index first.
    MidiInput().SetOnMidiData(
        [this](int, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
          for (auto output = fOutputs.rbegin(); output != fOutputs.rend(); ++output) {
            try {
              MidiOutput().Send(*output, aStatus, aData1, aData2);
            } catch (const EMidiError&) {
              // counted by the backend as a drop
            }
          }
        });
    MidiInput().Open(input);
    return true;
  }

  // Sends aCount numbered events spread over one period on the path's source
  // output; returns, per sink input, how many arrived and the frame offsets.
  struct Result {
    std::size_t Arrived = 0;
    bool InOrder = true;
    long MinDelay = 1L << 30;
    long MaxDelay = -(1L << 30);
    double SumDelay = 0;
  };
  std::vector<Result> Burst(const Path& aPath, std::uint32_t aCount) {
    std::vector<std::size_t> before;
    for (int input : aPath.SinkInputs)
      before.push_back(fSink.WaitReceived(input, 0, 0).size());
    std::vector<TJackProbe::Event> events;
    for (std::uint32_t n = 0; n < aCount; ++n)
      events.push_back(Numbered(std::uint32_t(std::uint64_t(n) * fPeriod / aCount), n));
    const std::uint32_t start = fSource.SendBurst(aPath.SourceOutput, events);
    fSource.SendBurst(aPath.SourceOutput, {}); // one more cycle passed
    fSource.SendBurst(aPath.SourceOutput, {});
    std::vector<Result> results;
    for (std::size_t k = 0; k < aPath.SinkInputs.size(); ++k) {
      const auto all = fSink.WaitReceived(aPath.SinkInputs[k], before[k] + aCount, 500);
      Result result;
      std::uint32_t expected = 0;
      for (std::size_t i = before[k]; i < all.size(); ++i) {
        const std::uint32_t number = NumberOf(all[i]);
        if (number != expected)
          result.InOrder = false;
        expected = number + 1;
        if (number >= aCount)
          continue;
        const long delay = long(all[i].Frame) - long(start + events[number].Frame);
        result.MinDelay = std::min(result.MinDelay, delay);
        result.MaxDelay = std::max(result.MaxDelay, delay);
        result.SumDelay += double(delay);
        ++result.Arrived;
      }
      results.push_back(result);
    }
    return results;
  }

  bool Lossless(const Path& aPath, std::uint32_t aCount) {
    for (const Result& result : Burst(aPath, aCount))
      if (result.Arrived != aCount || !result.InOrder)
        return false;
    return true;
  }

  std::uint32_t LargestLosslessBurst(const Path& aPath) {
    std::uint32_t good = 1;
    std::uint32_t bad = 8192;
    while (bad - good > 1) {
      const std::uint32_t middle = (good + bad) / 2;
      (Lossless(aPath, middle) ? good : bad) = middle;
    }
    return good;
  }

  void Report(const Path& aPath) {
    // Latency: 200 periods of 64 events spread over each period.
    Result total;
    std::size_t sent = 0;
    for (int round = 0; round < 200; ++round) {
      for (const Result& result : Burst(aPath, 64)) {
        total.Arrived += result.Arrived;
        total.InOrder = total.InOrder && result.InOrder;
        total.MinDelay = std::min(total.MinDelay, result.MinDelay);
        total.MaxDelay = std::max(total.MaxDelay, result.MaxDelay);
        total.SumDelay += result.SumDelay;
        sent += 64;
      }
    }
    std::printf(
        "%-22s latency frames: mean %.2f, min %ld, max %ld, jitter %ld; arrived %zu/%zu%s\n",
        aPath.Name, total.SumDelay / double(std::max<std::size_t>(total.Arrived, 1)),
        total.MinDelay, total.MaxDelay, total.MaxDelay - total.MinDelay, total.Arrived, sent,
        total.InOrder ? "" : " (out of order)");
    std::printf("%-22s largest burst per period without loss: %u events\n", aPath.Name,
                LargestLosslessBurst(aPath));
  }

private:
  int fPeriod;
  TJackProbe fSource;
  TJackProbe fSink;
  std::vector<int> fOutputs;
};

} // namespace

int main() {
  constexpr int Period = 256;
  constexpr int Rate = 48000;
  for (int outputs : {1, 4}) {
    TJackServer server(Period, Rate, false);
    if (!server.Running()) {
      std::printf("no JACK server: %s\n", server.Reason().c_str());
      return 1;
    }
    std::printf("JACK dummy driver, %d frames per period at %d Hz, %s; thru to %d output%s\n",
                Period, Rate, server.Realtime() ? "real-time" : "not real-time", outputs,
                outputs > 1 ? "s" : "");
    {
      Bench bench(Period);
      if (!bench.Setup(outputs))
        return 1;
      bench.Report({"direct connection", 1, {4}});
      std::vector<int> inputs;
      for (int i = 0; i < outputs; ++i)
        inputs.push_back(i);
      bench.Report({outputs > 1 ? "thru (all 4 outputs)" : "thru (registries)", 0, inputs});
      JackMidiCounters counters;
      JackMidiGetCounters(counters);
      std::printf("backend counters: delivered %llu, sent in cycle %llu, from ring %llu, "
                  "dropped (buffer %llu, ring %llu)\n\n",
                  (unsigned long long)counters.Delivered, (unsigned long long)counters.SentDirect,
                  (unsigned long long)counters.SentQueued, (unsigned long long)counters.BufferDrops,
                  (unsigned long long)counters.RingDrops);
      FreeMidiDevices();
      StopMidiService();
    }
  }
  return 0;
}
