#include "monitor/MessageLogLine.h"

#include "monitor/MessageDecoder.h"

#include <cstdio>

namespace {

void AppendTime(std::string& aOut, std::chrono::nanoseconds aSinceStart) {
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(aSinceStart).count();
  const long long clamped = micros < 0 ? 0 : micros;
  char text[32];
  const int length =
      std::snprintf(text, sizeof text, "%lld.%03lld", clamped / 1000, clamped % 1000);
  aOut.append(text, std::size_t(length));
}

void AppendField(std::string& aOut, std::string_view aText) {
  aOut += '\t';
  for (const char c : aText)
    aOut += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

} // namespace

void AppendMessageLogLine(std::string& aOut, std::chrono::nanoseconds aSinceStart,
                          std::string_view aPort, std::uint8_t aStatus, std::uint8_t aData1,
                          std::uint8_t aData2) {
  const std::string bytes = FormatLogLine(aStatus, aData1, aData2);
  TBreakdown breakdown;
  DecodeLogLine(bytes, breakdown);
  AppendTime(aOut, aSinceStart);
  AppendField(aOut, aPort);
  AppendField(aOut, bytes);
  AppendField(aOut, breakdown.PanelStatustext);
  AppendField(aOut, breakdown.PanelKanal);
  AppendField(aOut, breakdown.PanelDB1Text);
  AppendField(aOut, breakdown.PanelDB2Text);
  aOut += '\n';
}

void AppendDroppedLogLine(std::string& aOut, std::chrono::nanoseconds aSinceStart,
                          std::uint64_t aCount) {
  AppendTime(aOut, aSinceStart);
  AppendField(aOut, DroppedMessagesText(aCount));
  aOut += '\n';
}

std::string DroppedMessagesText(std::uint64_t aCount) {
  return std::to_string(aCount) + " Meldungen verloren";
}
