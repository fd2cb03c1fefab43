#pragma once
// Test support: writes MIDI bytes to a raw MIDI device (a virtual card's
// /dev/snd/midiC0D0, whose bytes the sequencer then delivers from its port
// as it does a USB device's), back to back or at a given message rate.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TRawMidiWriter {
public:
  // Throws std::runtime_error naming the device when it cannot be opened.
  explicit TRawMidiWriter(const std::string& aDevice = "/dev/snd/midiC0D0");
  ~TRawMidiWriter();
  TRawMidiWriter(const TRawMidiWriter&) = delete;
  TRawMidiWriter& operator=(const TRawMidiWriter&) = delete;

  // Hands every byte to the device in one go; returns when the device has
  // taken them all. Throws std::runtime_error when a write fails.
  void WriteAll(const std::vector<std::uint8_t>& aBytes);
  // Writes aBytes as messages of aMessageSize bytes: aPerSecond > 0 paces
  // them at that rate (in batches, at most a millisecond apart, so that
  // rates beyond the sleep granularity hold on average); 0 writes them one
  // by one, each as soon as the device took the one before.
  void WriteMessages(const std::vector<std::uint8_t>& aBytes, std::size_t aMessageSize,
                     double aPerSecond);

private:
  void Write(const std::uint8_t* aBytes, std::size_t aSize);
  std::string fDevice;
  int fFd = -1;
};
