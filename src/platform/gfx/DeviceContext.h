#pragma once
// Device contexts: the drawing state over a selected 32-bit bitmap, and the
// state functions with the platform's names (HDC is a DeviceContext*).
//
// Coordinates: drawing calls take logical coordinates; the viewport origin is
// added to get device coordinates; the DC origin (set by the window layer for
// window DCs) is added to get the pixel position in the bitmap. Clip regions
// are held in device coordinates. The effective clip is the bitmap's area
// (in device coordinates), intersected with the system clip (what the window
// layer leaves visible for a window DC) and with the user clip (what the
// clipping functions set).

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GdiObjects.h"
#include "platform/gfx/Region.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

using HBITMAP = Bitmap*;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Stretch modes. StretchBlt always maps by nearest neighbour; the mode is
// kept (saved and restored with the DC state) for the code that sets it.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int STRETCH_HALFTONE = HALFTONE;

// Coordinates are limited to +-CoordinateLimit when they are moved between
// logical and device space, so no sum of coordinates and origins overflows;
// anything that far out lies outside every bitmap anyway.
constexpr int CoordinateLimit = 1 << 29;

class DeviceContext {
public:
  // The part of the state that SaveDC saves and RestoreDC restores. Brush and
  // pen are kept as values, so deleting a selected brush or pen leaves the DC
  // drawing with the values it had at selection.
  struct State {
    Bitmap* SelectedBitmap = nullptr;
    TPoint ViewportOrigin;
    std::optional<Region> UserClip;
    COLORREF TextColor = RGB(0, 0, 0);
    COLORREF BkColor = RGB(255, 255, 255);
    int BkMode = OPAQUE;
    int StretchBltMode = BLACKONWHITE;
    HFONT Font = nullptr;
    HBRUSH BrushHandle = nullptr;
    Brush BrushValue;
    HPEN PenHandle = nullptr;
    Pen PenValue;
    TPoint CurrentPosition;
  };

  DeviceContext();

  const State& Current() const { return fState; }
  Bitmap* SelectedBitmap() const { return fState.SelectedBitmap; }
  TPoint ViewportOrigin() const { return fState.ViewportOrigin; }
  TPoint DeviceOrigin() const { return fDeviceOrigin; }
  // Where the effective clip lets drawing through, in device coordinates.
  const Region& Clip() const { return fClip; }
  // Text and background colours, resolved to RGB.
  COLORREF TextColor() const { return fState.TextColor; }
  COLORREF BkColor() const { return fState.BkColor; }
  int BkMode() const { return fState.BkMode; }
  HFONT SelectedFont() const { return fState.Font; }
  const Brush& SelectedBrush() const { return fState.BrushValue; }
  const Pen& SelectedPen() const { return fState.PenValue; }

  // Logical to device coordinates (adding the viewport origin), limited to
  // +-CoordinateLimit.
  TRect ToDevice(const TRect& aLogical) const;
  TPoint ToDevice(TPoint aLogical) const;
  // A rectangle from 64-bit coordinates, limited to +-CoordinateLimit.
  static TRect Limited(std::int64_t aLeft, std::int64_t aTop, std::int64_t aRight,
                       std::int64_t aBottom);

  // The window layer's part: where device (0, 0) lies in the bitmap, and the
  // region (device coordinates) outside which nothing is drawn; nullptr removes
  // it. Neither is saved or restored with the state.
  void SetDeviceOrigin(TPoint aOrigin);
  void SetSystemClip(const Region* aRegion);
  const std::optional<Region>& SystemClip() const { return fSystemClip; }

  // For the platform functions below: the state to change, and the call that
  // must follow a change of the selected bitmap or the user clip.
  State& MutableState() { return fState; }
  void ClipChanged();
  int Save();
  bool Restore(int aLevel);
  // The bitmap's area in device coordinates (empty without a bitmap).
  TRect DeviceBounds() const;

private:
  State fState;
  std::vector<State> fSaved;
  TPoint fDeviceOrigin;
  std::optional<Region> fSystemClip;
  Region fClip;
};

using HDC = DeviceContext*;

// A new bitmap of the size (all pixels 0) for selecting into a DC, freed
// with DeleteObject; nullptr when sizing fails. aDC is accepted for the
// platform's signature and not needed.
HBITMAP CreateCompatibleBitmap(HDC aDC, int aWidth, int aHeight);
// Frees a bitmap made by CreateCompatibleBitmap (and no other).
BOOL DeleteObject(HBITMAP aBitmap);

// A memory DC with no bitmap selected (drawing does nothing until one is).
// aReference is accepted for the platform's signature and not needed.
HDC CreateCompatibleDC(HDC aReference);
BOOL DeleteDC(HDC aDC);

// Select an object and return the previously selected one of its kind
// (nullptr when aDC is null). Selecting a null brush, pen or font selects the
// default (white brush, black pen, no font).
HBITMAP SelectObject(HDC aDC, HBITMAP aBitmap);
HBRUSH SelectObject(HDC aDC, HBRUSH aBrush);
HPEN SelectObject(HDC aDC, HPEN aPen);
HFONT SelectObject(HDC aDC, HFONT aFont);

// Saves the state; returns the new level (1 for the first save), 0 on failure.
int SaveDC(HDC aDC);
// A positive level restores the state saved at that level, a negative one that
// many levels back (-1: the last save); the levels above are dropped.
BOOL RestoreDC(HDC aDC, int aSavedDC);

// Saves the device context's state on construction and restores it when the
// scope ends, so that every way out of a painting routine restores it.
class ScopedSaveDC {
public:
  explicit ScopedSaveDC(HDC aDC) : fDC(aDC), fSaved(SaveDC(aDC)) {}
  ~ScopedSaveDC() {
    if (fSaved != 0)
      RestoreDC(fDC, fSaved);
  }
  ScopedSaveDC(const ScopedSaveDC&) = delete;
  ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
  HDC fDC;
  int fSaved;
};

BOOL SetViewportOrgEx(HDC aDC, int aX, int aY, POINT* aOld);
BOOL GetViewportOrgEx(HDC aDC, POINT* aOrigin);
BOOL OffsetViewportOrgEx(HDC aDC, int aDx, int aDy, POINT* aOld);
// Where device (0, 0) of the DC lies in its bitmap.
BOOL GetDCOrgEx(HDC aDC, POINT* aOrigin);

// The clipping functions return the kind of the new effective clip
// (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR. Rectangles are in
// logical coordinates, regions in device coordinates (they are copied).
int IntersectClipRect(HDC aDC, int aLeft, int aTop, int aRight, int aBottom);
int ExcludeClipRect(HDC aDC, int aLeft, int aTop, int aRight, int aBottom);
// A null region removes the user clip.
int SelectClipRgn(HDC aDC, HRGN aRgn);
// RGN_COPY selects the region (null removes the user clip); the other modes
// combine it with the user clip (everything when there is none).
int ExtSelectClipRgn(HDC aDC, HRGN aRgn, int aMode);
// The bounds of the effective clip in logical coordinates.
int GetClipBox(HDC aDC, RECT* aRect);
// Copies the user clip into aRgn: 1 when there is one, 0 when there is none,
// -1 on error.
int GetClipRgn(HDC aDC, HRGN aRgn);

// Colours may be system colours; the DC holds them resolved to RGB. The
// setters return the previous value, CLR_INVALID (or 0 for the mode) on error.
COLORREF SetTextColor(HDC aDC, COLORREF aColor);
COLORREF GetTextColor(HDC aDC);
COLORREF SetBkColor(HDC aDC, COLORREF aColor);
COLORREF GetBkColor(HDC aDC);
int SetBkMode(HDC aDC, int aMode);
int GetBkMode(HDC aDC);
// The previous stretch mode; 0 for a null DC or a mode outside 1..4.
int SetStretchBltMode(HDC aDC, int aMode);
int GetStretchBltMode(HDC aDC);

} // namespace platform
