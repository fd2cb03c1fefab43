#pragma once
// Copies of pieces of skin images into 32-bit bitmaps, with the two kinds of
// transparency skin images have: key pixels (the whole pixel 0x00FF00FF) and
// mask rows below the image, whose channels weigh the destination against the
// image (0 shows the image, 255 keeps the destination).

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTypes.h"
#include "skin/paint/sCacheInfo.h"

#include <cstdint>

constexpr std::uint32_t KeyPixel = 0x00FF00FF;

// The bitmap an entry is a piece of: its own image, else its manager's master
// bitmap; nullptr when it has neither.
const platform::Bitmap* MaskSource(const TsMaskData& aMask);

// Per channel (destination * c + image * (256 - c)) >> 8 with c the mask's
// channel; the destination's alpha is kept.
std::uint32_t MixThroughMask(std::uint32_t aDst, std::uint32_t aImage, std::uint32_t aMask);

// The parent's pixel behind destination pixel (aX, aY): (Parent.X + aX,
// Parent.Y + aY) of its bitmap, or nullptr when that lies outside it.
const std::uint32_t* ParentPixel(const TCacheInfo& aParent, int aX, int aY);

// Copies aSrcRect of aSrc to aDstAt; both are clipped to their bitmaps.
// Non-key pixels are copied unchanged. Key pixels: with aUseParent and a
// Ready parent bitmap they take the parent's pixel (left where the parent
// ends; when the parent is aDst itself they are left and every copied pixel
// gets alpha 255); with a Ready parent otherwise they are left; with a parent
// that is not Ready they take its FillColor, opaque (left when that is
// KeyColor, which means no colour).
void CopyKeyedPiece(platform::Bitmap& aDst, TPoint aDstAt, const platform::Bitmap& aSrc,
                    TRect aSrcRect, const TCacheInfo& aParent, bool aUseParent);

// Copies a masked piece whose mask lies aMaskOffset rows below the image;
// every destination pixel written gets alpha 255. Key pixels with aUseParent
// take the parent's pixel (Ready) or FillColor (not Ready, and not KeyColor);
// otherwise key pixels are mixed through their mask when the parent is
// Ready and left when it is not. Other pixels are mixed through their mask.
void CopyMaskedPiece(platform::Bitmap& aDst, TPoint aDstAt, const platform::Bitmap& aSrc,
                     TRect aSrcRect, int aMaskOffset, const TCacheInfo& aParent, bool aUseParent);

// Stretches a masked piece over aDstRect and mixes it in through its mask
// (alpha 255). A 1 x 1 piece outside the centre is one colour: mask 0 fills,
// 255 leaves, anything else mixes. Otherwise image and mask are scaled:
// resampled (ResampleMitchell) when the span shrinks the piece in one
// direction only, or for the centre, with both sides above 1; by nearest
// neighbour (the mapping of raster::Stretch) else.
void StretchMaskedPiece(platform::Bitmap& aDst, const TRect& aDstRect, const platform::Bitmap& aSrc,
                        const TRect& aSrcRect, int aMaskOffset, bool aCentre);
