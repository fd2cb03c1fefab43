#pragma once
// The parent-background exchange: what a control answers a child that asks
// what lies behind it (scGetParentBg, scGetBgColor), and how a control asks its
// parent. User-interface thread only; the exchange is re-entrant (a parent may
// rebuild its cache while it answers).

#include "platform/Types.h"
#include "platform/win/WinDefs.h"
#include "skin/paint/sCacheInfo.h"

#include <optional>

class TControl;
class TsCommonData;

// The plain colour the owner's parent shows its children (its scGetBgColor
// answer, else its own colour), as RGB; aFallback without a parent.
TColor ParentPlainColor(const TsCommonData& aData, TColor aFallback);

// The answer to scGetBgColor: the plain colour children of the owner see, as
// RGB; none without an owner control.
std::optional<TColor> PlainColorForChildren(const TsCommonData& aData);

// The answer to scGetParentBg for a child, in state aState (0 normal, 1 hot).
void FillParentBgInfo(TsCommonData& aData, ParentBgInfo& aInfo, int aState);

// Asks aParent what lies behind a child. With aPleaseDraw the parent paints
// aInfo.R of aInfo.DC (a parent that does not answer paints itself there);
// without it an unanswered request becomes btFill with the parent's colour.
void RequestParentBackground(TControl* aParent, ParentBgInfo& aInfo, bool aPleaseDraw);
// The same for a window that may belong to no control; one that does not
// answer gives btFill with the default manager's main colour (button face
// without a manager).
void RequestParentBackground(platform::HWND aParent, ParentBgInfo& aInfo, bool aPleaseDraw);

// The parent's background as painter input. X and Y are the offset of the
// parent's client origin inside Bmp; the control adds its own position.
TCacheInfo QueryParentCache(TsCommonData& aData);
