// End to end on JACK: a private server with the dummy driver, jack_midiseq as
// the source, jack_midi_dump as the sink, and the monitor program between
// them, driven by a script.
#include "ChildProcess.h"
#include "WindowDump.h"
#include "support/JackServer.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string Monitor = std::string(MM_BINARY_DIR) + "/midimonitor";

// The index of the port named aName in "--list-ports" output, or -1.
int PortIndex(const std::string& aList, const std::string& aDirection, const std::string& aName) {
  for (const std::string& line : textlines::Lines(aList)) {
    const std::vector<std::string> f = textlines::Fields(line);
    if (f.size() == 3 && f[0] == aDirection && f[2] == aName)
      return std::stoi(f[1]);
  }
  return -1;
}

// "   0: 90 3c 40 note on ..." -> "90, 3C, 40".
std::vector<std::string> DumpedMessages(const std::string& aText) {
  static const std::regex event(R"(^\s*\d+: ([0-9a-f]{2}) ([0-9a-f]{2}) ([0-9a-f]{2})\b)");
  std::vector<std::string> messages;
  for (const std::string& line : textlines::Lines(aText)) {
    std::smatch m;
    if (!std::regex_search(line, m, event))
      continue;
    std::string text = m[1].str() + ", " + m[2].str() + ", " + m[3].str();
    for (char& c : text)
      c = char(std::toupper(static_cast<unsigned char>(c)));
    messages.push_back(text);
  }
  return messages;
}

TEST(MonitorOnJack, EveryMessageArrivesUnchangedAndInOrder) {
  TJackServer server(256, 48000);
  if (!server.Running()) {
    // In CI the server must start: a skip there would hide a missing install.
    ASSERT_FALSE(JackServerRequired()) << "no private JACK server: " << server.Reason();
    GTEST_SKIP() << "no private JACK server: " << server.Reason();
  }
  const std::string seqName = UniqueName("seq");
  const std::string dumpName = UniqueName("dump");
  // Note On/Off of 60 and 63 in a 0.1 s loop.
  TChildProcess seq({"jack_midiseq", seqName, "4800", "0", "60", "1000", "2400", "63", "1000"});
  TChildProcess sink({"stdbuf", "-oL", "jack_midi_dump", dumpName});
  std::string ports;
  int in = -1, out = -1;
  for (auto until = std::chrono::steady_clock::now() + 10s;
       std::chrono::steady_clock::now() < until && (in < 0 || out < 0);) {
    TChildProcess list({Monitor, "--midi=jack", "--list-ports"});
    ASSERT_EQ(list.Wait(20000), 0) << list.Stderr();
    ports = list.Stdout();
    in = PortIndex(ports, "in", seqName + ":out");
    out = PortIndex(ports, "out", dumpName + ":input");
    if (in < 0 || out < 0)
      std::this_thread::sleep_for(100ms);
  }
  ASSERT_GE(in, 0) << ports;
  ASSERT_GE(out, 0) << ports;

  const std::string scriptPath = "/tmp/" + UniqueName("mm_script_") + ".txt";
  {
    std::ofstream script(scriptPath);
    script << "check out " << out << "\n"
           << "check in " << in << "\n"
           << "wait log 24\n"
           << "uncheck in " << in << "\n"
           << "wait 300\n"
           << "quit\n";
  }
  const std::string logPath = "/tmp/" + UniqueName("mm_log_") + ".log";
  TChildProcess monitor(
      {Monitor, "--headless", "--midi=jack", "--script", scriptPath, "--dump", "--log=" + logPath});
  const int exitCode = monitor.Wait(60000);
  std::remove(scriptPath.c_str());
  const std::string logText = textlines::FileText(logPath);
  std::remove(logPath.c_str());
  ASSERT_EQ(exitCode, 0) << monitor.Stderr();
  TWindowDump window = ParseWindowDump(monitor.Stdout());
  const std::vector<std::string>& logged = window.Items["lbListe"];
  // The sink prints what it received a moment after the monitor sent it.
  WaitUntil([&] { return DumpedMessages(sink.Stdout()).size() >= logged.size(); });
  sink.Stop();
  const std::vector<std::string> dumped = DumpedMessages(sink.Stdout());
  ASSERT_GE(logged.size(), 24u) << monitor.Stdout();
  // The output was checked before the input, so every logged message went out.
  EXPECT_EQ(dumped, logged) << sink.Stdout();
  for (const std::string& line : logged)
    EXPECT_TRUE(line == "90, 3C, 40" || line == "80, 3C, 40" || line == "90, 3F, 40" ||
                line == "80, 3F, 40")
        << line;

  // The breakdown shows the last message.
  const std::string& last = logged.back();
  const std::map<std::string, std::array<const char*, 3>> decoded = {
      {"90, 3C, 40", {"Note On ", "C Oktave 5", "Velocity 64"}},
      {"80, 3C, 40", {"Note Off ", "C Oktave 5", "Velocity 64"}},
      {"90, 3F, 40", {"Note On ", "D# Oktave 5", "Velocity 64"}},
      {"80, 3F, 40", {"Note Off ", "D# Oktave 5", "Velocity 64"}},
  };
  ASSERT_TRUE(decoded.count(last)) << last;
  EXPECT_EQ(window.Captions.at("PanelCC"), last.substr(0, 2));
  EXPECT_EQ(window.Captions.at("PanelP1"), last.substr(4, 2));
  EXPECT_EQ(window.Captions.at("PanelP2"), "40");
  EXPECT_EQ(window.Captions.at("PanelKanal"), "Kanal 0");
  EXPECT_EQ(window.Captions.at("PanelStatustext"), decoded.at(last)[0]);
  EXPECT_EQ(window.Captions.at("PanelDB1Text"), decoded.at(last)[1]);
  EXPECT_EQ(window.Captions.at("PanelDB2Text"), decoded.at(last)[2]);
  EXPECT_EQ(window.Status, seqName + ":out: Statusbyte " + last.substr(0, 2) + ", Parameter 1 " +
                               last.substr(4, 2) + ", Parameter 2 40");

  // The message log holds the same messages, each with its JACK port's name
  // and its breakdown, at times that do not go back.
  const std::vector<std::string> logLines = textlines::Lines(logText);
  ASSERT_EQ(logLines.size(), logged.size()) << logText;
  double previous = 0;
  for (std::size_t i = 0; i < logLines.size(); ++i) {
    const std::vector<std::string> f = textlines::Fields(logLines[i]);
    ASSERT_EQ(f.size(), 7u) << logLines[i];
    EXPECT_GE(std::stod(f[0]), previous) << logLines[i];
    previous = std::stod(f[0]);
    EXPECT_EQ(f[1], seqName + ":out");
    EXPECT_EQ(f[2], logged[i]);
    EXPECT_EQ(f[3], decoded.at(logged[i])[0]);
    EXPECT_EQ(f[4], "Kanal 0");
    EXPECT_EQ(f[5], decoded.at(logged[i])[1]);
    EXPECT_EQ(f[6], decoded.at(logged[i])[2]);
  }
}

} // namespace
