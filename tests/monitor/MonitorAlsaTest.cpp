// The program on the kernel's sequencer in the test guest, headless and
// driven by a script: its lists hold the machine's ports but never its own,
// before and after a rescan; what a device plays reaches a checked output
// unchanged and in order, and every message is logged.
#include "ChildProcess.h"
#include "WindowDump.h"
#include "support/AlsaSeqPeer.h"
#include "support/NoteSequence.h"
#include "support/RawMidiWriter.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

const std::string Monitor = std::string(MM_BINARY_DIR) + "/midimonitor";

std::string Listed(const std::string& aClient, const std::string& aPort, int aClientNumber,
                   int aPortNumber) {
  return aClient + ":" + aPort + " " + std::to_string(aClientNumber) + ":" +
         std::to_string(aPortNumber);
}

std::string LogLine(const TShortBytes& aBytes) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2X, %.2X, %.2X", aBytes[0], aBytes[1], aBytes[2]);
  return text;
}

TEST(MonitorAlsa, ForwardsAndLogsWhatADevicePlays) {
  TAlsaSeqPeer peer("peer");
  const int sink = peer.CreatePort("sink");
  const snd_seq_addr_t device = peer.FindPort("Virtual Raw MIDI 0-0", "VirMIDI 0-0");
  const std::string deviceName =
      Listed("Virtual Raw MIDI 0-0", "VirMIDI 0-0", device.client, device.port);
  const std::string sinkName = Listed("peer", "sink", peer.Client(), sink);

  TChildProcess list({Monitor, "--headless", "--midi=alsa", "--list-ports"});
  ASSERT_EQ(list.Wait(120000), 0) << list.Stderr();
  int in = -1;
  int out = -1;
  for (const std::string& line : textlines::Lines(list.Stdout())) {
    const std::vector<std::string> fields = textlines::Fields(line);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[2].find("midimonitor"), std::string::npos) << fields[2];
    if (fields[0] == "in" && fields[2] == deviceName)
      in = std::stoi(fields[1]);
    if (fields[0] == "out" && fields[2] == sinkName)
      out = std::stoi(fields[1]);
  }
  ASSERT_GE(in, 0) << list.Stdout();
  ASSERT_GE(out, 0) << list.Stdout();

  // The window logs slowly in the emulated guest: the script waits 20 s at
  // most for the log.
  constexpr std::uint32_t Count = 200;
  const auto dir = std::filesystem::temp_directory_path() / UniqueName("monitor-alsa");
  std::filesystem::create_directories(dir);
  const std::string script = (dir / "s.txt").string();
  // The rescans come first: the lists then must name the same ports.
  std::ofstream(script) << "click btnResetIn\nclick btnResetOut\ncheck in " << in << "\ncheck out "
                        << out << "\ndump\nwait log " << Count << "\ndump\nquit\n";
  TChildProcess monitor({Monitor, "--headless", "--midi=alsa", "--script", script});
  // Played once the first dump shows the ports checked (and so open).
  const std::string checked = "\t" + std::to_string(in) + "\t[x] " + deviceName + "\n";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (monitor.Stdout().find(checked) == std::string::npos && monitor.Running() &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_NE(monitor.Stdout().find(checked), std::string::npos)
      << monitor.Stdout() << monitor.Stderr();
  TRawMidiWriter writer;
  writer.WriteAll(SequenceBytes(0, Count));
  ASSERT_EQ(monitor.Wait(240000), 0) << monitor.Stderr();

  // What the sink received: every message, exact and in order.
  ASSERT_EQ(peer.WaitCount(sink, Count), Count);
  const TAlsaSeqPeer::TPortRecord record = peer.Received(sink);
  for (std::uint32_t i = 0; i < Count; ++i)
    ASSERT_EQ(record.Messages[i].Bytes, SequenceMessage(i)) << i;

  // The lists after the rescans, and the log of the last dump.
  TWindowDump dump = ParseWindowDump(monitor.Stdout());
  const std::vector<std::string>& inputs = dump.Items["clbInputDevices"];
  const std::vector<std::string>& log = dump.Items["lbListe"];
  for (const std::string& line : inputs)
    EXPECT_EQ(line.find("midimonitor"), std::string::npos) << line;
  ASSERT_EQ(log.size(), Count);
  for (std::uint32_t i = 0; i < Count; ++i)
    ASSERT_EQ(log[i], LogLine(SequenceMessage(i))) << i;
  const TShortBytes last = SequenceMessage(Count - 1);
  char expectedStatus[160];
  std::snprintf(expectedStatus, sizeof expectedStatus,
                "%s: Statusbyte %.2X, Parameter 1 %.2X, Parameter 2 %.2X", deviceName.c_str(),
                last[0], last[1], last[2]);
  EXPECT_EQ(dump.Status, expectedStatus);
  std::filesystem::remove_all(dir);
}

} // namespace
