// Drawing the monitor window's captions with a warm glyph cache.
#include "platform/gfx/Text.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace platform {
namespace {

enum class Style { Window, Heading, Field };

struct Caption {
  std::string Text;
  TRect Rect;
  Style Kind;
};

// The captions of the main window at their places: buttons and tab in the
// window font (11 px), the headings in 13 px bold, the fields in 13 px.
const std::vector<Caption>& Captions() {
  static const std::vector<Caption> captions = {
      {"In/Out", Bounds(4, 2, 50, 18), Style::Window},
      {"Midi In (Reset)", Bounds(10, 3, 113, 17), Style::Window},
      {"Midi Out (Reset)", Bounds(320, 3, 113, 17), Style::Window},
      {"Liste Reset", Bounds(632, 3, 81, 18), Style::Window},
      {"Statusbyte und Midikanal", Bounds(52, 186, 185, 20), Style::Heading},
      {"Datenbyte 1", Bounds(243, 186, 160, 20), Style::Heading},
      {"Datenbyte 2", Bounds(409, 186, 160, 20), Style::Heading},
      {"90", Bounds(52, 226, 85, 20), Style::Field},
      {"Kanal 0", Bounds(152, 226, 85, 20), Style::Field},
      {"3C", Bounds(283, 226, 85, 20), Style::Field},
      {"64", Bounds(448, 226, 85, 20), Style::Field},
      {"Note On ", Bounds(52, 266, 185, 20), Style::Field},
      {"C Oktave 5", Bounds(243, 266, 160, 20), Style::Field},
      {"Velocity 100", Bounds(409, 266, 160, 20), Style::Field},
  };
  return captions;
}

HFONT MakeFont(LONG aHeight, LONG aWeight) {
  LOGFONTW logFont;
  logFont.lfHeight = aHeight;
  logFont.lfWeight = aWeight;
  logFont.lfFaceName = "Tahoma";
  return CreateFontIndirectW(&logFont);
}

class Window {
public:
  Window()
      : fImage(732, 351), fDC(CreateCompatibleDC(nullptr)), fWindowFont(MakeFont(-11, FW_NORMAL)),
        fHeadingFont(MakeFont(-13, FW_BOLD)), fFieldFont(MakeFont(-13, FW_NORMAL)) {
    SelectObject(fDC, &fImage);
    SetBkMode(fDC, TRANSPARENT);
    SetTextColor(fDC, RGB(0, 0, 0));
  }
  ~Window() {
    DeleteDC(fDC);
    DeleteObject(fWindowFont);
    DeleteObject(fHeadingFont);
    DeleteObject(fFieldFont);
  }

  HDC DC() const { return fDC; }
  HFONT FontFor(Style aStyle) const {
    return aStyle == Style::Window    ? fWindowFont
           : aStyle == Style::Heading ? fHeadingFont
                                      : fFieldFont;
  }

  int DrawAll() {
    int total = 0;
    for (const Caption& c : Captions()) {
      SelectObject(fDC, FontFor(c.Kind));
      RECT r = c.Rect;
      total += DrawTextW(fDC, c.Text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    return total;
  }

private:
  Bitmap fImage;
  HDC fDC;
  HFONT fWindowFont;
  HFONT fHeadingFont;
  HFONT fFieldFont;
};

void BM_DrawCaptions(benchmark::State& aState) {
  Window window;
  window.DrawAll(); // warms the glyph cache
  for (auto _ : aState)
    benchmark::DoNotOptimize(window.DrawAll());
  aState.SetItemsProcessed(aState.iterations() * std::int64_t(Captions().size()));
}
BENCHMARK(BM_DrawCaptions)->Unit(benchmark::kMicrosecond);

void BM_MeasureCaptions(benchmark::State& aState) {
  Window window;
  window.DrawAll();
  for (auto _ : aState) {
    int total = 0;
    for (const Caption& c : Captions()) {
      SelectObject(window.DC(), window.FontFor(c.Kind));
      SIZE size;
      GetTextExtentPoint32W(window.DC(), c.Text, &size);
      total += size.cx;
    }
    benchmark::DoNotOptimize(total);
  }
  aState.SetItemsProcessed(aState.iterations() * std::int64_t(Captions().size()));
}
BENCHMARK(BM_MeasureCaptions)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace platform
