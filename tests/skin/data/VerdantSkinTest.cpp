// The built-in skin, checked against its sources: skins/verdant/Options.dat
// and the images MakeVerdant wrote into the build folder.
#include "SkinTestUtil.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinValues.h"
#include "skin/data/sVerdantSkin.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string SourceOptions() {
  std::ifstream in(fs::path(MM_SOURCE_DIR) / "skins" / "verdant" / "Options.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class VerdantSkin : public ::testing::Test {
protected:
  void SetUp() override {
    auto& skin = fManager.InternalSkins.Add();
    skin.SetName(VerdantSkinName);
    auto data = VerdantSkinData();
    skin.ReadData(data.data(), data.size());
    fManager.SetSkinDirectory("C:\\Skins");
    fManager.SetSkinName(VerdantSkinName);
  }
  TMessageRecorder fMessages;
  TsSkinManager fManager;
};

TEST(VerdantContainer, EntriesAreTheSourceFilesOptionsFirst) {
  fs::path dir = fs::path(MM_BINARY_DIR) / "skins" / "verdant" / "files";
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename() != "Options.dat")
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  names.insert(names.begin(), "Options.dat");
  auto data = VerdantSkinData();
  std::string error;
  auto list = ListSkinData(TBytes(data.begin(), data.end()), error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(list.size(), names.size());
  ASSERT_EQ(list.size(), 10u);
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].FileName, names[i]);
    EXPECT_EQ(list[i].Size, fs::file_size(dir / names[i])) << names[i];
  }
  EXPECT_EQ(list.back().StreamEnd, data.size());
  TqcSkinConvertor conv;
  UnpackSkinData(data.data(), data.size(), conv);
  std::string options = SourceOptions();
  EXPECT_EQ(std::string(conv.Options->begin(), conv.Options->end()), options);
  EXPECT_EQ(conv.ImageCount, 9);
}

TEST_F(VerdantSkin, LoadsFromTheStoredSkinWithoutMessages) {
  EXPECT_TRUE(fMessages.Messages.empty());
  EXPECT_TRUE(fManager.SkinIsPacked);
  EXPECT_TRUE(fManager.CommonSkinData.Active);
  EXPECT_EQ(fManager.SkinInfo(), "8");
  EXPECT_EQ(fManager.MasterBitmap->Width(), 256);
  EXPECT_EQ(fManager.MasterBitmap->Height(), 272);
}

TEST_F(VerdantSkin, SectionTableFollowsTheOptionsFile) {
  std::vector<std::string> expected;
  std::istringstream lines(SourceOptions());
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.size() > 2 && line.front() == '[' && line.back() == ']')
      expected.push_back(line.substr(1, line.size() - 2));
  }
  expected.push_back("TRANSPARENT");
  std::vector<std::string> actual;
  for (const auto& g : fManager.gd)
    actual.push_back(g.ClassName);
  EXPECT_EQ(actual, expected);
  for (const char* needed :
       {"GLOBALINFO",    "FORM",          "FORMTITLE",    "PANEL",          "PANEL_LOW",
        "BUTTON",        "BUTTON_BIG",    "PAGECONTROL",  "TABTOP",         "TABBOTTOM",
        "TABLEFT",       "TABRIGHT",      "STATUSBAR",    "SELECTION",      "EDIT",
        "MENUITEM",      "DIALOG",        "SCROLLBAR1H",  "SCROLLBAR1V",    "SCROLLBAR2H",
        "SCROLLBAR2V",   "SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM",
        "SCROLLSLIDERH", "SCROLLSLIDERV", "CHECKBOX",     "GROUPBOX"})
    EXPECT_GE(fManager.GetSkinIndex(needed), 0) << needed;
  const auto& title = fManager.gd[std::size_t(fManager.GetSkinIndex("FORMTITLE"))];
  EXPECT_EQ(title.States, 2);
  ASSERT_EQ(title.Props[0].GradientArray.size(), 1u);
  ASSERT_EQ(title.Props[1].GradientArray.size(), 1u);
  EXPECT_EQ(title.Props[1].GradientArray[0], (TsGradPie{5143624, 3298860, 100, 0, 0}));
}

TEST_F(VerdantSkin, PaletteFromTheOptionsValues) {
  const auto& p = fManager.Palette;
  EXPECT_EQ(p[pcMainColor], 12769480u);
  EXPECT_EQ(p[pcLabelText], 1717270u);
  EXPECT_EQ(p[pcWebText], 0x3C6E18u);
  EXPECT_EQ(p[pcWebTextHot], 0x288C14u);
  EXPECT_EQ(p[pcBorder], 4746822u);
  EXPECT_EQ(p[pcEditText], RGB(1, 153, 1));
  EXPECT_EQ(p[pcEditBG], RGB(87, 127, 87));
  EXPECT_EQ(p[pcSelectionBG], 3170344u);
  EXPECT_EQ(p[pcSelectionText], 15530736u);
  EXPECT_EQ(p[pcSelectionBG_Focused], 2652188u);
  EXPECT_EQ(p[pcSelectionText_Focused], 16777215u);
  EXPECT_EQ(p[pcEditText_Ok], 2657300u);
  EXPECT_EQ(p[pcEditText_Alert], 2105520u);
  EXPECT_EQ(p[pcEditText_Caution], 2105520u);
  EXPECT_EQ(p[pcEditBG_Warning], 11393254u);
  EXPECT_EQ(p[pcEditText_Inverted], RGB(87, 127, 87));
  EXPECT_EQ(p[pcEditBG_Inverted], RGB(1, 153, 1));
  // 5 % of (1, 153, 1) with 95 % of (87, 127, 87): 82.7, 128.3, 82.7.
  EXPECT_EQ(p[pcEditBG_EvenRow], RGB(83, 128, 83));
}

TEST_F(VerdantSkin, ImagesAndConstantIndexes) {
  const auto& c = fManager.ConstData;
  for (int index : {c.ExBorder,
                    c.CheckBoxChecked,
                    c.CheckBoxUnChecked,
                    c.CheckBoxGrayed,
                    c.SmallCheckBoxChecked,
                    c.SmallCheckBoxUnChecked,
                    c.SmallCheckBoxGrayed,
                    c.MaskCloseBtn,
                    c.MaskCloseAloneBtn,
                    c.MaskMaxBtn,
                    c.MaskNormBtn,
                    c.MaskMinBtn,
                    c.MaskHelpBtn,
                    c.MaskCloseSmall,
                    c.MaskMaxSmall,
                    c.MaskNormSmall,
                    c.MaskMinSmall,
                    c.MaskHelpSmall,
                    c.GripRightBottom,
                    c.GripHorizontal,
                    c.GripVertical})
    EXPECT_TRUE(fManager.IsValidImgIndex(index));
  for (const auto* sides : {&c.Tabs, &c.ScrollBtns, &c.Scrolls})
    for (const auto& e : *sides) {
      EXPECT_GE(e.SkinIndex, 0) << e.SkinSection;
      EXPECT_GE(e.MaskIndex, 0) << e.SkinSection;
    }
  for (const auto& e : c.ScrollBtns)
    EXPECT_GE(e.GlyphIndex, 0) << e.SkinSection;
  const auto& exborder = fManager.ma[std::size_t(c.ExBorder)];
  EXPECT_EQ(exborder.R, Rect(0, 0, 96, 64));
  EXPECT_EQ(exborder.ImageCount, 2);
  EXPECT_EQ(exborder.ImgType, TqcImgType::itisaGlow);
  // Every piece of the master image lies inside it and holds pixels that are
  // not key pixels.
  for (const auto& m : fManager.ma) {
    if (m.Bmp)
      continue;
    EXPECT_FALSE(m.R.IsEmpty()) << m.ClassName << "." << m.PropertyName;
    EXPECT_EQ(m.R.Intersect(fManager.MasterBitmap->BoundsRect()), m.R)
        << m.ClassName << "." << m.PropertyName;
    bool drawn = false;
    for (int y = m.R.Top; y < m.R.Bottom && !drawn; ++y)
      for (int x = m.R.Left; x < m.R.Right && !drawn; ++x)
        drawn = fManager.MasterBitmap->Pixel(x, y) != 0x00FF00FFu;
    EXPECT_TRUE(drawn) << m.ClassName << "." << m.PropertyName;
  }
  // Every image group divides into whole state images and rows, and the
  // border widths of a border or glow image leave a centre.
  for (const auto& m : fManager.ma) {
    std::string name = m.ClassName + "." + m.PropertyName;
    if (m.R.IsEmpty())
      continue;
    ASSERT_GT(m.ImageCount, 0) << name;
    EXPECT_EQ(m.R.Width() % m.ImageCount, 0) << name;
    EXPECT_EQ(m.R.Height() % (m.MaskType + 1), 0) << name;
    if (m.ImgType == TqcImgType::itisaBorder || m.ImgType == TqcImgType::itisaGlow) {
      EXPECT_LE(m.WL + m.WR, StateImageWidth(m)) << name;
      EXPECT_LE(m.WT + m.WB, StateImageHeight(m)) << name;
    }
  }
  // Outer effects: the light outline from LO_MASK, the shadow generated.
  const auto& lo = fManager.ma[std::size_t(fManager.oe[0].Mask)];
  EXPECT_EQ(lo.R, Rect(120, 100, 133, 126));
  EXPECT_EQ(lo.WL, 6);
  EXPECT_EQ(fManager.oe[1].WidthL, 9);
  EXPECT_EQ(fManager.ma[std::size_t(fManager.oe[1].Mask)].R, Rect(0, 0, 19, 38));
  // The small JPEG became a texture of FORM.
  int form = fManager.GetSkinIndex("FORM");
  int texture = fManager.gd[std::size_t(form)].TextureNormal;
  ASSERT_TRUE(fManager.IsValidImgIndex(texture));
  EXPECT_EQ(fManager.ma[std::size_t(texture)].Bmp->Width(), 64);
  EXPECT_TRUE(fManager.pa.empty());
}

// A key pixel in a border's corner piece shows the parent. That is right
// only outside the shape: every key pixel of a corner piece must be reachable
// from the frame's edge through key pixels, or the parent would show inside
// the control (as it did in the open centre of the buttons' corner pieces).
TEST_F(VerdantSkin, BordersKeyOnlyTheOutsideOfTheirShape) {
  constexpr std::uint32_t kKey = 0x00FF00FF;
  for (const TsMaskData& m : fManager.ma) {
    if (m.ImgType != TqcImgType::itisaBorder || m.ImageCount < 1)
      continue;
    const platform::Bitmap& src = m.Bmp ? *m.Bmp : *fManager.MasterBitmap;
    const int fw = m.R.Width() / m.ImageCount, fh = m.R.Height() / (m.MaskType + 1);
    for (int frame = 0; frame < m.ImageCount; ++frame) {
      const int x0 = m.R.Left + frame * fw, y0 = m.R.Top;
      auto key = [&](int x, int y) { return src.Pixel(x0 + x, y0 + y) == kKey; };
      std::vector<char> reached(std::size_t(fw * fh), 0);
      std::vector<std::pair<int, int>> todo;
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x)
          if ((x == 0 || y == 0 || x == fw - 1 || y == fh - 1) && key(x, y)) {
            reached[std::size_t(y * fw + x)] = 1;
            todo.push_back({x, y});
          }
      while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
          if (nx >= 0 && ny >= 0 && nx < fw && ny < fh && !reached[std::size_t(ny * fw + nx)] &&
              key(nx, ny)) {
            reached[std::size_t(ny * fw + nx)] = 1;
            todo.push_back({nx, ny});
          }
      }
      auto inCorner = [&](int x, int y) {
        return (x < m.WL || x >= fw - m.WR) && (y < m.WT || y >= fh - m.WB);
      };
      int inside = 0;
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x)
          inside += inCorner(x, y) && key(x, y) && !reached[std::size_t(y * fw + x)];
      EXPECT_EQ(inside, 0) << m.ClassName << " " << m.PropertyName << " frame " << frame;
    }
  }
}

TEST_F(VerdantSkin, EveryValueNotationIsUsed) {
  TsSkinOptions options = TsSkinOptions::FromText(SourceOptions());
  std::set<int> kinds;
  for (const auto& section : options.Sections())
    for (const auto& entry : section.Entries)
      if (entry.Key != "MASTERBITMAP")
        kinds.insert(int(ClassifyImageValue(entry.Value)));
  for (auto kind : {TsNotationKind::Border, TsNotationKind::Glyph, TsNotationKind::Texture,
                    TsNotationKind::External, TsNotationKind::Legacy, TsNotationKind::PlainBmp,
                    TsNotationKind::Jpeg})
    EXPECT_TRUE(kinds.count(int(kind))) << int(kind);
}

} // namespace

namespace {

// The start-up of the main window: inside the window definition's loading
// bracket the manager is created first, the folder is set before the name,
// the stored skin is loaded at once, and the skin is applied (prepared,
// without repaint) when the definition has loaded.
TEST(VerdantStartUp, TheWindowDefinitionLoadsThenAppliesTheStoredSkin) {
  SetSkinCommandLine({});
  TMessageRecorder messages;
  auto app = std::make_unique<TApplication>();
  app->Initialize();
  std::vector<std::string> log;
  TsSkinManager* manager = nullptr;
  {
    TLoadingBracket bracket;
    TForm* form = app->CreateForm<TForm>();
    auto inherited = form->WindowProc;
    form->WindowProc = [&log, inherited](TMessage& aMessage) {
      if (aMessage.Msg == SkinCommandMessage)
        log.push_back(std::to_string(platform::HIWORD(aMessage.WParam)));
      inherited(aMessage);
    };
    manager = new TsSkinManager(form);
    manager->SetSkinDirectory("C:\\Skins");
    auto& skin = manager->InternalSkins.Add();
    skin.SetName(VerdantSkinName);
    skin.Shadow1Color = 0;
    auto data = VerdantSkinData();
    skin.ReadData(data.data(), data.size());
    manager->Options.SetOptimizingPriority(TqcOptimizingPriority::opMemory);
    manager->SetSkinName(VerdantSkinName);
    EXPECT_EQ(manager->gd.size(), 30u) << "loaded while the definition is read";
    EXPECT_TRUE(log.empty()) << "applying waits for the end of loading";
  }
  EXPECT_EQ(log, std::vector<std::string>{"1"});
  EXPECT_TRUE(manager->CommonSkinData.Active);
  EXPECT_TRUE(manager->IsDefault());
  EXPECT_TRUE(messages.Messages.empty());
  manager->Options.SetOptimizingPriority(TqcOptimizingPriority::opSpeed);
  app.reset();
  EXPECT_EQ(DefaultManager, nullptr) << "freed with its form";
}

} // namespace
