// Damaged options texts: parsing, every inherited read and every image value
// either succeed or raise ESkinError; no crash, hang or leak.
#include "skin/data/sSkinOptions.h"
#include "skin/data/sSkinValues.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  auto options = TsSkinOptions::FromBytes(aData, aSize);
  for (const auto& section : options.Sections()) {
    options.ReadInheritedInteger(section.Name, "COLOR", 0, INT_MAX);
    options.ReadInheritedString(section.Name, "GRADIENTDATA", " ");
    for (const auto& entry : section.Entries) {
      try {
        TsImageNotation n = ParseImageValue(entry.Value);
        if (n.Kind == TsNotationKind::Border)
          ApplyBorderWidthRule(n);
        ParseGradientData(entry.Value);
      } catch (const ESkinError&) {
      }
    }
  }
  return 0;
}
