#include "skin/data/sSkinLoader.h"

#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/SystemColors.h"
#include "skin/data/sSkinAdjust.h"
#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinStateKeys.h"
#include "skin/data/sSkinText.h"
#include "skin/data/sSkinValues.h"
#include "skin/paint/pixels/PixelOps.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

constexpr const char* kGlobal = "GLOBALINFO";
constexpr std::int64_t kPatternPixels = 900000;
// The largest frame measure (pixels) a skin keeps, either way.
constexpr int kMaxMeasure = 1000;

enum class TImageKind { Bmp, Png, Jpeg };

// The bytes of a skin image: an unpacked entry of a packed skin, else a file
// next to the options file. Nothing when it is missing.
std::optional<TBytes> FetchImageBytes(const TsSkinSource& aSource, const std::string& aName,
                                      bool aFilesOnly = false) {
  if (aSource.Packed && !aFilesOnly) {
    const TqcImageItem* item = aSource.Packed->FindPackedFile(aName);
    if (!item)
      return std::nullopt;
    return item->FileStream;
  }
  std::string path = aName.find(':') != std::string::npos ? aName : aSource.SkinPath + aName;
  return ReadWholeFile(path);
}

// Decodes an image; a damaged image fails the load with the decoder's text.
platform::ImageResult Decode(const TBytes& aBytes, TImageKind aKind, const std::string& aName) {
  std::span<const std::uint8_t> data(aBytes.data(), aBytes.size());
  platform::ImageResult result = aKind == TImageKind::Bmp   ? platform::DecodeBmp(data)
                                 : aKind == TImageKind::Png ? platform::DecodePng(data)
                                                            : platform::DecodeJpeg(data);
  if (!result.Ok())
    throw ESkinError("Skin image \"" + aName + "\" cannot be read: " + result.Error);
  return result;
}

// The image of aWanted.FileName; a missing one is noted in the tables.
std::optional<platform::ImageResult> LoadImage(const TsSkinSource& aSource, TsSkinTables& aTables,
                                               const TsMissingImage& aWanted, TImageKind aKind,
                                               bool aFilesOnly = false) {
  auto bytes = FetchImageBytes(aSource, aWanted.FileName, aFilesOnly);
  if (!bytes) {
    aTables.MissingImages.push_back(aWanted);
    return std::nullopt;
  }
  return Decode(*bytes, aKind, aWanted.FileName);
}

void ComputeCornerType(const TsSkinTables& aTables, TsMaskData& aMask) {
  if (aMask.ClassName == "BUTTON_HUGE" && aMask.PropertyName == "BORDERSMASK") {
    aMask.CornerType = 2;
    return;
  }
  aMask.CornerType = 0;
  if (aMask.R.Height() <= 0)
    return;
  const platform::Bitmap& image = aTables.ImageOf(aMask);
  int left = aMask.R.Left;
  int top = aMask.R.Top;
  int w = SkinDiv(aMask.R.Width(), aMask.ImageCount);
  int h = SkinDiv(aMask.R.Height(), aMask.MaskType + 1LL);
  struct Area {
    int X0, X1, Y0, Y1;
  } areas[] = {{left, left + aMask.WL, top, top + aMask.WT},
               {left + w - aMask.WR, left + w, top, top + aMask.WT},
               {left, left + aMask.WL, top + h - aMask.WB, top + h},
               {left + w - aMask.WR, left + w, top + h - aMask.WB, top + h}};
  for (const Area& a : areas) {
    int x1 = std::min(a.X1, image.Width() - 1);
    int y1 = std::min(a.Y1, image.Height() - 1);
    for (int y = std::max(a.Y0, 0); y < y1; ++y)
      for (int x = std::max(a.X0, 0); x < x1; ++x)
        if (image.Pixel(x, y) == 0x00FF00FFu) {
          aMask.CornerType = 1;
          return;
        }
  }
}

// The values an image entry keeps. The fixed-position notations cannot
// write others (counts of one digit, measures of four, draw modes of two);
// the external and legacy notations take any integer, and a damaged skin's
// value outside counts as the nearer end.
constexpr TsValueRange kImageCountRange{0, 255};
constexpr TsValueRange kMaskTypeRange{0, 255};
constexpr TsValueRange kImageMeasureRange{0, 9999};
constexpr TsValueRange kDrawModeRange{0, 99};

std::int16_t Bounded(int aValue, TsValueRange aRange) {
  return std::int16_t(std::clamp(aValue, aRange.Min, aRange.Max));
}

TsMaskData MaskOf(const TsImageNotation& aNotation, const std::string& aSection,
                  const std::string& aKey, const TsSkinSource& aSource) {
  TsMaskData m;
  m.ClassName = aSection;
  m.PropertyName = aKey;
  m.R = aNotation.R;
  m.ImageCount = Bounded(aNotation.ImageCount, kImageCountRange);
  m.MaskType = Bounded(aNotation.MaskType, kMaskTypeRange);
  m.BorderWidth = Bounded(aNotation.BorderWidth, kImageMeasureRange);
  m.DrawMode = Bounded(aNotation.DrawMode, kDrawModeRange);
  m.ImgType = aNotation.ImgType;
  m.Manager = aSource.Manager;
  m.WL = Bounded(aNotation.WL, kImageMeasureRange);
  m.WT = Bounded(aNotation.WT, kImageMeasureRange);
  m.WR = Bounded(aNotation.WR, kImageMeasureRange);
  m.WB = Bounded(aNotation.WB, kImageMeasureRange);
  return m;
}

// An image file named by an image value, keyed or post-processed as its
// kind asks.
void AddExternalImage(const TsSkinSource& aSource, TsSkinTables& aTables, TsImageNotation& aN,
                      const std::string& aSection, const std::string& aKey) {
  bool isBmp = aN.FileName.find(".BMP") != std::string::npos;
  auto image = LoadImage(aSource, aTables, {aSection, aKey, aN.FileName},
                         isBmp ? TImageKind::Bmp : TImageKind::Png);
  if (!image || image->Image.Width() == 0)
    return;
  auto bmp = std::make_shared<platform::Bitmap>(std::move(image->Image));
  if (isBmp && !image->Was32Bit())
    KeyMagenta(*bmp);
  else if (!isBmp && aSource.Brightness <= 0)
    PostProcessPng(*bmp, aTables.CommonSkinData.Version);
  aN.R = bmp->BoundsRect();
  if (!aN.WidthsGiven) {
    aN.WL = aN.WR = SkinDiv(bmp->Width(), aN.ImageCount * 3LL);
    aN.WT = aN.WB = SkinDiv(bmp->Height(), (aN.MaskType + 1LL) * 3);
  }
  TsMaskData m = MaskOf(aN, aSection, aKey, aSource);
  m.Bmp = std::move(bmp);
  if (m.ImgType == TqcImgType::itisaBorder)
    ComputeCornerType(aTables, m);
  aTables.ma.push_back(std::move(m));
}

// A rectangle of the master bitmap in the older notation: its borders are the
// border width given, else one state image.
void AddLegacyMask(const TsSkinSource& aSource, TsSkinTables& aTables, const TsImageNotation& aN,
                   const std::string& aSection, const std::string& aKey) {
  TsMaskData m = MaskOf(aN, UpperCase(aSection), UpperCase(aKey), aSource);
  if (m.BorderWidth != 0) {
    m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
  } else {
    m.WL = m.WR = std::int16_t(StateImageWidth(m));
    m.WT = m.WB = std::int16_t(StateImageHeight(m));
  }
  ComputeCornerType(aTables, m);
  aTables.ma.push_back(std::move(m));
}

// A ".BMP" file named on its own: its borders are a ninth of its width and a
// sixth of its height.
void AddPlainBmp(const TsSkinSource& aSource, TsSkinTables& aTables, TsImageNotation& aN,
                 const std::string& aSection, const std::string& aKey) {
  auto image = LoadImage(aSource, aTables, {aSection, aKey, aN.FileName}, TImageKind::Bmp);
  if (!image || image->Image.Width() == 0)
    return;
  auto bmp = std::make_shared<platform::Bitmap>(std::move(image->Image));
  KeyMagenta(*bmp);
  aN.R = bmp->BoundsRect();
  aN.WL = aN.WR = bmp->Width() / 9;
  aN.WT = aN.WB = bmp->Height() / 6;
  TsMaskData m = MaskOf(aN, UpperCase(aSection), UpperCase(aKey), aSource);
  m.Bmp = std::move(bmp);
  ComputeCornerType(aTables, m);
  aTables.ma.push_back(std::move(m));
}

// One image value of the skin's own options.
void AddImageValue(const TsSkinSource& aSource, TsSkinTables& aTables, const std::string& aSection,
                   const std::string& aKey, const std::string& aValue) {
  TsImageNotation n = ParseImageValue(aValue);
  switch (n.Kind) {
  case TsNotationKind::Texture:
  case TsNotationKind::Glyph:
    aTables.ma.push_back(MaskOf(n, aSection, aKey, aSource));
    break;
  case TsNotationKind::Border: {
    ApplyBorderWidthRule(n);
    TsMaskData m = MaskOf(n, aSection, aKey, aSource);
    ComputeCornerType(aTables, m);
    aTables.ma.push_back(std::move(m));
    break;
  }
  case TsNotationKind::External:
    AddExternalImage(aSource, aTables, n, aSection, aKey);
    break;
  case TsNotationKind::Legacy:
    AddLegacyMask(aSource, aTables, n, aSection, aKey);
    break;
  case TsNotationKind::PlainBmp:
    AddPlainBmp(aSource, aTables, n, aSection, aKey);
    break;
  case TsNotationKind::Jpeg:
  case TsNotationKind::None:
    break;
  }
}

// Image values of the application's sections: "#" rectangles and ".BMP"
// files from the skin folder only.
void AddCommonImageValue(const TsSkinSource& aSource, TsSkinTables& aTables,
                         const std::string& aSection, const std::string& aKey,
                         const std::string& aValue) {
  TsNotationKind kind = ClassifyImageValue(aValue);
  if (kind == TsNotationKind::Legacy) {
    AddImageValue(aSource, aTables, aSection, aKey, aValue);
  } else if (kind == TsNotationKind::PlainBmp) {
    TsSkinSource files = aSource;
    files.Packed = nullptr;
    AddImageValue(files, aTables, aSection, aKey, aValue);
  }
}

void AddJpegValue(const TsSkinSource& aSource, TsSkinTables& aTables, const std::string& aSection,
                  const std::string& aKey, const std::string& aValue, bool aFilesOnly) {
  std::string name = UpperCase(aValue);
  if (name.find(".JPG") == std::string::npos && name.find(".JPEG") == std::string::npos)
    return;
  auto image = LoadImage(aSource, aTables, {aSection, aKey, name}, TImageKind::Jpeg, aFilesOnly);
  if (!image || image->Image.Width() == 0)
    return;
  auto bmp = std::make_shared<platform::Bitmap>(std::move(image->Image));
  if (std::int64_t(bmp->Width()) * bmp->Height() >= kPatternPixels) {
    aTables.pa.push_back({std::move(bmp), UpperCase(aSection), UpperCase(aKey)});
    return;
  }
  KeyMagenta(*bmp);
  TsMaskData m;
  // The whole image is the tile; an empty rectangle would tile nothing.
  m.R = bmp->BoundsRect();
  m.Bmp = std::move(bmp);
  m.ClassName = UpperCase(aSection);
  m.PropertyName = UpperCase(aKey);
  m.ImgType = TqcImgType::itisaTexture;
  m.ImageCount = 1;
  m.Manager = aSource.Manager;
  aTables.ma.push_back(std::move(m));
}

// Every key of every section in file order with the value a lookup gives: a
// repeated section shows the keys of its first occurrence, and a repeated
// key the first value. Lines without "=" have no value and are skipped.
template <typename Visit>
void ForEachValue(const TsSkinOptions& aOptions, Visit aVisit) {
  for (const auto& section : aOptions.Sections()) {
    const TsIniSection* first = aOptions.FindSection(section.Name);
    for (const auto& entry : first->Entries)
      if (auto value = aOptions.Read(section.Name, entry.Key))
        aVisit(section.Name, entry.Key, *value);
  }
}

int ReadGlobal(const TsSkinOptions& aOptions, const char* aKey, int aDefault,
               TsValueRange aRange = AnyValue) {
  return std::clamp(aOptions.ReadInteger(kGlobal, aKey, aDefault), aRange.Min, aRange.Max);
}

TsGeneralData ReadSection(const TsSkinOptions& aOptions, const std::string& aSection) {
  TsGeneralData g;
  auto read = [&](const std::string& aKey, int aDefault, TsValueRange aRange) {
    return std::max(aRange.Min,
                    aOptions.ReadInheritedInteger(aSection, aKey, aDefault, aRange.Max));
  };
  auto readText = [&](const std::string& aKey, const std::string& aDefault) {
    return aOptions.ReadInheritedString(aSection, aKey, aDefault);
  };
  g.ClassName = aSection;
  g.ParentClass = aOptions.ReadString(aSection, "PARENTCLASS", "");
  g.ReservedBoolean = aOptions.ReadInheritedBool(aSection, "RESERVEDBOOLEAN", false);
  g.GiveOwnFont = aOptions.ReadInheritedBool(aSection, "GIVEOWNFONT", false);
  g.GlowCount = read("GLOW", 0, ByteRange);
  g.GlowMargin = read("GLOWMARGIN", 0, ByteRange);
  g.States = read("STATES", 3, StatesRange);
  g.OuterMode = read("OUTERMODE", 2, AnyValue);
  g.OuterOpacity = read("OUTOPACITY", 200, ByteRange);
  g.OuterOffset = {read("OUTOFFSL", 0, ByteRange), read("OUTOFFST", 0, ByteRange),
                   read("OUTOFFSR", 0, ByteRange), read("OUTOFFSB", 0, ByteRange)};
  g.ImgTL = g.ImgTR = g.ImgBL = g.ImgBR = -1;
  ReadSectionStates({DefaultGenState(), DefaultGenState()}, read, readText, g);
  return g;
}

// A section of the application's options that the skin does not have:
// defaults from its parent section when that exists.
TsGeneralData ReadCommonSection(const TsSkinOptions& aCommon, const TsSkinTables& aTables,
                                const TsIniSection& aSection) {
  TsGeneralData g;
  g.ClassName = aSection.Name;
  g.ParentClass = aCommon.ReadString(aSection.Name, "PARENTCLASS", "");
  const TsGeneralData* parent = nullptr;
  for (const auto& existing : aTables.gd)
    if (!parent && !g.ParentClass.empty() &&
        UpperCase(existing.ClassName) == UpperCase(g.ParentClass))
      parent = &existing;
  TsGeneralData defaults;
  if (parent) {
    defaults = *parent;
  } else {
    // The skin's defaults, except that an application section has no text
    // colour of its own.
    defaults.States = 3;
    TsGenState state = DefaultGenState();
    state.FontColor.Color = -1;
    defaults.Props = {state, state};
  }
  // Application sections have no upper limits; the lower ends hold as for
  // the skin's own.
  auto read = [&](const std::string& aKey, int aDefault, TsValueRange aRange) {
    return std::max(aRange.Min, aCommon.ReadInteger(aSection.Name, aKey, aDefault));
  };
  auto readText = [&](const std::string& aKey, const std::string& aDefault) {
    return aCommon.ReadString(aSection.Name, aKey, aDefault);
  };
  g.States = read("STATES", defaults.States, StatesRange);
  ReadSectionStates(defaults.Props, read, readText, g);
  auto readBool = [&](const char* aKey, bool aDefault) {
    auto text = aCommon.Read(aSection.Name, aKey);
    return text ? (*text == "TRUE" || *text == "1") : aDefault;
  };
  g.ReservedBoolean = readBool("RESERVEDBOOLEAN", defaults.ReservedBoolean);
  g.GiveOwnFont = readBool("GIVEOWNFONT", defaults.GiveOwnFont);
  g.GlowCount = read("GLOW", defaults.GlowCount, ByteRange);
  g.GlowMargin = read("GLOWMARGIN", defaults.GlowMargin, ByteRange);
  g.ImgTL = g.ImgTR = g.ImgBL = g.ImgBR = -1;
  return g;
}

TColor SystemColorRef(int aIndex) {
  return 0xFF000000u | TColor(aIndex);
}

TColor SystemRGB(int aIndex) {
  return platform::GetSysColor(aIndex);
}

// The even rows' default: the edit background with a twentieth of the text
// colour mixed in.
TColor EvenRowColor(TColor aText, TColor aBack) {
  auto mix = [&](int aShift) {
    double v = 0.05 * double((aText >> aShift) & 0xFF) + 0.95 * double((aBack >> aShift) & 0xFF);
    return TColor(std::nearbyint(v)) << aShift;
  };
  return (aText & 0xFF000000u) | mix(0) | mix(8) | mix(16);
}

} // namespace

void KeyMagenta(platform::Bitmap& aBitmap) {
  for (int y = 0; y < aBitmap.Height(); ++y) {
    std::uint32_t* row = aBitmap.ScanLine(y);
    for (int x = 0; x < aBitmap.Width(); ++x)
      row[x] = (row[x] & 0x00FFFFFFu) == 0x00FF00FFu ? 0x00FF00FFu : (row[x] | 0xFF000000u);
  }
}

void PostProcessPng(platform::Bitmap& aBitmap, double aVersion) {
  if (aVersion >= 7.45)
    PremultiplyAlpha(aBitmap, aBitmap.BoundsRect());
  else
    ClearTransparentWhite(aBitmap, aBitmap.BoundsRect());
}

int BlurTemplateValue(int aX, int aY) {
  static constexpr int kQuarter[10][10] = {{255, 254, 253, 250, 247, 243, 238, 235, 233, 232},
                                           {254, 251, 246, 237, 226, 214, 203, 195, 190, 188},
                                           {253, 246, 234, 216, 194, 172, 155, 144, 137, 135},
                                           {250, 237, 216, 187, 155, 128, 108, 96, 89, 87},
                                           {247, 226, 194, 155, 115, 86, 69, 58, 52, 51},
                                           {243, 214, 172, 128, 86, 61, 51, 51, 51, 51},
                                           {238, 203, 155, 108, 69, 51, 51, 51, 51, 51},
                                           {235, 195, 144, 96, 58, 51, 51, 51, 51, 51},
                                           {233, 190, 137, 89, 52, 51, 51, 51, 51, 51},
                                           {232, 188, 135, 87, 51, 51, 51, 51, 51, 51}};
  int row = std::min(aY, 18 - aY);
  int col = std::min(aX, 18 - aX);
  return kQuarter[row][col];
}

platform::Bitmap MakeBlurMask(const TqcOutEffData& aEffect) {
  constexpr int w = 19;
  constexpr int h = w / 2;
  platform::Bitmap mask(w, 2 * w);
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) {
      TColor color = y < h ? TColor(aEffect.ColorT) : TColor(aEffect.ColorB);
      // Left triangle (0, 1), (h - 1, h), (0, w - 2); right triangle mirrored.
      if (x <= y - 1 && x <= (w - 2) - y)
        color = TColor(aEffect.ColorL);
      int mx = w - 1 - x;
      if (mx <= y - 1 && mx <= (w - 2) - y)
        color = TColor(aEffect.ColorR);
      mask.SetPixel(x, y, platform::raster::PixelOf(color));
    }
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t v = std::uint32_t(BlurTemplateValue(x, y));
      mask.SetPixel(x, w + y, 0xFF000000u | v << 16 | v << 8 | v);
    }
  return mask;
}

void LoadAllMasks(const TsSkinSource& aSource, TsSkinTables& aTables) {
  const TsSkinOptions& options = *aSource.Options;
  aTables.ma.clear();
  aTables.MissingImages.clear();
  aTables.MasterBitmap = std::make_shared<platform::Bitmap>();
  aTables.CommonSkinData.Version = ParseSkinVersion(options.ReadString(kGlobal, "VERSION", ""));
  std::string master = options.ReadString(kGlobal, "MASTERBITMAP", "");
  if (!master.empty()) {
    auto image = LoadImage(aSource, aTables, {kGlobal, "MASTERBITMAP", master}, TImageKind::Bmp);
    if (image) {
      bool was32 = image->Was32Bit();
      *aTables.MasterBitmap = std::move(image->Image);
      if (!was32)
        KeyMagenta(*aTables.MasterBitmap);
    }
  }
  ForEachValue(options, [&](const std::string& aSection, const std::string& aKey,
                            const std::string& aValue) {
    if (aSection != kGlobal || aKey != "MASTERBITMAP")
      AddImageValue(aSource, aTables, aSection, aKey, aValue);
  });
  if (aSource.CommonSections)
    ForEachValue(*aSource.CommonSections, [&](const std::string& aSection, const std::string& aKey,
                                              const std::string& aValue) {
      if (!SameText(aSection, kGlobal))
        AddCommonImageValue(aSource, aTables, aSection, aKey, aValue);
    });
}

void LoadAllPatterns(const TsSkinSource& aSource, TsSkinTables& aTables) {
  aTables.pa.clear();
  ForEachValue(*aSource.Options, [&](const std::string& aSection, const std::string& aKey,
                                     const std::string& aValue) {
    AddJpegValue(aSource, aTables, aSection, aKey, aValue, false);
  });
  if (aSource.CommonSections)
    ForEachValue(*aSource.CommonSections, [&](const std::string& aSection, const std::string& aKey,
                                              const std::string& aValue) {
      AddJpegValue(aSource, aTables, aSection, aKey, aValue, true);
    });
}

void ReadCommonSkinData(const TsSkinOptions& aOptions, TsSkinData& d) {
  d.Version = ParseSkinVersion(aOptions.ReadString(kGlobal, "VERSION", ""));
  d.Author = aOptions.ReadString(kGlobal, "AUTHOR", "");
  d.Description = aOptions.ReadString(kGlobal, "DESCRIPTION", "");
  // The metric keys that take a plain default, with the values they keep:
  // sizes are not negative, placements stay within a window's reach, and
  // modes, flags and colours keep any value.
  constexpr TsValueRange size{0, kMaxMeasure};
  constexpr TsValueRange place{-kMaxMeasure, kMaxMeasure};
  static constexpr struct {
    int TsSkinData::*Field;
    const char* Key;
    int Default;
    TsValueRange Range;
  } kMetrics[] = {{&TsSkinData::ExBorderWidth, "BORDERWIDTH", 4, size},
                  {&TsSkinData::ExTitleHeight, "TITLEHEIGHT", 30, size},
                  {&TsSkinData::ExMaxHeight, "MAXHEIGHT", 0, size},
                  {&TsSkinData::ExCenterOffs, "CENTEROFFSET", 0, place},
                  {&TsSkinData::ExDrawMode, "BORDERMODE", 0, AnyValue},
                  {&TsSkinData::BrightMin, "BRIGHTMIN", -50, AnyValue},
                  {&TsSkinData::BrightMax, "BRIGHTMAX", 50, AnyValue},
                  {&TsSkinData::ExShadowOffs, "ALIGNOFFSET", 0, place},
                  {&TsSkinData::BISpacing, "BISPACE", 0, place},
                  {&TsSkinData::BIVAlign, "BIVALIGN", 0, AnyValue},
                  {&TsSkinData::BIRightMargin, "BIRIGHT", 0, place},
                  {&TsSkinData::BILeftMargin, "BILEFT", 0, place},
                  {&TsSkinData::BITopMargin, "BITOP", 0, place},
                  {&TsSkinData::BIKeepHUE, "BIKEEPHUE", 0, AnyValue},
                  {&TsSkinData::BICloseGlow, "BICONCLOSEGLOW", 0, AnyValue},
                  {&TsSkinData::BICloseGlowMargin, "BICONCLOSEGLOWMARGIN", 0, ByteRange},
                  {&TsSkinData::BIMaxGlow, "BICONMAXGLOW", 0, AnyValue},
                  {&TsSkinData::BIMaxGlowMargin, "BICONMAXGLOWMARGIN", 0, ByteRange},
                  {&TsSkinData::BIMinGlow, "BICONMINGLOW", 0, AnyValue},
                  {&TsSkinData::BIMinGlowMargin, "BICONMINGLOWMARGIN", 0, ByteRange},
                  {&TsSkinData::Shadow1Color, "SHADOW1COLOR", 0, AnyValue},
                  {&TsSkinData::Shadow1Offset, "SHADOW1OFFSET", 0, place},
                  {&TsSkinData::Shadow1Blur, "SHADOW1BLUR", -1, {-1, 255}},
                  {&TsSkinData::Shadow1Transparency, "SHADOW1TRANSPARENCY", 0, PercentRange},
                  {&TsSkinData::ComboBoxMargin, "COMBOMARGIN", 2, place},
                  {&TsSkinData::TabsCovering, "TABSCOVERING", 0, place}};
  for (const auto& m : kMetrics)
    d.*m.Field = ReadGlobal(aOptions, m.Key, m.Default, m.Range);
  if (d.ExTitleHeight == 0)
    d.ExTitleHeight = 30;
  if (d.ExMaxHeight == 0)
    d.ExMaxHeight = d.ExTitleHeight;
  d.ExContentOffs = ReadGlobal(aOptions, "FORMOFFSET",
                               platform::GetSystemMetrics(platform::SM_CXSIZEFRAME), size);
  d.ExShadowOffsR = ReadGlobal(aOptions, "ALIGNOFFSETR", d.ExShadowOffs, place);
  d.ExShadowOffsT = ReadGlobal(aOptions, "ALIGNOFFSETT", d.ExShadowOffs, place);
  d.ExShadowOffsB = ReadGlobal(aOptions, "ALIGNOFFSETB", d.ExShadowOffs, place);
  d.UseAeroBluring = ReadGlobal(aOptions, "AEROBLUR", 0) != 0;
}

namespace {

// The keys and defaults of one outer effect.
struct TsOuterEffectKeys {
  const char* Prefix;
  int Colors[4];
  int Offsets[4];
  int Opacity;
};

void ReadOuterEffect(const TsSkinOptions& aOptions, const TsOuterEffectKeys& aKeys,
                     TqcOutEffData& aEffect) {
  const std::string p = aKeys.Prefix;
  auto read = [&](const std::string& aKey, int aDefault) {
    return aOptions.ReadInteger(kGlobal, p + aKey, aDefault);
  };
  aEffect.ColorL = read("COLORL", aKeys.Colors[0]);
  aEffect.ColorT = read("COLORT", aKeys.Colors[1]);
  aEffect.ColorR = read("COLORR", aKeys.Colors[2]);
  aEffect.ColorB = read("COLORB", aKeys.Colors[3]);
  aEffect.WidthL = read("WIDTHL", -1);
  aEffect.WidthT = read("WIDTHT", -1);
  aEffect.WidthR = read("WIDTHR", -1);
  aEffect.WidthB = read("WIDTHB", -1);
  aEffect.OffsetL = read("OFFSETL", aKeys.Offsets[0]);
  aEffect.OffsetT = read("OFFSETT", aKeys.Offsets[1]);
  aEffect.OffsetR = read("OFFSETR", aKeys.Offsets[2]);
  aEffect.OffsetB = read("OFFSETB", aKeys.Offsets[3]);
  aEffect.Source = read("SOURCE", 2);
  aEffect.Opacity = read("OPACITY", aKeys.Opacity);
}

// The mask the skin names for an effect; -1 when it names none.
int AddNamedEffectMask(const TsSkinSource& aSource, TsSkinTables& aTables,
                       const std::string& aMaskKey) {
  std::string value = aSource.Options->ReadString(kGlobal, aMaskKey, "");
  if (value.empty())
    return -1;
  TsImageNotation n = ParseImageValue("^" + value.substr(1));
  aTables.ma.push_back(MaskOf(n, kGlobal, aMaskKey, aSource));
  return int(aTables.ma.size()) - 1;
}

// A blurred mask made for an effect; unset widths become half its size.
int AddBlurEffectMask(const TsSkinSource& aSource, TsSkinTables& aTables, TqcOutEffData& aEffect,
                      const std::string& aMaskKey) {
  constexpr int w = 19;
  constexpr int h = w / 2;
  for (int* width : {&aEffect.WidthL, &aEffect.WidthT, &aEffect.WidthR, &aEffect.WidthB})
    if (*width == -1)
      *width = h;
  TsMaskData m;
  m.Bmp = std::make_shared<platform::Bitmap>(MakeBlurMask(aEffect));
  m.ClassName = kGlobal;
  m.PropertyName = aMaskKey;
  m.R = {0, 0, w, 2 * w};
  m.ImageCount = 1;
  m.MaskType = 1;
  m.BorderWidth = m.WL = m.WT = m.WR = m.WB = h;
  m.DrawMode = 1;
  m.Manager = aSource.Manager;
  aTables.ma.push_back(std::move(m));
  return int(aTables.ma.size()) - 1;
}

} // namespace

void LoadOuterEffects(const TsSkinSource& aSource, TsSkinTables& aTables) {
  static constexpr TsOuterEffectKeys kKeys[2] = {
      {"LO_", {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}, {2, 2, 2, 4}, 200},
      {"SH_", {0, 0, 0, 0}, {3, 2, 3, 5}, 60}};
  for (int index : {1, 0}) {
    const TsOuterEffectKeys& keys = kKeys[index];
    TqcOutEffData& e = aTables.oe[std::size_t(index)];
    ReadOuterEffect(*aSource.Options, keys, e);
    const std::string maskKey = std::string(keys.Prefix) + "MASK";
    if (e.Source == 0)
      e.Mask = -1;
    else if (e.Source == 1)
      e.Mask = AddNamedEffectMask(aSource, aTables, maskKey);
    else
      e.Mask = AddBlurEffectMask(aSource, aTables, e, maskKey);
  }
}

namespace {

void FillEditColors(const TsSkinTables& aTables, TqcPaletteArray& p) {
  int edit = aTables.GetSkinIndex("EDIT");
  if (edit >= 0) {
    p[pcEditText] =
        TColor(ResolveSkinColor(aTables.gd[std::size_t(edit)].Props[0].FontColor.Color));
    p[pcEditBG] = TColor(ResolveSkinColor(aTables.gd[std::size_t(edit)].Props[0].Color));
  } else {
    p[pcEditText] = SystemRGB(platform::COLOR_WINDOWTEXT);
    p[pcEditBG] = SystemRGB(platform::COLOR_WINDOW);
  }
}

bool SelectionTextUnset(const TqcPaletteArray& p) {
  return p[pcSelectionText] == TColor(-1) || p[pcSelectionText] == KeyColor;
}

// A skin without its own selection colours takes the hot menu item's, else
// the system's.
void FillSelectionFromMenuItem(const TsSkinTables& aTables, TqcPaletteArray& p) {
  int menuItem = aTables.GetSkinIndex("MENUITEM");
  if (!aTables.IsValidSkinIndex(menuItem)) {
    p[pcSelectionText] = p[pcSelectionText_Focused] = SystemRGB(platform::COLOR_HIGHLIGHTTEXT);
    p[pcSelectionBG] = p[pcSelectionBG_Focused] = SystemRGB(platform::COLOR_HIGHLIGHT);
    return;
  }
  const TsGeneralData& m = aTables.gd[std::size_t(menuItem)];
  p[pcSelectionText] = TColor(m.Props[1].FontColor.Color);
  p[pcSelectionBG] = p[pcSelectionBG_Focused] = TColor(m.Props[1].Color);
  if (SelectionTextUnset(p))
    p[pcSelectionText] = SystemColorRef(platform::COLOR_HIGHLIGHTTEXT);
  else
    p[pcSelectionText] = TColor(ResolveSkinColor(int(p[pcSelectionText])));
  p[pcSelectionText_Focused] = p[pcSelectionText];
}

void FillSelectionColors(const TsSkinTables& aTables, TqcPaletteArray& p) {
  int selection = aTables.GetSkinIndex("SELECTION");
  if (aTables.IsValidSkinIndex(selection)) {
    const TsGeneralData& s = aTables.gd[std::size_t(selection)];
    p[pcSelectionText] = TColor(s.Props[0].FontColor.Color);
    p[pcSelectionBG] = TColor(s.Props[0].Color);
    const TsGenState& focused = s.States > 1 ? s.Props[1] : s.Props[0];
    p[pcSelectionText_Focused] = TColor(focused.FontColor.Color);
    p[pcSelectionBG_Focused] = TColor(focused.Color);
  } else {
    p[pcSelectionText] = p[pcSelectionBG] = p[pcSelectionText_Focused] = p[pcSelectionBG_Focused] =
        TColor(-1);
  }
  if (SelectionTextUnset(p))
    FillSelectionFromMenuItem(aTables, p);
}

// The status, highlight and row colours, in the order they are read.
void FillStatusColors(const TsSkinOptions& aOptions, TqcPaletteArray& p) {
  static constexpr struct {
    TqcPaletteColors Entry;
    const char* Key;
    int Default;
  } kStatusColors[] = {{pcEditText_Ok, "EDITTEXT_OK", 0x008000},
                       {pcEditText_Warning, "EDITTEXT_WARN", 0x008484},
                       {pcEditText_Alert, "EDITTEXT_ALERT", 0x0000FF},
                       {pcEditText_Caution, "EDITTEXT_ALERT", 0x8597D9},
                       {pcEditText_Bypassed, "EDITTEXT_ALERT", 0x4AB28F},
                       {pcEditBG_Ok, "EDITBG_OK", 0x6CC2A5},
                       {pcEditBG_Warning, "EDITBG_WARN", 0x40FFFF},
                       {pcEditBG_Alert, "EDITBG_ALERT", 0x95A7E9},
                       {pcEditBG_Caution, "EDITBG_ALERT", 0x8597D9},
                       {pcEditBG_Bypassed, "EDITBG_ALERT", 0x4AB28F},
                       {pcEditText_Highlight1, "EDITTEXT_H1", 0},
                       {pcEditText_Highlight2, "EDITTEXT_H2", 0},
                       {pcEditText_Highlight3, "EDITTEXT_H3", 0}};
  for (const auto& c : kStatusColors)
    p[c.Entry] = TColor(ReadGlobal(aOptions, c.Key, c.Default));
  p[pcEditText_Inverted] = TColor(ReadGlobal(aOptions, "EDITTEXT_INV", int(p[pcEditBG])));
  p[pcEditBG_Inverted] = TColor(ReadGlobal(aOptions, "EDITBG_INV", int(p[pcEditText])));
  p[pcEditBG_OddRow] = TColor(ReadGlobal(aOptions, "EDITBG_ODD", int(p[pcEditBG])));
  p[pcEditBG_EvenRow] =
      TColor(ReadGlobal(aOptions, "EDITBG_EVEN", int(EvenRowColor(p[pcEditText], p[pcEditBG]))));
}

} // namespace

void FillPalette(const TsSkinOptions& aOptions, TsSkinTables& aTables) {
  TqcPaletteArray& p = aTables.Palette;
  p[pcMainColor] = TColor(ReadGlobal(aOptions, "COLOR", int(SystemRGB(platform::COLOR_BTNFACE))));
  p[pcLabelText] = TColor(ReadGlobal(aOptions, "FONTCOLOR", 0));
  p[pcWebText] = TColor(ReadGlobal(aOptions, "TCBOTTOM", 0xFF0000));
  p[pcWebTextHot] = TColor(ReadGlobal(aOptions, "TCTOP", 0x0000FF));
  p[pcBorder] = TColor(ReadGlobal(aOptions, "BORDERCOLOR", 0));
  FillEditColors(aTables, p);
  FillSelectionColors(aTables, p);
  FillStatusColors(aOptions, p);
}

void AddTransparentSection(TsSkinTables& aTables) {
  if (aTables.GetSkinIndex("TRANSPARENT") != -1)
    return;
  TsGeneralData g;
  g.ClassName = "TRANSPARENT";
  g.States = 1;
  for (auto& state : g.Props) {
    state.Transparency = 100;
    state.Color = 0xFFFFFF;
    state.FontColor = {int(aTables.Palette[pcLabelText]), -1, -1, -1, -1};
  }
  aTables.gd.push_back(std::move(g));
}

void LoadAllGeneralData(const TsSkinSource& aSource, TsSkinTables& aTables) {
  const TsSkinOptions& options = *aSource.Options;
  std::string skinPath = aTables.CommonSkinData.SkinPath;
  ReadCommonSkinData(options, aTables.CommonSkinData);
  aTables.CommonSkinData.SkinPath = skinPath;
  LoadOuterEffects(aSource, aTables);
  aTables.gd.clear();
  for (const auto& section : options.Sections())
    aTables.gd.push_back(ReadSection(options, section.Name));
  if (aSource.CommonSections)
    for (const auto& section : aSource.CommonSections->Sections())
      if (!SameText(section.Name, kGlobal) && aTables.GetSkinIndex(section.Name) < 0)
        aTables.gd.push_back(ReadCommonSection(*aSource.CommonSections, aTables, section));
  aTables.InitMaskIndexes();
  FillPalette(options, aTables);
  AddTransparentSection(aTables);
  AdjustSkinColors(aTables, aSource.HueOffset, aSource.Saturation, aSource.Brightness);
}

void LoadSkinTables(const TsSkinSource& aSource, TsSkinTables& aTables) {
  if (!aSource.Options)
    throw ESkinError("The skin has no options file");
  LoadAllMasks(aSource, aTables);
  LoadAllPatterns(aSource, aTables);
  LoadAllGeneralData(aSource, aTables);
  aTables.InitConstantIndexes();
}
