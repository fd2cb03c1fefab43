#pragma once
// The lines of the message log (--log), tab-separated, one per message:
//
//   TIME  PORT  BYTES  TYPE  CHANNEL  DATA1  DATA2
//
// TIME is the time since the program started in milliseconds with three
// decimals ("1234.567"); PORT the input port's name as it was when the
// message arrived; BYTES the window's log line ("90, 3C, 64"); then the
// breakdown panels' texts for this message alone (PanelStatustext,
// PanelKanal, PanelDB1Text, PanelDB2Text): a text the breakdown leaves as it
// was, such as a system message's data texts, is empty here rather than the
// previous message's. Tabs and line breaks in a port's name become blanks,
// so every message line has seven fields.
//
// Messages the log could not keep up with are counted in a line of two
// fields, TIME and "N Meldungen verloren": N messages that arrived by TIME
// are missing from the log at that place.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

void AppendMessageLogLine(std::string& aOut, std::chrono::nanoseconds aSinceStart,
                          std::string_view aPort, std::uint8_t aStatus, std::uint8_t aData1,
                          std::uint8_t aData2);

void AppendDroppedLogLine(std::string& aOut, std::chrono::nanoseconds aSinceStart,
                          std::uint64_t aCount);

// "N Meldungen verloren", as the status line shows it too.
std::string DroppedMessagesText(std::uint64_t aCount);
