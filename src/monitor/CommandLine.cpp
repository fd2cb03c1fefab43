#include "monitor/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

int ParseMilliseconds(const std::string& aText) {
  int value = 0;
  const char* end = aText.data() + aText.size();
  const auto [ptr, ec] = std::from_chars(aText.data(), end, value);
  if (aText.empty() || ec != std::errc() || ptr != end || value < 0)
    throw std::invalid_argument("--after: \"" + aText + "\" is not a number of milliseconds");
  return value;
}

int ParseScale(const std::string& aText) {
  if (aText == "auto")
    return platform::AutoDisplayScale;
  if (aText.size() == 1 && aText[0] >= '1' && aText[0] < '1' + platform::MaxDisplayScale)
    return aText[0] - '0';
  throw std::invalid_argument("--scale= takes 1, 2, 3 or auto, not \"" + aText + "\"");
}

// The options whose text follows '=' and may not be empty.
struct TTextOption {
  std::string_view Prefix;
  std::string TMonitorOptions::*Field;
  const char* Missing; // the message when the text is empty
};
constexpr TTextOption TextOptions[] = {
    {"--midi=", &TMonitorOptions::Midi, "--midi= needs a service: auto, alsa, jack or virtual"},
    {"--skin=", &TMonitorOptions::Skin, "--skin= needs a skin folder, a .qsz file or none"},
    {"--log=", &TMonitorOptions::Log, "--log= needs a file, or - for standard output"},
};

// The repeatable options that each add a pattern.
struct TPatternOption {
  std::string_view Prefix;
  std::vector<std::string> TMonitorOptions::*Field;
};
constexpr TPatternOption PatternOptions[] = {
    {"--in=", &TMonitorOptions::InPatterns},
    {"--out=", &TMonitorOptions::OutPatterns},
};

struct TFlag {
  std::string_view Name;
  bool TMonitorOptions::*Field;
};
constexpr TFlag Flags[] = {
    {"--list-ports", &TMonitorOptions::ListPorts},
    {"--headless", &TMonitorOptions::Headless},
    {"--screen", &TMonitorOptions::Screen},
    {"--dump", &TMonitorOptions::Dump},
    {"--help", &TMonitorOptions::Help},
    {"-h", &TMonitorOptions::Help},
    {"--version", &TMonitorOptions::Version},
};

// Takes aArg when it is one of the options above; false for any other.
bool TakeTableOption(const std::string& aArg, TMonitorOptions& aOptions) {
  for (const TTextOption& option : TextOptions) {
    if (!aArg.starts_with(option.Prefix))
      continue;
    aOptions.*option.Field = aArg.substr(option.Prefix.size());
    if ((aOptions.*option.Field).empty())
      throw std::invalid_argument(option.Missing);
    return true;
  }
  for (const TPatternOption& option : PatternOptions) {
    if (!aArg.starts_with(option.Prefix))
      continue;
    std::string pattern = aArg.substr(option.Prefix.size());
    if (pattern.empty())
      throw std::invalid_argument(aArg + " needs a part of a port name");
    (aOptions.*option.Field).push_back(std::move(pattern));
    return true;
  }
  for (const TFlag& flag : Flags) {
    if (aArg == flag.Name) {
      aOptions.*flag.Field = true;
      return true;
    }
  }
  return false;
}

} // namespace

bool IsSkinSwitch(const std::string& aArg) {
  std::string lower = aArg;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return lower == "/qcver" || lower == "/qctest";
}

TMonitorOptions ParseCommandLine(const std::vector<std::string>& aArgs) {
  TMonitorOptions options;
  bool afterGiven = false;
  for (std::size_t i = 0; i < aArgs.size(); ++i) {
    const std::string& arg = aArgs[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= aArgs.size())
        throw std::invalid_argument(arg + " needs a value");
      return aArgs[++i];
    };
    // The skin engine's switches are read by the engine itself at start.
    if (TakeTableOption(arg, options) || IsSkinSwitch(arg))
      continue;
    if (arg.starts_with("--scale=")) {
      options.Scale = ParseScale(arg.substr(8));
    } else if (arg == "--screenshot") {
      options.Screenshot = value();
    } else if (arg == "--after") {
      options.AfterMs = ParseMilliseconds(value());
      afterGiven = true;
    } else if (arg == "--script") {
      options.Script = value();
    } else {
      throw std::invalid_argument("unknown option \"" + arg + "\"");
    }
  }
  if (afterGiven && options.Screenshot.empty())
    throw std::invalid_argument("--after goes with --screenshot");
  if (options.Screen && options.Screenshot.empty())
    throw std::invalid_argument("--screen goes with --screenshot");
  return options;
}

const char* UsageText() {
  return "usage: midimonitor [options]\n"
         "  --midi=auto|alsa|jack|virtual[:in=A,B;out=C,D]\n"
         "                      MIDI service (auto: ALSA, then JACK, then demo ports)\n"
         "  --in=PATTERN        check the input ports whose names contain PATTERN (letter\n"
         "                      case aside), at start and whenever one appears; repeatable\n"
         "  --out=PATTERN       the same for the output ports\n"
         "  --list-ports        print the input and output ports with their indexes, exit\n"
         "  --headless          run without a display\n"
         "  --scale=1|2|3|auto  show every window enlarged by that factor, pixel by pixel\n"
         "                      (auto, the default: GDK_SCALE, else 2 from an Xft.dpi of\n"
         "                      144 and 3 from 240, else 1; 1 when headless)\n"
         "  --screenshot FILE   write the window with its frame as PNG (transparent\n"
         "                      outside its shape), then exit\n"
         "  --screen            with --screenshot: the whole screen, every window\n"
         "  --after MS          take the screenshot after MS milliseconds (default 0)\n"
         "  --script FILE|-     run automation commands (\"-\": standard input)\n"
         "  --dump              print the window's state before exiting\n"
         "  --skin=PATH|none    use the skin folder or .qsz file at PATH, or no skin\n"
         "  --log=FILE|-        write a line per incoming message to FILE (\"-\": standard\n"
         "                      output): time in ms, port, bytes, breakdown\n"
         "  /qcver              show the skin engine's version at start\n"
         "  /qctest             show the notice about old skin versions\n"
         "  --version           print the program's version, exit\n"
         "  --help, -h          print this text, exit\n"
         "SIGINT and SIGTERM end the program cleanly (ports closed, log written). With\n"
         "--headless and neither --script nor --screenshot it runs until one of them\n"
         "comes: a MIDI router and logger without a display.\n";
}
