// Draws the images of the built-in skin "Verdant" and copies its options file
// next to them, ready for packing:
//   make_verdant <Options.dat> <output folder>
// Everything is computed from fixed numbers, so every run writes the same files.
// The rectangles used here are the ones Options.dat names.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/PngCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace {

using platform::Bitmap;

struct Rgb {
  int R, G, B;
};

constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kWhite{255, 255, 255};

std::uint32_t Pixel(Rgb aColor, int aAlpha = 255) {
  return std::uint32_t(aAlpha) << 24 | std::uint32_t(aColor.R) << 16 |
         std::uint32_t(aColor.G) << 8 | std::uint32_t(aColor.B);
}

Rgb Mix(Rgb aFrom, Rgb aTo, double aWeight) {
  auto ch = [&](int a, int b) { return int(std::lround(a + (b - a) * aWeight)); };
  return {ch(aFrom.R, aTo.R), ch(aFrom.G, aTo.G), ch(aFrom.B, aTo.B)};
}

Rgb Grey(int aValue) {
  return {aValue, aValue, aValue};
}

// How far the centre of pixel (x, y) lies inside a w x h rectangle whose
// corners are rounded with radius r; negative outside.
double Inset(int x, int y, int w, int h, double r) {
  double cx = x + 0.5, cy = y + 0.5;
  double dx = std::min(cx, w - cx), dy = std::min(cy, h - cy);
  if (dx < r && dy < r) {
    double ex = r - dx, ey = r - dy;
    return r - std::sqrt(ex * ex + ey * ey);
  }
  return std::min(dx, dy);
}

// One frame of a masked master-image piece: the image at (aX, aY) and its
// mask aMaskOffset rows below. aPaint gives, for a pixel of the frame, its
// colour and mask value (0 opaque .. 255 transparent); fully transparent
// pixels become magenta, the key that shows the parent in a border's corners.
// A pixel inside the shape that lets the section's own background through
// (the open centre of a border) gets kClearInside instead: mask 255 with its
// colour kept, so that it is not a key pixel.
using FramePainter = std::function<void(int x, int y, Rgb& aColor, int& aMask)>;
constexpr int kClearInside = 256;

void PaintFrame(Bitmap& aMaster, int aX, int aY, int aW, int aH, int aMaskOffset,
                const FramePainter& aPaint) {
  for (int y = 0; y < aH; ++y)
    for (int x = 0; x < aW; ++x) {
      Rgb color = kMagenta;
      int mask = 255;
      aPaint(x, y, color, mask);
      if (mask == kClearInside)
        mask = 255;
      else if (mask >= 255)
        color = kMagenta;
      aMaster.SetPixel(aX + x, aY + y, Pixel(color));
      if (aMaskOffset > 0)
        aMaster.SetPixel(aX + x, aY + aMaskOffset + y, Pixel(Grey(std::clamp(mask, 0, 255))));
    }
}

// A rounded border: rings of colours from the edge inwards; the centre is
// filled with aFill when given, else left transparent.
FramePainter Rings(int aW, int aH, double aRadius, std::vector<Rgb> aRings,
                   const Rgb* aFillTop = nullptr, const Rgb* aFillBottom = nullptr) {
  return [=](int x, int y, Rgb& aColor, int& aMask) {
    double inset = Inset(x, y, aW, aH, aRadius);
    if (inset < 0)
      return;
    std::size_t ring = std::size_t(inset);
    if (ring < aRings.size()) {
      aColor = aRings[ring];
      // Soft outer edge on rounded corners.
      aMask = ring == 0 && inset < 0.5 ? int(255 * (1 - inset * 2)) : 0;
      return;
    }
    if (aFillTop) {
      double t = aH > 1 ? double(y) / (aH - 1) : 0;
      aColor = Mix(*aFillTop, aFillBottom ? *aFillBottom : *aFillTop, t);
      aMask = 0;
    } else {
      aColor = aRings.back();
      aMask = kClearInside;
    }
  };
}

// Glyph strokes are drawn on a frame with a distance function: a pixel is ink
// when it lies within aWidth / 2 of a segment.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  double vx = bx - ax, vy = by - ay;
  double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
  double dx = px - (ax + t * vx), dy = py - (ay + t * vy);
  return std::sqrt(dx * dx + dy * dy);
}

struct Segment {
  double X0, Y0, X1, Y1;
};

// Coverage 0..1 of pixel (x, y) by strokes of the given width.
double Ink(int x, int y, const std::vector<Segment>& aSegments, double aWidth) {
  double best = 1e9;
  for (const auto& s : aSegments)
    best = std::min(best, SegmentDistance(x + 0.5, y + 0.5, s.X0, s.Y0, s.X1, s.Y1));
  return std::clamp(aWidth / 2 + 0.5 - best, 0.0, 1.0);
}

// Caption-button frames: state 0 a bare symbol, 1 a plate (hot), 2 a darker
// plate (pressed).
void CaptionButton(Bitmap& aMaster, int aX, int aY, int aW, int aH,
                   const std::vector<Segment>& aSymbol, Rgb aHotPlate, double aStroke) {
  const Rgb symbolNormal{226, 240, 222};
  for (int state = 0; state < 3; ++state) {
    Rgb plate = state == 1 ? aHotPlate : Mix(aHotPlate, Grey(0), 0.3);
    PaintFrame(aMaster, aX + state * aW, aY, aW, aH, aH, [&](int x, int y, Rgb& c, int& m) {
      double inset = Inset(x, y, aW, aH, 4);
      if (state > 0 && inset >= 0) {
        c = Mix(Mix(plate, kWhite, 0.25), plate, double(y) / aH);
        m = inset < 0.5 ? int(255 * (1 - inset * 2)) : 0;
        if (inset < 1)
          c = Mix(plate, Grey(0), 0.35);
      }
      double ink = Ink(x, y, aSymbol, aStroke);
      if (ink > 0) {
        Rgb symbol = state == 0 ? symbolNormal : kWhite;
        if (m >= 255) {
          c = symbol;
          m = int(255 * (1 - ink));
        } else {
          c = Mix(c, symbol, ink);
        }
      }
    });
  }
}

std::vector<Segment> CrossSymbol(double cx, double cy, double r) {
  return {{cx - r, cy - r, cx + r, cy + r}, {cx - r, cy + r, cx + r, cy - r}};
}

std::vector<Segment> BoxSymbol(double x0, double y0, double x1, double y1) {
  return {{x0, y0, x1, y0},
          {x1, y0, x1, y1},
          {x1, y1, x0, y1},
          {x0, y1, x0, y0},
          {x0, y0 + 1, x1, y0 + 1}};
}

std::vector<Segment> RestoreSymbol(double x0, double y0, double x1, double y1) {
  double d = (x1 - x0) / 3;
  std::vector<Segment> back = {{x0 + d, y0, x1, y0}, {x1, y0, x1, y1 - d}};
  auto front = BoxSymbol(x0, y0 + d, x1 - d, y1);
  back.insert(back.end(), front.begin(), front.end());
  return back;
}

std::vector<Segment> MinSymbol(double x0, double x1, double y) {
  return {{x0, y, x1, y}};
}

std::vector<Segment> HelpSymbol(double cx, double top, double s) {
  return {{cx - s, top + s, cx - s, top},       {cx - s, top, cx + s, top},
          {cx + s, top, cx + s, top + s},       {cx + s, top + s, cx, top + 2 * s},
          {cx, top + 2 * s, cx, top + 2.6 * s}, {cx, top + 3.4 * s, cx, top + 3.5 * s}};
}

void CaptionButtons(Bitmap& aMaster) {
  const Rgb closeHot{176, 64, 56};
  const Rgb plainHot{78, 130, 84};
  // Large set: frames 25 x 19.
  CaptionButton(aMaster, 0, 162, 25, 19, CrossSymbol(12.5, 9.5, 4), closeHot, 2);
  CaptionButton(aMaster, 75, 162, 25, 19, BoxSymbol(7.5, 4.5, 17.5, 14.5), plainHot, 1.4);
  CaptionButton(aMaster, 150, 162, 25, 19, RestoreSymbol(7.5, 4.5, 17.5, 14.5), plainHot, 1.4);
  CaptionButton(aMaster, 0, 200, 25, 19, MinSymbol(7.5, 17.5, 13.5), plainHot, 2);
  CaptionButton(aMaster, 75, 200, 25, 19, HelpSymbol(12.5, 4, 3), plainHot, 1.6);
  CaptionButton(aMaster, 150, 200, 25, 19, CrossSymbol(12.5, 9.5, 4.5), closeHot, 2.2);
  // Small set: frames 17 x 15.
  CaptionButton(aMaster, 0, 238, 17, 15, CrossSymbol(8.5, 7.5, 3), closeHot, 1.6);
  CaptionButton(aMaster, 51, 238, 17, 15, BoxSymbol(4.5, 3.5, 12.5, 11.5), plainHot, 1.2);
  CaptionButton(aMaster, 102, 238, 17, 15, RestoreSymbol(4.5, 3.5, 12.5, 11.5), plainHot, 1.2);
  CaptionButton(aMaster, 153, 238, 17, 15, MinSymbol(4.5, 12.5, 10.5), plainHot, 1.6);
  CaptionButton(aMaster, 204, 238, 17, 15, HelpSymbol(8.5, 3, 2.2), plainHot, 1.3);
}

// Check boxes and radio buttons: frames of aSize, state 0 normal, 1 hot.
// aMark: 0 none, 1 check (or dot), 2 grayed.
void CheckGlyph(Bitmap& aMaster, int aX, int aY, int aSize, bool aRadio, int aMark) {
  const Rgb border{46, 84, 52};
  for (int state = 0; state < 2; ++state) {
    Rgb fillTop = state == 0 ? Rgb{246, 250, 244} : Rgb{236, 248, 230};
    Rgb fillBottom = state == 0 ? Rgb{214, 228, 208} : Rgb{196, 228, 186};
    Rgb edge = state == 0 ? border : Rgb{28, 120, 40};
    double radius = aRadio ? aSize / 2.0 : 2;
    PaintFrame(
        aMaster, aX + state * aSize, aY, aSize, aSize, aSize, [&](int x, int y, Rgb& c, int& m) {
          double inset = Inset(x, y, aSize, aSize, radius);
          if (inset < 0)
            return;
          m = inset < 0.5 && aRadio ? int(255 * (1 - inset * 2)) : 0;
          c = inset < 1 ? edge : Mix(fillTop, fillBottom, double(y) / aSize);
          double s = aSize;
          double ink = 0;
          if (aMark == 1 && !aRadio)
            ink = Ink(
                x, y,
                {{s * 0.25, s * 0.5, s * 0.42, s * 0.7}, {s * 0.42, s * 0.7, s * 0.76, s * 0.28}},
                s / 7);
          else if (aMark == 1)
            ink =
                std::clamp(s * 0.22 - std::hypot(x + 0.5 - s / 2, y + 0.5 - s / 2) + 0.5, 0.0, 1.0);
          else if (aMark == 2)
            ink = inset >= s * 0.27 ? 0.7 : 0;
          if (ink > 0)
            c = Mix(c, aMark == 2 ? Rgb{120, 146, 122} : Rgb{24, 96, 34}, ink);
        });
  }
}

void CheckGlyphs(Bitmap& aMaster) {
  for (int mark = 0; mark < 3; ++mark) {
    int order[] = {1, 0, 2}; // checked, unchecked, grayed
    CheckGlyph(aMaster, 30 * mark, 132, 15, false, order[mark]);
    CheckGlyph(aMaster, 90 + 30 * mark, 132, 15, true, order[mark]);
    CheckGlyph(aMaster, 180 + 22 * mark, 132, 11, false, order[mark]);
  }
}

// Three-state plates (buttons, tabs, scroll buttons, sliders).
struct PlateStyle {
  Rgb Edge;
  Rgb Highlight;
  Rgb Top[3];
  Rgb Bottom[3];
  bool Filled;
};

void Plates(Bitmap& aMaster, int aX, int aY, int aW, int aH, int aMaskOffset, double aRadius,
            const PlateStyle& aStyle, const std::function<double(int, int)>& aInset = nullptr) {
  for (int state = 0; state < 3; ++state) {
    PaintFrame(
        aMaster, aX + state * aW, aY, aW, aH, aMaskOffset, [&](int x, int y, Rgb& c, int& m) {
          double inset = aInset ? aInset(x, y) : Inset(x, y, aW, aH, aRadius);
          if (inset < 0)
            return;
          m = inset < 0.5 ? int(255 * (1 - inset * 2)) : 0;
          if (inset < 1) {
            c = state == 1 ? Mix(aStyle.Edge, Rgb{28, 120, 40}, 0.6) : aStyle.Edge;
          } else if (inset < 2) {
            c = state == 2 ? Mix(aStyle.Edge, aStyle.Top[2], 0.5) : aStyle.Highlight;
          } else if (aStyle.Filled) {
            c = Mix(aStyle.Top[state], aStyle.Bottom[state], double(y) / std::max(1, aH - 1));
          } else {
            c = aStyle.Top[state];
            m = kClearInside;
          }
        });
  }
}

void Buttons(Bitmap& aMaster) {
  PlateStyle button{{70, 110, 72},
                    {244, 250, 240},
                    {{226, 236, 220}, {238, 246, 232}, {170, 196, 164}},
                    {{184, 206, 176}, {196, 222, 186}, {204, 222, 198}},
                    false};
  Plates(aMaster, 0, 0, 24, 22, 22, 3, button);
}

// Tabs: rounded on the side away from the page.
void Tabs(Bitmap& aMaster) {
  PlateStyle tab{{84, 122, 86},
                 {236, 244, 232},
                 {{198, 216, 192}, {224, 238, 218}, {214, 228, 208}},
                 {{170, 194, 164}, {196, 222, 188}, {200, 216, 194}},
                 true};
  const int w = 20, h = 20;
  // Inset with the two corners of one side rounded.
  auto sideInset = [&](int aSide) {
    return [=](int x, int y) {
      // Mirror so that the rounded side is always the top.
      int mx = x, my = y, mw = w, mh = h;
      if (aSide == 1)
        my = h - 1 - y;
      if (aSide == 2) {
        mx = y;
        my = x;
      }
      if (aSide == 3) {
        mx = y;
        my = w - 1 - x;
      }
      double square = std::min({mx + 0.5, mw - mx - 0.5, my + 0.5});
      double rounded = Inset(mx, my, mw, mh * 2, 4);
      return std::min(square, rounded);
    };
  };
  for (int side = 0; side < 4; ++side)
    Plates(aMaster, 60 * side, 44, w, h, h, 4, tab, sideInset(side));
}

void Frames(Bitmap& aMaster) {
  // FORM: two states (inactive, active), 20 x 20, 5-pixel sides.
  const std::vector<Rgb> active = {
      {30, 58, 34}, {62, 104, 68}, {62, 104, 68}, {72, 116, 78}, {118, 156, 120}};
  const std::vector<Rgb> inactive = {
      {84, 104, 86}, {120, 142, 122}, {120, 142, 122}, {128, 150, 130}, {160, 180, 160}};
  PaintFrame(aMaster, 120, 0, 20, 20, 20, Rings(20, 20, 0, inactive));
  PaintFrame(aMaster, 140, 0, 20, 20, 20, Rings(20, 20, 0, active));
  // FORMTITLE: two states, 24 x 22: a half-transparent highlight along the top
  // edge, which is rounded at both ends (radius 5; the key pixels outside the
  // arc are cut out of the window), and a dark separating line at the bottom;
  // the band itself is the gradient and shows through the clear inside.
  for (int state = 0; state < 2; ++state)
    PaintFrame(aMaster, 72 + 24 * state, 0, 24, 22, 22, [&](int x, int y, Rgb& c, int& m) {
      const double inset = Inset(x, y, 24, 2 * 22, 5);
      if (inset < 0)
        return;
      c = kWhite;
      if (inset < 1 && y < 5) {
        m = state ? 150 : 190;
      } else if (y == 21) {
        c = state ? Rgb{24, 48, 28} : Rgb{80, 100, 82};
        m = 0;
      } else {
        m = kClearInside;
      }
    });
  // GROUPBOX, PANEL, PANEL_LOW, PAGECONTROL: one frame 24 x 12 each.
  PaintFrame(aMaster, 160, 0, 24, 12, 12, Rings(24, 12, 3, {{120, 150, 118}, {232, 240, 228}}));
  PaintFrame(aMaster, 184, 0, 24, 12, 12,
             Rings(24, 12, 3, {{120, 150, 118}, {222, 234, 218}, {204, 220, 198}}));
  PaintFrame(aMaster, 208, 0, 24, 12, 12,
             Rings(24, 12, 2, {{96, 124, 94}, {150, 174, 146}, {176, 198, 170}}));
  PaintFrame(aMaster, 232, 0, 24, 12, 12,
             Rings(24, 12, 0, {{96, 132, 96}, {224, 236, 220}, {206, 222, 200}}));
  // EDIT: 16 x 8, two dark rings around the list colours.
  PaintFrame(aMaster, 224, 84, 16, 8, 8, Rings(16, 8, 0, {{46, 84, 52}, {70, 104, 70}}));
  // Light outline (LO_MASK): 13 x 13, falling off inwards.
  PaintFrame(aMaster, 120, 100, 13, 13, 13, [&](int x, int y, Rgb& c, int& m) {
    double inset = Inset(x, y, 13, 13, 4);
    if (inset < 0)
      return;
    c = Rgb{232, 244, 228};
    m = int(96 + inset * 40) >= 255 ? kClearInside : int(96 + inset * 40);
  });
}

void ScrollParts(Bitmap& aMaster) {
  // Tracks, unmasked 16 x 16: SCROLLBAR1H, 1V, 2H, 2V.
  const Rgb tracks[] = {{164, 192, 170}, {164, 192, 170}, {144, 174, 146}, {144, 174, 146}};
  for (int i = 0; i < 4; ++i)
    PaintFrame(aMaster, 16 * i, 84, 16, 16, 0, [&](int x, int y, Rgb& c, int& m) {
      bool horizontal = i % 2 == 0;
      int along = horizontal ? y : x;
      c = along == 0 || along == 15 ? Mix(tracks[i], Grey(0), 0.25)
                                    : Mix(tracks[i], kWhite, 0.12 * (along < 8));
      m = 0;
    });
  // Scroll buttons: three unmasked frames 16 x 16, key colour in the corners.
  PlateStyle button{{84, 122, 86},
                    {236, 244, 232},
                    {{214, 228, 208}, {232, 244, 226}, {170, 196, 164}},
                    {{184, 206, 176}, {200, 226, 190}, {196, 216, 190}},
                    true};
  Plates(aMaster, 64, 84, 16, 16, 0, 3, button);
  // Arrows: 8 x 8 glyphs with masks, left, up, right, down.
  const Rgb arrowColors[] = {{46, 84, 52}, {20, 100, 30}, {30, 58, 34}};
  for (int dir = 0; dir < 4; ++dir)
    for (int state = 0; state < 3; ++state)
      PaintFrame(aMaster, 112 + 24 * dir + 8 * state, 84, 8, 8, 8,
                 [&](int x, int y, Rgb& c, int& m) {
                   // A triangle pointing left, turned for the other directions.
                   int u = x, v = y;
                   if (dir == 1) {
                     u = y;
                     v = x;
                   } else if (dir == 2) {
                     u = 7 - x;
                   } else if (dir == 3) {
                     u = 7 - y;
                     v = x;
                   }
                   if (u >= 2 && u <= 5 && std::abs(v - 3.5) <= (u - 1.5)) {
                     c = arrowColors[state];
                     m = 0;
                   }
                 });
  // Sliders: three masked frames 16 x 16 with a filled face.
  PlateStyle slider{{70, 110, 72},
                    {240, 248, 236},
                    {{206, 224, 200}, {222, 240, 214}, {168, 196, 162}},
                    {{170, 198, 164}, {184, 218, 174}, {150, 182, 146}},
                    true};
  Plates(aMaster, 0, 100, 16, 16, 16, 4, slider);
  Plates(aMaster, 48, 100, 16, 16, 16, 4, slider);
  // Slider grip: 8 x 8 glyphs of three dots.
  for (int state = 0; state < 3; ++state)
    PaintFrame(aMaster, 96 + 8 * state, 100, 8, 8, 8, [&](int x, int y, Rgb& c, int& m) {
      if ((x == 1 || x == 3 || x == 5) && y >= 2 && y <= 5) {
        c = state == 1 ? Rgb{20, 100, 30} : Rgb{70, 110, 72};
        m = 0;
      }
    });
}

void Grips(Bitmap& aMaster) {
  // GRIPIMAGE (diagonal dots), GRIPHORZ, GRIPVERT: 12 x 12 with masks.
  for (int kind = 0; kind < 3; ++kind)
    PaintFrame(aMaster, 136 + 12 * kind, 100, 12, 12, 12, [&](int x, int y, Rgb& c, int& m) {
      bool dot = x % 3 == 1 && y % 3 == 1;
      if (kind == 0)
        dot = dot && x + y >= 10;
      else if (kind == 1)
        dot = dot && y >= 4 && y <= 7;
      else
        dot = dot && x >= 4 && x <= 7;
      if (dot) {
        c = Rgb{70, 110, 72};
        m = 0;
      } else if (x % 3 == 2 && y % 3 == 2 && (kind != 0 || x + y >= 11) &&
                 (kind != 1 || (y >= 5 && y <= 8)) && (kind != 2 || (x >= 5 && x <= 8))) {
        c = kWhite;
        m = 64;
      }
    });
}

void StatusTexture(Bitmap& aMaster) {
  // 16 x 16 unmasked tile: a quiet diagonal weave.
  const Rgb base{62, 100, 66};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      Rgb c = (x + y) % 4 == 0        ? Mix(base, kWhite, 0.05)
              : (x - y + 16) % 8 == 0 ? Mix(base, Grey(0), 0.06)
                                      : base;
      aMaster.SetPixel(208 + x, 84 + y, Pixel(c));
    }
}

Bitmap MakeMaster() {
  Bitmap master(256, 272);
  for (int y = 0; y < master.Height(); ++y)
    for (int x = 0; x < master.Width(); ++x)
      master.SetPixel(x, y, Pixel(kMagenta));
  Buttons(master);
  Frames(master);
  Tabs(master);
  ScrollParts(master);
  Grips(master);
  StatusTexture(master);
  CheckGlyphs(master);
  CaptionButtons(master);
  return master;
}

// BUTTON_BIG as a plain bitmap: three frames 30 x 28 above their masks.
Bitmap MakeBigButton() {
  Bitmap image(90, 56);
  PlateStyle big{{62, 104, 68},
                 {246, 252, 242},
                 {{226, 236, 220}, {238, 246, 232}, {170, 196, 164}},
                 {{184, 206, 176}, {196, 222, 186}, {204, 222, 198}},
                 false};
  Plates(image, 0, 0, 30, 28, 28, 6, big);
  return image;
}

// A soft halo of aColor around an inner rectangle aMargin pixels in.
Bitmap MakeGlow(int aW, int aH, int aMargin, Rgb aColor, int aPeak) {
  Bitmap glow(aW, aH);
  for (int y = 0; y < aH; ++y)
    for (int x = 0; x < aW; ++x) {
      double dx = std::max({aMargin - (x + 0.5), (x + 0.5) - (aW - aMargin), 0.0});
      double dy = std::max({aMargin - (y + 0.5), (y + 0.5) - (aH - aMargin), 0.0});
      double d = std::sqrt(dx * dx + dy * dy);
      double inside = dx == 0 && dy == 0 ? 1 : 0;
      double f = inside ? 0.35 : std::max(0.0, 1 - d / aMargin);
      int alpha = int(std::lround(aPeak * f * f));
      glow.SetPixel(x, y, alpha == 0 ? 0 : Pixel(aColor, alpha));
    }
  return glow;
}

// EXBORDER: two frames 48 x 64 (inactive, active) with a shadow around a
// window edge line; the window itself is transparent.
Bitmap MakeExBorder() {
  Bitmap image(96, 64);
  for (int state = 0; state < 2; ++state) {
    Rgb line = state ? Rgb{30, 58, 34} : Rgb{96, 116, 98};
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 48; ++x) {
        // Window edge at 12 px from the left, right and bottom, 20 from the top.
        double dx = std::max({12 - (x + 0.5), (x + 0.5) - 36, 0.0});
        double dy = std::max({20 - (y + 0.5), (y + 0.5) - 52, 0.0});
        std::uint32_t p = 0;
        if (dx == 0 && dy == 0) {
          bool edge = x == 12 || x == 35 || y == 20 || y == 51;
          p = edge ? Pixel(line) : 0;
        } else {
          double d = std::sqrt(dx * dx + dy * dy);
          double f = std::max(0.0, 1 - d / 12);
          int alpha = int(std::lround((state ? 110 : 70) * f * f));
          p = alpha ? Pixel(Rgb{10, 30, 12}, alpha) : 0;
        }
        image.SetPixel(48 * state + x, y, p);
      }
  }
  return image;
}

// The window background: a quiet linen of the form colour.
Bitmap MakeLinen() {
  Bitmap image(64, 64);
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 16) % 9) - 4;
  };
  const Rgb base{200, 216, 194};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      int weave = (y % 4 == 0 ? -3 : 0) + (x % 4 == 0 ? -2 : 0);
      int n = next() + weave;
      image.SetPixel(x, y,
                     Pixel({std::clamp(base.R + n, 0, 255), std::clamp(base.G + n, 0, 255),
                            std::clamp(base.B + n, 0, 255)}));
    }
  return image;
}

bool WriteBmp24(const Bitmap& aImage, const std::filesystem::path& aPath) {
  const std::vector<std::uint8_t> out = platform::EncodeBmp(aImage, 24);
  std::ofstream file(aPath, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(file);
}

bool WriteJpeg(const Bitmap& aImage, const std::filesystem::path& aPath) {
  FILE* file = std::fopen(aPath.c_str(), "wb");
  if (!file)
    return false;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = JDIMENSION(aImage.Width());
  cinfo.image_height = JDIMENSION(aImage.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 92, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(std::size_t(aImage.Width()) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const std::uint32_t* src = aImage.ScanLine(int(cinfo.next_scanline));
    for (int x = 0; x < aImage.Width(); ++x) {
      row[std::size_t(x) * 3] = JSAMPLE(src[x] >> 16);
      row[std::size_t(x) * 3 + 1] = JSAMPLE(src[x] >> 8);
      row[std::size_t(x) * 3 + 2] = JSAMPLE(src[x]);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(file) == 0;
}

bool WritePng(const Bitmap& aImage, const std::filesystem::path& aPath) {
  auto result = platform::SavePngFile(aImage, aPath.string());
  if (!result.Ok())
    std::cerr << result.Error << "\n";
  return result.Ok();
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_verdant <Options.dat> <output folder>\n";
    return 2;
  }
  std::filesystem::path out = argv[2];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  std::filesystem::copy_file(argv[1], out / "Options.dat",
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    std::cerr << "cannot copy " << argv[1] << ": " << ec.message() << "\n";
    return 1;
  }
  bool ok = WriteBmp24(MakeBigButton(), out / "ButtonBig.bmp") &&
            WriteBmp24(MakeMaster(), out / "Master.bmp") &&
            WritePng(MakeGlow(45, 39, 10, {236, 112, 92}, 210), out / "CloseBtnGlow.png") &&
            WritePng(MakeExBorder(), out / "ExBord.png") &&
            WritePng(MakeGlow(40, 40, 12, {150, 230, 130}, 190), out / "GlowingBtn.png") &&
            WritePng(MakeGlow(48, 48, 14, {150, 230, 130}, 190), out / "GlowingBigBtn.png") &&
            WritePng(MakeGlow(45, 39, 10, {160, 236, 140}, 200), out / "MaxBtnGlow.png") &&
            WritePng(MakeGlow(45, 39, 10, {160, 236, 140}, 200), out / "MinBtnGlow.png") &&
            WriteJpeg(MakeLinen(), out / "Verdant.jpg");
  if (!ok) {
    std::cerr << "cannot write the skin images into " << out << "\n";
    return 1;
  }
  return 0;
}
