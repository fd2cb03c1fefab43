#include "platform/gfx/GlyphCache.h"

#include "platform/gfx/FontMatch.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>

namespace platform {

namespace {

// FreeType's library object; creating and freeing faces must not overlap. It
// lives as long as the process, so that strikes freed at exit can still free
// their faces.
struct Library {
  std::mutex Mutex;
  FT_Library Handle = nullptr;
  Library() {
    if (FT_Init_FreeType(&Handle) != 0)
      Handle = nullptr;
  }
};

Library& FreeType() {
  static Library* library = new Library;
  return *library;
}

int Round(double aValue) {
  return int(std::lround(aValue));
}

// Stem widths as fractions of the em: a bold face's stems are wider than
// LightestBoldStem; a face drawn with thinner ones has them widened to
// BoldStem.
constexpr double LightestBoldStem = 0.11;
constexpr double BoldStem = 0.15;
constexpr unsigned short BoldWeightClass = 600;

// How much wider (26.6 pixels) the stems of a face that calls itself bold must
// grow to look bold. Some bold files carry regular-weight outlines with bold
// advances (fonts-wine's Tahoma Bold): drawn as they are, their text looks
// regular and loosely spaced. The width of the outline of "l" is an upper
// bound of the stem width.
FT_Pos StemWidening(FT_Face aFace, const TT_OS2* aOs2, double aPixelsPerEm) {
  if (!aOs2 || aOs2->version == 0xFFFF || aOs2->usWeightClass < BoldWeightClass)
    return 0;
  const FT_UInt index = FT_Get_Char_Index(aFace, 'l');
  if (index == 0 || FT_Load_Glyph(aFace, index, FT_LOAD_NO_SCALE) != 0 ||
      aFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return 0;
  FT_BBox box;
  FT_Outline_Get_CBox(&aFace->glyph->outline, &box);
  const double stem = double(box.xMax - box.xMin) / aFace->units_per_EM;
  if (stem >= LightestBoldStem)
    return 0;
  return FT_Pos(std::lround((BoldStem - stem) * aPixelsPerEm * 64));
}

bool IsControl(char32_t aChar) {
  return aChar < 0x20 || (aChar >= 0x7F && aChar < 0xA0);
}

} // namespace

struct GlyphStrike::FaceHandle {
  FT_Face Face = nullptr;
  bool Embolden = false;
  bool Oblique = false;
  FT_Pos StemWidening = 0; // 26.6 pixels added to every stem, advances kept
  ~FaceHandle() {
    std::lock_guard lock(FreeType().Mutex);
    FT_Done_Face(Face);
  }
};

namespace {

// Opens the face of the key's file; false when FreeType cannot.
bool OpenFace(const StrikeKey& aKey, FT_Face& aFace) {
  std::lock_guard lock(FreeType().Mutex);
  if (FreeType().Handle &&
      FT_New_Face(FreeType().Handle, aKey.Path.c_str(), aKey.Index, &aFace) == 0)
    return true;
  aFace = nullptr;
  return false;
}

// Ascent and descent in font units.
struct LineExtent {
  double Ascent;
  double Descent;
};

// The line as the platform reports it: the Windows ascent and descent of the
// OS/2 table, falling back to the horizontal header, then to 0.8 and 0.2 em.
LineExtent WindowsLine(FT_Face aFace, const TT_OS2* aOs2) {
  LineExtent line{double(aFace->ascender), double(-aFace->descender)};
  if (aOs2 && aOs2->version != 0xFFFF && aOs2->usWinAscent + aOs2->usWinDescent > 0)
    line = {double(aOs2->usWinAscent), double(aOs2->usWinDescent)};
  if (line.Ascent + line.Descent <= 0)
    line = {aFace->units_per_EM * 0.8, aFace->units_per_EM * 0.2};
  return line;
}

// The strike's metrics for a requested height: a positive one is the cell
// (ascent and descent together make exactly the request), a negative one
// the em. aPixelsPerEm receives the em size the face is to be set to.
StrikeMetrics MetricsFor(FT_Face aFace, const TT_OS2* aOs2, int aHeight, double& aPixelsPerEm) {
  const LineExtent line = WindowsLine(aFace, aOs2);
  const double cell = line.Ascent + line.Descent;
  const double em = aFace->units_per_EM;
  const std::int64_t requested = aHeight < 0 ? -std::int64_t(aHeight) : aHeight;
  const int height = int(std::clamp(requested, std::int64_t(1), std::int64_t(MaxPixelHeight)));
  StrikeMetrics m;
  if (aHeight > 0) {
    aPixelsPerEm = height * em / cell;
    m.Ascent = Round(line.Ascent * height / cell);
    m.Descent = height - m.Ascent;
  } else {
    aPixelsPerEm = height;
    m.Ascent = Round(line.Ascent * aPixelsPerEm / em);
    m.Descent = Round(line.Descent * aPixelsPerEm / em);
  }
  const double scale = aPixelsPerEm / em;
  const bool os2 = aOs2 && aOs2->version != 0xFFFF;
  m.EmHeight = Round(aPixelsPerEm);
  const double hheaLine = aFace->ascender - aFace->descender;
  const double lineGap = aFace->height - hheaLine;
  m.ExternalLeading = std::max(0, Round((lineGap - (cell - hheaLine)) * scale));
  m.MaxCharWidth = std::max(1, Round(aFace->max_advance_width * scale));
  if (os2 && aOs2->xAvgCharWidth > 0)
    m.AveCharWidth = std::max(1, Round(aOs2->xAvgCharWidth * scale));
  m.UnderlineThickness = std::max(1, Round(aFace->underline_thickness * scale));
  m.UnderlineOffset =
      std::max(1, Round(-aFace->underline_position * scale - m.UnderlineThickness / 2.0));
  // Keep the line inside the cell.
  m.UnderlineOffset = std::min(m.UnderlineOffset, std::max(0, m.Descent - m.UnderlineThickness));
  if (os2 && aOs2->yStrikeoutSize > 0) {
    m.StrikeoutThickness = std::max(1, Round(aOs2->yStrikeoutSize * scale));
    m.StrikeoutOffset = Round(aOs2->yStrikeoutPosition * scale);
  } else {
    m.StrikeoutThickness = m.UnderlineThickness;
    m.StrikeoutOffset = Round(m.Ascent / 3.0);
  }
  return m;
}

} // namespace

std::shared_ptr<GlyphStrike> GlyphStrike::Get(const StrikeKey& aKey) {
  static std::mutex mutex;
  static std::map<StrikeKey, std::shared_ptr<GlyphStrike>> strikes;
  std::lock_guard registryLock(mutex);
  if (auto found = strikes.find(aKey); found != strikes.end())
    return found->second;

  auto face = std::make_unique<FaceHandle>();
  face->Embolden = aKey.Embolden;
  face->Oblique = aKey.Oblique;
  if (!OpenFace(aKey, face->Face))
    return nullptr;
  FT_Face ft = face->Face;
  if (!FT_IS_SCALABLE(ft) || ft->units_per_EM == 0)
    return nullptr;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  double pixelsPerEm = 0;
  const StrikeMetrics metrics = MetricsFor(ft, os2, aKey.Height, pixelsPerEm);
  if (FT_Set_Char_Size(ft, 0, FT_F26Dot6(std::lround(pixelsPerEm * 64)), 72, 72) != 0)
    return nullptr;
  if (!face->Embolden)
    face->StemWidening = StemWidening(ft, os2, pixelsPerEm);

  std::shared_ptr<GlyphStrike> strike(new GlyphStrike(aKey, std::move(face), metrics));
  if (strike->fMetrics.AveCharWidth == 0)
    strike->fMetrics.AveCharWidth = std::max(1, strike->OwnGlyph(U'x').Advance);
  strikes.emplace(aKey, strike);
  return strike;
}

GlyphStrike::GlyphStrike(const StrikeKey& aKey, std::unique_ptr<FaceHandle> aFace,
                         const StrikeMetrics& aMetrics)
    : fKey(aKey), fFace(std::move(aFace)), fMetrics(aMetrics) {
  fIndexOf.fill(UnknownIndex);
}

GlyphStrike::~GlyphStrike() = default;

unsigned GlyphStrike::IndexOf(char32_t aChar) {
  if (aChar >= fIndexOf.size())
    return FT_Get_Char_Index(fFace->Face, FT_ULong(aChar));
  if (fIndexOf[aChar] == UnknownIndex)
    fIndexOf[aChar] = FT_Get_Char_Index(fFace->Face, FT_ULong(aChar));
  return fIndexOf[aChar];
}

const Glyph& GlyphStrike::GlyphFor(char32_t aChar) {
  static const Glyph none;
  if (IsControl(aChar))
    return none;
  {
    std::lock_guard lock(fMutex);
    const unsigned index = IndexOf(aChar);
    if (index != 0) {
      if (auto found = fGlyphs.find(index); found != fGlyphs.end())
        return found->second;
      return fGlyphs.emplace(index, Rasterise(index)).first->second;
    }
    if (auto found = fGlyphs.find(BorrowedBit | aChar); found != fGlyphs.end())
      return found->second;
  }
  return BorrowedGlyph(aChar);
}

const Glyph& GlyphStrike::OwnGlyph(char32_t aChar) {
  std::lock_guard lock(fMutex);
  return OwnGlyphLocked(aChar);
}

const Glyph& GlyphStrike::OwnGlyphLocked(char32_t aChar) {
  const unsigned index = IndexOf(aChar);
  if (auto found = fGlyphs.find(index); found != fGlyphs.end())
    return found->second;
  return fGlyphs.emplace(index, Rasterise(index)).first->second;
}

const Glyph& GlyphStrike::BorrowedGlyph(char32_t aChar) {
  // The other face is drawn at this strike's em size. Its strike is looked up
  // without this strike's lock, so two strikes borrowing from each other on
  // two threads cannot wait for each other.
  const FontFileInfo file = MatchFallbackFile(aChar, fKey.Weight, fKey.Italic);
  std::shared_ptr<GlyphStrike> donor;
  if (!file.Path.empty() && (file.Path != fKey.Path || file.Index != fKey.Index))
    donor = Get({file.Path, file.Index, -fMetrics.EmHeight, file.Embolden, file.Oblique,
                 fKey.Weight, fKey.Italic});
  std::optional<Glyph> borrowed;
  if (donor) {
    std::lock_guard lock(donor->fMutex);
    if (donor->IndexOf(aChar) != 0)
      borrowed = donor->OwnGlyphLocked(aChar);
  }
  std::lock_guard lock(fMutex);
  if (!borrowed) {
    if (auto found = fGlyphs.find(0); found != fGlyphs.end())
      return found->second;
    return fGlyphs.emplace(0, Rasterise(0)).first->second;
  }
  return fGlyphs.try_emplace(BorrowedBit | aChar, std::move(*borrowed)).first->second;
}

std::size_t GlyphStrike::RasterisedCount() const {
  std::lock_guard lock(fMutex);
  return fRasterised;
}

Glyph GlyphStrike::Rasterise(unsigned aIndex) {
  Glyph glyph;
  ++fRasterised;
  FT_Face face = fFace->Face;
  if (FT_Load_Glyph(face, aIndex, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0)
    return glyph;
  FT_GlyphSlot slot = face->glyph;
  if (fFace->Embolden)
    FT_GlyphSlot_Embolden(slot);
  // Grows the outline by half the amount on either side: the glyph keeps its
  // place and its advance.
  if (fFace->StemWidening > 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE)
    FT_Outline_EmboldenXY(&slot->outline, fFace->StemWidening, 0);
  if (fFace->Oblique)
    FT_GlyphSlot_Oblique(slot);
  glyph.Advance = int((slot->advance.x + 32) >> 6);
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
    return glyph;

  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.Left = slot->bitmap_left;
  glyph.Top = slot->bitmap_top;
  glyph.Width = int(bitmap.width);
  glyph.Height = int(bitmap.rows);
  glyph.Coverage.assign(std::size_t(glyph.Width) * glyph.Height, 0);
  // A negative pitch stores the rows bottom-up from the buffer's start.
  const unsigned char* top = bitmap.buffer;
  if (bitmap.pitch < 0)
    top -= std::ptrdiff_t(bitmap.pitch) * (glyph.Height - 1);
  for (int y = 0; y < glyph.Height; ++y) {
    const unsigned char* row = top + std::ptrdiff_t(y) * bitmap.pitch;
    std::uint8_t* out = glyph.Coverage.data() + std::size_t(y) * glyph.Width;
    for (int x = 0; x < glyph.Width; ++x) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        out[x] = std::uint8_t(row[x] * 255 / std::max(1, bitmap.num_grays - 1));
    }
  }
  return glyph;
}

} // namespace platform
