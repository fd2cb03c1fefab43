#include "skin/data/sStoredSkins.h"

#include <stdexcept>

void TsStoredSkin::SetName(const std::string& aValue) {
  fName = aValue;
  Changed();
}

void TsStoredSkin::ReadData(const TBytes& aBytes) {
  fPackedData = aBytes;
  Changed();
}

void TsStoredSkin::ReadData(const std::uint8_t* aData, std::size_t aSize) {
  fPackedData.assign(aData, aData + aSize);
  Changed();
}

void TsStoredSkin::Changed() {
  if (fCollection)
    fCollection->Changed();
}

TsStoredSkin& TsStoredSkins::Add() {
  fItems.push_back(std::make_unique<TsStoredSkin>(this));
  Changed();
  return *fItems.back();
}

void TsStoredSkins::Delete(int aIndex) {
  if (aIndex < 0 || aIndex >= Count())
    throw std::out_of_range("stored skin index out of range");
  fItems.erase(fItems.begin() + aIndex);
  Changed();
}

void TsStoredSkins::Clear() {
  fItems.clear();
  Changed();
}

int TsStoredSkins::IndexOf(const std::string& aSkinName) const {
  for (std::size_t i = 0; i < fItems.size(); ++i)
    if (fItems[i]->Name() == aSkinName)
      return int(i);
  return -1;
}

void TsStoredSkins::Changed() {
  if (OnChange)
    OnChange();
}
