#pragma once
// The skin tool's command line: picks the command from the arguments (the
// program name left out) and runs it. Normal output goes to aOut, error texts
// to aErr; the result is the exit code (0 success, 1 failure, 2 wrong usage).

#include <ostream>
#include <string>
#include <vector>

int RunSkinTool(const std::vector<std::string>& aArguments, std::ostream& aOut, std::ostream& aErr);
