#include "platform/gfx/FontMatch.h"

#include <algorithm>
#include <cctype>
#include <fontconfig/fontconfig.h>
#include <map>
#include <memory>
#include <mutex>
#include <strings.h>
#include <tuple>
#include <vector>

// fontconfig 2.14.1 (Debian 12) loses a 256-byte block and its 32-byte child
// while parsing its configuration files, once per process; no report for it is
// known to us. LeakSanitizer would fail every program that draws text, so that
// one library's leaks are left out of its report.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif
#endif

namespace platform {

namespace {

constexpr const char* FallbackFamily = "DejaVu Sans";

struct PatternDeleter {
  void operator()(FcPattern* aPattern) const { FcPatternDestroy(aPattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Debian's fonts-wine package puts its metric-compatible Tahoma faces in a
// folder that fontconfig's configuration does not index.
constexpr const char* ApplicationFontDir = "/usr/share/wine/fonts";

FcConfig* Config() {
  // Loaded once; fontconfig keeps it for the life of the process. Without
  // the application folder (the package is not installed) nothing is added
  // and the fallback face stands in.
  static FcConfig* config = [] {
    FcConfig* loaded = FcInitLoadConfigAndFonts();
    if (loaded)
      FcConfigAppFontAddDir(loaded, reinterpret_cast<const FcChar8*>(ApplicationFontDir));
    return loaded;
  }();
  return config;
}

bool SameName(const std::string& aLeft, const std::string& aRight) {
  return strcasecmp(aLeft.c_str(), aRight.c_str()) == 0;
}

// The request as fontconfig sees it, after its configuration's substitutions.
PatternPtr Request(const std::string& aFamily, int aWeight, bool aItalic) {
  PatternPtr pattern(FcPatternCreate());
  if (!pattern)
    return nullptr;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(aFamily.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(aWeight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, aItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(Config(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

// The requested family and the families fontconfig's configuration binds to it
// as equals: its metric-compatible aliases are added with binding "same" and so
// share the request's strong binding, while generic fallbacks are weak.
std::vector<std::string> AcceptedFamilies(const FcPattern* aRequest, const std::string& aFamily) {
  std::vector<std::string> accepted{aFamily};
  FcPatternIter iter;
  FcPatternIterStart(aRequest, &iter);
  do {
    if (!FcPatternIterIsValid(aRequest, &iter) ||
        std::string(FcPatternIterGetObject(aRequest, &iter)) != FC_FAMILY)
      continue;
    for (int i = 0, n = FcPatternIterValueCount(aRequest, &iter); i < n; ++i) {
      FcValue value;
      FcValueBinding binding;
      if (FcPatternIterGetValue(aRequest, &iter, i, &value, &binding) == FcResultMatch &&
          value.type == FcTypeString && binding != FcValueBindingWeak)
        accepted.emplace_back(reinterpret_cast<const char*>(value.u.s));
    }
  } while (FcPatternIterNext(aRequest, &iter));
  return accepted;
}

FontFileInfo Describe(const FcPattern* aFont) {
  FontFileInfo info;
  FcChar8* text = nullptr;
  if (FcPatternGetString(aFont, FC_FILE, 0, &text) == FcResultMatch)
    info.Path = reinterpret_cast<const char*>(text);
  if (FcPatternGetString(aFont, FC_FAMILY, 0, &text) == FcResultMatch)
    info.Family = reinterpret_cast<const char*>(text);
  int index = 0;
  if (FcPatternGetInteger(aFont, FC_INDEX, 0, &index) == FcResultMatch)
    info.Index = index;
  FcBool embolden = FcFalse;
  if (FcPatternGetBool(aFont, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
    info.Embolden = embolden;
  FcMatrix* matrix = nullptr;
  if (FcPatternGetMatrix(aFont, FC_MATRIX, 0, &matrix) == FcResultMatch)
    info.Oblique = matrix->xy != 0;
  return info;
}

bool HasFamily(const FcPattern* aFont, const std::vector<std::string>& aFamilies) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(aFont, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    std::string family(reinterpret_cast<const char*>(name));
    if (std::any_of(aFamilies.begin(), aFamilies.end(),
                    [&](const std::string& aName) { return SameName(aName, family); }))
      return true;
  }
  return false;
}

PatternPtr BestMatch(FcPattern* aRequest) {
  FcResult result = FcResultNoMatch;
  return PatternPtr(FcFontMatch(Config(), aRequest, &result));
}

FontFileInfo Lookup(const std::string& aFace, int aWeight, bool aItalic) {
  if (!Config())
    return {};
  if (PatternPtr request = Request(aFace, aWeight, aItalic)) {
    PatternPtr font = BestMatch(request.get());
    if (font && HasFamily(font.get(), AcceptedFamilies(request.get(), aFace))) {
      FontFileInfo info = Describe(font.get());
      info.Exact = HasFamily(font.get(), {aFace});
      return info;
    }
  }
  // The fallback face; when even that is missing, whatever fontconfig offers.
  if (PatternPtr request = Request(FallbackFamily, aWeight, aItalic))
    if (PatternPtr font = BestMatch(request.get()))
      return Describe(font.get());
  return {};
}

FontFileInfo LookupFallback(char32_t aChar, int aWeight, bool aItalic) {
  if (!Config())
    return {};
  PatternPtr request(FcPatternCreate());
  FcCharSet* chars = FcCharSetCreate();
  if (!request || !chars) {
    if (chars)
      FcCharSetDestroy(chars);
    return {};
  }
  FcCharSetAddChar(chars, FcChar32(aChar));
  FcPatternAddCharSet(request.get(), FC_CHARSET, chars);
  FcCharSetDestroy(chars);
  FcPatternAddInteger(request.get(), FC_WEIGHT, FcWeightFromOpenType(aWeight));
  FcPatternAddInteger(request.get(), FC_SLANT, aItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(request.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(Config(), request.get(), FcMatchPattern);
  FcDefaultSubstitute(request.get());
  FcResult result = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(Config(), request.get(), FcTrue, nullptr, &result);
  if (!sorted)
    return {};
  FontFileInfo info;
  for (int i = 0; i < sorted->nfont && info.Path.empty(); ++i) {
    FcCharSet* has = nullptr;
    FcBool scalable = FcFalse;
    if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch ||
        !FcCharSetHasChar(has, FcChar32(aChar)) ||
        FcPatternGetBool(sorted->fonts[i], FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable)
      continue;
    if (PatternPtr font{FcFontRenderPrepare(Config(), request.get(), sorted->fonts[i])})
      info = Describe(font.get());
  }
  FcFontSetDestroy(sorted);
  return info;
}

} // namespace

FontFileInfo MatchFontFile(const std::string& aFace, int aWeight, bool aItalic) {
  static std::mutex mutex;
  static std::map<std::tuple<std::string, int, bool>, FontFileInfo> known;
  const int weight = aWeight <= 0 ? 400 : std::min(aWeight, 1000);
  std::string key = aFace;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char aChar) { return char(std::tolower(aChar)); });
  std::lock_guard lock(mutex);
  auto [entry, added] = known.try_emplace({key, weight, aItalic});
  if (added)
    entry->second = Lookup(aFace, weight, aItalic);
  return entry->second;
}

FontFileInfo MatchFallbackFile(char32_t aChar, int aWeight, bool aItalic) {
  // Remembers the last few thousand characters; arbitrary text cannot make it
  // grow without end.
  constexpr std::size_t Remembered = 4096;
  static std::mutex mutex;
  static std::map<std::tuple<char32_t, int, bool>, FontFileInfo> known;
  const int weight = aWeight <= 0 ? 400 : std::min(aWeight, 1000);
  std::lock_guard lock(mutex);
  if (auto found = known.find({aChar, weight, aItalic}); found != known.end())
    return found->second;
  if (known.size() >= Remembered)
    known.clear();
  return known[{aChar, weight, aItalic}] = LookupFallback(aChar, weight, aItalic);
}

} // namespace platform
