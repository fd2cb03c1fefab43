#pragma once
// The facts of the program's state dump ("kind\tname\t..." lines). Of
// several dumps the last one counts: a list's line 0 starts it afresh.

#include "support/TextLines.h"

#include <map>
#include <string>
#include <vector>

struct TWindowDump {
  std::map<std::string, std::vector<std::string>> Items; // the lines of each list
  std::map<std::string, std::string> Captions;
  std::string Status;
};

inline TWindowDump ParseWindowDump(const std::string& aText) {
  TWindowDump dump;
  for (const std::string& line : textlines::Lines(aText)) {
    const std::vector<std::string> f = textlines::Fields(line);
    if (f.size() == 4 && f[0] == "item") {
      std::vector<std::string>& items = dump.Items[f[1]];
      if (f[2] == "0")
        items.clear();
      items.push_back(f[3]);
    } else if (f.size() == 3 && f[0] == "caption") {
      dump.Captions[f[1]] = f[2];
    } else if (f.size() == 2 && f[0] == "status") {
      dump.Status = f[1];
    }
  }
  return dump;
}
