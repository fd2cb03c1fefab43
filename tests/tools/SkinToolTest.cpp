#include "SkinToolRun.h"

#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinFiles.h"

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
}

TEST_F(SkinTool, WrongUsage) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"pack", "x"}), 2);
  EXPECT_EQ(Run({"check", "x", "--xml"}), 2);
  EXPECT_NE(fErr.str().find("usage: skintool"), std::string::npos);
}

} // namespace
