// Painting the built-in skin's sections into caches the sizes of the
// monitor window's controls, next to a plain fill of the same areas. The
// caches exist before the loop, as a control's cache does between paints.

#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sSectionPaint.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

TsSkinManager& Verdant() {
  static TsSkinManager* manager = [] {
    SetSkinCommandLine({});
    auto* m = new TsSkinManager;
    auto& skin = m->InternalSkins.Add();
    skin.SetName(VerdantSkinName);
    auto data = VerdantSkinData();
    skin.ReadData(data.data(), data.size());
    m->SetSkinName(VerdantSkinName);
    return m;
  }();
  return *manager;
}

// One control of the window: its section, its size, its place in its parent
// (the previous control with a smaller depth) and its cache.
struct TControlCache {
  TControlCache(const char* aSection, int aWidth, int aHeight, int aParent, TPoint aOffset)
      : Section(aSection), Width(aWidth), Height(aHeight), Parent(aParent), Offset(aOffset) {}
  const char* Section;
  int Width, Height;
  int Parent; // index of the parent control, -1 for the window
  TPoint Offset;
  int SkinIndex = -1;
  platform::Bitmap Cache;
};

std::vector<TControlCache> MonitorControls() {
  std::vector<TControlCache> controls = {
      {"PAGECONTROL", 732, 351, -1, {0, 0}}, {"TABTOP", 70, 22, 0, {2, 2}},
      {"PANEL", 724, 301, 0, {4, 26}}, // PanelPort on the tab sheet
      {"STATUSBAR", 724, 19, 0, {4, 327}},   {"BUTTON", 113, 17, 2, {10, 3}}, // btnResetIn
      {"BUTTON", 113, 17, 2, {320, 3}},                                       // btnResetOut
      {"BUTTON", 81, 18, 2, {632, 3}},                                        // btnListeLeeren
      {"EDIT", 302, 148, 2, {10, 25}},                                        // clbInputDevices
      {"EDIT", 303, 148, 2, {320, 25}},                                       // clbOutputDevices
      {"EDIT", 81, 254, 2, {632, 25}},                                        // lbListe
  };
  const std::pair<TPoint, int> panels[] = {
      {{52, 226}, 85},  {{243, 186}, 160}, {{243, 266}, 160}, {{409, 186}, 160}, {{409, 266}, 160},
      {{152, 226}, 85}, {{283, 226}, 85},  {{448, 226}, 85},  {{52, 186}, 185},  {{52, 266}, 185}};
  for (const auto& [at, width] : panels)
    controls.emplace_back("PANEL", width, 20, 2, at);
  for (TControlCache& c : controls) {
    c.SkinIndex = Verdant().GetSkinIndex(c.Section);
    c.Cache = CreateBitmap32(c.Width, c.Height);
  }
  return controls;
}

void PaintControl(std::vector<TControlCache>& aControls, TControlCache& aControl) {
  const TCacheInfo parent =
      aControl.Parent < 0
          ? EmptyCacheInfo()
          : CacheInfoFromBitmap(&aControls[std::size_t(aControl.Parent)].Cache, 0, 0);
  const TsGeneralData& section = Verdant().gd[std::size_t(aControl.SkinIndex)];
  PaintSection(&Verdant(), aControl.SkinIndex, section.BorderIndex, -1, -1, KeyColor, parent, 0,
               &aControl.Cache, aControl.Offset, aControl.Cache.BoundsRect(), true,
               TLayerOrder::CornersThenBorder);
}

void PaintEveryControlOnce(benchmark::State& aState) {
  auto controls = MonitorControls();
  std::int64_t pixels = 0;
  for (const TControlCache& c : controls)
    pixels += std::int64_t(c.Width) * c.Height;
  for (auto _ : aState) {
    for (TControlCache& c : controls)
      PaintControl(controls, c);
    benchmark::ClobberMemory();
  }
  aState.counters["controls"] = double(controls.size());
  aState.counters["pixels"] = double(pixels);
}
BENCHMARK(PaintEveryControlOnce)->Unit(benchmark::kMicrosecond);

void FillEveryControlOnce(benchmark::State& aState) {
  auto controls = MonitorControls();
  for (auto _ : aState) {
    for (TControlCache& c : controls)
      FillRect32(c.Cache, c.Cache.BoundsRect(), RGB(200, 210, 190));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FillEveryControlOnce)->Unit(benchmark::kMicrosecond);

void PaintButton75x25(benchmark::State& aState) {
  const int state = int(aState.range(0));
  const int index = Verdant().GetSkinIndex("BUTTON");
  const TsGeneralData& section = Verdant().gd[std::size_t(index)];
  platform::Bitmap panel = CreateBitmap32(200, 100);
  FillRect32(panel, panel.BoundsRect(), RGB(188, 206, 181));
  platform::Bitmap cache = CreateBitmap32(75, 25);
  for (auto _ : aState) {
    PaintSection(&Verdant(), index, section.BorderIndex, -1, -1, KeyColor,
                 CacheInfoFromBitmap(&panel, 0, 0), state, &cache, {10, 10}, cache.BoundsRect(),
                 true, TLayerOrder::CornersThenBorder);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(PaintButton75x25)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void FillButton75x25(benchmark::State& aState) {
  platform::Bitmap cache = CreateBitmap32(75, 25);
  for (auto _ : aState) {
    FillRect32(cache, cache.BoundsRect(), RGB(200, 210, 190));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FillButton75x25)->Unit(benchmark::kMicrosecond);

} // namespace
