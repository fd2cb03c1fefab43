#pragma once
// Which ports of one direction are checked by name rather than by the user's
// click: ports whose names match a pattern of the command line (--in, --out),
// and checked ports that went away, remembered until a port of the same name
// comes back (a device plugged in again, a client that restarted).

#include <string>
#include <string_view>
#include <vector>

// Whether aText contains aPattern, letter case aside (the Latin, Greek and
// Cyrillic letters of the basic plane). An empty pattern is in every text.
bool ContainsIgnoringCase(std::string_view aText, std::string_view aPattern);

class TPortChoice {
public:
  void AddPattern(std::string aPattern) { fPatterns.push_back(std::move(aPattern)); }
  bool MatchesPattern(std::string_view aName) const;

  // A checked port named aName went away; each one is remembered on its own,
  // so two equal devices both come back checked.
  void Remember(std::string aName) { fRemembered.push_back(std::move(aName)); }
  // A port named aName appeared: true (and one remembered name fewer) when a
  // checked port of that name had gone away.
  bool TakeRemembered(std::string_view aName);
  void ForgetRemembered() { fRemembered.clear(); }

private:
  std::vector<std::string> fPatterns;
  std::vector<std::string> fRemembered;
};
