#include "SkinToolRun.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/PngCodec.h"
#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinFiles.h"
#include "support/PixelCheck.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TBytes Bytes(const std::string& aText) {
  return TBytes(aText.begin(), aText.end());
}

class SkinTool : public ::testing::Test {
protected:
  void SetUp() override {
    fDir = fs::path(MM_BINARY_DIR) / "tests-tmp" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(fDir);
    fs::create_directories(fDir);
  }
  int Run(const std::vector<std::string>& aArguments) {
    fOut.str("");
    fErr.str("");
    return RunSkinTool(aArguments, fOut, fErr);
  }
  std::string Path(const std::string& aName) { return (fDir / aName).string(); }

  fs::path fDir;
  std::ostringstream fOut;
  std::ostringstream fErr;
};

TEST_F(SkinTool, PackThenUnpackGivesTheSameFilesOptionsFirst) {
  fs::create_directories(fDir / "src");
  std::vector<std::pair<std::string, std::string>> files = {
      {"b.png", "bbb"}, {"Options.dat", "[GLOBALINFO]\r\n"}, {"A.BMP", std::string(5000, 'a')}};
  for (const auto& [name, content] : files)
    ASSERT_TRUE(WriteWholeFile((fDir / "src" / name).string(), Bytes(content)));
  EXPECT_EQ(Run({"pack", Path("src"), Path("s.qsz")}), 0) << fErr.str();
  EXPECT_EQ(Run({"list", Path("s.qsz")}), 0);
  std::istringstream lines(fOut.str());
  std::vector<std::string> names;
  for (std::string line; std::getline(lines, line);)
    names.push_back(line.substr(0, line.find('\t')));
  EXPECT_EQ(names, (std::vector<std::string>{"Options.dat", "A.BMP", "b.png"}));
  EXPECT_EQ(fOut.str().substr(0, 15), "Options.dat\t14\t");
  EXPECT_EQ(Run({"unpack", Path("s.qsz"), Path("out")}), 0) << fErr.str();
  for (const auto& [name, content] : files)
    EXPECT_EQ(ReadWholeFile((fDir / "out" / name).string()), Bytes(content)) << name;
}

TEST_F(SkinTool, PackRefusesAFolderWithoutOptions) {
  fs::create_directories(fDir / "empty");
  EXPECT_EQ(Run({"pack", Path("empty"), Path("s.qsz")}), 1);
  EXPECT_NE(fErr.str().find("holds no Options.dat"), std::string::npos);
  EXPECT_EQ(Run({"pack", Path("none"), Path("s.qsz")}), 1);
  EXPECT_FALSE(fs::exists(fDir / "s.qsz"));
}

TEST_F(SkinTool, ListShowsEntriesThenTheDamage) {
  TBytes packed = PackSkinData({{"Options.dat", Bytes("o")}, {"x.png", Bytes("xyz")}});
  TBytes cut(packed.begin(), packed.end() - 2);
  ASSERT_TRUE(WriteWholeFile(Path("cut.qsz"), cut));
  EXPECT_EQ(Run({"list", Path("cut.qsz")}), 1);
  std::string error;
  auto good = ListSkinData(packed, error);
  EXPECT_EQ(fOut.str(),
            "Options.dat\t1\t" + std::to_string(good[0].StreamEnd) + "\nStream read error\n");
  EXPECT_EQ(Run({"list", Path("missing.qsz")}), 1);
}

TEST_F(SkinTool, UnpackWritesNothingFromDamagedOrUnsafeContainers) {
  TBytes packed = PackSkinData({{"Options.dat", Bytes("o")}, {"x.png", Bytes("xyz")}});
  ASSERT_TRUE(WriteWholeFile(Path("cut.qsz"), TBytes(packed.begin(), packed.end() - 2)));
  EXPECT_EQ(Run({"unpack", Path("cut.qsz"), Path("out1")}), 1);
  EXPECT_FALSE(fs::exists(fDir / "out1"));
  for (const char* name : {"../escape.png", "sub/x.png", "..", "a\\b"}) {
    ASSERT_TRUE(WriteWholeFile(Path("evil.qsz"),
                               PackSkinData({{"Options.dat", Bytes("o")}, {name, Bytes("x")}})));
    EXPECT_EQ(Run({"unpack", Path("evil.qsz"), Path("out2")}), 1) << name;
    EXPECT_FALSE(fs::exists(fDir / "out2")) << name;
    EXPECT_FALSE(fs::exists(fDir / "escape.png"));
  }
}

TEST_F(SkinTool, CheckReportsTheBuiltInSkinAsJson) {
  std::string skin = (fs::path(MM_BINARY_DIR) / "skins" / "verdant" / "Verdant.qsz").string();
  EXPECT_EQ(Run({"check", skin, "--json"}), 0);
  auto doc = nlohmann::json::parse(fOut.str());
  EXPECT_TRUE(doc["error"].is_null());
  ASSERT_TRUE(doc["sections"].is_array());
  EXPECT_EQ(doc["sections"][0]["ClassName"], "GLOBALINFO");
  EXPECT_EQ(doc["sections"].back()["ClassName"], "TRANSPARENT");
  const auto& props = doc["sections"][1]["Props"];
  ASSERT_EQ(props.size(), 2u);
  for (const char* field :
       {"Color", "FontColor", "GradientPercent", "GradientData", "GradientArray", "ImagePercent",
        "TextureIndex", "GlowColor", "GlowSize", "Transparency"})
    EXPECT_TRUE(props[0].contains(field)) << field;
  for (const char* field :
       {"ClassName", "PropertyName", "R", "ImageCount", "MaskType", "BorderWidth", "DrawMode",
        "ImgType", "WL", "WT", "WR", "WB", "CornerType", "OwnBitmap"})
    EXPECT_TRUE(doc["masks"][0].contains(field)) << field;
  EXPECT_EQ(doc["Palette"]["pcEditBG"], 5734231);
  EXPECT_EQ(doc["Palette"].size(), 28u);
  EXPECT_EQ(doc["oe"].size(), 2u);
  EXPECT_EQ(doc["CommonSkinData"]["Version"], 8.0);
  EXPECT_TRUE(doc["ConstData"]["ExBorder"].get<int>() >= 0);
  EXPECT_TRUE(doc["patterns"].is_array());
}

// The built-in skin's options name its files in upper case; unpacked on a
// file system that keeps letter case, the folder must load all of them.
TEST_F(SkinTool, AnUnpackedSkinLoadsWhatItsPackedFileLoads) {
  fs::create_directories(fDir / "packed");
  fs::copy_file(fs::path(MM_BINARY_DIR) / "skins" / "verdant" / "Verdant.qsz",
                fDir / "packed" / "Verdant.qsz");
  ASSERT_EQ(Run({"unpack", Path("packed/Verdant.qsz"), Path("folder/Verdant")}), 0) << fErr.str();
  ASSERT_EQ(Run({"check", Path("packed/Verdant.qsz"), "--json"}), 0);
  auto packed = nlohmann::json::parse(fOut.str());
  ASSERT_EQ(Run({"check", Path("folder/Verdant"), "--json"}), 0);
  auto folder = nlohmann::json::parse(fOut.str());
  EXPECT_EQ(packed["CommonSkinData"]["SkinPath"], Path("packed") + "\\");
  EXPECT_EQ(folder["CommonSkinData"]["SkinPath"], Path("folder") + "\\Verdant\\");
  for (auto* doc : {&packed, &folder})
    (*doc)["CommonSkinData"].erase("SkinPath");
  EXPECT_EQ(folder["masks"].size(), packed["masks"].size());
  EXPECT_EQ(folder["patterns"].size(), packed["patterns"].size());
  EXPECT_TRUE(folder["warnings"].empty());
  EXPECT_EQ(folder, packed);
}

TEST_F(SkinTool, CheckNamesTheLoadError) {
  ASSERT_TRUE(WriteWholeFile(Path("Bad.qsz"), Bytes("QSzX....")));
  EXPECT_EQ(Run({"check", Path("Bad.qsz"), "--json"}), 1);
  auto doc = nlohmann::json::parse(fOut.str());
  EXPECT_EQ(doc["error"], "Loaded data is not a packed QuillaSkin file");
  EXPECT_TRUE(doc["sections"].empty());
  fs::create_directories(fDir / "Folder");
  ASSERT_TRUE(WriteWholeFile(Path("Folder/Options.dat"),
                             Bytes("[GLOBALINFO]\r\n[PANEL]\r\nGRADIENTDATA=1;x;0;0;0\r\n")));
  EXPECT_EQ(Run({"check", Path("Folder")}), 1);
  EXPECT_NE(fOut.str().find("error: 'x' is not a valid integer value"), std::string::npos);
  ASSERT_TRUE(WriteWholeFile(Path("Folder/Options.dat"), Bytes("[GLOBALINFO]\r\n[PANEL]\r\n")));
  EXPECT_EQ(Run({"check", Path("Folder")}), 0);
  EXPECT_NE(fOut.str().find("  [PANEL] states 3"), std::string::npos);
  fs::create_directories(fDir / "Locked" / "Options.dat");
  EXPECT_EQ(Run({"check", Path("Locked")}), 1);
  EXPECT_NE(fOut.str().find("error: Cannot open file"), std::string::npos) << fOut.str();
}

TEST_F(SkinTool, CheckWarnsOfMissingImagesAndStillLoads) {
  fs::create_directories(fDir / "Skin");
  ASSERT_TRUE(WriteWholeFile(Path("Skin/Options.dat"),
                             Bytes("[GLOBALINFO]\r\n[PANEL]\r\nBORDER=!GONE.PNG!1!0!1\r\n")));
  EXPECT_EQ(Run({"check", Path("Skin")}), 0);
  EXPECT_NE(fOut.str().find("\nwarning: image \"GONE.PNG\" named by [PANEL] BORDER is missing\n"),
            std::string::npos)
      << fOut.str();
  EXPECT_EQ(Run({"check", Path("Skin"), "--json"}), 0);
  auto doc = nlohmann::json::parse(fOut.str());
  EXPECT_EQ(doc["warnings"],
            nlohmann::json::array({"image \"GONE.PNG\" named by [PANEL] BORDER is missing"}));
  EXPECT_TRUE(doc["error"].is_null());
}

TEST_F(SkinTool, CheckTakesTheFolderOrFileItIsGiven) {
  auto pack = [&](const std::string& aName, const std::string& aSection) {
    ASSERT_TRUE(WriteWholeFile(
        Path(aName),
        PackSkinData({{"Options.dat", Bytes("[GLOBALINFO]\r\n[" + aSection + "]\r\n")}})));
  };
  fs::create_directories(fDir / "Skin");
  ASSERT_TRUE(WriteWholeFile(Path("Skin/OPTIONS.DAT"), Bytes("[GLOBALINFO]\r\n[PANEL]\r\n")));
  pack("Skin.qsz", "STATUSBAR");
  pack("UP.QSZ", "BUTTON");
  pack("Two.QSZ", "BUTTON");
  pack("Two.qsz", "STATUSBAR");
  struct {
    const char* Path;
    int Code;
    std::string Shows;
  } cases[] = {
      {"Skin", 0, "  [PANEL] states"},
      {"Skin.qsz", 0, "  [STATUSBAR] states"},
      {"UP.QSZ", 0, "  [BUTTON] states"},
      {"Two.qsz", 0, "  [STATUSBAR] states"},
      {"Two.QSZ", 1,
       "error: \"" + Path("Two.QSZ") + "\" cannot be loaded by its name: \"" + Path("Two.qsz") +
           "\" is found first"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run({"check", Path(c.Path)}), c.Code) << c.Path;
    EXPECT_NE(fOut.str().find(c.Shows), std::string::npos) << c.Path << "\n" << fOut.str();
  }
}

// A skin of plain sections: main colour 0x102030 (red 0x10), SOLID opaque,
// HALF 50 % transparent in its normal state and opaque when hot, CLEAR fully
// transparent. Colours are written as the options file does: 0x00BBGGRR.
constexpr const char* kPlainSkin = "[GLOBALINFO]\r\nCOLOR=$302010\r\n"
                                   "[SOLID]\r\nSTATES=1\r\nCOLOR=$0000FF\r\n"
                                   "[HALF]\r\nSTATES=2\r\nCOLOR=$C86420\r\nTRANSPARENCY=50\r\n"
                                   "HOTCOLOR=$00FF00\r\nHOTTRANSPARENCY=0\r\n"
                                   "[CLEAR]\r\nSTATES=1\r\nTRANSPARENCY=100\r\n";

using pixelcheck::Px;

// Half of the parent and half of the section per channel, rounded down: the
// section's 50 % transparency.
std::uint32_t Half(std::uint32_t aParent, std::uint32_t aSection) {
  std::uint32_t r = 0xFF000000u;
  for (int shift : {0, 8, 16})
    r |= ((((aParent >> shift) & 0xFF) + ((aSection >> shift) & 0xFF)) / 2) << shift;
  return r;
}

class SkinToolRender : public SkinTool {
protected:
  void SetUp() override {
    SkinTool::SetUp();
    fs::create_directories(fDir / "Plain");
    ASSERT_TRUE(WriteWholeFile(Path("Plain/Options.dat"), Bytes(kPlainSkin)));
  }
  platform::Bitmap Rendered(const std::vector<std::string>& aOptions) {
    std::vector<std::string> arguments = {"render", Path("Plain")};
    arguments.insert(arguments.end(), aOptions.begin(), aOptions.end());
    arguments.push_back(Path("out.png"));
    EXPECT_EQ(Run(arguments), 0) << fErr.str();
    return platform::LoadImageFile(Path("out.png")).Image;
  }
};

constexpr std::uint32_t kMain = Px(0x10, 0x20, 0x30);
constexpr std::uint32_t kSolid = Px(0xFF, 0, 0);
constexpr std::uint32_t kHalf = Px(0x20, 0x64, 0xC8);

TEST_F(SkinToolRender, PlainSectionsOverAParentColour) {
  struct Case {
    std::vector<std::string> Options;
    std::uint32_t Expected;
  };
  const std::vector<Case> cases = {
      {{"SOLID", "4", "3"}, kSolid},
      {{"solid", "4", "3", "--parent", "00FF00"}, kSolid},
      {{"HALF", "4", "3"}, Half(kMain, kHalf)},
      {{"HALF", "4", "3", "--parent", "FF8000"}, Half(Px(0xFF, 0x80, 0), kHalf)},
      {{"HALF", "4", "3", "--parent", "#0000FF", "--state", "0"}, Half(Px(0, 0, 0xFF), kHalf)},
      {{"HALF", "4", "3", "--state", "1", "--parent", "0000FF"}, Px(0, 0xFF, 0)},
      {{"CLEAR", "4", "3", "--parent", "abcdef"}, Px(0xAB, 0xCD, 0xEF)},
      {{"CLEAR", "4", "3"}, kMain},
  };
  for (const auto& c : cases) {
    std::string name;
    for (const auto& o : c.Options)
      name += o + "_";
    EXPECT_TRUE(pixelcheck::SameBitmap(Rendered(c.Options), pixelcheck::Filled(4, 3, c.Expected),
                                       "render-" + name));
  }
}

// The parent image lies behind the output from its top-left; the skin's main
// colour fills what it does not cover.
TEST_F(SkinToolRender, ParentImageFromItsTopLeft) {
  platform::Bitmap parent(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      parent.SetPixel(x, y, Px(std::uint32_t(40 * x), std::uint32_t(100 * y), 77));
  ASSERT_TRUE(platform::SavePngFile(parent, Path("parent.png")).Ok());
  platform::Bitmap behind = pixelcheck::Filled(4, 3, kMain);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      behind.SetPixel(x, y, parent.Pixel(x, y));
  EXPECT_TRUE(pixelcheck::SameBitmap(Rendered({"CLEAR", "4", "3", "--parent", Path("parent.png")}),
                                     behind, "render-clear-over-image"));
  platform::Bitmap half = behind;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      half.SetPixel(x, y, Half(behind.Pixel(x, y), kHalf));
  EXPECT_TRUE(pixelcheck::SameBitmap(Rendered({"HALF", "4", "3", "--parent", Path("parent.png")}),
                                     half, "render-half-over-image"));
}

TEST_F(SkinToolRender, ErrorsAndExitCodes) {
  ASSERT_TRUE(WriteWholeFile(Path("broken.png"), Bytes("\x89PNG broken")));
  struct Case {
    std::vector<std::string> Arguments;
    int Code;
    std::string Message;
  };
  const std::string plain = Path("Plain"), out = Path("e.png");
  const std::vector<Case> cases = {
      {{"render", plain, "NOPE", "4", "3", out}, 1, "no section NOPE in the skin\n"},
      {{"render", plain, "SOLID", "0", "3", out}, 1, "not within 1..4096"},
      {{"render", plain, "SOLID", "4", "4097", out}, 1, "not within 1..4096"},
      {{"render", plain, "SOLID", "4x", "3", out}, 1, "not within 1..4096"},
      {{"render", plain, "HALF", "4", "3", "--state", "2", out}, 1, "has the states 0..1"},
      {{"render", plain, "HALF", "4", "3", "--state", "-1", out}, 1, "bad state"},
      {{"render", plain, "HALF", "4", "3", "--state", "one", out}, 1, "bad state"},
      {{"render", plain, "HALF", "4", "3", "--parent", Path("none.png"), out},
       1,
       "cannot read the parent image"},
      {{"render", plain, "HALF", "4", "3", "--parent", Path("broken.png"), out},
       1,
       "cannot read the parent image"},
      {{"render", Path("missing"), "SOLID", "4", "3", out}, 1, "cannot load the skin"},
      {{"render", plain, "SOLID", "4", "3"}, 2, "usage: skintool"},
      {{"render", plain, "SOLID", "4", "3", out, "extra"}, 2, "usage: skintool"},
      {{"render", plain, "SOLID", "4", "3", out, "--state"}, 2, "usage: skintool"},
      {{"render", plain, "SOLID", "4", "3", "--state", "0", "--state", "0", out},
       2,
       "usage: skintool"},
      {{"render", plain, "SOLID", "4", "3", "--size", "2", out}, 2, "usage: skintool"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.Arguments), c.Code) << c.Message;
    EXPECT_NE(fErr.str().find(c.Message), std::string::npos) << fErr.str();
    EXPECT_FALSE(fs::exists(out)) << c.Message;
  }
  fs::create_directories(fDir / "Bad");
  ASSERT_TRUE(WriteWholeFile(Path("Bad/Options.dat"),
                             Bytes("[GLOBALINFO]\r\n[PANEL]\r\nGRADIENTDATA=1;x;0;0;0\r\n")));
  EXPECT_EQ(Run({"render", Path("Bad"), "PANEL", "4", "3", out}), 1);
  EXPECT_NE(fErr.str().find("'x' is not a valid integer value"), std::string::npos) << fErr.str();
}

// The built-in skin's FORM is its linen pattern tiled from the top-left,
// inside the form's border.
TEST_F(SkinTool, RenderTheBuiltInFormWithItsPattern) {
  EXPECT_EQ(Run({"render", "verdant", "FORM", "200", "120", Path("form.png")}), 0) << fErr.str();
  platform::Bitmap form = platform::LoadImageFile(Path("form.png")).Image;
  platform::Bitmap linen =
      platform::LoadImageFile(
          (fs::path(MM_BINARY_DIR) / "skins" / "verdant" / "files" / "Verdant.jpg").string())
          .Image;
  ASSERT_EQ(form.Width(), 200);
  ASSERT_FALSE(linen.Empty());
  platform::Bitmap actual(190, 110), expected(190, 110);
  for (int y = 0; y < 110; ++y)
    for (int x = 0; x < 190; ++x) {
      actual.SetPixel(x, y, form.Pixel(x + 5, y + 5));
      expected.SetPixel(x, y, linen.Pixel((x + 5) % linen.Width(), (y + 5) % linen.Height()));
    }
  EXPECT_TRUE(pixelcheck::SameBitmap(actual, expected, "render-verdant-form"));
}

TEST_F(SkinTool, WrongUsage) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"pack", "x"}), 2);
  EXPECT_EQ(Run({"check", "x", "--xml"}), 2);
  EXPECT_NE(fErr.str().find("usage: skintool"), std::string::npos);
}

} // namespace
