// Arbitrary text as a script, a log line and a command line: refused with
// std::invalid_argument or accepted, never anything else.
#include "monitor/CommandLine.h"
#include "monitor/MessageDecoder.h"
#include "monitor/ScriptRunner.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  const std::string text(reinterpret_cast<const char*>(aData), aSize);
  try {
    ParseScript(text);
  } catch (const std::invalid_argument&) {
  }
  TBreakdown panels;
  try {
    DecodeLogLine(text, panels);
  } catch (const std::invalid_argument&) {
  }
  std::vector<std::string> args;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    args.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  try {
    ParseCommandLine(args);
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
