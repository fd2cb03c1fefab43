#pragma once
// Finding a font file for a face name, weight and slant through fontconfig,
// which also sees the application font folder of the fonts-wine faces
// (Tahoma and Tahoma Bold) when that package is installed.

#include <string>

namespace platform {

// Where a face lives and what the renderer has to synthesise for it.
struct FontFileInfo {
  std::string Path; // empty when no font file could be found at all
  int Index = 0;    // face index inside a collection file
  std::string Family;
  bool Embolden = false; // the request is bolder than the file: embolden the outlines
  bool Oblique = false;  // the request is italic and the file is upright: slant the outlines
  bool Exact = false;    // the file carries the requested family name
};

// The face for aFace: the family itself when installed; else an installed face
// that fontconfig lists as metric-compatible with it; else DejaVu Sans; else the
// best sans-serif face fontconfig has. aWeight is 1..1000 as in the font record
// (0 = normal). Results are remembered; safe to call from any thread.
FontFileInfo MatchFontFile(const std::string& aFace, int aWeight, bool aItalic);

// An installed face that has a glyph for aChar, closest to the weight and
// slant, for characters the chosen face lacks; an empty Path when none has
// it. Results are remembered; safe to call from any thread.
FontFileInfo MatchFallbackFile(char32_t aChar, int aWeight, bool aItalic);

} // namespace platform
