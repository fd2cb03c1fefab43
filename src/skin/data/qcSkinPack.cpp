#include "skin/data/qcSkinPack.h"

#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinText.h"
#include "skin/data/sSkinTypes.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <zlib.h>

namespace {

constexpr char kMagic[4] = {'Q', 'S', 'z', 'f'};
constexpr const char* kBadMagic = "Loaded data is not a packed QuillaSkin file";
constexpr const char* kReadError = "Stream read error";
// No skin file comes near this; a larger size is a damaged or hostile count.
constexpr std::uint32_t kMaxEntrySize = 256u << 20;

// Reads the fixed fields of a container without ever passing its end.
class TContainerReader {
public:
  TContainerReader(const std::uint8_t* aData, std::size_t aSize) : fData(aData), fSize(aSize) {}

  std::uint32_t ReadUInt32() {
    Need(4);
    std::uint32_t value = std::uint32_t(fData[fPos]) | std::uint32_t(fData[fPos + 1]) << 8 |
                          std::uint32_t(fData[fPos + 2]) << 16 |
                          std::uint32_t(fData[fPos + 3]) << 24;
    fPos += 4;
    return value;
  }
  std::string ReadText(std::size_t aLength) {
    Need(aLength);
    std::string text(reinterpret_cast<const char*>(fData + fPos), aLength);
    fPos += aLength;
    return text;
  }
  // Inflates one zlib stream from the current position into exactly aSize
  // bytes and moves past the stream's last byte.
  TBytes Inflate(std::uint32_t aSize, const std::string& aName) {
    if (aSize > kMaxEntrySize)
      throw ESkinError("Packed file \"" + aName + "\" is too large");
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
      throw ESkinError("Packed file \"" + aName + "\" cannot be unpacked: out of memory");
    std::size_t remaining = fSize - fPos;
    z.next_in = const_cast<Bytef*>(fData + fPos);
    z.avail_in = uInt(std::min<std::size_t>(remaining, std::numeric_limits<uInt>::max()));
    // The output grows with what the stream really yields, so a lying size
    // costs no memory; more than aSize bytes is an error.
    TBytes out;
    out.reserve(std::min<std::size_t>(aSize, 1u << 20));
    std::uint8_t chunk[16384];
    int rc = Z_OK;
    bool overflow = false;
    while (true) {
      z.next_out = chunk;
      z.avail_out = sizeof chunk;
      rc = inflate(&z, Z_NO_FLUSH);
      std::size_t produced = sizeof chunk - z.avail_out;
      if (out.size() + produced > aSize) {
        overflow = true;
        break;
      }
      out.insert(out.end(), chunk, chunk + produced);
      if (rc != Z_OK || (produced == 0 && z.avail_in == 0))
        break;
    }
    std::size_t consumed = z.total_in;
    std::string zmsg = z.msg ? z.msg : "";
    inflateEnd(&z);
    if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR)
      throw ESkinError("Packed file \"" + aName +
                       "\" is damaged: " + (zmsg.empty() ? std::string("data error") : zmsg));
    if (overflow)
      throw ESkinError("Packed file \"" + aName + "\" is larger than its stored size");
    if (rc != Z_STREAM_END)
      throw ESkinError(kReadError);
    if (out.size() != aSize)
      throw ESkinError("Packed file \"" + aName + "\" is smaller than its stored size");
    fPos += consumed;
    return out;
  }
  std::size_t Position() const { return fPos; }

private:
  void Need(std::size_t aCount) const {
    if (aCount > fSize - fPos)
      throw ESkinError(kReadError);
  }

  const std::uint8_t* fData;
  std::size_t fSize;
  std::size_t fPos = 0;
};

bool HasBmpExtension(const std::string& aName) {
  auto dot = aName.rfind('.');
  return dot != std::string::npos && UpperCase(aName.substr(dot)) == ".BMP";
}

void PutUInt32(TBytes& aOut, std::uint32_t aValue) {
  for (int i = 0; i < 4; ++i)
    aOut.push_back(std::uint8_t(aValue >> (8 * i)));
}

} // namespace

void TqcSkinConvertor::Clear() {
  while (!Files.empty())
    Files.pop_back();
  Options.reset();
  PackedData.reset();
  ImageCount = 0;
}

const TqcImageItem* TqcSkinConvertor::FindPackedFile(const std::string& aName) const {
  int count = std::min<int>(ImageCount, int(Files.size()));
  for (int i = 0; i < count; ++i)
    if (UpperCase(Files[i].FileName) == aName)
      return &Files[i];
  return nullptr;
}

void UnpackSkinData(const std::uint8_t* aData, std::size_t aSize, TqcSkinConvertor& aConvertor) {
  aConvertor.Files.clear();
  aConvertor.Options.reset();
  try {
    TContainerReader reader(aData, aSize);
    if (aSize < 4 || std::memcmp(aData, kMagic, 4) != 0)
      throw ESkinError(kBadMagic);
    reader.ReadText(4);
    std::uint32_t count = reader.ReadUInt32();
    aConvertor.ImageCount = int(std::int64_t(count) - 1);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t nameLength = reader.ReadUInt32();
      std::string name = AnsiToUtf8(reader.ReadText(nameLength));
      std::uint32_t size = reader.ReadUInt32();
      TBytes content = reader.Inflate(size, name);
      if (UpperCase(name) != "OPTIONS.DAT")
        aConvertor.Files.push_back({name, HasBmpExtension(name), std::move(content)});
      else
        aConvertor.Options = std::move(content);
    }
  } catch (...) {
    aConvertor.Clear();
    throw;
  }
}

void UnpackSkinData(TqcSkinConvertor& aConvertor) {
  if (!aConvertor.PackedData)
    throw ESkinError(kBadMagic);
  TBytes data = *aConvertor.PackedData;
  UnpackSkinData(data.data(), data.size(), aConvertor);
  aConvertor.PackedData = std::move(data);
}

void UnpackSkinFile(const std::string& aFileName, std::unique_ptr<TqcSkinConvertor>& aConvertor,
                    bool aFreePacked) {
  if (!FileExists(aFileName))
    return;
  if (aConvertor)
    aConvertor->Clear();
  else
    aConvertor = std::make_unique<TqcSkinConvertor>();
  auto data = ReadWholeFile(aFileName);
  if (!data)
    throw ESkinError("Cannot open file \"" + aFileName + "\"");
  aConvertor->PackedData = std::move(data);
  UnpackSkinData(*aConvertor);
  if (aFreePacked)
    aConvertor->PackedData.reset();
}

TBytes PackSkinData(const std::vector<TqcPackEntry>& aEntries) {
  TBytes out(kMagic, kMagic + 4);
  PutUInt32(out, std::uint32_t(aEntries.size()));
  for (const auto& entry : aEntries) {
    std::string name = Utf8ToAnsi(entry.FileName);
    PutUInt32(out, std::uint32_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    PutUInt32(out, std::uint32_t(entry.Data.size()));
    uLongf packedSize = compressBound(uLong(entry.Data.size()));
    TBytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, entry.Data.data(), uLong(entry.Data.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
      throw ESkinError("Cannot pack file \"" + entry.FileName + "\"");
    out.insert(out.end(), packed.begin(), packed.begin() + std::ptrdiff_t(packedSize));
  }
  return out;
}

std::vector<TqcPackedEntryInfo> ListSkinData(const TBytes& aData, std::string& aError) {
  std::vector<TqcPackedEntryInfo> entries;
  aError.clear();
  try {
    TContainerReader reader(aData.data(), aData.size());
    if (aData.size() < 4 || std::memcmp(aData.data(), kMagic, 4) != 0)
      throw ESkinError(kBadMagic);
    reader.ReadText(4);
    std::uint32_t count = reader.ReadUInt32();
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t nameLength = reader.ReadUInt32();
      std::string name = AnsiToUtf8(reader.ReadText(nameLength));
      std::uint32_t size = reader.ReadUInt32();
      reader.Inflate(size, name);
      entries.push_back({name, size, reader.Position()});
    }
  } catch (const ESkinError& e) {
    aError = e.what();
  }
  return entries;
}

std::string NormalizeDir(const std::string& aDir) {
  if (aDir.empty())
    return aDir;
  char last = aDir.back();
  if (last == '\\')
    return aDir;
  if (last == '/')
    return aDir.substr(0, aDir.size() - 1) + "\\";
  if (aDir.size() == 1)
    return aDir + ":\\";
  return aDir + "\\";
}
