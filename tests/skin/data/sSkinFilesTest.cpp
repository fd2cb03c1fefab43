#include "skin/data/sSkinFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(SkinFiles, LookupsFallBackToANameInAnotherLetterCase) {
  fs::path dir = fs::path(MM_BINARY_DIR) / "tests-tmp" / "SkinFilesLetterCase";
  fs::remove_all(dir);
  fs::create_directories(dir / "Skins" / "Green");
  fs::create_directories(dir / "Twice");
  for (const char* name : {"Skins/Green/Options.dat", "Skins/Green/master.bmp", "Twice/a.png",
                           "Twice/A.png", "Twice/A.PNG"})
    ASSERT_TRUE(WriteWholeFile((dir / name).string(), TBytes{'x'}));
  std::string d = dir.string();
  struct {
    std::string Wanted;
    std::string Found;
  } cases[] = {
      {d + "\\Skins\\Green\\Options.dat", d + "/Skins/Green/Options.dat"},
      {d + "\\Skins\\Green\\MASTER.BMP", d + "/Skins/Green/master.bmp"},
      {d + "\\SKINS\\green\\OPTIONS.DAT", d + "/Skins/Green/Options.dat"},
      {d + "/skins/GREEN", d + "/Skins/Green"},
      // The exact name wins; among other spellings the first in byte order.
      {d + "/Twice/a.png", d + "/Twice/a.png"},
      {d + "/Twice/a.Png", d + "/Twice/A.PNG"},
      // Nothing matches: the path comes back with "/" separators.
      {d + "\\Skins\\Green\\NONE.BMP", d + "/Skins/Green/NONE.BMP"},
      {d + "\\NoFolder\\X.BMP", d + "/NoFolder/X.BMP"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindNativePath(c.Wanted), c.Found) << c.Wanted;
  EXPECT_TRUE(FileExists(d + "\\SKINS\\GREEN\\MASTER.BMP"));
  EXPECT_FALSE(FileExists(d + "\\SKINS\\GREEN"));
  EXPECT_EQ(ReadWholeFile(d + "/skins/green/options.DAT"), TBytes{'x'});
  EXPECT_FALSE(DirectoryExists(d + "/skins")) << "folder tests use names as given";
}

} // namespace
