#include "skin/data/sSkinStateKeys.h"

#include "skin/data/sSkinValues.h"

namespace {

// The shortest gradient text that is parsed: the normal state's and the hot
// state's.
std::size_t GradientMinLength(bool aHot) {
  return aHot ? 6 : 2;
}

void ReadGenState(bool aHot, TsGenState aDefaults, const TsStateIntegerReader& aReadInteger,
                  const TsStateTextReader& aReadText, TsGenState& aState) {
  for (const TsStateKey& key : StateKeys)
    key.Field(aState) = aReadInteger(key.Name(aHot), key.Field(aDefaults), key.Range);
  aState.GradientData = aReadText(GradientDataKey.Name(aHot), aDefaults.GradientData);
  if (aState.GradientData.size() >= GradientMinLength(aHot))
    aState.GradientArray = ParseGradientData(aState.GradientData);
  else
    aState.GradientPercent = 0;
}

void CopyNormalIntoHot(TsGeneralData& aSection) {
  TsGenState normal = aSection.Props[0];
  TsGenState& hot = aSection.Props[1];
  for (const TsStateKey& key : StateKeys)
    key.Field(hot) = key.Field(normal);
  hot.GradientData = normal.GradientData;
  hot.GradientArray = hot.GradientData.size() >= GradientMinLength(true)
                          ? ParseGradientData(hot.GradientData)
                          : TsGradArray{};
}

} // namespace

const std::array<TsStateKey, 11> StateKeys{{
    {"COLOR", "HOTCOLOR", 0xFFFFFF, AnyValue, [](TsGenState& s) -> int& { return s.Color; }},
    {"FONTCOLOR", "HOTFONTCOLOR", 0, AnyValue,
     [](TsGenState& s) -> int& { return s.FontColor.Color; }},
    {"TCLEFT", "HOTTCLEFT", -1, AnyValue, [](TsGenState& s) -> int& { return s.FontColor.Left; }},
    {"TCTOP", "HOTTCTOP", -1, AnyValue, [](TsGenState& s) -> int& { return s.FontColor.Top; }},
    {"TCRIGHT", "HOTTCRIGHT", -1, AnyValue,
     [](TsGenState& s) -> int& { return s.FontColor.Right; }},
    {"TCBOTTOM", "HOTTCBOTTOM", -1, AnyValue,
     [](TsGenState& s) -> int& { return s.FontColor.Bottom; }},
    {"GCOL", "HGCOL", 0xFFFFFF, AnyValue, [](TsGenState& s) -> int& { return s.GlowColor; }},
    {"GSIZE", "HGSIZE", 0, ByteRange, [](TsGenState& s) -> int& { return s.GlowSize; }},
    {"GRADIENTPERCENT", "HOTGRADIENTPERCENT", 0, PercentRange,
     [](TsGenState& s) -> int& { return s.GradientPercent; }},
    {"IMAGEPERCENT", "HOTIMAGEPERCENT", 0, PercentRange,
     [](TsGenState& s) -> int& { return s.ImagePercent; }},
    {"TRANSPARENCY", "HOTTRANSPARENCY", 0, PercentRange,
     [](TsGenState& s) -> int& { return s.Transparency; }},
}};

const TsStateTextKey GradientDataKey{"GRADIENTDATA", "HOTGRADIENTDATA", " "};

TsGenState DefaultGenState() {
  TsGenState state;
  for (const TsStateKey& key : StateKeys)
    key.Field(state) = key.Default;
  state.GradientData = GradientDataKey.Default;
  return state;
}

void ReadSectionStates(const std::array<TsGenState, 2>& aDefaults,
                       const TsStateIntegerReader& aReadInteger, const TsStateTextReader& aReadText,
                       TsGeneralData& aSection) {
  ReadGenState(false, aDefaults[0], aReadInteger, aReadText, aSection.Props[0]);
  if (aSection.States < 2)
    CopyNormalIntoHot(aSection);
  else
    ReadGenState(true, aDefaults[1], aReadInteger, aReadText, aSection.Props[1]);
}
