#include "monitor/MessageDecoder.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

TEST(HexToInt, ReadsHexadecimalTextsOfEitherCase) {
  const struct {
    const char* Text;
    int Value;
  } cases[] = {{"00", 0},   {"0", 0},   {"7F", 127},     {"7f", 127}, {"ff", 255},
               {"Ab", 171}, {"10", 16}, {"FFFF", 65535}, {"0A", 10},  {"7FFFFFFF", 2147483647}};
  for (const auto& c : cases)
    EXPECT_EQ(HexToInt(c.Text), c.Value) << c.Text;
}

TEST(HexToInt, FailsOnTextThatIsNotHexadecimal) {
  for (const char* text : {"", "G1", " 1", "1 ", "0x10", "-1", "$10", "80000000"})
    EXPECT_THROW(HexToInt(text), std::invalid_argument) << '"' << text << '"';
}

TEST(NoteName, NameByNoteModTwelveAndOctaveByDivTwelve) {
  const struct {
    const char* Text;
    const char* Name;
  } cases[] = {
      {"00", "C Oktave 0"},  {"01", "C# Oktave 0"},   {"02", "D Oktave 0"},
      {"03", "D# Oktave 0"}, {"04", "E Oktave 0"},    {"05", "F Oktave 0"},
      {"06", "F# Oktave 0"}, {"07", "G Oktave 0"},    {"08", "G# Oktave 0"},
      {"09", "A Oktave 0"},  {"0A", "A# Oktave 0"},   {"0B", "H(B) Oktave 0"},
      {"0C", "C Oktave 1"},  {"3C", "C Oktave 5"},    {"3D", "C# Oktave 5"},
      {"45", "A Oktave 5"},  {"77", "H(B) Oktave 9"}, {"78", "C Oktave 10"},
      {"7F", "G Oktave 10"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NoteName(c.Text), c.Name) << c.Text;
}

TEST(ValueAndPitchBendText, DecimalValues) {
  EXPECT_EQ(ValueText("64", "Velocity"), "Velocity 100");
  EXPECT_EQ(ValueText("00", "Velocity"), "Velocity 0");
  EXPECT_EQ(ValueText("7F", "Tastendruck"), "Tastendruck 127");
  const struct {
    const char* Low;
    const char* High;
    const char* Text;
  } bends[] = {{"00", "00", "Wert 0"},    {"01", "00", "Wert 1"},     {"00", "01", "Wert 128"},
               {"00", "40", "Wert 8192"}, {"7F", "7F", "Wert 16383"}, {"05", "02", "Wert 261"}};
  for (const auto& b : bends)
    EXPECT_EQ(PitchBendText(b.Low, b.High), b.Text) << b.Low << ' ' << b.High;
}

// A breakdown as the previous message left it, so "unchanged" is visible.
TBreakdown Previous() {
  TBreakdown p;
  p.PanelCC = "99";
  p.PanelKanal = "Kanal 9";
  p.PanelP1 = "11";
  p.PanelP2 = "22";
  p.PanelStatustext = "old type";
  p.PanelDB1Text = "old db1";
  p.PanelDB2Text = "old db2";
  p.P1Tag = 17;
  p.P2Tag = 34;
  return p;
}

struct TLineCase {
  const char* Line;
  const char* Kanal;
  const char* Statustext;
  const char* DB1Text;
  const char* DB2Text;
};

TEST(DecodeLogLine, EveryMessageClass) {
  const TLineCase cases[] = {
      {"90, 3C, 64", "Kanal 0", "Note On ", "C Oktave 5", "Velocity 100"},
      {"80, 45, 00", "Kanal 0", "Note Off ", "A Oktave 5", "Velocity 0"},
      {"9A, 00, 7F", "Kanal A", "Note On ", "C Oktave 0", "Velocity 127"},
      {"A1, 3D, 7F", "Kanal 1", "Polyphonic Aftertouch", "C# Oktave 5", "Tastendruck 127"},
      {"E3, 00, 40", "Kanal 3", "Pitch Bending", "Wert 8192", "DB2 * 128 + DB1"},
      {"EF, 7F, 7F", "Kanal F", "Pitch Bending", "Wert 16383", "DB2 * 128 + DB1"},
      {"C9, 00, 00", "Kanal 9", "Program Change", "AcousticGrandPiano", ""},
      {"C0, 28, 55", "Kanal 0", "Program Change", "Violin", ""},
      {"C0, 7F, 00", "Kanal 0", "Program Change", "Gunshot", ""},
      {"C0, 80, 00", "Kanal 0", "Program Change", "", ""},
      {"D0, 40, 00", "Kanal 0", "Monophonic Aftertouch", "Tastendruck 64", ""},
      {"B0, 07, 64", "Kanal 0", "Control Change", "Main Volume", "100"},
      {"B5, 40, 3F", "Kanal 5", "Control Change", "Sustain 1", "Off"},
      // "F" keeps both data texts and empties the channel.
      {"F8, 00, 00", "", "System exclusive", "old db1", "old db2"},
      {"FF, 12, 34", "", "System exclusive", "old db1", "old db2"},
      // A controller byte above 127 keeps both data texts.
      {"B0, 80, 00", "Kanal 0", "Control Change", "old db1", "old db2"},
      {"BC, FF, 7F", "Kanal C", "Control Change", "old db1", "old db2"},
      // A status byte below 0x80 matches no class: only the channel changes.
      {"70, 01, 02", "Kanal 0", "old type", "old db1", "old db2"},
      {"0A, 01, 02", "Kanal A", "old type", "old db1", "old db2"},
  };
  for (const TLineCase& c : cases) {
    TBreakdown b = Previous();
    DecodeLogLine(c.Line, b);
    const std::string line = c.Line;
    EXPECT_EQ(b.PanelCC, line.substr(0, 2)) << line;
    EXPECT_EQ(b.PanelP1, line.substr(4, 2)) << line;
    EXPECT_EQ(b.PanelP2, line.substr(8, 2)) << line;
    EXPECT_EQ(b.P1Tag, std::stoi(line.substr(4, 2), nullptr, 16)) << line;
    EXPECT_EQ(b.P2Tag, std::stoi(line.substr(8, 2), nullptr, 16)) << line;
    EXPECT_EQ(b.PanelKanal, c.Kanal) << line;
    EXPECT_EQ(b.PanelStatustext, c.Statustext) << line;
    EXPECT_EQ(b.PanelDB1Text, c.DB1Text) << line;
    EXPECT_EQ(b.PanelDB2Text, c.DB2Text) << line;
  }
}

TEST(DecodeLogLine, SystemMessageKeepsTheTextsOfTheMessageBefore) {
  TBreakdown b;
  DecodeLogLine("B0, 07, 64", b);
  DecodeLogLine("F8, 00, 00", b);
  EXPECT_EQ(b.PanelStatustext, "System exclusive");
  EXPECT_EQ(b.PanelKanal, "");
  EXPECT_EQ(b.PanelDB1Text, "Main Volume");
  EXPECT_EQ(b.PanelDB2Text, "100");
  EXPECT_EQ(b.PanelP1, "00");
  EXPECT_EQ(b.P2Tag, 0);
}

TEST(DecodeLogLine, FailingFieldLeavesThePanelsAsTheyWere) {
  for (const char* line : {"", "90", "90, 3C", "90, 3C, ", "90, XX, 64", "G0, 3C, 64"}) {
    TBreakdown b = Previous();
    if (std::string(line) == "G0, 3C, 64") {
      // The status field is only compared, never converted: nothing throws.
      DecodeLogLine(line, b);
      EXPECT_EQ(b.PanelStatustext, "old type");
      EXPECT_EQ(b.PanelKanal, "Kanal 0");
      continue;
    }
    EXPECT_THROW(DecodeLogLine(line, b), std::invalid_argument) << '"' << line << '"';
    EXPECT_EQ(b, Previous()) << '"' << line << '"';
  }
}

TEST(DecodeStatus, EmptyStatusCaptionDoesNothing) {
  TBreakdown b = Previous();
  b.PanelCC.clear();
  TBreakdown expected = b;
  DecodeStatus(b);
  EXPECT_EQ(b, expected);
}

TEST(DecodeController, NamesAndValueRulesAtEveryRangeBoundary) {
  // Value 0x7F unless stated: number rows show "127", on/off rows "On".
  const struct {
    int Controller;
    const char* Name;
    int Value;
    const char* ValueText;
  } cases[] = {
      {0, "Bank Select MSB", 127, "127"},
      {1, "Modulation MSB", 127, "127"},
      {2, "Blasregler", 127, "127"},
      {3, "Frei verwendbar", 127, "127"},
      {4, "Pedal MSB", 127, "127"},
      {5, "Portamento Time MSB", 127, "127"},
      {6, "Datenbyte / RPN NRPN", 127, "127"},
      {7, "Main Volume", 100, "100"},
      {8, "Balance (Stereo)", 127, "127"},
      {9, "Frei verwendbar", 127, "127"},
      {10, "Panorama (L m R)", 0, "0"},
      {11, "Expression", 127, "127"},
      {12, "Effekt Control 1", 127, "127"},
      {13, "Effekt Control 2", 127, "127"},
      {14, "Frei verwendbar", 127, "127"},
      {15, "Frei verwendbar", 127, "127"},
      {16, "Frei belegbare Controller 1-4", 127, "127"},
      {19, "Frei belegbare Controller 1-4", 127, "127"},
      {20, "Frei verwendbar", 127, "127"},
      {31, "Frei verwendbar", 127, "127"},
      {32, "Bank select LSB", 127, "127"},
      {33, "LSB f\xC3\xBCr CC 1 bis 31", 16, "16"},
      {63, "LSB f\xC3\xBCr CC 1 bis 31", 127, "127"},
      {64, "Sustain 1", 63, "Off"},
      {64, "Sustain 1", 64, "On"},
      {64, "Sustain 1", 0, "Off"},
      {64, "Sustain 1", 127, "On"},
      {65, "Portamento", 63, "Off"},
      {65, "Portamento", 64, "On"},
      {66, "Sostenuto", 127, "127"},
      {66, "Sostenuto", 64, "64"},
      {67, "Softpedal (Lautst\xC3\xA4rke)", 64, "64"},
      {68, "Legatopedal", 64, "64"},
      {69, "Haltepedal 2", 63, "Off"},
      {69, "Haltepedal 2", 64, "On"},
      {70, "Klangsteuerung 1 - 10", 127, "127"},
      {79, "Klangsteuerung 1 - 10", 127, "127"},
      {80, "Frei belegbare Controllr 5-8", 127, "127"},
      {83, "Frei belegbare Controllr 5-8", 127, "127"},
      {84, "Portamentokontrolle", 127, "127"},
      {85, "Frei verwendbar", 127, "127"},
      {90, "Frei verwendbar", 127, "127"},
      {91, "Effekte 1 - 5", 127, "127"},
      {95, "Effekte 1 - 5", 127, "127"},
      {96, "Data Increment RPN/NRPN", 127, "127"},
      {97, "Data Decrement RPN/NRPN", 127, "127"},
      {98, "NRPN LSB", 127, "127"},
      {99, "NRPN MSB", 127, "127"},
      {100, "RPN LSB", 127, "127"},
      {101, "RPN MSB", 127, "127"},
      {102, "Frei verwendbar", 127, "127"},
      {119, "Frei verwendbar", 127, "127"},
      {120, "All Sounds off", 0, "ohne Bedeutung"},
      {120, "All Sounds off", 127, "ohne Bedeutung"},
      {121, "Controller Reset", 127, "127"},
      {122, "Local Control ON/OFF", 127, "127"},
      {122, "Local Control ON/OFF", 0, "0"},
      {123, "All notes off", 0, "Keine Bedeutung"},
      {124, "Omni off", 5, "Keine Bedeutung"},
      {125, "Omni on", 127, "Keine Bedeutung"},
      {126, "Mono on / Poly off", 127, "127"},
      {127, "Mono off / Poly on", 127, "127"},
  };
  for (const auto& c : cases) {
    TBreakdown b = Previous();
    b.P1Tag = c.Controller;
    b.P2Tag = c.Value;
    DecodeController(b);
    EXPECT_EQ(b.PanelDB1Text, c.Name) << c.Controller;
    EXPECT_EQ(b.PanelDB2Text, c.ValueText) << c.Controller << ' ' << c.Value;
  }
}

TEST(DecodeController, EveryControllerHasAName) {
  for (int c = 0; c <= 127; ++c) {
    TBreakdown b = Previous();
    b.P1Tag = c;
    DecodeController(b);
    EXPECT_NE(b.PanelDB1Text, "old db1") << c;
    EXPECT_NE(b.PanelDB2Text, "old db2") << c;
  }
}

TEST(DecodeController, NumberOutsideTheTableKeepsBothTexts) {
  for (int c : {-1, 128, 255, 1000}) {
    TBreakdown b = Previous();
    b.P1Tag = c;
    DecodeController(b);
    EXPECT_EQ(b, [&] {
      TBreakdown e = Previous();
      e.P1Tag = c;
      return e;
    }()) << c;
  }
}

TEST(FormatLines, TwoUpperCaseDigitsPerByte) {
  EXPECT_EQ(FormatLogLine(0x90, 0x3C, 0x64), "90, 3C, 64");
  EXPECT_EQ(FormatLogLine(0xF8, 0x00, 0x00), "F8, 00, 00");
  EXPECT_EQ(FormatLogLine(0x0A, 0x0B, 0xFF), "0A, 0B, FF");
  EXPECT_EQ(FormatStatusLine("Keyboard", 0x90, 0x3C, 0x64),
            "Keyboard: Statusbyte 90, Parameter 1 3C, Parameter 2 64");
  EXPECT_EQ(FormatStatusLine("", 0x0A, 0x00, 0xFF),
            ": Statusbyte 0A, Parameter 1 00, Parameter 2 FF");
}

TEST(FormatLines, EveryLogLineDecodesBackToItsBytes) {
  for (int s = 0; s < 256; s += 7)
    for (int d = 0; d < 256; d += 5) {
      TBreakdown b;
      DecodeLogLine(FormatLogLine(s, d, 255 - d), b);
      ASSERT_EQ(HexToInt(b.PanelCC), s);
      ASSERT_EQ(b.P1Tag, d);
      ASSERT_EQ(b.P2Tag, 255 - d);
    }
}

} // namespace
