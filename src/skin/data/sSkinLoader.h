#pragma once
// Builds the tables of one skin from its options text and images: masks,
// patterns, sections and the skin-wide data. Plain functions over a
// TsSkinTables that the caller swaps in only when the load succeeded.

#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinOptions.h"
#include "skin/data/sSkinTables.h"

#include <string>

class TsSkinManager;

struct TsSkinSource {
  const TsSkinOptions* Options = nullptr;
  // The unpacked container of a packed skin; nullptr for a folder skin.
  const TqcSkinConvertor* Packed = nullptr;
  // The folder of a folder skin, with a trailing "\".
  std::string SkinPath;
  // Options lines supplied by the application, or nullptr.
  const TsSkinOptions* CommonSections = nullptr;
  int HueOffset = 0;
  int Saturation = 0;
  int Brightness = 0;
  const TsSkinManager* Manager = nullptr;
};

// Runs the whole build into aTables (which should start empty). Raises
// ESkinError / EConvertError with the text to show.
void LoadSkinTables(const TsSkinSource& aSource, TsSkinTables& aTables);

// The steps one by one, for tests and for the manager.
void LoadAllMasks(const TsSkinSource& aSource, TsSkinTables& aTables);
void LoadAllPatterns(const TsSkinSource& aSource, TsSkinTables& aTables);
void LoadAllGeneralData(const TsSkinSource& aSource, TsSkinTables& aTables);

// Skin-wide values of GLOBALINFO.
void ReadCommonSkinData(const TsSkinOptions& aOptions, TsSkinData& aData);
// The two outer effects and their masks.
void LoadOuterEffects(const TsSkinSource& aSource, TsSkinTables& aTables);
// The 28 palette colours.
void FillPalette(const TsSkinOptions& aOptions, TsSkinTables& aTables);
// TRANSPARENT appended when missing.
void AddTransparentSection(TsSkinTables& aTables);

// The built-in 19 x 19 blur template ("BLUR5"): grey value at (aX, aY).
int BlurTemplateValue(int aX, int aY);
// The generated outer-effect mask (19 x 38 pixels).
platform::Bitmap MakeBlurMask(const TqcOutEffData& aEffect);

// Magenta keying: alpha 255 for every pixel, 0 for exactly magenta ones.
void KeyMagenta(platform::Bitmap& aBitmap);
// PNG post-processing by skin version.
void PostProcessPng(platform::Bitmap& aBitmap, double aVersion);
