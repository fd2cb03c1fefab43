#include "skin/data/sSkinOptions.h"

#include "skin/data/sSkinTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(SkinOptions, GrammarSectionsEntriesCommentsAndLineEnds) {
  const std::string text = "junk before any section\r\n"
                           "[ GLOBALINFO ]\r\n"
                           "  COLOR = 255  \n"
                           ";COLOR=1\r"
                           "\r\n"
                           "EMPTY=\n"
                           "A=b=c\n"
                           "NOVALUE\n"
                           "[Button]\n"
                           "COLOR=7\n"
                           "[BUTTON]\n"
                           "Color=8\n"
                           "COLOR=9\n"
                           "COLOR=10\n"
                           "[BUTTON]\n"
                           "COLOR=11";
  auto o = TsSkinOptions::FromText(text);
  ASSERT_EQ(o.Sections().size(), 4u);
  EXPECT_EQ(o.Sections()[0].Name, "GLOBALINFO");
  EXPECT_EQ(o.Sections()[3].Name, "BUTTON");
  EXPECT_EQ(o.ReadString("GLOBALINFO", "COLOR", "?"), "255");
  EXPECT_EQ(o.ReadString("GLOBALINFO", "EMPTY", "?"), "");
  EXPECT_EQ(o.ReadString("GLOBALINFO", "MISSING", "?"), "?");
  EXPECT_EQ(o.ReadString("GLOBALINFO", "A", "?"), "b=c");
  EXPECT_EQ(o.ReadString("GLOBALINFO", "NOVALUE", "?"), "?");
  EXPECT_EQ(o.Sections()[0].Entries.size(), 4u);
  EXPECT_EQ(o.ReadInteger("Button", "COLOR", 0), 7);
  EXPECT_EQ(o.ReadInteger("BUTTON", "COLOR", 0), 9);
  EXPECT_EQ(o.ReadInteger("BUTTON", "Color", 0), 8);
}

TEST(SkinOptions, TextEncodingsByByteOrderMark) {
  std::string body = "[S]\r\nK=Gr\xc3\xbcn\r\n";
  auto utf16 = [&](bool aBigEndian) {
    TBytes out = aBigEndian ? TBytes{0xFE, 0xFF} : TBytes{0xFF, 0xFE};
    for (char c : std::string("[S]\r\nK=Gr")) {
      out.push_back(aBigEndian ? 0 : std::uint8_t(c));
      out.push_back(aBigEndian ? std::uint8_t(c) : 0);
    }
    out.push_back(aBigEndian ? 0x00 : 0xFC);
    out.push_back(aBigEndian ? 0xFC : 0x00);
    for (char c : std::string("n\r\n")) {
      out.push_back(aBigEndian ? 0 : std::uint8_t(c));
      out.push_back(aBigEndian ? std::uint8_t(c) : 0);
    }
    return out;
  };
  TBytes utf8{0xEF, 0xBB, 0xBF};
  utf8.insert(utf8.end(), body.begin(), body.end());
  std::string ansiText = "[S]\r\nK=Gr\xfcn\r\n";
  TBytes ansi(ansiText.begin(), ansiText.end());
  for (const TBytes& bytes : {utf8, ansi, utf16(false), utf16(true)})
    EXPECT_EQ(TsSkinOptions::FromBytes(bytes).ReadString("S", "K", ""), "Gr\xc3\xbcn");
}

TEST(SkinOptions, IntegerEncoding) {
  struct {
    const char* Text;
    std::optional<int> Value;
  } cases[] = {{"255", 255},
               {"-5", -5},
               {"+7", 7},
               {"$FF", 255},
               {"0x1F", 31},
               {"0XFF", 255},
               {"$FFFFFFFF", -1},
               {"-$10", -16},
               {"2147483647", 2147483647},
               {"-2147483648", INT_MIN},
               {"2147483648", {}},
               {"", {}},
               {"12a", {}},
               {"$", {}},
               {"0x", {}},
               {"1.5", {}},
               {" 1", {}},
               {"$100000000", {}},
               {"-9223372036854775808", {}},
               {"99999999999999999999", {}}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseSkinInteger(c.Text), c.Value) << c.Text;
}

TEST(SkinOptions, VersionEncoding) {
  struct {
    const char* Text;
    double Value;
  } cases[] = {{"8.00", 8.0}, {"7.45", 7.45}, {"10", 10.0},  {"", 0.0},
               {"8,00", 0.0}, {"abc", 0.0},   {"9.99", 9.99}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseSkinVersion(c.Text), c.Value) << c.Text;
}

TEST(SkinOptions, InheritedReadsFollowParentClass) {
  auto o = TsSkinOptions::FromText("[BASE]\nTCLEFT=5\nNAME=base\nFLAG=TRUE\nSTATES=300\n"
                                   "[CHILD]\nPARENTCLASS=BASE\nTCLEFT=-1\nFLAG=true\n"
                                   "[SELF]\nPARENTCLASS=SELF\n"
                                   "[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\n"
                                   "[GRAND]\nPARENTCLASS=CHILD\n"
                                   "[SYS]\nPARENTCLASS=SYSBASE\n[SYSBASE]\nCOLOR=-2147483633\n");
  EXPECT_EQ(o.ReadInheritedInteger("CHILD", "TCLEFT", -1, INT_MAX), 5);
  EXPECT_EQ(o.ReadInheritedInteger("GRAND", "TCLEFT", -1, INT_MAX), 5);
  EXPECT_EQ(o.ReadInheritedString("GRAND", "NAME", "?"), "base");
  EXPECT_EQ(o.ReadInheritedString("CHILD", "PARENTCLASS", "?"), "BASE");
  EXPECT_TRUE(o.ReadInheritedBool("BASE", "FLAG", false));
  EXPECT_FALSE(o.ReadInheritedBool("CHILD", "FLAG", true));
  EXPECT_TRUE(o.ReadInheritedBool("SELF", "FLAG", true));
  EXPECT_EQ(o.ReadInheritedInteger("SELF", "TCLEFT", 42, INT_MAX), 42);
  EXPECT_EQ(o.ReadInheritedInteger("A", "TCLEFT", 3, INT_MAX), 3);
  EXPECT_EQ(o.ReadInheritedString("B", "X", "none"), "none");
  EXPECT_EQ(o.ReadInheritedInteger("CHILD", "STATES", 3, 255), 255);
  EXPECT_EQ(o.ReadInheritedInteger("MISSING", "STATES", 3, 255), 3);
  // A parent's system colour (button face) is resolved to RGB; an own one is not.
  EXPECT_EQ(o.ReadInheritedInteger("SYS", "COLOR", 0, INT_MAX), 0xC8D0D4);
  EXPECT_EQ(o.ReadInheritedInteger("SYSBASE", "COLOR", 0, INT_MAX), -2147483633);
}

} // namespace
