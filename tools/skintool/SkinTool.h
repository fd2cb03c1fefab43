#pragma once
// The skin tool's file commands, callable from tests: each writes its normal
// output to aOut and its error texts to aErr and returns the process exit
// code (0 success, 1 failure).

#include <ostream>
#include <string>

int PackCommand(const std::string& aDir, const std::string& aOutFile, std::ostream& aErr);
int UnpackCommand(const std::string& aFile, const std::string& aDir, std::ostream& aErr);
int ListCommand(const std::string& aFile, std::ostream& aOut);
int CheckCommand(const std::string& aPath, bool aJson, std::ostream& aOut);
