#pragma once
// The packed skin container ("QSzf"): a magic, an entry count and one zlib
// stream per file. TqcSkinConvertor holds one unpacked container for the
// duration of a skin load.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

struct TqcImageItem {
  std::string FileName;  // as stored, converted to UTF-8
  bool IsBitmap = false; // the upper-cased extension is ".BMP"
  TBytes FileStream;
};
using TqcImageItems = std::vector<TqcImageItem>;

class TqcSkinConvertor {
public:
  int ImageCount = 0;  // entry count - 1
  TqcImageItems Files; // every entry but the options file, in container order
  std::optional<TBytes> Options;
  // The container being read. Holds a copy only while a file is unpacked;
  // stored skins lend their bytes through UnpackSkinData's second form.
  std::optional<TBytes> PackedData;

  void Clear();
  // The entry among the first ImageCount whose upper-cased name equals aName
  // exactly; nullptr when there is none.
  const TqcImageItem* FindPackedFile(const std::string& aName) const;
};

// Unpacks aData into aConvertor (cleared first). Raises ESkinError on a bad
// magic ("Loaded data is not a packed QuillaSkin file") or a damaged container;
// nothing outside aData is read. On error the convertor is left cleared.
void UnpackSkinData(const std::uint8_t* aData, std::size_t aSize, TqcSkinConvertor& aConvertor);
// Unpacks aConvertor.PackedData.
void UnpackSkinData(TqcSkinConvertor& aConvertor);

// When aFileName exists: clears (or creates) the convertor, reads the file into
// PackedData, unpacks it and frees PackedData when aFreePacked. A missing file
// changes nothing. Raises ESkinError when the file cannot be read.
void UnpackSkinFile(const std::string& aFileName, std::unique_ptr<TqcSkinConvertor>& aConvertor,
                    bool aFreePacked);

// One file to pack.
struct TqcPackEntry {
  std::string FileName;
  TBytes Data;
};

// Writes a container holding aEntries in the given order, one zlib stream of
// default level per file.
TBytes PackSkinData(const std::vector<TqcPackEntry>& aEntries);

// One entry of a container as listed by ListSkinData.
struct TqcPackedEntryInfo {
  std::string FileName;
  std::uint32_t Size = 0;
  std::size_t StreamEnd = 0; // offset of the first byte after the entry's stream
};

// The entries of a container up to the first damage; aError receives the
// error text of the damage, or stays empty.
std::vector<TqcPackedEntryInfo> ListSkinData(const TBytes& aData, std::string& aError);

// "" stays ""; a trailing "\" is kept; a trailing "/" becomes "\"; a single
// character (a drive letter) gets ":\"; anything else gets "\".
std::string NormalizeDir(const std::string& aDir);
