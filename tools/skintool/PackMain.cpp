// skinpack DIR OUT.qsz: the pack command alone. The build packs the built-in
// skin with it, because skintool itself embeds that skin and is built after it.

#include "SkinTool.h"

#include <iostream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: skinpack DIR OUT.qsz\n";
    return 2;
  }
  return PackCommand(argv[1], argv[2], std::cerr);
}
