#include "SkinToolRun.h"
#include "skin/data/sSkinMessages.h"

#include <iostream>

int main(int argc, char** argv) {
  // The tool's arguments are not switches for the skin engine.
  SetSkinCommandLine({});
  return RunSkinTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
