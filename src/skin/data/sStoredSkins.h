#pragma once
// Skins stored in the window definition: each holds the bytes of a packed
// container as its "Data".

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/data/qcSkinPack.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TsStoredSkins;

class TsStoredSkin {
public:
  explicit TsStoredSkin(TsStoredSkins* aCollection = nullptr) : fCollection(aCollection) {}

  const std::string& Name() const { return fName; }
  void SetName(const std::string& aValue);
  platform::Bitmap MasterBitmap; // not used by loading
  TColor Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  TColor BorderColor = 0xFF00FF;
  double Version = 0;
  std::string Author;
  std::string Description;

  // The container bytes, stored as the binary property "Data".
  const TBytes& PackedData() const { return fPackedData; }
  // Reading "Data": the bytes replace the stored container.
  void ReadData(const TBytes& aBytes);
  void ReadData(const std::uint8_t* aData, std::size_t aSize);
  // Writing "Data": the stored container as is.
  const TBytes& WriteData() const { return fPackedData; }

private:
  void Changed();

  TsStoredSkins* fCollection;
  std::string fName;
  TBytes fPackedData;
};

class TsStoredSkins {
public:
  // Called on the user-interface thread after an item was added, removed or changed.
  std::function<void()> OnChange;

  TsStoredSkin& Add();
  void Delete(int aIndex);
  void Clear();
  int Count() const { return int(fItems.size()); }
  TsStoredSkin& Items(int aIndex) { return *fItems.at(std::size_t(aIndex)); }
  const TsStoredSkin& Items(int aIndex) const { return *fItems.at(std::size_t(aIndex)); }
  // Index of the first skin named exactly aSkinName, -1 if none.
  int IndexOf(const std::string& aSkinName) const;

private:
  friend class TsStoredSkin;
  void Changed();

  std::vector<std::unique_ptr<TsStoredSkin>> fItems;
};
