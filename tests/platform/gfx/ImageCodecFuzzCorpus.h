#pragma once
// Seed corpora for the image reader fuzz targets: valid files of every kind
// the reader supports, written to a folder of the build tree that is handed
// to the fuzzer when it is started without a corpus of its own.

#include "ImageCodecTestData.h"

#include <string>
#include <vector>

namespace testdata {

// Call from LLVMFuzzerInitialize: when the command line names no corpus
// folder, writes the seeds to <build>/fuzz-corpus/<aName> and appends that
// folder to the arguments.
void UseSeedCorpus(int* aArgc, char*** aArgv, const std::string& aName,
                   const std::vector<Bytes>& aSeeds);

} // namespace testdata
