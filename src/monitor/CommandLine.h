#pragma once
// The program's command line.

#include "platform/host/DisplayScale.h"

#include <optional>
#include <string>
#include <vector>

struct TMonitorOptions {
  std::string Midi = "auto";              // --midi=auto|alsa|jack|virtual[:description]
  bool ListPorts = false;                 // --list-ports: print the ports and exit
  bool Headless = false;                  // --headless: no display
  int Scale = platform::AutoDisplayScale; // --scale=1|2|3|auto
  std::string Screenshot;                 // --screenshot FILE: write the window as PNG, then exit
  int AfterMs = 0;                        // --after MS: when the screenshot is taken
  bool Screen = false;                    // --screen: the screenshot shows the whole screen
  std::string Script;                     // --script FILE, "-" for standard input
  bool Dump = false;                      // --dump: print the window's state before exiting
  std::string Skin;                       // --skin=PATH: a skin folder, a .qsz file or "none"
  std::string Log;                        // --log=FILE: the message log, "-" for standard output
  // --in=PATTERN, --out=PATTERN (each repeatable): the ports whose names
  // contain a pattern, letter case aside, are checked at start and whenever
  // one appears.
  std::vector<std::string> InPatterns;
  std::vector<std::string> OutPatterns;
  bool Help = false;    // --help
  bool Version = false; // --version
};

// The skin engine's own switches "/qcver" and "/qctest" (any letter case).
bool IsSkinSwitch(const std::string& aArg);

// Parses the arguments after the program name. Throws std::invalid_argument
// with a message for people on an unknown option or a missing or bad value.
TMonitorOptions ParseCommandLine(const std::vector<std::string>& aArgs);

// The usage text printed by --help and after a bad command line.
const char* UsageText();
