// The monitor window's thru over the ALSA sequencer, against a direct kernel
// subscription, in the ALSA test guest (run it with run-alsa-bench.sh). The
// raw MIDI writer feeds the first virtual card; the peer client records what
// reaches its port "direct" (subscribed to "VirMIDI 0-0" in the kernel) and
// its port "thru" (checked as the window's output, with "VirMIDI 0-0" as its
// input), and the window's log is counted. A plain program: it counts
// messages for four loads and prints one line per path and load.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "support/AlsaSeqPeer.h"
#include "support/RawMidiWriter.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

namespace {

struct TLoad {
  const char* Name;
  std::uint32_t Count;
  // Messages per second; 0 writes them back to back, one write each.
  double PerSecond;
  // All bytes in one write, as fast as the device takes them.
  bool AllAtOnce;
};

constexpr TLoad Loads[] = {
    {"9,000 at 3,000/s", 9000, 3000, false},
    {"1,000 as fast as the device takes them", 1000, 0, false},
    {"20,000 at 20,000/s", 20000, 20000, false},
    {"100,000 as fast as possible", 100000, 0, true},
};

// No new message on any path for this long after the writer finished: what
// is missing was lost. The guest's CPU is emulated, so this is generous.
constexpr int QuietMs = 5000;
// Meanwhile the writer sends Active Sensing as a keyboard at rest does. The
// virtual card stops handing on its bytes when a subscriber's input is full
// and resumes only with the next bytes written, so without these a load's
// last messages would wait for the next load. The window drops them.
constexpr int ActiveSensingMs = 300;
constexpr int LoadLimitMs = 600000;

int FindItem(TCheckListBox* aList, const std::string& aPart) {
  for (int i = 0; i < aList->Count(); ++i)
    if (aList->Items()[i].find(aPart) != std::string::npos)
      return i;
  return -1;
}

void CheckItem(TCheckListBox* aList, int aIndex) {
  aList->SetItemIndex(aIndex);
  aList->SetChecked(aIndex, true);
  aList->OnClickCheck(aList);
}

struct TCounts {
  std::size_t Direct = 0;
  std::size_t Thru = 0;
  std::size_t Log = 0;
  bool operator==(const TCounts&) const = default;
};

// What of one load reached a path: messages numbered within the load, in
// order or not, and messages of an earlier load that came only now.
struct TTally {
  std::size_t Arrived = 0;
  std::size_t Late = 0;
  bool InOrder = true;
};

TTally Tally(const std::vector<std::optional<std::uint32_t>>& aNumbers, std::uint32_t aFirst,
             std::uint32_t aCount) {
  TTally tally;
  std::int64_t last = -1;
  for (const std::optional<std::uint32_t>& number : aNumbers) {
    if (!number)
      continue;
    if (*number < aFirst) {
      ++tally.Late;
      continue;
    }
    if (*number >= aFirst + aCount)
      continue;
    ++tally.Arrived;
    if (std::int64_t(*number) <= last)
      tally.InOrder = false;
    last = *number;
  }
  return tally;
}

std::vector<std::optional<std::uint32_t>> Numbers(const TAlsaSeqPeer::TPortRecord& aRecord,
                                                  std::size_t aFrom) {
  std::vector<std::optional<std::uint32_t>> numbers;
  for (std::size_t i = aFrom; i < aRecord.Messages.size(); ++i)
    numbers.push_back(SequenceIndex(aRecord.Messages[i].Bytes.data(), aRecord.Messages[i].Size));
  return numbers;
}

// The log's lines from aFrom on, read back as messages ("90, 3C, 64").
std::vector<std::optional<std::uint32_t>> Numbers(TsListBox& aLog, int aFrom) {
  std::vector<std::optional<std::uint32_t>> numbers;
  for (int i = aFrom; i < aLog.Count(); ++i) {
    unsigned status = 0, data1 = 0, data2 = 0;
    std::uint8_t bytes[3] = {};
    if (std::sscanf(aLog.Items()[i].c_str(), "%x, %x, %x", &status, &data1, &data2) == 3) {
      bytes[0] = std::uint8_t(status);
      bytes[1] = std::uint8_t(data1);
      bytes[2] = std::uint8_t(data2);
    }
    numbers.push_back(SequenceIndex(bytes, 3));
  }
  return numbers;
}

void Report(const char* aPath, const TTally& aTally, std::uint32_t aSent) {
  std::printf("  %-20s %zu of %u (%.1f %%), %s", aPath, aTally.Arrived, aSent,
              100.0 * double(aTally.Arrived) / double(aSent),
              aTally.InOrder ? "order kept" : "out of order");
  if (aTally.Late)
    std::printf(", and %zu late from the load before", aTally.Late);
  std::printf("\n");
}

class TBench {
public:
  TBench(TAlsaSeqPeer& aPeer, TfrmMonitor& aForm, int aDirect, int aThru)
      : fPeer(aPeer), fForm(aForm), fDirect(aDirect), fThru(aThru) {}

  void Run(const TLoad& aLoad) {
    const TCounts before = Counts();
    // Where this load's messages begin in the records (which hold Active
    // Sensing too).
    const std::size_t directFrom = fPeer.Count(fDirect);
    const std::size_t thruFrom = fPeer.Count(fThru);
    const std::size_t overruns = fPeer.Overruns();
    const std::uint32_t first = fNext;
    const std::vector<std::uint8_t> bytes = SequenceBytes(first, aLoad.Count);
    fNext += aLoad.Count;

    std::atomic<bool> written{false};
    std::atomic<bool> settled{false};
    std::string failure;
    const auto start = std::chrono::steady_clock::now();
    double writeSeconds = 0;
    std::thread writer([&] {
      try {
        if (aLoad.AllAtOnce)
          fWriter.WriteAll(bytes);
        else
          fWriter.WriteMessages(bytes, 3, aLoad.PerSecond);
      } catch (const std::exception& e) {
        failure = e.what();
      }
      writeSeconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      written = true;
      try {
        while (!settled) {
          fWriter.WriteAll({0xFE});
          std::this_thread::sleep_for(std::chrono::milliseconds(ActiveSensingMs));
        }
      } catch (const std::exception& e) {
        failure = e.what();
      }
    });
    // The window's thread logs while the writer writes; then wait until every
    // path has all of the load, or all fell quiet.
    const auto complete = [&] {
      const TCounts now = Counts();
      return now.Direct - before.Direct >= aLoad.Count && now.Thru - before.Thru >= aLoad.Count &&
             now.Log - before.Log >= aLoad.Count;
    };
    TCounts last = Counts();
    auto lastChange = std::chrono::steady_clock::now();
    while (!(written && complete())) {
      platform::PumpUntil(complete, 100);
      const auto now = std::chrono::steady_clock::now();
      const TCounts counts = Counts();
      if (counts != last) {
        last = counts;
        lastChange = now;
      }
      if (written && now - lastChange > std::chrono::milliseconds(QuietMs))
        break;
      if (now - start > std::chrono::milliseconds(LoadLimitMs))
        break;
    }
    settled = true;
    writer.join();
    platform::PumpUntilIdle();

    std::printf("%s (written in %.2f s%s%s)\n", aLoad.Name, writeSeconds,
                failure.empty() ? "" : ", ", failure.c_str());
    Report("direct subscription",
           Tally(Numbers(fPeer.Received(fDirect), directFrom), first, aLoad.Count), aLoad.Count);
    Report("monitor thru", Tally(Numbers(fPeer.Received(fThru), thruFrom), first, aLoad.Count),
           aLoad.Count);
    Report("monitor log", Tally(Numbers(*fForm.lbListe, int(before.Log)), first, aLoad.Count),
           aLoad.Count);
    std::printf("  %-20s %zu events lost at its input\n", "peer", fPeer.Overruns() - overruns);
    std::printf("  %-20s %s\n", "status bar", fForm.StatusBar1->Panels()[0].Text().c_str());
    std::fflush(stdout);
  }

private:
  TCounts Counts() const {
    return {fPeer.NumberedCount(fDirect), fPeer.NumberedCount(fThru),
            std::size_t(fForm.lbListe->Count())};
  }

  TAlsaSeqPeer& fPeer;
  TfrmMonitor& fForm;
  int fDirect;
  int fThru;
  TRawMidiWriter fWriter;
  std::uint32_t fNext = 0;
};

} // namespace

int main() {
  try {
    TAlsaSeqPeer peer("bench sink");
    const int direct = peer.CreatePort("direct");
    const int thru = peer.CreatePort("thru");
    peer.Subscribe(peer.FindPort("Virtual Raw MIDI 0-0", "VirMIDI 0-0"), direct);

    const platform::MidiServiceStatus service = platform::StartMidiService("alsa");
    std::printf("%s\n", service.Note.c_str());
    if (service.Result != 0)
      return 1;
    int exitCode = 0;
    {
      TApplication application;
      Application->Initialize();
      TfrmMonitor* form = Application->CreateForm<TfrmMonitor>();
      form->Show();
      const int in = FindItem(form->clbInputDevices, "VirMIDI 0-0");
      const int out = FindItem(form->clbOutputDevices, "bench sink:thru");
      if (in < 0 || out < 0) {
        std::printf("the window does not list \"VirMIDI 0-0\" and \"bench sink:thru\"\n");
        exitCode = 1;
      } else {
        CheckItem(form->clbOutputDevices, out);
        CheckItem(form->clbInputDevices, in);
        platform::PumpUntilIdle();
        TBench bench(peer, *form, direct, thru);
        for (const TLoad& load : Loads)
          bench.Run(load);
      }
    }
    FreeMidiDevices();
    platform::StopMidiService();
    return exitCode;
  } catch (const std::exception& e) {
    std::printf("alsa bench: %s\n", e.what());
    return 1;
  }
}
