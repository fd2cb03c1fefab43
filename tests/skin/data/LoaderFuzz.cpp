// Damaged skins through the manager: the first byte chooses whether the rest
// is a whole container or an options text packed with two small images. A
// failed load must keep the previous skin and name and show one error.
#include "SkinTestUtil.h"
#include "skin/data/sSkinManager.h"

#include <cstdlib>

namespace {

struct TFuzzState {
  TFuzzState() {
    SetSkinCommandLine({});
    auto& good = Manager.InternalSkins.Add();
    good.SetName("Good");
    good.ReadData(PackSkin("[GLOBALINFO]\n[PANEL]\nCOLOR=1\n"));
    Manager.InternalSkins.Add().SetName("Fuzz");
    Master = EncodeBmp(
        MakeBitmap(16, 16, [](int x, int y) { return (x + y) % 5 ? 0xFF336699u : 0xFFFF00FFu; }),
        24);
    Png = EncodePngBytes(MakeBitmap(6, 6, [](int x, int) { return x ? 0x80FFFFFFu : 0u; }));
  }
  TsSkinManager Manager;
  TBytes Master;
  TBytes Png;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  static TFuzzState state;
  if (aSize == 0)
    return 0;
  TBytes data;
  if (aData[0] == 0)
    data.assign(aData + 1, aData + aSize);
  else
    data = PackSkin(std::string(reinterpret_cast<const char*>(aData + 1), aSize - 1),
                    {{"MASTER.BMP", state.Master}, {"G.PNG", state.Png}});
  TsSkinManager& m = state.Manager;
  m.SetSkinName("Good");
  std::size_t goodSections = m.gd.size();
  m.InternalSkins.Items(1).ReadData(data);
  std::vector<std::string> errors;
  SetSkinMessageHandler([&](const std::string& aText, TsMessageKind aKind) {
    if (aKind == TsMessageKind::mkError)
      errors.push_back(aText);
  });
  m.SetSkinName("Fuzz");
  SetSkinMessageHandler(nullptr);
  if (!errors.empty() && (errors.size() != 1 || m.SkinName() != "Good" ||
                          m.gd.size() != goodSections || errors[0].empty()))
    std::abort();
  if (errors.empty() && m.SkinName() != "Fuzz")
    std::abort();
  return 0;
}
