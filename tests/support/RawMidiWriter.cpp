#include "support/RawMidiWriter.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

TRawMidiWriter::TRawMidiWriter(const std::string& aDevice) : fDevice(aDevice) {
  fFd = open(aDevice.c_str(), O_WRONLY | O_CLOEXEC);
  if (fFd < 0)
    throw std::runtime_error("cannot open " + aDevice + ": " + std::strerror(errno));
}

TRawMidiWriter::~TRawMidiWriter() {
  close(fFd);
}

void TRawMidiWriter::Write(const std::uint8_t* aBytes, std::size_t aSize) {
  while (aSize > 0) {
    const ssize_t n = write(fFd, aBytes, aSize);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      throw std::runtime_error("write to " + fDevice + " failed: " + std::strerror(errno));
    aBytes += n;
    aSize -= std::size_t(n);
  }
}

void TRawMidiWriter::WriteAll(const std::vector<std::uint8_t>& aBytes) {
  Write(aBytes.data(), aBytes.size());
}

void TRawMidiWriter::WriteMessages(const std::vector<std::uint8_t>& aBytes,
                                   std::size_t aMessageSize, double aPerSecond) {
  const std::size_t count = aBytes.size() / aMessageSize;
  if (aPerSecond <= 0) {
    for (std::size_t i = 0; i < count; ++i)
      Write(aBytes.data() + i * aMessageSize, aMessageSize);
    return;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  std::size_t written = 0;
  while (written < count) {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const std::size_t due = std::min(count, std::size_t(elapsed * aPerSecond) + 1);
    if (due > written) {
      Write(aBytes.data() + written * aMessageSize, (due - written) * aMessageSize);
      written = due;
    }
    if (written < count) {
      const auto next = start + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(double(written) / aPerSecond));
      std::this_thread::sleep_until(std::min(next, Clock::now() + std::chrono::milliseconds(1)));
    }
  }
}
