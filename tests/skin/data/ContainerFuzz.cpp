// Damaged containers: every input either unpacks or fails with ESkinError;
// never a crash, a read outside the data or a leak.
#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinTypes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  TqcSkinConvertor conv;
  try {
    UnpackSkinData(aData, aSize, conv);
    for (const auto& item : conv.Files)
      conv.FindPackedFile(item.FileName);
  } catch (const ESkinError&) {
  }
  std::string error;
  ListSkinData(TBytes(aData, aData + aSize), error);
  return 0;
}
