#include "skin/data/sSkinTables.h"

#include <set>

const std::array<const char*, pcCount> PaletteColorNames = {"pcMainColor",
                                                            "pcLabelText",
                                                            "pcWebText",
                                                            "pcWebTextHot",
                                                            "pcEditText",
                                                            "pcEditBG",
                                                            "pcSelectionBG",
                                                            "pcSelectionText",
                                                            "pcSelectionBG_Focused",
                                                            "pcSelectionText_Focused",
                                                            "pcEditBG_Inverted",
                                                            "pcEditText_Inverted",
                                                            "pcEditBG_OddRow",
                                                            "pcEditBG_EvenRow",
                                                            "pcEditText_Ok",
                                                            "pcEditText_Warning",
                                                            "pcEditText_Alert",
                                                            "pcEditText_Caution",
                                                            "pcEditText_Bypassed",
                                                            "pcEditBG_Ok",
                                                            "pcEditBG_Warning",
                                                            "pcEditBG_Alert",
                                                            "pcEditBG_Caution",
                                                            "pcEditBG_Bypassed",
                                                            "pcEditText_Highlight1",
                                                            "pcEditText_Highlight2",
                                                            "pcEditText_Highlight3",
                                                            "pcBorder"};

int TsSkinTables::GetSkinIndex(const std::string& aSkinSection) const {
  if (aSkinSection.empty())
    return -1;
  for (std::size_t i = 0; i < gd.size(); ++i)
    if (gd[i].ClassName == aSkinSection)
      return int(i);
  return -1;
}

namespace {

// Searches aSection, then its parent chain through the section table.
template <typename Match>
int SearchWithParents(const TsSkinTables& aTables, int aSkinIndex, std::string aSection,
                      Match aMatch) {
  if (aSkinIndex < 0 || aSection.empty())
    return -1;
  std::set<std::string> visited;
  while (visited.insert(aSection).second) {
    int found = aMatch(aSection);
    if (found >= 0)
      return found;
    if (!aTables.IsValidSkinIndex(aSkinIndex))
      return -1;
    const std::string& parent = aTables.gd[std::size_t(aSkinIndex)].ParentClass;
    if (parent.empty() || parent == aSection)
      return -1;
    aSkinIndex = aTables.GetSkinIndex(parent);
    if (aSkinIndex < 0)
      return -1;
    aSection = parent;
  }
  return -1;
}

} // namespace

int TsSkinTables::GetMaskIndex(int aSkinIndex, const std::string& aSkinSection,
                               const std::string& aMask) const {
  return SearchWithParents(*this, aSkinIndex, aSkinSection, [&](const std::string& aSection) {
    return GetMaskIndex(aSection, aMask);
  });
}

int TsSkinTables::GetMaskIndex(const std::string& aSkinSection, const std::string& aMask) const {
  if (aSkinSection.empty())
    return -1;
  for (std::size_t i = 0; i < ma.size(); ++i)
    if (ma[i].ClassName == aSkinSection && ma[i].PropertyName == aMask)
      return int(i);
  return -1;
}

int TsSkinTables::GetTextureIndex(int aSkinIndex, const std::string& aSkinSection,
                                  const std::string& aPropName) const {
  return SearchWithParents(*this, aSkinIndex, aSkinSection, [&](const std::string& aSection) {
    for (std::size_t i = 0; i < ma.size(); ++i)
      if (ma[i].ImgType == TqcImgType::itisaTexture && ma[i].ClassName == aSection &&
          ma[i].PropertyName == aPropName)
        return int(i);
    return -1;
  });
}

int TsSkinTables::GetPatternIndex(int aSkinIndex, const std::string& aSkinSection,
                                  const std::string& aPattern) const {
  return SearchWithParents(*this, aSkinIndex, aSkinSection, [&](const std::string& aSection) {
    for (std::size_t i = 0; i < pa.size(); ++i)
      if (pa[i].ClassName == aSection && pa[i].PropertyName == aPattern)
        return int(i);
    return -1;
  });
}

const platform::Bitmap& TsSkinTables::ImageOf(const TsMaskData& aMask) const {
  return aMask.Bmp ? *aMask.Bmp : *MasterBitmap;
}

void TsSkinTables::InitMaskIndexes() {
  for (std::size_t i = 0; i < gd.size(); ++i) {
    TsGeneralData& g = gd[i];
    if (g.ClassName == "GLOBALINFO")
      continue;
    int index = int(i);
    g.BorderIndex = GetMaskIndex(index, g.ClassName, "BORDERSMASK");
    g.OuterMask = GetMaskIndex(index, g.ClassName, "OUTERMASK");
    g.ImgTL = GetMaskIndex(index, g.ClassName, "IMGTOPLEFT");
    g.ImgTR = GetMaskIndex(index, g.ClassName, "IMGTOPRIGHT");
    g.ImgBL = GetMaskIndex(index, g.ClassName, "IMGBTMLEFT");
    g.ImgBR = GetMaskIndex(index, g.ClassName, "IMGBTMRIGHT");
    g.TextureNormal = GetTextureIndex(index, g.ClassName, "PATTERN");
    g.Props[0].TextureIndex = g.TextureNormal;
    if (g.States > 1)
      g.Props[1].TextureIndex = GetTextureIndex(index, g.ClassName, "HOTPATTERN");
  }
}

void TsSkinTables::InitConstantIndexes() {
  TConstantSkinData& c = ConstData;
  c.IndexGLobalInfo = GetSkinIndex("GLOBALINFO");
  auto global = [&](const char* aKey) {
    return c.IndexGLobalInfo < 0 ? -1 : GetMaskIndex(c.IndexGLobalInfo, "GLOBALINFO", aKey);
  };
  c.CheckBoxChecked = global("BOXCHECKED");
  c.CheckBoxUnChecked = global("BOXUNCHECKED");
  c.CheckBoxGrayed = global("BOXGRAYED");
  c.RadioButtonChecked = global("RADIOCHECKED");
  c.RadioButtonUnChecked = global("RADIOUNCHECKED");
  c.RadioButtonGrayed = global("RADIOGRAYED");
  c.SmallCheckBoxChecked = global("SMALLCHECKED");
  c.SmallCheckBoxUnChecked = global("SMALLUNCHECKED");
  c.SmallCheckBoxGrayed = global("SMALLGRAYED");
  c.ExBorder = global("EXBORDER");
  c.GripRightBottom = global("GRIPIMAGE");
  c.GripHorizontal = global("GRIPHORZ");
  c.GripVertical = global("GRIPVERT");

  auto element = [&](TqcConstElementData& aData, const char* aSection) {
    aData.SkinSection = aSection;
    aData.SkinIndex = GetSkinIndex(aSection);
    aData.MaskIndex = GetMaskIndex(aData.SkinIndex, aSection, "BORDERSMASK");
    aData.GlyphIndex = GetMaskIndex(aData.SkinIndex, aSection, "GLYPHMASK");
    aData.BGIndex[0] = GetMaskIndex(aData.SkinIndex, aSection, "PATTERN");
    aData.BGIndex[1] = GetMaskIndex(aData.SkinIndex, aSection, "HOTPATTERN");
  };
  const char* tabs[] = {"TABLEFT", "TABTOP", "TABRIGHT", "TABBOTTOM"};
  const char* scrollBtns[] = {"SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"};
  const char* scrolls[] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  for (int side = asLeft; side <= asBottom; ++side) {
    element(c.Tabs[std::size_t(side)], tabs[side]);
    element(c.ScrollBtns[std::size_t(side)], scrollBtns[side]);
    element(c.Scrolls[std::size_t(side)], scrolls[side]);
  }
  element(c.Sliders[0], "SCROLLSLIDERH");
  element(c.Sliders[1], "SCROLLSLIDERV");
  element(c.ComboBtn, "COMBOBTN");
  c.ComboBtn.GlyphIndex = GetMaskIndex("COMBOBOX", "GLYPHMASK");

  c.MaskCloseBtn = global("BICONCLOSE");
  c.MaskCloseAloneBtn = global("BICLOSEALONE");
  c.MaskMaxBtn = global("BICONMAX");
  c.MaskNormBtn = global("BICONNORM");
  c.MaskMinBtn = global("BICONMIN");
  c.MaskHelpBtn = global("BICONHELP");
  c.MaskCloseSmall = global("SICONCLOSE");
  c.MaskMaxSmall = global("SICONMAX");
  c.MaskNormSmall = global("SICONNORM");
  c.MaskMinSmall = global("SICONMIN");
  c.MaskHelpSmall = global("SICONHELP");

  const char* sections[] = {"MENUITEM",    "TOOLBUTTON", "CHECKBOX",
                            "TRANSPARENT", "GROUPBOX",   "WEBBUTTON"};
  for (std::size_t i = 0; i < c.Sections.size(); ++i)
    c.Sections[i] = GetSkinIndex(sections[i]);
  InitMaskIndexes();
}

int StateImageWidth(const TsMaskData& aMask) {
  if (aMask.ImageCount == 0)
    return 0;
  if (aMask.ImageCount == 1)
    return aMask.R.Width();
  return aMask.R.Width() / aMask.ImageCount;
}

int StateImageHeight(const TsMaskData& aMask) {
  switch (aMask.MaskType) {
  case -1:
    return 0;
  case 0:
    return aMask.R.Height();
  case 1:
    return aMask.R.Height() / 2;
  default:
    return aMask.R.Height() / (aMask.MaskType + 1);
  }
}

namespace {

// A border width: the entry's own, else its BorderWidth, else one state image.
int BorderWidthOr(int aOwn, int aBorderWidth, int aStateSize) {
  return aOwn > 0 ? aOwn : aBorderWidth > 0 ? aBorderWidth : aStateSize;
}

int StateWidthAtLeastOne(const TsMaskData& aMask) {
  TsMaskData copy = aMask;
  if (copy.ImageCount == 0)
    copy.ImageCount = 1;
  return StateImageWidth(copy);
}

} // namespace

int MaskWidthLeft(const TsMaskData& aMask) {
  return BorderWidthOr(aMask.WL, aMask.BorderWidth, StateWidthAtLeastOne(aMask));
}

int MaskWidthRight(const TsMaskData& aMask) {
  return BorderWidthOr(aMask.WR, aMask.BorderWidth, StateWidthAtLeastOne(aMask));
}

int MaskWidthTop(const TsMaskData& aMask) {
  return BorderWidthOr(aMask.WT, aMask.BorderWidth, StateImageHeight(aMask));
}

int MaskWidthBottom(const TsMaskData& aMask) {
  return BorderWidthOr(aMask.WB, aMask.BorderWidth, StateImageHeight(aMask));
}
