#pragma once
// Turns a log line ("90, 3C, 64") back into the readable fields of the
// window's message breakdown. Pure functions over TBreakdown, the captions and
// Tag values of the breakdown panels, so the window only copies the result into
// its panels. Texts keep the previous message's content where a rule says
// "unchanged": callers pass in the breakdown on show and get the new one back.

#include <cstdint>
#include <string>
#include <string_view>

struct TBreakdown {
  std::string PanelCC;         // status byte, two hex digits
  std::string PanelKanal;      // "Kanal " + channel digit
  std::string PanelP1;         // data byte 1, two hex digits
  std::string PanelP2;         // data byte 2, two hex digits
  std::string PanelStatustext; // message type
  std::string PanelDB1Text;    // meaning of data byte 1
  std::string PanelDB2Text;    // meaning of data byte 2
  int P1Tag = 0;               // numeric value of data byte 1 (PanelP1.Tag)
  int P2Tag = 0;               // numeric value of data byte 2 (PanelP2.Tag)
  friend bool operator==(const TBreakdown&, const TBreakdown&) = default;
};

// The value of aText read as a hexadecimal number (either case). Throws
// std::invalid_argument with a message text on an empty or non-hexadecimal text
// or one too large for an int.
int HexToInt(std::string_view aText);

// Note name of HexToInt(aText) mod 12 followed by the octave (div 12): "C Oktave 5".
std::string NoteName(std::string_view aText);

// aLabel, one blank, the decimal value of HexToInt(aText): "Velocity 100".
std::string ValueText(std::string_view aText, std::string_view aLabel);

// "Wert " + HexToInt(aText2) * 128 + HexToInt(aText1).
std::string PitchBendText(std::string_view aText1, std::string_view aText2);

// Controller name and value meaning from P1Tag and P2Tag into PanelDB1Text and
// PanelDB2Text; a controller number outside 0..127 leaves both unchanged.
void DecodeController(TBreakdown& aPanels);

// Channel, message type and data texts from PanelCC, PanelP1 and PanelP2.
void DecodeStatus(TBreakdown& aPanels);

// Copies the three fields of a log line into PanelCC, PanelP1 and PanelP2, sets
// the Tag values and runs DecodeStatus. A field that is missing or not
// hexadecimal throws (HexToInt) and leaves aPanels as it was.
void DecodeLogLine(std::string_view aLine, TBreakdown& aPanels);

// The log line of a message: "%.2X, %.2X, %.2X", always ten characters.
std::string FormatLogLine(std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2);

// The status line: "<port>: Statusbyte 90, Parameter 1 3C, Parameter 2 64".
std::string FormatStatusLine(std::string_view aPortName, std::uint8_t aStatus, std::uint8_t aData1,
                             std::uint8_t aData2);
