#include "monitor/MessageLog.h"

#include "monitor/MessageLogLine.h"
#include "monitor/MidiPath.h"
#include "support/TextLines.h"
#include "support/WaitUntil.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;
using textlines::Fields;
using textlines::FileText;
using textlines::Lines;

// A pipe with no room left, filled with line ends; returns their count.
std::size_t FullPipe(int aFds[2]) {
  if (pipe(aFds) != 0)
    throw std::runtime_error("no pipe");
  fcntl(aFds[1], F_SETFL, O_NONBLOCK);
  std::size_t filled = 0;
  for (ssize_t n; (n = write(aFds[1], "\n", 1)) > 0;)
    filled += std::size_t(n);
  fcntl(aFds[1], F_SETFL, 0);
  return filled;
}

// The fields in their order; what the breakdown leaves unchanged is empty,
// since a log line describes its own message (the breakdown's texts have
// their own tests).
TEST(MessageLogLine, FieldsFollowTheBreakdownRules) {
  const struct {
    std::uint8_t Status, Data1, Data2;
    const char* Expected;
  } cases[] = {
      {0x90, 0x3C, 0x64, "90, 3C, 64\tNote On \tKanal 0\tC Oktave 5\tVelocity 100"},
      {0xC9, 0x00, 0x00, "C9, 00, 00\tProgram Change\tKanal 9\tAcousticGrandPiano\t"},
      {0xF8, 0x00, 0x00, "F8, 00, 00\tSystem exclusive\t\t\t"},
  };
  for (const auto& c : cases) {
    std::string line;
    AppendMessageLogLine(line, 1500us, "Keyboard", c.Status, c.Data1, c.Data2);
    EXPECT_EQ(line, std::string("1.500\tKeyboard\t") + c.Expected + "\n");
  }
}

TEST(MessageLogLine, TimeAndPortFields) {
  const struct {
    std::chrono::nanoseconds Since;
    const char* Time;
  } times[] = {{0ns, "0.000"},  {999ns, "0.000"},        {5us, "0.005"}, {1234567899ns, "1234.567"},
               {-3ms, "0.000"}, {86400s, "86400000.000"}};
  for (const auto& t : times) {
    std::string line;
    AppendMessageLogLine(line, t.Since, "In", 0x90, 0x3C, 0x64);
    EXPECT_EQ(Fields(line).at(0), t.Time);
  }
  // A port's name cannot break the line into other fields or lines.
  std::string line;
  AppendMessageLogLine(line, 0ns, "a\tb\nc\rd", 0xF8, 0, 0);
  EXPECT_EQ(Fields(line).size(), 7u);
  EXPECT_EQ(Fields(line)[1], "a b c d");
  EXPECT_EQ(line.find('\n'), line.size() - 1);
}

class MessageLogFile : public ::testing::Test {
protected:
  void SetUp() override {
    fPath = std::filesystem::temp_directory_path() /
            ("mm_log_" + std::to_string(getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { std::filesystem::remove(fPath); }
  std::filesystem::path fPath;
};

TEST_F(MessageLogFile, NamesAsOnArrivalGapsCountedAndEverythingWrittenByStop) {
  const auto start = TClock::now();
  auto log = TMessageLog::Open(fPath.string(), start);
  log->PublishNames(1, {"Keys", "Pads"});
  log->PublishNames(2, {"Keys (renamed)"});
  const auto event = [&](int aIndex, std::uint8_t aStatus, std::uint32_t aListing,
                         std::uint32_t aSequence, std::chrono::microseconds aAt) {
    TMidiEvent e{aIndex, aStatus, 0x3C, 0x64, false, aListing, aSequence, start + aAt};
    ASSERT_TRUE(log->Queue().Push(e));
  };
  event(1, 0x90, 1, 7, 1000us);
  event(0, 0x80, 1, 8, 2000us);
  // Messages 9 to 11 never reached the log.
  event(0, 0x90, 2, 12, 3250us);
  event(5, 0x90, 2, 13, 4000us); // no port 5 in that listing
  EXPECT_EQ(log->Stop(), "");
  const std::vector<std::string> expected = {
      "1.000\tPads\t90, 3C, 64\tNote On \tKanal 0\tC Oktave 5\tVelocity 100",
      "2.000\tKeys\t80, 3C, 64\tNote Off \tKanal 0\tC Oktave 5\tVelocity 100",
      "3.250\t3 Meldungen verloren",
      "3.250\tKeys (renamed)\t90, 3C, 64\tNote On \tKanal 0\tC Oktave 5\tVelocity 100",
      "4.000\t\t90, 3C, 64\tNote On \tKanal 0\tC Oktave 5\tVelocity 100",
  };
  EXPECT_EQ(Lines(FileText(fPath)), expected);
}

// The log's lines arrive within the flush interval, long before the end.
TEST_F(MessageLogFile, LinesAreWrittenWhileTheProgramRuns) {
  auto log = TMessageLog::Open(fPath.string(), TClock::now());
  log->Queue().Push({0, 0x90, 0x3C, 0x64, false, 0, 0, TClock::now()});
  EXPECT_TRUE(WaitUntil([&] { return !FileText(fPath).empty(); }, 10000));
  EXPECT_EQ(Lines(FileText(fPath)).size(), 1u);
  log->Stop();
}

TEST(MessageLog, AFileThatCannotBeOpenedOrTakesNothingGivesAClearError) {
  EXPECT_THAT([] { TMessageLog::Open("/nonexistent-dir/x.log", TClock::now()); },
              ::testing::ThrowsMessage<std::runtime_error>(
                  "cannot write the log /nonexistent-dir/x.log: No such file or directory"));

  // A pipe nobody reads: the end still comes, after the grace, and says
  // what went wrong.
  int pipeFds[2];
  FullPipe(pipeFds);
  TMessageLog log(pipeFds[1], true, "pipe", TClock::now());
  for (std::uint32_t i = 0; i < 100; ++i)
    log.Queue().Push({0, 0x90, 0x3C, 0x64, false, 0, i, TClock::now()});
  EXPECT_EQ(log.Stop(), "the log pipe: it takes no more lines");
  close(pipeFds[0]);
}

// A file that stops taking lines in the middle of one and takes them again
// later: the cut line is ended, a line counts exactly the messages whose
// lines were lost, and the lines after it follow; the error goes to
// standard error at once and is Stop's answer.
TEST_F(MessageLogFile, AFileThatFailsAndRecoversCountsWhatItLost) {
  constexpr std::uint32_t Before = 50, After = 10;
  const std::filesystem::path errors = fPath.string() + ".err";
  std::fflush(stderr);
  const int savedStderr = dup(STDERR_FILENO);
  const int errorFd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(errorFd, STDERR_FILENO);
  close(errorFd);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);

  const auto start = TClock::now();
  auto log = TMessageLog::Open(fPath.string(), start);
  log->PublishNames(1, {"In"});
  for (std::uint32_t n = 0; n < Before + After; ++n) {
    if (n == Before) {
      WaitUntil([&] { return !FileText(errors).empty(); }, 30000);
      setrlimit(RLIMIT_FSIZE, &saved);
    }
    log->Queue().Push({0, 0x90, std::uint8_t(n), 0x40, false, 1, n, start + n * 1ms});
  }
  const std::string error = log->Stop();
  dup2(savedStderr, STDERR_FILENO);
  close(savedStderr);
  std::signal(SIGXFSZ, SIG_DFL);

  EXPECT_EQ(error, "the log " + fPath.string() + ": File too large");
  EXPECT_EQ(FileText(errors), "midimonitor: " + error + "\n");
  std::filesystem::remove(errors);
  const std::string text = FileText(fPath);
  EXPECT_EQ(text.substr(0, 1000).find("\n\n"), std::string::npos);
  std::uint64_t complete = 0, missing = 0, broken = 0;
  for (const std::string& line : Lines(text)) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() == 7) {
      ++complete;
    } else if (f.size() == 2 && f[1].ends_with(" Meldungen verloren")) {
      missing += std::stoull(f[1]);
    } else {
      ++broken; // the line the limit cut
      EXPECT_EQ(text.find(line + "\n"), 1000 - line.size());
    }
  }
  EXPECT_EQ(broken, 1u);
  EXPECT_EQ(complete + missing, Before + After);
  EXPECT_GT(missing, 0u);
  EXPECT_TRUE(text.ends_with("\t90, 3B, 40\tNote On \tKanal 0\tH(B) Oktave 4\tVelocity 64\n"))
      << text;
}

// A flood through the path while the log's file takes nothing: the thru
// forwards every message and the MIDI thread never waits; once the file
// takes lines again the log holds every message it kept, in order, and
// counts the rest.
TEST(MessageLog, AStalledLogNeitherSlowsTheThruNorLosesCountOfMessages) {
  constexpr std::uint32_t Count = 20000;
  // The pipe is full before the log writes: its writer blocks at once.
  int pipeFds[2];
  const std::size_t filler = FullPipe(pipeFds);

  TMessageLog log(pipeFds[1], true, "pipe", TClock::now(), 64);
  log.PublishNames(1, {"Flood"});
  std::atomic<std::uint32_t> forwarded{0};
  TMidiPath path([&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++forwarded; },
                 [] { return 1; }, {}, Count);
  path.InputNames().Publish(1, {"Flood"});
  path.Targets().Set(0, true);
  path.SetLogQueue(&log.Queue());

  std::atomic<bool> fed{false};
  std::thread midi([&] {
    for (std::uint32_t n = 0; n < Count; ++n)
      path.Receive(0, 0x90, std::uint8_t(n & 0x7F), std::uint8_t((n >> 7) & 0x7F), 1);
    fed = true;
  });
  const bool fedInTime = WaitUntil([&] { return fed.load(); }, 60000);
  // Now the file takes lines again.
  std::string text;
  std::thread reader([&] {
    char chunk[65536];
    for (ssize_t n; (n = read(pipeFds[0], chunk, sizeof chunk)) > 0;)
      text.append(chunk, std::size_t(n));
  });
  midi.join();
  EXPECT_TRUE(fedInTime) << "the MIDI thread waited for the log";
  EXPECT_EQ(forwarded.load(), Count);
  EXPECT_EQ(log.Stop(), "");
  reader.join();
  close(pipeFds[0]);

  std::uint64_t logged = 0, missing = 0;
  std::uint32_t next = 0;
  for (const std::string& line : Lines(text.substr(filler))) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() == 2) {
      std::uint64_t n = 0;
      std::from_chars(f[1].data(), f[1].data() + f[1].size(), n);
      ASSERT_EQ(f[1], std::to_string(n) + " Meldungen verloren");
      missing += n;
      next += std::uint32_t(n);
      continue;
    }
    ASSERT_EQ(f.size(), 7u) << line;
    EXPECT_EQ(f[1], "Flood");
    // The message's number is in its data bytes: each line sits where the
    // counts say it does.
    unsigned d1 = 0, d2 = 0;
    ASSERT_EQ(std::sscanf(f[2].c_str(), "90, %2X, %2X", &d1, &d2), 2) << line;
    ASSERT_EQ((d2 << 7 | d1), next & 0x3FFF) << line;
    ++next;
    ++logged;
  }
  EXPECT_EQ(logged + missing, Count);
  EXPECT_GT(missing, 0u) << "the log's queue did not overflow";
  EXPECT_GE(logged, 64u);
}

} // namespace
