#pragma once
// Splitting a program's text output: its lines, and a line's tab-separated
// fields; and the whole text of a file.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace textlines {

// The file's bytes; empty when it cannot be read.
inline std::string FileText(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of aText without their line ends; a last line without one counts.
inline std::vector<std::string> Lines(const std::string& aText) {
  std::vector<std::string> lines;
  std::istringstream in(aText);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The fields of aLine between its tabs, empty ones included: n tabs give
// n + 1 fields.
inline std::vector<std::string> Fields(const std::string& aLine) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = aLine.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(aLine.substr(start, tab - start));
  fields.push_back(aLine.substr(start));
  return fields;
}

} // namespace textlines
