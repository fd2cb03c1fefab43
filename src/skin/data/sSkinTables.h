#pragma once
// One loaded skin: its section, image and pattern tables, skin-wide values,
// palette, outer effects and cached indexes, with the lookups by name.

#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTypes.h"

#include <memory>
#include <string>
#include <vector>

// An image that the options name but that is not found; loading skips it.
struct TsMissingImage {
  std::string Section;
  std::string Key;
  std::string FileName;
  friend bool operator==(const TsMissingImage&, const TsMissingImage&) = default;
};

struct TsSkinTables {
  TsSkinData CommonSkinData;
  TsMaskArray ma;
  TsPatternArray pa;
  TsGeneralDataArray gd;
  TqcOutEffArray oe;
  TConstantSkinData ConstData;
  std::shared_ptr<platform::Bitmap> MasterBitmap = std::make_shared<platform::Bitmap>();
  TqcPaletteArray Palette{};
  // The images the last load did not find, in the order they were asked for.
  std::vector<TsMissingImage> MissingImages;

  // First section named exactly aSkinSection; -1 for "", none or no match.
  int GetSkinIndex(const std::string& aSkinSection) const;
  // First image of that section and key; then, through a valid aSkinIndex
  // whose ParentClass names another existing section, the parent's (each
  // section visited once).
  int GetMaskIndex(int aSkinIndex, const std::string& aSkinSection, const std::string& aMask) const;
  // The same without the parent step.
  int GetMaskIndex(const std::string& aSkinSection, const std::string& aMask) const;
  // Like GetMaskIndex with parents, texture images only.
  int GetTextureIndex(int aSkinIndex, const std::string& aSkinSection,
                      const std::string& aPropName) const;
  // The same search over the large patterns.
  int GetPatternIndex(int aSkinIndex, const std::string& aSkinSection,
                      const std::string& aPattern) const;
  bool IsValidSkinIndex(int aSkinIndex) const {
    return aSkinIndex >= 0 && aSkinIndex < int(gd.size());
  }
  bool IsValidImgIndex(int aImageIndex) const {
    return aImageIndex >= 0 && aImageIndex < int(ma.size());
  }
  // The bitmap an image entry is a piece of: its own, else the master image.
  const platform::Bitmap& ImageOf(const TsMaskData& aMask) const;

  // After a load: the image indexes of every section, and the
  // cached indexes of ConstData.
  void InitMaskIndexes();
  void InitConstantIndexes();
};

// Width and height of one state image of an entry; 0 for an image count of 0
// or a mask type of -1.
int StateImageWidth(const TsMaskData& aMask);
int StateImageHeight(const TsMaskData& aMask);
// The border widths: the entry's own, else BorderWidth, else one state image.
int MaskWidthLeft(const TsMaskData& aMask);
int MaskWidthTop(const TsMaskData& aMask);
int MaskWidthRight(const TsMaskData& aMask);
int MaskWidthBottom(const TsMaskData& aMask);
