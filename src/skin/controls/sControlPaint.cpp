#include "skin/controls/sControlPaint.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "skin/data/sSkinCommands.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sParentBg.h"
#include "toolkit/WinControl.h"

void RepaintChildrenAfterParent(TWinControl* aControl) {
  if (aControl->ComponentState().Contains(csDesigning))
    return;
  for (int i = 0; i < aControl->ControlCount(); ++i) {
    TControl* child = aControl->Controls(i);
    if (child->ComponentState().Contains(csDestroying))
      continue;
    if (TWinControl* windowed = child->AsWindowed()) {
      if (!windowed->HandleAllocated() || !windowed->Showing())
        continue;
      SendSkinCommand(windowed->Handle(), scRepaintChildren);
    } else {
      SendSkinCommand(child, scRepaintChildren);
    }
  }
}

void PaintGraphicChildren(platform::HDC aDC, TWinControl* aControl) {
  platform::RECT clip;
  platform::GetClipBox(aDC, &clip);
  for (int i = 0; i < aControl->ControlCount(); ++i) {
    TControl* child = aControl->Controls(i);
    if (child->IsWindowed() || !child->Visible() || child->Width() <= 0 || child->Height() <= 0 ||
        child->BoundsRect().Intersect(clip).IsEmpty())
      continue;
    platform::Bitmap image = CreateBitmap32(child->Width(), child->Height());
    if (child->ControlStyle().Contains(csOpaque)) {
      FillRect32(image, image.BoundsRect(), ColorToRGB(child->Color()));
    } else {
      ParentBgInfo info;
      RequestParentBackground(aControl, info, false);
      const TCacheInfo behind = ParentBgToCacheInfo(info);
      if (behind.Ready && behind.Bmp != nullptr)
        platform::raster::Copy(image, image.BoundsRect(), *behind.Bmp,
                               {behind.X + child->Left(), behind.Y + child->Top()});
      else
        FillRect32(image, image.BoundsRect(), behind.FillColor);
    }
    platform::HDC memory = platform::CreateCompatibleDC(nullptr);
    platform::SelectObject(memory, &image);
    child->Perform(platform::WM_PAINT, platform::WPARAM(memory), 0);
    platform::BitBlt(aDC, child->Left(), child->Top(), child->Width(), child->Height(), memory, 0,
                     0, platform::SRCCOPY);
    platform::DeleteDC(memory);
  }
}
