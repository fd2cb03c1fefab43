# Writes the bytes of INPUT as a C++ source defining VerdantSkinData() (OUTPUT).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR count "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from the packed built-in skin; do not edit.\n"
"#include \"skin/data/sVerdantSkin.h\"\n\n"
"namespace {\n"
"const std::uint8_t kData[${count}] = {\n${bytes}};\n"
"} // namespace\n\n"
"std::span<const std::uint8_t> VerdantSkinData() {\n"
"  return {kData, sizeof kData};\n"
"}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
