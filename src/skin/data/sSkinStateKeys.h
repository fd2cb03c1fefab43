#pragma once
// The options-file keys of a section state (TsGenState) in one table. The
// skin's own sections and the application's sections are both read through
// it, so a state holds the same values whichever reader filled it, and the
// painter reads them from Props alone.

#include "skin/data/sSkinTypes.h"

#include <array>
#include <climits>
#include <functional>
#include <string>

// The values an integer key keeps; a value outside counts as the nearer end.
// The upper ends are the options file's limits. The lower ends keep what the
// painters compute from a damaged skin meaningful: a section has at least one
// state, and counts, sizes and percents are not negative. A valid skin lies
// inside, so it paints as written.
struct TsValueRange {
  int Min = INT_MIN;
  int Max = INT_MAX;
};
inline constexpr TsValueRange AnyValue{};
inline constexpr TsValueRange StatesRange{1, 255};
inline constexpr TsValueRange ByteRange{0, 255};
inline constexpr TsValueRange PercentRange{0, 100};

// One integer value of a state: its key in the normal state and in the hot
// state, the value a skin section takes when neither it nor a parent has the
// key, and the values a skin section keeps.
struct TsStateKey {
  const char* Normal;
  const char* Hot;
  int Default;
  TsValueRange Range;
  int& (*Field)(TsGenState&);

  const char* Name(bool aHot) const { return aHot ? Hot : Normal; }
};

// The integer values of a state, in reading order.
extern const std::array<TsStateKey, 11> StateKeys;

// The text value of a state: the gradient description.
struct TsStateTextKey {
  const char* Normal;
  const char* Hot;
  const char* Default;

  const char* Name(bool aHot) const { return aHot ? Hot : Normal; }
};
extern const TsStateTextKey GradientDataKey;

// A state holding the default of every key.
TsGenState DefaultGenState();

// Reads an integer key: (key, default, the values it keeps) -> value.
using TsStateIntegerReader = std::function<int(const std::string&, int, TsValueRange)>;
// Reads a text key: (key, default) -> value.
using TsStateTextReader = std::function<std::string(const std::string&, const std::string&)>;

// Fills Props of a section whose States is already read. The normal state
// comes from the plain keys. With two states or more the hot state comes from
// the HOT keys; with fewer it repeats the normal state's values, its texture
// index stays 0 and its gradient is parsed again from the copied text.
// A missing key takes its value from aDefaults of that state. A gradient text
// shorter than 2 characters (6 for the hot keys) is not parsed and sets the
// gradient percent to 0. Raises EConvertError for a bad gradient text.
void ReadSectionStates(const std::array<TsGenState, 2>& aDefaults,
                       const TsStateIntegerReader& aReadInteger, const TsStateTextReader& aReadText,
                       TsGeneralData& aSection);
