#pragma once
// Control kind codes (COC): what kind of control a TsCommonData belongs to,
// the sets of codes that share behaviour and the default section of a kind.

// The codes the skinned controls and the frame set.
inline constexpr int cocListBox = 8;
inline constexpr int cocPanel = 51;
inline constexpr int cocButton = 93;
inline constexpr int cocPageControl = 141;
inline constexpr int cocStatusBar = 151;
inline constexpr int cocForm = 224;
inline constexpr int cocFrameAdapter = 226;

// Containers paint their own background and show no glow.
bool IsContainerCode(int aCOC);
// Kinds that never show a hot state.
bool IsNeverHotCode(int aCOC);
// Kinds whose colour and font colour follow the skin.
bool IsSkinColorCode(int aCOC);
// Button kinds (no glow from the common mouse handling).
bool IsButtonCode(int aCOC);

// What ChooseDefaultSection picks for a kind.
enum class TqcDefaultSection {
  Named,       // the section Name
  SliderOrLow, // the first of "SLIDER_OFF", "PANEL_LOW" the skin defines
  ClassName,   // the owner's class name
};
struct TqcDefaultSectionRule {
  TqcDefaultSection Kind = TqcDefaultSection::ClassName;
  const char* Name = nullptr;
};
TqcDefaultSectionRule DefaultSectionOf(int aCOC);
