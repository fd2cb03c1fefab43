#pragma once
// The skin tool's commands, callable from tests: each writes its normal output
// to aOut and its error texts to aErr and returns the process exit code
// (0 success, 1 failure, 2 wrong usage).

#include <ostream>
#include <string>
#include <vector>

int RunSkinTool(const std::vector<std::string>& aArguments, std::ostream& aOut, std::ostream& aErr);

int PackCommand(const std::string& aDir, const std::string& aOutFile, std::ostream& aErr);
int UnpackCommand(const std::string& aFile, const std::string& aDir, std::ostream& aErr);
int ListCommand(const std::string& aFile, std::ostream& aOut);
int CheckCommand(const std::string& aPath, bool aJson, std::ostream& aOut);
