#pragma once
// Builders of raw container bytes for the tests.

#include "skin/data/qcSkinPack.h"

#include <string>
#include <zlib.h>

inline void PutU32(TBytes& aOut, std::uint32_t aValue) {
  for (int i = 0; i < 4; ++i)
    aOut.push_back(std::uint8_t(aValue >> (8 * i)));
}

inline TBytes ZlibOf(const std::string& aText) {
  uLongf size = compressBound(uLong(aText.size()));
  TBytes out(size);
  compress2(out.data(), &size, reinterpret_cast<const Bytef*>(aText.data()), uLong(aText.size()),
            Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

inline TBytes Bytes(const std::string& aText) {
  return TBytes(aText.begin(), aText.end());
}
