#include "skin/data/qcSkinPack.h"

#include "PackTestUtil.h"
#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinTypes.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Raw container: magic, count, then (name, declared size, zlib stream of content).
struct RawEntry {
  std::string Name;
  std::string Content;
  std::uint32_t DeclaredSize;
};

TBytes RawContainer(const std::vector<RawEntry>& aEntries, std::uint32_t aCount,
                    const std::string& aMagic = "QSzf") {
  TBytes out = Bytes(aMagic);
  PutU32(out, aCount);
  for (const auto& e : aEntries) {
    PutU32(out, std::uint32_t(e.Name.size()));
    out.insert(out.end(), e.Name.begin(), e.Name.end());
    PutU32(out, e.DeclaredSize);
    TBytes z = ZlibOf(e.Content);
    out.insert(out.end(), z.begin(), z.end());
  }
  return out;
}

std::string Text(const TBytes& aBytes) {
  return std::string(aBytes.begin(), aBytes.end());
}

std::string Unpack(const TBytes& aData, TqcSkinConvertor& aConv) {
  try {
    UnpackSkinData(aData.data(), aData.size(), aConv);
  } catch (const ESkinError& e) {
    return e.what();
  }
  return "";
}

TEST(QcSkinPack, RoundTripKeepsOrderSizesAndContent) {
  std::string big(100000, 'x');
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = char('a' + (i * 7919) % 26);
  TBytes packed = PackSkinData({{"Options.dat", Bytes("[GLOBALINFO]\r\n")},
                                {"Master.bmp", Bytes(big)},
                                {"Glow.png", Bytes("png")}});
  // Header bytes of every stream: deflate, 32 KiB window, default level.
  EXPECT_EQ(Text(TBytes(packed.begin(), packed.begin() + 4)), "QSzf");
  std::string error;
  auto list = ListSkinData(packed, error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].FileName, "Options.dat");
  EXPECT_EQ(list[1].Size, 100000u);
  EXPECT_EQ(list[2].StreamEnd, packed.size());
  std::size_t optionsStream = 8 + 4 + 11 + 4;
  EXPECT_EQ(packed[optionsStream], 0x78);
  EXPECT_EQ(packed[optionsStream + 1], 0x9C);

  TqcSkinConvertor conv;
  ASSERT_EQ(Unpack(packed, conv), "");
  EXPECT_EQ(conv.ImageCount, 2);
  ASSERT_TRUE(conv.Options);
  EXPECT_EQ(Text(*conv.Options), "[GLOBALINFO]\r\n");
  ASSERT_EQ(conv.Files.size(), 2u);
  EXPECT_EQ(conv.Files[0].FileName, "Master.bmp");
  EXPECT_TRUE(conv.Files[0].IsBitmap);
  EXPECT_EQ(Text(conv.Files[0].FileStream), big);
  EXPECT_FALSE(conv.Files[1].IsBitmap);
}

TEST(QcSkinPack, FindPackedFileComparesUpperCasedNameExactly) {
  TBytes packed = PackSkinData({{"Options.dat", Bytes("x")}, {"Master.bmp", Bytes("m")}});
  TqcSkinConvertor conv;
  ASSERT_EQ(Unpack(packed, conv), "");
  ASSERT_NE(conv.FindPackedFile("MASTER.BMP"), nullptr);
  EXPECT_EQ(conv.FindPackedFile("MASTER.BMP")->FileName, "Master.bmp");
  EXPECT_EQ(conv.FindPackedFile("master.bmp"), nullptr);
  EXPECT_EQ(conv.FindPackedFile("Master.bmp"), nullptr);
}

TEST(QcSkinPack, OptionsEntryInAnyCaseAndTheLaterOneWins) {
  TBytes packed = PackSkinData(
      {{"OPTIONS.DAT", Bytes("first")}, {"a.png", Bytes("a")}, {"options.dat", Bytes("second")}});
  TqcSkinConvertor conv;
  ASSERT_EQ(Unpack(packed, conv), "");
  EXPECT_EQ(Text(*conv.Options), "second");
  EXPECT_EQ(conv.Files.size(), 1u);
}

TEST(QcSkinPack, WithoutOptionsTheLastImageCannotBeFound) {
  TBytes packed = PackSkinData({{"A.BMP", Bytes("a")}, {"B.BMP", Bytes("b")}});
  TqcSkinConvertor conv;
  ASSERT_EQ(Unpack(packed, conv), "");
  EXPECT_FALSE(conv.Options);
  EXPECT_EQ(conv.Files.size(), 2u);
  EXPECT_EQ(conv.ImageCount, 1);
  EXPECT_NE(conv.FindPackedFile("A.BMP"), nullptr);
  EXPECT_EQ(conv.FindPackedFile("B.BMP"), nullptr);
}

TEST(QcSkinPack, EmptyEntryUnpacksAsAnEmptyFile) {
  TBytes packed = PackSkinData({{"Options.dat", Bytes("")}, {"e.png", Bytes("")}});
  TqcSkinConvertor conv;
  ASSERT_EQ(Unpack(packed, conv), "");
  EXPECT_TRUE(conv.Options && conv.Options->empty());
  EXPECT_TRUE(conv.Files.at(0).FileStream.empty());
}

TEST(QcSkinPack, NameFromAnsiCodePageBecomesUtf8) {
  TBytes packed = RawContainer({{"Gr\xfcn.bmp", "g", 1}}, 1);
  TqcSkinConvertor conv;
  ASSERT_EQ(Unpack(packed, conv), "");
  EXPECT_EQ(conv.Files.at(0).FileName, "Gr\xc3\xbcn.bmp");
}

TEST(QcSkinPack, DamagedContainersFailWithTheirTextAndClearTheConvertor) {
  TBytes good = RawContainer({{"Options.dat", "abc", 3}, {"x.bmp", "12345", 5}}, 2);
  TBytes truncatedInStream(good.begin(), good.end() - 3);
  TBytes truncatedInName(good.begin(), good.begin() + 14);
  TBytes nameTooLong = Bytes("QSzf");
  PutU32(nameTooLong, 1);
  PutU32(nameTooLong, 0xFFFFFFF0u);
  nameTooLong.push_back('a');
  TBytes garbageStream = Bytes("QSzf");
  PutU32(garbageStream, 1);
  PutU32(garbageStream, 1);
  garbageStream.push_back('a');
  PutU32(garbageStream, 4);
  for (char c : std::string("not zlib"))
    garbageStream.push_back(std::uint8_t(c));
  struct Case {
    const char* What;
    TBytes Data;
    std::string Error;
  } cases[] = {
      {"empty", {}, "Loaded data is not a packed QuillaSkin file"},
      {"magic in other case", RawContainer({}, 0, "QSZF"),
       "Loaded data is not a packed QuillaSkin file"},
      {"short magic", Bytes("QSz"), "Loaded data is not a packed QuillaSkin file"},
      {"no count", Bytes("QSzf"), "Stream read error"},
      {"count larger than entries", RawContainer({{"Options.dat", "abc", 3}}, 2),
       "Stream read error"},
      {"name length past the end", nameTooLong, "Stream read error"},
      {"truncated name", truncatedInName, "Stream read error"},
      {"truncated stream", truncatedInStream, "Stream read error"},
      {"size larger than stream", RawContainer({{"x.bmp", "abc", 4}}, 1),
       "Packed file \"x.bmp\" is smaller than its stored size"},
      {"size smaller than stream", RawContainer({{"x.bmp", "abc", 2}}, 1),
       "Packed file \"x.bmp\" is larger than its stored size"},
      {"size zero, stream not empty", RawContainer({{"x.bmp", "abc", 0}}, 1),
       "Packed file \"x.bmp\" is larger than its stored size"},
      {"huge size", RawContainer({{"x.bmp", "abc", 0xFFFFFFFFu}}, 1),
       "Packed file \"x.bmp\" is too large"},
      {"not a zlib stream", garbageStream, "Packed file \"a\" is damaged: incorrect header check"},
  };
  for (const auto& c : cases) {
    TqcSkinConvertor conv;
    conv.Files.push_back({"old", false, {}});
    EXPECT_EQ(Unpack(c.Data, conv), c.Error) << c.What;
    EXPECT_TRUE(conv.Files.empty()) << c.What;
    EXPECT_FALSE(conv.Options) << c.What;
    std::string listError;
    ListSkinData(c.Data, listError);
    EXPECT_EQ(listError, c.Error) << c.What;
  }
}

TEST(QcSkinPack, ListStopsAtTheDamageAndKeepsWhatCameBefore) {
  TBytes data = RawContainer({{"Options.dat", "abc", 3}, {"x.bmp", "12345", 9}}, 2);
  std::string error;
  auto list = ListSkinData(data, error);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].FileName, "Options.dat");
  EXPECT_EQ(error, "Packed file \"x.bmp\" is smaller than its stored size");
}

TEST(QcSkinPack, TrailingBytesAfterTheLastEntryAreNotChecked) {
  TBytes data = RawContainer({{"Options.dat", "abc", 3}}, 1);
  std::size_t end = data.size();
  data.push_back(0xEE);
  std::string error;
  auto list = ListSkinData(data, error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(list.at(0).StreamEnd, end);
}

class QcSkinPackFiles : public ::testing::Test {
protected:
  void SetUp() override {
    fDir = std::filesystem::path(MM_BINARY_DIR) / "tests-tmp" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(fDir);
    std::filesystem::create_directories(fDir);
  }
  std::filesystem::path fDir;
};

TEST_F(QcSkinPackFiles, UnpackSkinFileReadsAndFreesThePackedStream) {
  std::string path = (fDir / "s.qsz").string();
  ASSERT_TRUE(WriteWholeFile(path, PackSkinData({{"Options.dat", Bytes("o")}})));
  std::unique_ptr<TqcSkinConvertor> conv;
  UnpackSkinFile(path, conv, true);
  ASSERT_TRUE(conv);
  EXPECT_EQ(Text(*conv->Options), "o");
  EXPECT_FALSE(conv->PackedData);
  UnpackSkinFile(path, conv, false);
  EXPECT_TRUE(conv->PackedData);
}

TEST_F(QcSkinPackFiles, UnpackSkinFileOnAMissingFileChangesNothing) {
  auto conv = std::make_unique<TqcSkinConvertor>();
  conv->Files.push_back({"keep", false, Bytes("k")});
  UnpackSkinFile((fDir / "missing.qsz").string(), conv, true);
  ASSERT_EQ(conv->Files.size(), 1u);
  EXPECT_EQ(conv->Files[0].FileName, "keep");
  std::unique_ptr<TqcSkinConvertor> none;
  UnpackSkinFile((fDir / "missing.qsz").string(), none, true);
  EXPECT_FALSE(none);
}

TEST(QcSkinPack, NormalizeDir) {
  struct {
    const char* In;
    const char* Out;
  } cases[] = {{"", ""},      {"C:\\Skins\\", "C:\\Skins\\"}, {"C:\\Skins/", "C:\\Skins\\"},
               {"C", "C:\\"}, {"C:\\Skins", "C:\\Skins\\"},   {"/tmp/skins", "/tmp/skins\\"},
               {"ab", "ab\\"}};
  for (const auto& c : cases)
    EXPECT_EQ(NormalizeDir(c.In), c.Out) << c.In;
}

} // namespace
