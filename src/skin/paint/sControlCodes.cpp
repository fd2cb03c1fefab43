#include "skin/paint/sControlCodes.h"

#include <bitset>
#include <initializer_list>
#include <utility>

namespace {

using TCodeSet = std::bitset<256>;

// Single codes and inclusive ranges.
TCodeSet Codes(std::initializer_list<std::pair<int, int>> aRanges) {
  TCodeSet set;
  for (const auto& [first, last] : aRanges)
    for (int c = first; c <= last; ++c)
      set.set(std::size_t(c));
  return set;
}

bool Contains(const TCodeSet& aSet, int aCOC) {
  return aCOC >= 0 && aCOC < int(aSet.size()) && aSet.test(std::size_t(aCOC));
}

struct TSectionRow {
  TCodeSet Codes;
  TqcDefaultSectionRule Rule;
};

using enum TqcDefaultSection;

const TSectionRow kSectionRows[] = {
    {Codes({{2, 8},
            {10, 10},
            {41, 41},
            {76, 76},
            {78, 78},
            {83, 85},
            {96, 96},
            {131, 131},
            {140, 140},
            {230, 230}}),
     {Named, "EDIT"}},
    {Codes({{11, 18}, {81, 82}}), {Named, "COMBOBOX"}},
    {Codes({{19, 19}}), {Named, "BAR"}},
    {Codes({{20, 20}}), {Named, "BARTITLE"}},
    {Codes({{32, 33}, {50, 50}, {152, 152}}), {Named, "CHECKBOX"}},
    {Codes({{34, 34}}), {SliderOrLow, nullptr}},
    {Codes({{51, 51}, {59, 59}, {68, 68}, {73, 73}}), {Named, "PANEL"}},
    {Codes({{52, 52}, {58, 58}}), {Named, "PANEL_LOW"}},
    {Codes({{53, 54}, {60, 60}}), {Named, "TOOLBAR"}},
    {Codes({{56, 56}}), {Named, "DRAGBAR"}},
    {Codes({{57, 57}}), {Named, "TABSHEET"}},
    {Codes({{74, 74}, {226, 226}}), {Named, "GROUPBOX"}},
    {Codes({{75, 75}}), {Named, "SPLITTER"}},
    {Codes({{92, 92}, {95, 95}}), {Named, "SPEEDBUTTON"}},
    {Codes({{93, 94}}), {Named, "BUTTON"}},
    {Codes({{98, 98}}), {Named, "TOOLBUTTON"}},
    {Codes({{141, 141}, {143, 143}}), {Named, "PAGECONTROL"}},
    {Codes({{151, 151}}), {Named, "STATUSBAR"}},
    {Codes({{161, 161}}), {Named, "GAUGE"}},
    {Codes({{165, 165}}), {Named, "TRACKBAR"}},
};

} // namespace

bool IsContainerCode(int aCOC) {
  static const TCodeSet set = Codes({{51, 52},
                                     {54, 54},
                                     {56, 60},
                                     {68, 68},
                                     {73, 74},
                                     {110, 110},
                                     {141, 141},
                                     {143, 143},
                                     {151, 151},
                                     {161, 161},
                                     {226, 226}});
  return Contains(set, aCOC);
}

bool IsNeverHotCode(int aCOC) {
  static const TCodeSet set = Codes({{19, 19}, {51, 74}, {110, 110}, {141, 161}});
  return Contains(set, aCOC);
}

bool IsSkinColorCode(int aCOC) {
  static const TCodeSet set =
      Codes({{2, 18}, {41, 41}, {76, 84}, {96, 96}, {131, 140}, {231, 231}});
  return Contains(set, aCOC);
}

bool IsButtonCode(int aCOC) {
  return aCOC >= 92 && aCOC <= 94;
}

TqcDefaultSectionRule DefaultSectionOf(int aCOC) {
  for (const TSectionRow& row : kSectionRows)
    if (Contains(row.Codes, aCOC))
      return row.Rule;
  return {};
}
