#include "monitor/MessageDecoder.h"

#include "monitor/uGMInstrumente.h"

#include <array>
#include <climits>
#include <stdexcept>

namespace {

constexpr std::array<std::string_view, 12> NoteNames = {
    "C Oktave ",  "C# Oktave ", "D Oktave ",  "D# Oktave ", "E Oktave ",  "F Oktave ",
    "F# Oktave ", "G Oktave ",  "G# Oktave ", "A Oktave ",  "A# Oktave ", "H(B) Oktave ",
};

enum class TValueRule { Number, OnOff, Fixed };

struct TControllerRow {
  int First;
  int Last;
  std::string_view Name;
  TValueRule Rule;
  std::string_view FixedText;
};

constexpr TValueRule Num = TValueRule::Number;
constexpr TValueRule OnOff = TValueRule::OnOff;
constexpr TValueRule Fixed = TValueRule::Fixed;

// One row per controller range, covering 0..127 without gaps.
constexpr std::array<TControllerRow, 45> Controllers = {{
    {0, 0, "Bank Select MSB", Num, {}},
    {1, 1, "Modulation MSB", Num, {}},
    {2, 2, "Blasregler", Num, {}},
    {3, 3, "Frei verwendbar", Num, {}},
    {4, 4, "Pedal MSB", Num, {}},
    {5, 5, "Portamento Time MSB", Num, {}},
    {6, 6, "Datenbyte / RPN NRPN", Num, {}},
    {7, 7, "Main Volume", Num, {}},
    {8, 8, "Balance (Stereo)", Num, {}},
    {9, 9, "Frei verwendbar", Num, {}},
    {10, 10, "Panorama (L m R)", Num, {}},
    {11, 11, "Expression", Num, {}},
    {12, 12, "Effekt Control 1", Num, {}},
    {13, 13, "Effekt Control 2", Num, {}},
    {14, 15, "Frei verwendbar", Num, {}},
    {16, 19, "Frei belegbare Controller 1-4", Num, {}},
    {20, 31, "Frei verwendbar", Num, {}},
    {32, 32, "Bank select LSB", Num, {}},
    {33, 63, "LSB f\xC3\xBCr CC 1 bis 31", Num, {}},
    {64, 64, "Sustain 1", OnOff, {}},
    {65, 65, "Portamento", OnOff, {}},
    {66, 66, "Sostenuto", Num, {}},
    {67, 67, "Softpedal (Lautst\xC3\xA4rke)", Num, {}},
    {68, 68, "Legatopedal", Num, {}},
    {69, 69, "Haltepedal 2", OnOff, {}},
    {70, 79, "Klangsteuerung 1 - 10", Num, {}},
    {80, 83, "Frei belegbare Controllr 5-8", Num, {}},
    {84, 84, "Portamentokontrolle", Num, {}},
    {85, 90, "Frei verwendbar", Num, {}},
    {91, 95, "Effekte 1 - 5", Num, {}},
    {96, 96, "Data Increment RPN/NRPN", Num, {}},
    {97, 97, "Data Decrement RPN/NRPN", Num, {}},
    {98, 98, "NRPN LSB", Num, {}},
    {99, 99, "NRPN MSB", Num, {}},
    {100, 100, "RPN LSB", Num, {}},
    {101, 101, "RPN MSB", Num, {}},
    {102, 119, "Frei verwendbar", Num, {}},
    {120, 120, "All Sounds off", Fixed, "ohne Bedeutung"},
    {121, 121, "Controller Reset", Num, {}},
    {122, 122, "Local Control ON/OFF", Num, {}},
    {123, 123, "All notes off", Fixed, "Keine Bedeutung"},
    {124, 124, "Omni off", Fixed, "Keine Bedeutung"},
    {125, 125, "Omni on", Fixed, "Keine Bedeutung"},
    {126, 126, "Mono on / Poly off", Num, {}},
    {127, 127, "Mono off / Poly on", Num, {}},
}};

int HexDigit(char aChar) {
  if (aChar >= '0' && aChar <= '9')
    return aChar - '0';
  if (aChar >= 'A' && aChar <= 'F')
    return aChar - 'A' + 10;
  if (aChar >= 'a' && aChar <= 'f')
    return aChar - 'a' + 10;
  return -1;
}

constexpr char HexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& aText, std::uint8_t aByte) {
  aText.push_back(HexDigits[aByte >> 4]);
  aText.push_back(HexDigits[aByte & 0x0F]);
}

// Characters [aPos, aPos + 2) of aLine, shorter or empty past its end.
std::string_view Field(std::string_view aLine, std::size_t aPos) {
  return aPos < aLine.size() ? aLine.substr(aPos, 2) : std::string_view{};
}

} // namespace

int HexToInt(std::string_view aText) {
  if (aText.empty())
    throw std::invalid_argument("\"\" ist keine Hexadezimalzahl");
  long long value = 0;
  for (char c : aText) {
    const int digit = HexDigit(c);
    if (digit < 0)
      throw std::invalid_argument("\"" + std::string(aText) + "\" ist keine Hexadezimalzahl");
    value = value * 16 + digit;
    if (value > INT_MAX)
      throw std::invalid_argument("\"" + std::string(aText) + "\" ist zu gro\xC3\x9F");
  }
  return static_cast<int>(value);
}

std::string NoteName(std::string_view aText) {
  const int n = HexToInt(aText);
  std::string result(NoteNames[n % 12]);
  result += std::to_string(n / 12);
  return result;
}

std::string ValueText(std::string_view aText, std::string_view aLabel) {
  std::string result(aLabel);
  result += ' ';
  result += std::to_string(HexToInt(aText));
  return result;
}

std::string PitchBendText(std::string_view aText1, std::string_view aText2) {
  const long long value = static_cast<long long>(HexToInt(aText2)) * 128 + HexToInt(aText1);
  return "Wert " + std::to_string(value);
}

void DecodeController(TBreakdown& aPanels) {
  const int c = aPanels.P1Tag;
  const int v = aPanels.P2Tag;
  if (c < 0 || c > 127)
    return;
  for (const TControllerRow& row : Controllers) {
    if (c < row.First || c > row.Last)
      continue;
    aPanels.PanelDB1Text = row.Name;
    switch (row.Rule) {
    case TValueRule::Number:
      aPanels.PanelDB2Text = std::to_string(v);
      break;
    case TValueRule::OnOff:
      aPanels.PanelDB2Text = v >= 64 ? "On" : "Off";
      break;
    case TValueRule::Fixed:
      aPanels.PanelDB2Text = row.FixedText;
      break;
    }
    return;
  }
}

void DecodeStatus(TBreakdown& aPanels) {
  const std::string& cc = aPanels.PanelCC;
  if (cc.empty())
    return;
  const char first = cc[0];
  aPanels.PanelKanal = "Kanal ";
  if (cc.size() > 1)
    aPanels.PanelKanal += cc[1];
  const std::string& p1 = aPanels.PanelP1;
  const std::string& p2 = aPanels.PanelP2;
  switch (first) {
  case 'E':
    aPanels.PanelStatustext = "Pitch Bending";
    aPanels.PanelDB1Text = PitchBendText(p1, p2);
    aPanels.PanelDB2Text = "DB2 * 128 + DB1";
    break;
  case '8':
    aPanels.PanelStatustext = "Note Off ";
    aPanels.PanelDB1Text = NoteName(p1);
    aPanels.PanelDB2Text = ValueText(p2, "Velocity");
    break;
  case '9':
    aPanels.PanelStatustext = "Note On ";
    aPanels.PanelDB1Text = NoteName(p1);
    aPanels.PanelDB2Text = ValueText(p2, "Velocity");
    break;
  case 'A':
    aPanels.PanelStatustext = "Polyphonic Aftertouch";
    aPanels.PanelDB1Text = NoteName(p1);
    aPanels.PanelDB2Text = ValueText(p2, "Tastendruck");
    break;
  case 'B':
    aPanels.PanelStatustext = "Control Change";
    DecodeController(aPanels);
    break;
  case 'C':
    aPanels.PanelStatustext = "Program Change";
    aPanels.PanelDB1Text = InstrumentName(p1);
    aPanels.PanelDB2Text.clear();
    break;
  case 'D':
    aPanels.PanelStatustext = "Monophonic Aftertouch";
    aPanels.PanelDB1Text = ValueText(p1, "Tastendruck");
    aPanels.PanelDB2Text.clear();
    break;
  case 'F':
    aPanels.PanelStatustext = "System exclusive";
    aPanels.PanelKanal.clear();
    break;
  default:
    break;
  }
}

void DecodeLogLine(std::string_view aLine, TBreakdown& aPanels) {
  // Decoded into a copy so a failing field leaves the panels as they were.
  TBreakdown next = aPanels;
  next.PanelCC = Field(aLine, 0);
  next.PanelP1 = Field(aLine, 4);
  next.PanelP2 = Field(aLine, 8);
  next.P1Tag = HexToInt(next.PanelP1);
  next.P2Tag = HexToInt(next.PanelP2);
  DecodeStatus(next);
  aPanels = std::move(next);
}

std::string FormatLogLine(std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
  std::string line;
  line.reserve(10);
  AppendHex(line, aStatus);
  line += ", ";
  AppendHex(line, aData1);
  line += ", ";
  AppendHex(line, aData2);
  return line;
}

std::string FormatStatusLine(std::string_view aPortName, std::uint8_t aStatus, std::uint8_t aData1,
                             std::uint8_t aData2) {
  std::string line(aPortName);
  line += ": Statusbyte ";
  AppendHex(line, aStatus);
  line += ", Parameter 1 ";
  AppendHex(line, aData1);
  line += ", Parameter 2 ";
  AppendHex(line, aData2);
  return line;
}
