#include "skin/data/sSkinManager.h"

#include "SkinTestUtil.h"
#include "skin/data/sSkinFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;

const std::string kSkinA = "[GLOBALINFO]\nVERSION=8.00\n[PANEL]\nCOLOR=1\n[BUTTON]\nCOLOR=2\n";
const std::string kSkinB = "[GLOBALINFO]\nVERSION=7.50\n[STATUSBAR]\nCOLOR=3\n";

class SkinManager : public ::testing::Test {
protected:
  void SetUp() override {
    SetSkinCommandLine({});
    fDir = fs::path(MM_BINARY_DIR) / "tests-tmp" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(fDir);
    fs::create_directories(fDir);
  }
  void TearDown() override { SetSkinCommandLine({}); }

  void AddStored(const std::string& aName, const TBytes& aData) {
    auto& skin = fManager.InternalSkins.Add();
    skin.SetName(aName);
    skin.ReadData(aData);
  }
  std::vector<std::string> Sections() {
    std::vector<std::string> names;
    for (const auto& g : fManager.gd)
      names.push_back(g.ClassName);
    return names;
  }

  fs::path fDir;
  TMessageRecorder fMessages;
  TsSkinManager fManager;
};

TEST_F(SkinManager, LoadsTheStoredSkinWhenNoFolderOrFileExists) {
  std::vector<std::string> events;
  std::unique_ptr<TsSkinManager> manager;
  {
    TLoadingBracket bracket;
    manager = std::make_unique<TsSkinManager>();
    manager->OnBeforeChange = [&](TsSkinManager*) { events.push_back("before"); };
    manager->OnSkinLoading = [&](TsSkinManager* m) {
      events.push_back("loading " + std::to_string(m->gd.size()));
    };
    manager->OnAfterChange = [&](TsSkinManager*) { events.push_back("after"); };
    manager->OnActivate = [&](TsSkinManager*) { events.push_back("activate"); };
    auto& skin = manager->InternalSkins.Add();
    skin.SetName("Verdant (internal)");
    skin.ReadData(PackSkin(kSkinA));
    manager->SetSkinDirectory("C:\\Skins");
    manager->SetSkinName("Verdant (internal)");
    std::vector<std::string> names;
    for (const auto& g : manager->gd)
      names.push_back(g.ClassName);
    EXPECT_EQ(names, (std::vector<std::string>{"GLOBALINFO", "PANEL", "BUTTON", "TRANSPARENT"}));
    EXPECT_TRUE(manager->SkinIsPacked);
    EXPECT_EQ(manager->CommonSkinData.SkinPath, "");
    EXPECT_FALSE(manager->CommonSkinData.Active) << "applying waits for the end of loading";
    EXPECT_EQ(manager->SkinInfo(), "N/A");
  }
  EXPECT_TRUE(manager->CommonSkinData.Active);
  EXPECT_EQ(manager->SkinInfo(), "8");
  EXPECT_EQ(events, (std::vector<std::string>{"before", "loading 4", "after", "activate"}));
  EXPECT_TRUE(fMessages.Messages.empty());
  EXPECT_FALSE(SkinLoadingFlag);
  std::vector<std::string> listed;
  manager->GetSkinSections(listed);
  EXPECT_EQ(listed.size(), 4u);
  EXPECT_EQ(manager->MenuSupport.IcoLineSkin, "ICOLINE");
  EXPECT_EQ(manager->ThirdParty.List("ThirdButtons"), (std::vector<std::string>{"TButton"}));
  EXPECT_EQ(manager->ThirdParty.List("ThirdNativePaint"), (std::vector<std::string>{" "}));
}

TEST_F(SkinManager, QszExtensionIsStrippedFromTheName) {
  AddStored("Verdant (internal)", PackSkin(kSkinA));
  fManager.SetSkinName("Verdant (internal).QSZ");
  EXPECT_EQ(fManager.SkinName(), "Verdant (internal)");
  EXPECT_EQ(fManager.gd.size(), 4u);
}

TEST_F(SkinManager, AFailedLoadKeepsThePreviousSkinAndNameAndShowsTheError) {
  AddStored("A", PackSkin(kSkinA));
  AddStored("Broken", PackSkin("[S]\nX=^0000^0000^0030^0020^0000^0000^0000^0000^0^0^1^0\n"));
  AddStored("Empty", {});
  AddStored("NoOptions", PackSkinData({{"x.bmp", TBytes{1}}}));
  AddStored("BadMagic", TBytes{'Q', 'S', 'Z', 'F', 0, 0, 0, 0});
  fManager.SetSkinName("A");
  auto before = Sections();
  struct {
    const char* Name;
    const char* Error;
  } cases[] = {
      {"Broken", "Division by zero"},
      {"Empty", "Skin \"Empty\" has no data"},
      {"NoOptions", "\"NoOptions\" skin have internal format error. Please update this skin to "
                    "latest version."},
      {"BadMagic", "Loaded data is not a packed QuillaSkin file"},
  };
  for (const auto& c : cases) {
    fMessages.Messages.clear();
    fManager.SetSkinName(c.Name);
    EXPECT_EQ(fManager.SkinName(), "A") << c.Name;
    EXPECT_EQ(Sections(), before) << c.Name;
    EXPECT_TRUE(fManager.CommonSkinData.Active) << c.Name;
    ASSERT_EQ(fMessages.Messages.size(), 1u) << c.Name;
    EXPECT_EQ(fMessages.Messages[0].Text, c.Error);
    EXPECT_EQ(fMessages.Messages[0].Kind, TsMessageKind::mkError);
    EXPECT_FALSE(SkinLoadingFlag);
  }
}

TEST_F(SkinManager, UnknownNameFallsBackToTheFirstStoredSkin) {
  AddStored("First", PackSkin(kSkinB));
  AddStored("Second", PackSkin(kSkinA));
  fManager.SetSkinName("Nowhere");
  EXPECT_EQ(fManager.SkinName(), "First");
  EXPECT_EQ(fManager.gd.at(1).ClassName, "STATUSBAR");
}

TEST_F(SkinManager, WithoutStoredSkinsTheManagerBecomesInactive) {
  bool deactivated = false;
  fManager.OnDeactivate = [&](TsSkinManager*) { deactivated = true; };
  fManager.SetSkinName("Nowhere");
  EXPECT_FALSE(fManager.Active());
  EXPECT_TRUE(deactivated);
  EXPECT_TRUE(fManager.gd.empty());
  EXPECT_FALSE(fManager.IsValidSkinIndex(0));
  // Inactive: the name is only stored.
  fManager.SetSkinName("Other");
  EXPECT_EQ(fManager.SkinName(), "Other");
  // Active again: the name is loaded, from a stored skin added meanwhile.
  AddStored("Other", PackSkin(kSkinA));
  fManager.SetActive(true);
  EXPECT_EQ(fManager.gd.size(), 4u);
  fManager.SetActive(false);
  EXPECT_TRUE(fManager.gd.empty());
}

TEST_F(SkinManager, LoadsAFolderSkinWithImagesFromFiles) {
  fs::create_directories(fDir / "Green");
  auto write = [&](const std::string& aName, const TBytes& aData) {
    ASSERT_TRUE(WriteWholeFile((fDir / "Green" / aName).string(), aData));
  };
  std::string options = "[GLOBALINFO]\nMASTERBITMAP=master.bmp\n[S]\nG=!G.PNG!1!0!1\n";
  write("Options.dat", TBytes(options.begin(), options.end()));
  write("master.bmp", EncodeBmp(MakeBitmap(4, 4, [](int, int) { return 0xFF102030u; }), 24));
  write("G.PNG", EncodePngBytes(MakeBitmap(3, 3, [](int, int) { return 0xFF000000u; })));
  AddStored("Green", PackSkin(kSkinA));
  fManager.SetSkinDirectory(fDir.string());
  fManager.SetSkinName("Green");
  EXPECT_FALSE(fManager.SkinIsPacked);
  EXPECT_EQ(fManager.CommonSkinData.SkinPath, fDir.string() + "\\Green\\");
  EXPECT_EQ(fManager.MasterBitmap->Width(), 4) << "names are used as written in folders";
  EXPECT_EQ(fManager.ma.at(0).Bmp->Width(), 3);
  std::vector<std::string> names;
  EXPECT_EQ(fManager.GetSkinNames(names), "Green");
  EXPECT_EQ(names, (std::vector<std::string>{"Green", "Green"}));
}

// Skins are written for file systems that ignore letter case: the options
// name every image in upper case, whatever the files are called.
TEST_F(SkinManager, AFolderSkinInAnotherLetterCaseLoadsLikeItsPackedSkin) {
  std::string options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nVERSION=8\n"
                        "[S]\nG=!GLYPH.PNG!1!0!1\nP=PLAIN.BMP\nT=tex.jpg\n";
  std::vector<std::pair<std::string, TBytes>> images = {
      {"Master.bmp", EncodeBmp(MakeBitmap(4, 4, [](int, int) { return 0xFF102030u; }), 24)},
      {"Glyph.png", EncodePngBytes(MakeBitmap(3, 2, [](int, int) { return 0xFF000000u; }))},
      {"Plain.bmp", EncodeBmp(MakeBitmap(9, 6, [](int, int) { return 0xFF405060u; }), 24)},
      {"Tex.jpg", EncodeJpeg(5, 5)}};
  fs::create_directories(fDir / "folder" / "green");
  fs::create_directories(fDir / "packed");
  ASSERT_TRUE(WriteWholeFile((fDir / "folder" / "green" / "options.dat").string(),
                             TBytes(options.begin(), options.end())));
  for (const auto& [name, bytes] : images)
    ASSERT_TRUE(WriteWholeFile((fDir / "folder" / "green" / name).string(), bytes));
  ASSERT_TRUE(WriteWholeFile((fDir / "packed" / "GREEN.QSZ").string(), PackSkin(options, images)));
  TsSkinManager packed;
  packed.SetSkinDirectory((fDir / "packed").string());
  packed.SetSkinName("Green");
  fManager.SetSkinDirectory((fDir / "folder").string());
  fManager.SetSkinName("Green");
  EXPECT_TRUE(fMessages.Messages.empty());
  EXPECT_TRUE(packed.SkinIsPacked);
  EXPECT_FALSE(fManager.SkinIsPacked);
  EXPECT_EQ(*packed.MasterBitmap, MakeBitmap(4, 4, [](int, int) { return 0xFF102030u; }));
  // The three images, then the two generated outer-effect masks.
  ASSERT_EQ(packed.ma.size(), 5u);
  EXPECT_EQ(packed.ma[0].PropertyName, "G");
  EXPECT_EQ(packed.ma[1].PropertyName, "P");
  EXPECT_EQ(packed.ma[2].PropertyName, "T");
  EXPECT_EQ(*fManager.MasterBitmap, *packed.MasterBitmap);
  ASSERT_EQ(fManager.ma.size(), packed.ma.size());
  for (std::size_t i = 0; i < packed.ma.size(); ++i) {
    EXPECT_EQ(fManager.ma[i].PropertyName, packed.ma[i].PropertyName);
    EXPECT_EQ(fManager.ma[i].R, packed.ma[i].R);
    ASSERT_TRUE(fManager.ma[i].Bmp && packed.ma[i].Bmp);
    EXPECT_EQ(*fManager.ma[i].Bmp, *packed.ma[i].Bmp) << i;
  }
}

// The tests run as root, whom file permissions do not stop: a folder named
// Options.dat is an options file that is there but cannot be read.
TEST_F(SkinManager, AnOptionsFileThatCannotBeReadFailsTheLoad) {
  fs::create_directories(fDir / "Locked" / "Options.dat");
  AddStored("A", PackSkin(kSkinA));
  fManager.SetSkinDirectory(fDir.string());
  fManager.SetSkinName("A");
  fMessages.Messages.clear();
  fManager.SetSkinName("Locked");
  ASSERT_EQ(fMessages.Messages.size(), 1u);
  EXPECT_EQ(fMessages.Messages[0].Text,
            "Cannot open file \"" + fDir.string() + "\\Locked\\Options.dat\"");
  EXPECT_EQ(fMessages.Messages[0].Kind, TsMessageKind::mkError);
  EXPECT_EQ(fManager.SkinName(), "A");
  EXPECT_EQ(Sections(), (std::vector<std::string>{"GLOBALINFO", "PANEL", "BUTTON", "TRANSPARENT"}));
}

TEST_F(SkinManager, LoadsAQszFile) {
  ASSERT_TRUE(WriteWholeFile((fDir / "Packed.qsz").string(), PackSkin(kSkinB)));
  ASSERT_TRUE(WriteWholeFile((fDir / "Plain.qsz").string(), PackSkinData({{"a.png", TBytes{1}}})));
  ASSERT_TRUE(WriteWholeFile((fDir / "Broken.qsz").string(), TBytes{'Q', 'S', 'z', 'f', 9}));
  fManager.SetSkinDirectory(fDir.string());
  fManager.SetSkinName("Packed");
  EXPECT_TRUE(fManager.SkinIsPacked);
  EXPECT_EQ(fManager.gd.at(1).ClassName, "STATUSBAR");
  EXPECT_EQ(fManager.CommonSkinData.SkinPath, fDir.string() + "\\");
  fManager.SetSkinName("Plain");
  ASSERT_EQ(fMessages.Messages.size(), 1u);
  EXPECT_EQ(fMessages.Messages[0].Text,
            "\"Plain\" skin have internal format error. Please update this skin to latest "
            "version.");
  fManager.SetSkinName("Broken");
  ASSERT_EQ(fMessages.Messages.size(), 2u);
  EXPECT_EQ(fMessages.Messages[1].Text, "Stream read error");
  EXPECT_EQ(fManager.SkinName(), "Packed");
  EXPECT_EQ(fManager.gd.at(1).ClassName, "STATUSBAR");
  std::vector<std::string> names;
  // Each call starts from an empty list.
  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(fManager.GetExternalSkinNames(names, TqcSkinTypes::stPacked), "Broken");
    EXPECT_EQ(names, (std::vector<std::string>{"Broken", "Packed", "Plain"}));
  }
  EXPECT_EQ(fManager.GetExternalSkinNames(names, TqcSkinTypes::stUnpacked), "");
  EXPECT_TRUE(names.empty());
}

TEST_F(SkinManager, VersionRule) {
  struct {
    const char* Version;
    bool TestSwitch;
    int Messages;
    TsMessageKind Kind;
  } cases[] = {{"7.45", false, 0, {}},
               {"9.98", false, 0, {}},
               {"8.00", true, 0, {}},
               {"7.44", false, 0, {}},
               {"7.44", true, 1, TsMessageKind::mkInformation},
               {"9.99", false, 1, TsMessageKind::mkWarning},
               {"10", false, 1, TsMessageKind::mkWarning}};
  for (const auto& c : cases) {
    SetSkinCommandLine(c.TestSwitch ? std::vector<std::string>{"-x", "/QCTest"}
                                    : std::vector<std::string>{});
    TsSkinManager manager;
    auto& skin = manager.InternalSkins.Add();
    skin.SetName("V");
    skin.ReadData(PackSkin(std::string("[GLOBALINFO]\nVERSION=") + c.Version + "\n"));
    fMessages.Messages.clear();
    manager.SetSkinName("V");
    ASSERT_EQ(int(fMessages.Messages.size()), c.Messages) << c.Version << " " << c.TestSwitch;
    if (c.Messages)
      EXPECT_EQ(fMessages.Messages[0].Kind, c.Kind);
  }
  SetSkinCommandLine({"/qctest"});
  TsSkinManager manager;
  auto& skin = manager.InternalSkins.Add();
  skin.SetName("Old");
  skin.ReadData(PackSkin("[GLOBALINFO]\nVERSION=7.44\n"));
  fMessages.Messages.clear();
  manager.SetSkinName("Old");
  ASSERT_EQ(fMessages.Messages.size(), 1u);
  EXPECT_EQ(fMessages.Messages[0].Text,
            "You are using an old version of the \"Old\" skin. Please, update skins to latest or "
            "contact the QuillaControls support for upgrading of existing skin.\r\n\r\nThis "
            "notification occurs in design-time only for your information and will not occur "
            "in real-time.");
  SetSkinCommandLine({});
  skin.ReadData(PackSkin("[GLOBALINFO]\nVERSION=9.99\n"));
  fMessages.Messages.clear();
  // The warning is shown with the skinning of standard dialogs off.
  std::vector<bool> skinnedWhileShown;
  SetSkinMessageHandler([&](const std::string& aText, TsMessageKind aKind) {
    skinnedWhileShown.push_back(StdDialogsSkinned);
    fMessages.Messages.push_back({aText, aKind});
  });
  bool skinnedBefore = StdDialogsSkinned;
  manager.SetSkinName("Old");
  EXPECT_EQ(skinnedWhileShown, std::vector<bool>{false});
  EXPECT_EQ(StdDialogsSkinned, skinnedBefore);
  ASSERT_EQ(fMessages.Messages.size(), 1u);
  EXPECT_EQ(fMessages.Messages[0].Text,
            "This version of the skin have not complete support by used QuillaControls package "
            "release.\r\nComponents must be updated up to latest version for using this skin.");
}

// The version rule is applied once per load, whatever path the load takes:
// each notice or warning shows exactly once.
TEST_F(SkinManager, VersionMessagesShowOncePerLoad) {
  fs::create_directories(fDir / "Folder");
  for (const char* version : {"7.44", "9.99"}) {
    std::string options = std::string("[GLOBALINFO]\nVERSION=") + version + "\n";
    ASSERT_TRUE(WriteWholeFile((fDir / "Folder" / "Options.dat").string(),
                               TBytes(options.begin(), options.end())));
    ASSERT_TRUE(WriteWholeFile((fDir / "Packed.qsz").string(), PackSkin(options)));
    SetSkinCommandLine({"/qctest"});
    TsSkinManager manager;
    auto& skin = manager.InternalSkins.Add();
    skin.SetName("Stored");
    skin.ReadData(PackSkin(options));
    manager.SetSkinDirectory(fDir.string());
    std::size_t loads = 0;
    fMessages.Messages.clear();
    for (const char* name : {"Stored", "Folder", "Packed"}) {
      manager.SetSkinName(name);
      manager.SetHueOffset(int(++loads) * 10);
      ++loads;
      EXPECT_EQ(fMessages.Messages.size(), loads) << version << " " << name;
    }
  }
}

TEST_F(SkinManager, VersionSwitchShowsTheEngineVersion) {
  SetSkinCommandLine({"/QCVER"});
  ShowSkinEngineVersionIfAsked();
  SetSkinCommandLine({"/qcversion"});
  ShowSkinEngineVersionIfAsked();
  ASSERT_EQ(fMessages.Messages.size(), 1u);
  EXPECT_EQ(fMessages.Messages[0].Text, "QuillaControls v9.13");
  EXPECT_EQ(TsSkinManager::Version(), "9.13");
}

// The version as the shortest text with "." that gives the value back.
TEST_F(SkinManager, SkinInfoWritesTheLoadedVersion) {
  struct {
    const char* Written;
    const char* Shown;
  } cases[] = {{"8.00", "8"}, {"7.45", "7.45"}, {"8.123456789", "8.123456789"}, {"x", "0"}};
  for (const auto& c : cases) {
    TsSkinManager manager;
    auto& skin = manager.InternalSkins.Add();
    skin.SetName("V");
    skin.ReadData(PackSkin(std::string("[GLOBALINFO]\nVERSION=") + c.Written + "\n"));
    manager.SetSkinName("V");
    EXPECT_EQ(manager.SkinInfo(), c.Shown) << c.Written;
    manager.SetActive(false);
    EXPECT_EQ(manager.SkinInfo(), "N/A");
  }
}

TEST_F(SkinManager, ExtractInternalSkin) {
  TBytes data = PackSkin(kSkinA);
  AddStored("A", data);
  AddStored("A", PackSkin(kSkinB));
  fManager.ExtractInternalSkin("A", fDir.string());
  EXPECT_EQ(ReadWholeFile((fDir / "A extracted.qsz").string()), PackSkin(kSkinB))
      << "each match is written; the last one wins";
  fManager.ExtractByIndex(0, (fDir / "new" / "deeper").string() + "/");
  EXPECT_EQ(ReadWholeFile((fDir / "new" / "deeper" / "A extracted.qsz").string()), data);
  fManager.ExtractInternalSkin("A", (fDir / "missing").string());
  fManager.ExtractInternalSkin("B", fDir.string());
  ASSERT_EQ(fMessages.Messages.size(), 3u);
  EXPECT_EQ(fMessages.Messages[0].Text, "Directory does not exists.");
  EXPECT_EQ(fMessages.Messages[1].Text, "Directory does not exists.");
  EXPECT_EQ(fMessages.Messages[2].Text, "Skin does not exists.");
  std::string blocked = (fDir / "file").string();
  ASSERT_TRUE(WriteWholeFile(blocked, {}));
  fManager.ExtractByIndex(0, blocked + "/sub");
  ASSERT_EQ(fMessages.Messages.size(), 4u);
  EXPECT_EQ(fMessages.Messages[3].Text, "Directory " + blocked + "/sub\\ creation error.");
}

TEST_F(SkinManager, StoredSkinChangesNotifyTheSkinList) {
  int changes = 0;
  fManager.OnSkinListChanged = [&](TsSkinManager*) { ++changes; };
  auto& skin = fManager.InternalSkins.Add();
  skin.SetName("x");
  skin.ReadData(TBytes{1});
  fManager.SetSkinDirectory("D:\\Other");
  fManager.SetSkinDirectory("D:\\Other");
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(fManager.InternalSkins.IndexOf("x"), 0);
  EXPECT_EQ(fManager.InternalSkins.IndexOf("X"), -1);
  EXPECT_EQ(fManager.InternalSkins.Items(0).Shadow1Blur, -1);
  EXPECT_EQ(fManager.InternalSkins.Items(0).BorderColor, 0xFF00FFu);
  EXPECT_THROW(fManager.InternalSkins.Delete(3), std::out_of_range);
}

TEST_F(SkinManager, LoadedDefaultsAndBrightnessLimit) {
  std::unique_ptr<TsSkinManager> manager;
  {
    TLoadingBracket bracket;
    manager = std::make_unique<TsSkinManager>();
  }
  EXPECT_EQ(manager->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(TsSkinManager().SkinDirectory(), "c:\\Skins") << "also after plain creation";
  manager->SetBrightness(150);
  EXPECT_EQ(manager->Brightness(), 100);
  manager->SetBrightness(-150);
  EXPECT_EQ(manager->Brightness(), -100);
}

TEST(SkinDirectory, Resolve) {
  const std::string p = "/opt/mm/bin/";
  // NormalizeDir turns a trailing "/" into "\".
  const std::string normalized = "/opt/mm/bin\\";
  struct {
    const char* In;
    std::string Out;
  } cases[] = {{"..\\skins", "/opt/mm/skins\\"},
               {".\\skins", p + "skins\\"},
               {"./skins", p + "skins\\"},
               {".", normalized},
               {"skins", p + "skins\\"},
               {"C:\\Skins", "C:\\Skins\\"},
               {"\\\\server\\s", "\\\\server\\s\\"},
               {"/srv/skins", "/srv/skins\\"},
               {"", normalized}};
  for (const auto& c : cases)
    EXPECT_EQ(ResolveSkinDirectory(c.In, p), c.Out) << c.In;
}

} // namespace

namespace {

TEST_F(SkinManager, WindowShadowTemplates) {
  // EXBORDER: two 4 x 3 state images in a 32-bit bitmap; pixel (1, 1) of
  // each is white with alpha 0, the rest tell the state apart.
  auto exborder = EncodeBmp(MakeBitmap(8, 3,
                                       [](int x, int y) {
                                         if ((x % 4) == 1 && y == 1)
                                           return 0x00FFFFFFu;
                                         return x < 4 ? 0x40000000u : 0x80000000u;
                                       }),
                            32);
  auto skin = [&](const std::string& aVersion, int aDrawMode) {
    return PackSkin("[GLOBALINFO]\nVERSION=" + aVersion +
                        "\nFORMOFFSET=2\nBORDERMODE=" + std::to_string(aDrawMode) +
                        "\nEXBORDER=!EXB.BMP!2!0!3!0005!0006!0007!0008\n",
                    {{"EXB.BMP", exborder}});
  };
  AddStored("Old", skin("7.60", 0));
  AddStored("New", skin("7.70", 1));
  AddStored("Plain", PackSkin(kSkinA));
  fManager.SetSkinName("Old");
  EXPECT_EQ(fManager.FormShadowSize, TRect{}) << "extended borders are off";
  fManager.SetExtendedBorders(true);
  EXPECT_EQ(fManager.FormShadowSize, Rect(3, 4, 5, 6));
  ASSERT_EQ(fManager.ShdiTemplate.Width(), 4);
  EXPECT_EQ(fManager.ShdiTemplate.Pixel(0, 0), 0x40000000u);
  EXPECT_EQ(fManager.ShdaTemplate.Pixel(0, 0), 0x80000000u);
  EXPECT_EQ(fManager.ShdaTemplate.Pixel(1, 1), 0u) << "version 7.6 or lower";
  fManager.SetSkinName("New");
  EXPECT_EQ(fManager.FormShadowSize, Rect(2, 2, 2, 2));
  EXPECT_EQ(fManager.ShdaTemplate.Pixel(1, 1), 0x00FFFFFFu);
  fManager.SetSkinName("Plain");
  EXPECT_EQ(fManager.FormShadowSize, Rect(9, 9, 9, 9));
  EXPECT_EQ(fManager.ShdaTemplate, BuiltInShadowTemplate(true));
  EXPECT_EQ(fManager.ShdiTemplate, BuiltInShadowTemplate(false));
  // The templates belong to the load itself, not only to applying the skin.
  fManager.BeginUpdate();
  fManager.SetSkinName("Old");
  EXPECT_EQ(fManager.FormShadowSize, Rect(3, 4, 5, 6));
  fManager.EndUpdate();
  fManager.SetActive(false);
  EXPECT_EQ(fManager.FormShadowSize, TRect{});
}

TEST(ShadowTemplate, BuiltInIsATransparentCentreInASoftRing) {
  const auto& t = BuiltInShadowTemplate(true);
  ASSERT_EQ(t.Width(), 33);
  ASSERT_EQ(t.Height(), 33);
  for (int y = 9; y < 24; ++y)
    for (int x = 9; x < 24; ++x)
      EXPECT_EQ(t.Pixel(x, y), 0u);
  // Alpha falls off from the centre square outwards, and only alpha is set.
  for (int x = 0; x + 1 < 9; ++x)
    EXPECT_LT(t.Pixel(x, 16) >> 24, t.Pixel(x + 1, 16) >> 24);
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 33; ++x)
      EXPECT_EQ(t.Pixel(x, y) & 0x00FFFFFFu, 0u);
}

} // namespace

namespace {

TEST_F(SkinManager, CommonSectionsLoseBlanksAndReloadTheSkin) {
  AddStored("A", PackSkin(kSkinA));
  fManager.SetSkinName("A");
  fManager.SetCommonSections({"[MY BTN]", "COLOR = 7", "; keep  this"});
  EXPECT_EQ(fManager.CommonSections(),
            (std::vector<std::string>{"[MYBTN]", "COLOR=7", "; keep  this"}));
  int mine = fManager.GetSkinIndex("MYBTN");
  ASSERT_GE(mine, 0) << "the skin was loaded again with the application's sections";
  EXPECT_EQ(fManager.gd[std::size_t(mine)].Props[0].Color, 7);
  EXPECT_EQ(fManager.GetRandomSkin(), "A");
}

} // namespace

namespace {

TEST_F(SkinManager, AQszFileThatVanishedFailsTheLoad) {
  ASSERT_TRUE(WriteWholeFile((fDir / "Gone.qsz").string(), PackSkin(kSkinB)));
  fManager.SetSkinDirectory(fDir.string());
  fManager.SetSkinName("Gone");
  ASSERT_EQ(fManager.gd.size(), 3u);
  fs::remove(fDir / "Gone.qsz");
  try {
    fManager.ReloadPackedSkin();
    FAIL() << "no error";
  } catch (const ESkinError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + fDir.string() + "\\Gone.qsz\"");
  }
  EXPECT_EQ(fManager.gd.size(), 3u) << "the loaded skin stays";
  EXPECT_FALSE(SkinLoadingFlag);
}

} // namespace
