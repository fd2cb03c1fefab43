#include "monitor/MessageLog.h"

#include "monitor/MessageLogLine.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Lines are written at once when this much has gathered.
constexpr std::size_t FlushSize = 64 * 1024;
// Into a pipe that polls writable, up to PIPE_BUF bytes go at once and
// whole (all or nothing).
constexpr std::size_t PipeChunk = PIPE_BUF;

int NewEventFd() {
  const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (fd < 0)
    throw std::runtime_error(std::string("cannot start the log: ") + std::strerror(errno));
  return fd;
}

void Signal(int aEventFd) noexcept {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = write(aEventFd, &one, sizeof one);
}

void Clear(int aEventFd) noexcept {
  std::uint64_t value = 0;
  [[maybe_unused]] const auto n = read(aEventFd, &value, sizeof value);
}

bool IsRegularFile(int aFd) {
  struct stat info {};
  return fstat(aFd, &info) == 0 && S_ISREG(info.st_mode);
}

// The messages whose lines are in aText (whole lines): one per message line,
// the count of a line of missing messages (two fields), none for the empty
// line that ends one cut short.
std::uint64_t MessagesIn(std::string_view aText) {
  std::uint64_t count = 0;
  for (std::size_t start = 0; start < aText.size();) {
    const std::size_t end = std::min(aText.find('\n', start), aText.size());
    const std::string_view line = aText.substr(start, end - start);
    start = end + 1;
    if (line.empty())
      continue;
    const std::size_t tab = line.find('\t');
    if (tab != std::string_view::npos && line.find('\t', tab + 1) == std::string_view::npos) {
      std::uint64_t missing = 0;
      std::from_chars(line.data() + tab + 1, line.data() + line.size(), missing);
      count += missing;
    } else {
      ++count;
    }
  }
  return count;
}

} // namespace

TMessageLog::TMessageLog(int aFd, bool aOwnsFd, std::string aName, TClock::time_point aStart,
                         std::size_t aCapacity)
    : fFd(aFd), fOwnsFd(aOwnsFd), fRegularFile(IsRegularFile(aFd)), fName(std::move(aName)),
      fStart(aStart), fWake(NewEventFd()), fStopFd(NewEventFd()),
      fQueue([wake = fWake] { Signal(wake); }, aCapacity) {
  fBuffer.reserve(FlushSize + 256);
  fWriter = std::thread([this] { Run(); });
}

std::unique_ptr<TMessageLog> TMessageLog::Open(const std::string& aPath,
                                               TClock::time_point aStart) {
  if (aPath == "-")
    return std::make_unique<TMessageLog>(STDOUT_FILENO, false, "on standard output", aStart);
  const int fd = open(aPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0)
    throw std::runtime_error("cannot write the log " + aPath + ": " + std::strerror(errno));
  return std::make_unique<TMessageLog>(fd, true, aPath, aStart);
}

TMessageLog::~TMessageLog() {
  Stop();
  close(fWake);
  close(fStopFd);
}

void TMessageLog::PublishNames(std::uint32_t aListing, const std::vector<std::string>& aNames) {
  std::lock_guard lock(fNamesLock);
  fNames.Publish(aListing, aNames);
}

std::string TMessageLog::Stop() {
  if (!std::exchange(fStopped, true)) {
    fStopping.store(true, std::memory_order_release);
    Signal(fStopFd);
    fWriter.join();
    if (fOwnsFd && close(fFd) != 0)
      Fail(std::strerror(errno));
  }
  return fError;
}

void TMessageLog::Run() noexcept {
  try {
    while (WaitForWork()) {
      WriteQueued();
      // Gathers the next batch; Stop cuts it short.
      pollfd stop{fStopFd, POLLIN, 0};
      poll(&stop, 1, int(BatchInterval.count()));
    }
    // Stop comes once no more messages do: what is queued now is the rest.
    WriteQueued();
    // Every drop shows as a gap once a message follows it; those after the
    // last message are the rest of the count.
    const std::uint64_t drops = fQueue.Drops();
    if (drops > fGapDrops) {
      AppendDroppedLogLine(fBuffer, TClock::now() - fStart, drops - fGapDrops);
      Flush();
    }
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

bool TMessageLog::WaitForWork() {
  pollfd fds[2] = {{fWake, POLLIN, 0}, {fStopFd, POLLIN, 0}};
  while (poll(fds, 2, -1) < 0 && errno == EINTR) {
  }
  if (fds[0].revents & POLLIN)
    Clear(fWake);
  return !fStopping.load(std::memory_order_acquire);
}

void TMessageLog::WriteQueued() {
  const auto append = [this](const TMidiEvent& aEvent) {
    Append(aEvent);
    if (fBuffer.size() >= FlushSize)
      Flush();
  };
  while (fQueue.Drain(append, std::chrono::hours(1))) {
  }
  Flush();
}

void TMessageLog::Append(const TMidiEvent& aEvent) {
  fLastArrival = std::max(fLastArrival, std::chrono::nanoseconds(aEvent.Arrival - fStart));
  if (fExpected && aEvent.Sequence != *fExpected) {
    // Numbers wrap; the difference is the count of the messages in between.
    const std::uint32_t gap = aEvent.Sequence - *fExpected;
    fGapDrops += gap;
    AppendDroppedLogLine(fBuffer, fLastArrival, gap);
  }
  fExpected = aEvent.Sequence + 1;
  std::string port;
  {
    std::lock_guard lock(fNamesLock);
    port = fNames.Name(aEvent.Listing, aEvent.DeviceIndex);
  }
  AppendMessageLogLine(fBuffer, aEvent.Arrival - fStart, port, aEvent.Status, aEvent.Data1,
                       aEvent.Data2);
}

void TMessageLog::Flush() {
  if (fBuffer.empty())
    return;
  const std::size_t written = WriteOut(fBuffer);
  if (written == fBuffer.size()) {
    fBuffer.clear();
    return;
  }
  // From the line the file stopped in, the messages are counted as missing,
  // in a line that first ends the one cut short.
  const std::size_t lastEnd = written == 0 ? std::string::npos : fBuffer.rfind('\n', written - 1);
  const std::size_t lineStart = lastEnd == std::string::npos ? 0 : lastEnd + 1;
  const std::uint64_t missing = MessagesIn(std::string_view(fBuffer).substr(lineStart));
  std::string next = written > lineStart ? "\n" : "";
  AppendDroppedLogLine(next, fLastArrival, missing);
  fBuffer = std::move(next);
}

std::size_t TMessageLog::WriteOut(std::string_view aText) {
  std::size_t done = 0;
  while (done < aText.size()) {
    if (!fRegularFile && !WaitWritable())
      return done;
    std::size_t piece = aText.size() - done;
    if (!fRegularFile && piece > PipeChunk) {
      // Whole lines, so that a write is all or nothing.
      const std::size_t end = aText.rfind('\n', done + PipeChunk - 1);
      piece = end != std::string_view::npos && end >= done ? end + 1 - done : PipeChunk;
    }
    const ssize_t n = write(fFd, aText.data() + done, piece);
    if (n >= 0) {
      done += std::size_t(n);
    } else if (errno != EINTR && errno != EAGAIN) {
      Fail(std::strerror(errno));
      return done;
    }
  }
  return done;
}

bool TMessageLog::WaitWritable() {
  if (fGaveUp)
    return false;
  for (;;) {
    // Once Stop asked, the file gets StopGrace to take more.
    pollfd fds[2] = {{fFd, POLLOUT, 0}, {fStopFd, POLLIN, 0}};
    const int ready = poll(fds, fStopSeen ? 1 : 2, fStopSeen ? int(StopGrace.count()) : -1);
    if (ready < 0 && errno == EINTR)
      continue;
    // Writable, a closed reader or a failing file: the write says which.
    if (ready < 0 || fds[0].revents != 0)
      return true;
    if (ready == 0) {
      fGaveUp = true;
      Fail("it takes no more lines");
      return false;
    }
    fStopSeen = true;
  }
}

void TMessageLog::Fail(const std::string& aReason) {
  if (!fError.empty())
    return;
  fError = "the log " + fName + ": " + aReason;
  // One write, so the line stays whole among the program's other output.
  const std::string line = "midimonitor: " + fError + "\n";
  [[maybe_unused]] const auto written = write(STDERR_FILENO, line.data(), line.size());
}
