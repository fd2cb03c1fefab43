// Loading the built-in skin from its embedded container (unpack, parse,
// decode the images, build the tables) and lookups by name.
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sVerdantSkin.h"

#include <benchmark/benchmark.h>

namespace {

void PrepareManager(TsSkinManager& aManager) {
  SetSkinCommandLine({});
  auto& skin = aManager.InternalSkins.Add();
  skin.SetName(VerdantSkinName);
  auto data = VerdantSkinData();
  skin.ReadData(data.data(), data.size());
  aManager.SetSkinDirectory("C:\\Skins");
}

void LoadBuiltInSkin(benchmark::State& aState) {
  TsSkinManager manager;
  PrepareManager(manager);
  for (auto _ : aState) {
    manager.SetSkinName(VerdantSkinName);
    benchmark::DoNotOptimize(manager.gd.data());
  }
  aState.counters["sections"] = double(manager.gd.size());
  aState.counters["images"] = double(manager.ma.size());
}
BENCHMARK(LoadBuiltInSkin)->Unit(benchmark::kMillisecond);

void UnpackBuiltInContainer(benchmark::State& aState) {
  auto data = VerdantSkinData();
  for (auto _ : aState) {
    TqcSkinConvertor convertor;
    UnpackSkinData(data.data(), data.size(), convertor);
    benchmark::DoNotOptimize(convertor.Files.data());
  }
}
BENCHMARK(UnpackBuiltInContainer)->Unit(benchmark::kMillisecond);

void LookupSectionByName(benchmark::State& aState) {
  TsSkinManager manager;
  PrepareManager(manager);
  manager.SetSkinName(VerdantSkinName);
  for (auto _ : aState)
    benchmark::DoNotOptimize(manager.GetSkinIndex("SCROLLSLIDERV"));
}
BENCHMARK(LookupSectionByName);

void LookupImageByName(benchmark::State& aState) {
  TsSkinManager manager;
  PrepareManager(manager);
  manager.SetSkinName(VerdantSkinName);
  int index = manager.GetSkinIndex("SCROLLBTNBOTTOM");
  for (auto _ : aState)
    benchmark::DoNotOptimize(manager.GetMaskIndex(index, "SCROLLBTNBOTTOM", "BORDERSMASK"));
}
BENCHMARK(LookupImageByName);

} // namespace
