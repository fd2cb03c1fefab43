#pragma once
// Window-shadow templates: the built-in pair (33 x 33, active and inactive)
// and the pair a skin's EXBORDER image gives.

#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTables.h"

// The built-in template "qcSHDA" (aActive) or "qcSHDI": a soft shadow 9
// pixels wide around a transparent 15 x 15 centre, premultiplied black.
const platform::Bitmap& BuiltInShadowTemplate(bool aActive);

struct TsShadowTemplates {
  platform::Bitmap Active;   // ShdaTemplate
  platform::Bitmap Inactive; // ShdiTemplate
  TRect FormShadowSize;      // how far the shadow reaches on each side
};

// The templates of a loaded skin with extended borders on: built-in ones
// without an EXBORDER image, else its state images (inactive first).
TsShadowTemplates MakeShadowTemplates(const TsSkinTables& aTables);
