#include "SkinTool.h"

#include "SkinLoad.h"
#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinText.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>

namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace {

// A stored entry name must be a plain file name: no folders, no way out of
// the target folder.
bool IsPlainFileName(const std::string& aName) {
  return !aName.empty() && aName != "." && aName != ".." &&
         aName.find_first_of("/\\") == std::string::npos && aName.find('\0') == std::string::npos;
}

ordered_json RectJson(const TRect& aRect) {
  return {
      {"Left", aRect.Left}, {"Top", aRect.Top}, {"Right", aRect.Right}, {"Bottom", aRect.Bottom}};
}

ordered_json StateJson(const TsGenState& s) {
  ordered_json gradient = ordered_json::array();
  for (const auto& pie : s.GradientArray)
    gradient.push_back({{"Color1", pie.Color1},
                        {"Color2", pie.Color2},
                        {"Percent", pie.Percent},
                        {"Mode1", pie.Mode1},
                        {"Mode2", pie.Mode2}});
  return {{"Color", s.Color},
          {"FontColor",
           {{"Color", s.FontColor.Color},
            {"Left", s.FontColor.Left},
            {"Top", s.FontColor.Top},
            {"Right", s.FontColor.Right},
            {"Bottom", s.FontColor.Bottom}}},
          {"GradientPercent", s.GradientPercent},
          {"GradientData", s.GradientData},
          {"GradientArray", gradient},
          {"ImagePercent", s.ImagePercent},
          {"TextureIndex", s.TextureIndex},
          {"GlowColor", s.GlowColor},
          {"GlowSize", s.GlowSize},
          {"Transparency", s.Transparency}};
}

const char* ImgTypeName(TqcImgType aType) {
  switch (aType) {
  case TqcImgType::itisaBorder:
    return "itisaBorder";
  case TqcImgType::itisaTexture:
    return "itisaTexture";
  case TqcImgType::itisaGlyph:
    return "itisaGlyph";
  case TqcImgType::itisaGlow:
    return "itisaGlow";
  case TqcImgType::itisaPngGlyph:
    return "itisaPngGlyph";
  }
  return "";
}

ordered_json ElementJson(const TqcConstElementData& e) {
  return {{"SkinIndex", e.SkinIndex},
          {"MaskIndex", e.MaskIndex},
          {"GlyphIndex", e.GlyphIndex},
          {"BGIndex", e.BGIndex},
          {"SkinSection", e.SkinSection}};
}

ordered_json ConstDataJson(const TConstantSkinData& c) {
  auto sides = [](const TqcSideElements& aSides) {
    ordered_json out = ordered_json::array();
    for (const auto& e : aSides)
      out.push_back(ElementJson(e));
    return out;
  };
  return {{"IndexGLobalInfo", c.IndexGLobalInfo},
          {"ExBorder", c.ExBorder},
          {"Tabs", sides(c.Tabs)},
          {"ScrollBtns", sides(c.ScrollBtns)},
          {"Scrolls", sides(c.Scrolls)},
          {"Sliders", {ElementJson(c.Sliders[0]), ElementJson(c.Sliders[1])}},
          {"ComboBtn", ElementJson(c.ComboBtn)},
          {"MaskCloseBtn", c.MaskCloseBtn},
          {"MaskCloseAloneBtn", c.MaskCloseAloneBtn},
          {"MaskMaxBtn", c.MaskMaxBtn},
          {"MaskNormBtn", c.MaskNormBtn},
          {"MaskMinBtn", c.MaskMinBtn},
          {"MaskHelpBtn", c.MaskHelpBtn},
          {"MaskCloseSmall", c.MaskCloseSmall},
          {"MaskMaxSmall", c.MaskMaxSmall},
          {"MaskNormSmall", c.MaskNormSmall},
          {"MaskMinSmall", c.MaskMinSmall},
          {"MaskHelpSmall", c.MaskHelpSmall},
          {"CheckBoxChecked", c.CheckBoxChecked},
          {"CheckBoxUnChecked", c.CheckBoxUnChecked},
          {"CheckBoxGrayed", c.CheckBoxGrayed},
          {"RadioButtonChecked", c.RadioButtonChecked},
          {"RadioButtonUnChecked", c.RadioButtonUnChecked},
          {"RadioButtonGrayed", c.RadioButtonGrayed},
          {"SmallCheckBoxChecked", c.SmallCheckBoxChecked},
          {"SmallCheckBoxUnChecked", c.SmallCheckBoxUnChecked},
          {"SmallCheckBoxGrayed", c.SmallCheckBoxGrayed},
          {"GripRightBottom", c.GripRightBottom},
          {"GripHorizontal", c.GripHorizontal},
          {"GripVertical", c.GripVertical},
          {"Sections", c.Sections}};
}

ordered_json CommonSkinDataJson(const TsSkinData& d) {
  return {{"Active", d.Active},
          {"SkinPath", d.SkinPath},
          {"Version", d.Version},
          {"Author", d.Author},
          {"Description", d.Description},
          {"Shadow1Color", d.Shadow1Color},
          {"Shadow1Offset", d.Shadow1Offset},
          {"Shadow1Blur", d.Shadow1Blur},
          {"Shadow1Transparency", d.Shadow1Transparency},
          {"ExBorderWidth", d.ExBorderWidth},
          {"ExTitleHeight", d.ExTitleHeight},
          {"ExMaxHeight", d.ExMaxHeight},
          {"ExContentOffs", d.ExContentOffs},
          {"ExCenterOffs", d.ExCenterOffs},
          {"ExDrawMode", d.ExDrawMode},
          {"ExShadowOffs", d.ExShadowOffs},
          {"ExShadowOffsR", d.ExShadowOffsR},
          {"ExShadowOffsT", d.ExShadowOffsT},
          {"ExShadowOffsB", d.ExShadowOffsB},
          {"FXColor", d.FXColor},
          {"BISpacing", d.BISpacing},
          {"BIVAlign", d.BIVAlign},
          {"BIRightMargin", d.BIRightMargin},
          {"BILeftMargin", d.BILeftMargin},
          {"BITopMargin", d.BITopMargin},
          {"BIKeepHUE", d.BIKeepHUE},
          {"BICloseGlow", d.BICloseGlow},
          {"BICloseGlowMargin", d.BICloseGlowMargin},
          {"BIMaxGlow", d.BIMaxGlow},
          {"BIMaxGlowMargin", d.BIMaxGlowMargin},
          {"BIMinGlow", d.BIMinGlow},
          {"BIMinGlowMargin", d.BIMinGlowMargin},
          {"UseAeroBluring", d.UseAeroBluring},
          {"ComboBoxMargin", d.ComboBoxMargin},
          {"BrightMin", d.BrightMin},
          {"BrightMax", d.BrightMax},
          {"TabsCovering", d.TabsCovering}};
}

// The text that tells a skin author about an image the load did not find.
std::string MissingImageWarning(const TsMissingImage& aImage) {
  return "image \"" + aImage.FileName + "\" named by [" + aImage.Section + "] " + aImage.Key +
         " is missing";
}

ordered_json ManagerJson(const TsSkinManager& m, const std::optional<std::string>& aError) {
  ordered_json sections = ordered_json::array();
  for (const auto& g : m.gd)
    sections.push_back({{"ClassName", g.ClassName},
                        {"ParentClass", g.ParentClass},
                        {"States", g.States},
                        {"Props", {StateJson(g.Props[0]), StateJson(g.Props[1])}},
                        {"GiveOwnFont", g.GiveOwnFont},
                        {"ReservedBoolean", g.ReservedBoolean},
                        {"GlowCount", g.GlowCount},
                        {"GlowMargin", g.GlowMargin},
                        {"BorderIndex", g.BorderIndex},
                        {"ImgTL", g.ImgTL},
                        {"ImgTR", g.ImgTR},
                        {"ImgBL", g.ImgBL},
                        {"ImgBR", g.ImgBR},
                        {"TextureNormal", g.TextureNormal},
                        {"OuterMode", g.OuterMode},
                        {"OuterOffset", RectJson(g.OuterOffset)},
                        {"OuterMask", g.OuterMask},
                        {"OuterOpacity", g.OuterOpacity}});
  ordered_json masks = ordered_json::array();
  for (const auto& e : m.ma)
    masks.push_back({{"ClassName", e.ClassName},
                     {"PropertyName", e.PropertyName},
                     {"R", RectJson(e.R)},
                     {"ImageCount", e.ImageCount},
                     {"MaskType", e.MaskType},
                     {"BorderWidth", e.BorderWidth},
                     {"DrawMode", e.DrawMode},
                     {"ImgType", ImgTypeName(e.ImgType)},
                     {"WL", e.WL},
                     {"WT", e.WT},
                     {"WR", e.WR},
                     {"WB", e.WB},
                     {"CornerType", e.CornerType},
                     {"OwnBitmap", bool(e.Bmp)}});
  ordered_json patterns = ordered_json::array();
  for (const auto& p : m.pa)
    patterns.push_back({{"ClassName", p.ClassName},
                        {"PropertyName", p.PropertyName},
                        {"Width", p.Img ? p.Img->Width() : 0},
                        {"Height", p.Img ? p.Img->Height() : 0}});
  ordered_json palette = ordered_json::object();
  for (int i = 0; i < pcCount; ++i)
    palette[PaletteColorNames[std::size_t(i)]] = m.Palette[std::size_t(i)];
  ordered_json effects = ordered_json::array();
  for (const auto& e : m.oe)
    effects.push_back({{"ColorL", e.ColorL},
                       {"ColorT", e.ColorT},
                       {"ColorR", e.ColorR},
                       {"ColorB", e.ColorB},
                       {"OffsetL", e.OffsetL},
                       {"OffsetT", e.OffsetT},
                       {"OffsetR", e.OffsetR},
                       {"OffsetB", e.OffsetB},
                       {"WidthL", e.WidthL},
                       {"WidthT", e.WidthT},
                       {"WidthR", e.WidthR},
                       {"WidthB", e.WidthB},
                       {"Opacity", e.Opacity},
                       {"Source", e.Source},
                       {"Mask", e.Mask}});
  ordered_json warnings = ordered_json::array();
  for (const auto& image : m.MissingImages)
    warnings.push_back(MissingImageWarning(image));
  return {{"sections", sections},
          {"masks", masks},
          {"patterns", patterns},
          {"CommonSkinData", CommonSkinDataJson(m.CommonSkinData)},
          {"Palette", palette},
          {"oe", effects},
          {"ConstData", ConstDataJson(m.ConstData)},
          {"warnings", warnings},
          {"error", aError ? ordered_json(*aError) : ordered_json(nullptr)}};
}

} // namespace

int PackCommand(const std::string& aDir, const std::string& aOutFile, std::ostream& aErr) {
  std::error_code ec;
  if (!fs::is_directory(aDir, ec)) {
    aErr << "skintool: \"" << aDir << "\" is not a folder\n";
    return 1;
  }
  std::vector<std::string> names = ListFiles(aDir);
  std::sort(names.begin(), names.end());
  auto options = std::find_if(names.begin(), names.end(),
                              [](const std::string& n) { return UpperCase(n) == "OPTIONS.DAT"; });
  if (options == names.end()) {
    aErr << "skintool: \"" << aDir << "\" holds no Options.dat\n";
    return 1;
  }
  std::rotate(names.begin(), options, options + 1);
  std::vector<TqcPackEntry> entries;
  for (const auto& name : names) {
    auto bytes = ReadWholeFile((fs::path(aDir) / name).string());
    if (!bytes) {
      aErr << "skintool: cannot read \"" << name << "\"\n";
      return 1;
    }
    entries.push_back({name, std::move(*bytes)});
  }
  TBytes packed;
  try {
    packed = PackSkinData(entries);
  } catch (const std::exception& e) {
    aErr << "skintool: " << e.what() << "\n";
    return 1;
  }
  if (!WriteWholeFile(aOutFile, packed)) {
    aErr << "skintool: cannot write \"" << aOutFile << "\"\n";
    return 1;
  }
  return 0;
}

int UnpackCommand(const std::string& aFile, const std::string& aDir, std::ostream& aErr) {
  auto data = ReadWholeFile(aFile);
  if (!data) {
    aErr << "skintool: cannot read \"" << aFile << "\"\n";
    return 1;
  }
  TqcSkinConvertor convertor;
  std::string error;
  std::vector<TqcPackedEntryInfo> listed = ListSkinData(*data, error);
  if (!error.empty()) {
    aErr << "skintool: " << error << "\n";
    return 1;
  }
  UnpackSkinData(data->data(), data->size(), convertor);
  // Every name is checked before anything is written.
  for (const auto& entry : listed)
    if (!IsPlainFileName(entry.FileName)) {
      aErr << "skintool: entry name \"" << entry.FileName << "\" is not a plain file name\n";
      return 1;
    }
  std::error_code ec;
  fs::create_directories(aDir, ec);
  std::size_t image = 0;
  for (const auto& entry : listed) {
    // Entries come back in container order; the options entry (the last one
    // of that name wins when unpacking) is written from the convertor.
    const TBytes* content = nullptr;
    if (UpperCase(entry.FileName) == "OPTIONS.DAT")
      content = &*convertor.Options;
    else
      content = &convertor.Files[image++].FileStream;
    if (!WriteWholeFile((fs::path(aDir) / entry.FileName).string(), *content)) {
      aErr << "skintool: cannot write \"" << entry.FileName << "\"\n";
      return 1;
    }
  }
  return 0;
}

int ListCommand(const std::string& aFile, std::ostream& aOut) {
  auto data = ReadWholeFile(aFile);
  if (!data) {
    aOut << "Cannot open file \"" << aFile << "\"\n";
    return 1;
  }
  std::string error;
  for (const auto& entry : ListSkinData(*data, error))
    aOut << entry.FileName << '\t' << entry.Size << '\t' << entry.StreamEnd << '\n';
  if (!error.empty()) {
    aOut << error << '\n';
    return 1;
  }
  return 0;
}

int CheckCommand(const std::string& aPath, bool aJson, std::ostream& aOut) {
  TsSkinManager manager;
  const std::optional<std::string> error = LoadSkinPath(manager, aPath);
  if (aJson) {
    aOut << ManagerJson(manager, error).dump(2) << '\n';
  } else {
    aOut << "sections: " << manager.gd.size() << "\nimages: " << manager.ma.size()
         << "\npatterns: " << manager.pa.size() << "\nversion: " << manager.SkinInfo() << '\n';
    for (const auto& g : manager.gd)
      aOut << "  [" << g.ClassName << "] states " << g.States << ", border " << g.BorderIndex
           << '\n';
    for (const auto& image : manager.MissingImages)
      aOut << "warning: " << MissingImageWarning(image) << '\n';
    if (error)
      aOut << "error: " << *error << '\n';
  }
  return error ? 1 : 0;
}
