#include "ImageCodecFuzzCorpus.h"

#include <filesystem>
#include <fstream>

namespace testdata {

void UseSeedCorpus(int* aArgc, char*** aArgv, const std::string& aName,
                   const std::vector<Bytes>& aSeeds) {
  for (int i = 1; i < *aArgc; ++i)
    if ((*aArgv)[i][0] != '-')
      return;
  const std::filesystem::path dir = std::filesystem::path(MM_BINARY_DIR) / "fuzz-corpus" / aName;
  std::filesystem::create_directories(dir);
  for (std::size_t i = 0; i < aSeeds.size(); ++i) {
    std::ofstream out(dir / ("seed-" + std::to_string(i)), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(aSeeds[i].data()), std::streamsize(aSeeds[i].size()));
  }
  // The fuzzer keeps using the argument list, so it must outlive this call.
  static std::string folder;
  static std::vector<char*> arguments;
  folder = dir.string();
  arguments.assign(*aArgv, *aArgv + *aArgc);
  arguments.push_back(folder.data());
  arguments.push_back(nullptr);
  *aArgc += 1;
  *aArgv = arguments.data();
}

} // namespace testdata
