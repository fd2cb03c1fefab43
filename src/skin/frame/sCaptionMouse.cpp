#include "skin/frame/sCaptionMouse.h"

#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowProcedures.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinManager.h"
#include "skin/frame/sCaptionButtons.h"
#include "skin/frame/sSkinProvider.h"
#include "skin/frame/sSystemMenu.h"
#include "skin/paint/qcGlow.h"
#include "skin/paint/sCacheCopy.h"

#include <vector>

using namespace platform;

namespace {

bool IsSystemButton(int aCode) {
  return aCode == HTMINBUTTON || aCode == HTMAXBUTTON || aCode == HTCLOSE || aCode == HTHELP;
}

// Codes whose hover the caption shows itself: the system buttons, the MDI
// child buttons and the extra and title-bar items.
bool IsCaptionItem(int aCode) {
  return IsSystemButton(aCode) || (aCode >= HTMDIBUTTONFIRST && aCode <= HTMDIBUTTONLAST) ||
         (aCode >= HTTITLEBUTTON && aCode <= HTTITLEBUTTONLAST) ||
         (aCode >= HTTITLEBARITEM && aCode <= HTTITLEBARITEMLAST);
}

// The fade of one caption button: the button's rectangle of the frame cache
// cross-fades from the old state's look to the new one, each frame copied to
// the window at the button's place.
class TsCaptionFadeTarget : public TsFadeTarget {
public:
  TsCaptionFadeTarget(TsSkinProvider& aProvider, std::unique_ptr<TsFadeTimer>& aTimer, int aCode)
      : fProvider(aProvider), fTimer(aTimer), fCode(aCode) {}
  const Bitmap* Look() const override { return fProvider.SkinData().CacheBmp(); }
  TRect LookArea() const override {
    const TqcCaptionButton* b = CaptionButtonOf(fProvider.MutableLayout(), fCode);
    return b != nullptr ? b->Rect : TRect{};
  }
  void PrepareNewLook() override { Paint(false); }
  void ShowFrame(const Bitmap& aFrame, int) override {
    const HWND wnd = fProvider.Form()->Handle();
    HDC dc = GetWindowDC(wnd);
    CopyBitmapToDC(dc, LookArea(), aFrame, {0, 0});
    ReleaseDC(wnd, dc);
  }
  void FadeFinished() override { StopFade(fTimer); }
  bool Gone() const override {
    return !fProvider.Form()->HandleAllocated() || !IsWindow(fProvider.Form()->Handle());
  }
  void Repaint() override { Paint(true); }

private:
  void Paint(bool aToWindow) {
    const HWND wnd = fProvider.Form()->Handle();
    HDC dc = aToWindow ? GetWindowDC(wnd) : nullptr;
    RepaintButton(fProvider.SkinData(), fProvider.Title, fProvider.View(),
                  fProvider.MutableLayout(), fCode, dc);
    if (dc != nullptr)
      ReleaseDC(wnd, dc);
  }

  TsSkinProvider& fProvider;
  std::unique_ptr<TsFadeTimer>& fTimer;
  int fCode;
};

} // namespace

TsCaptionMouse::TsCaptionMouse(TsSkinProvider& aProvider) : fProvider(aProvider) {}

TsCaptionMouse::~TsCaptionMouse() {
  KillAnimations();
}

TqcCaptionButton* TsCaptionMouse::Button(int aCode) {
  return CaptionButtonOf(fProvider.MutableLayout(), aCode);
}

TsFadeTimer* TsCaptionMouse::FadeOf(int aCode) const {
  const auto it = fFades.find(aCode);
  return it == fFades.end() ? nullptr : it->second.get();
}

void TsCaptionMouse::KillAnimations() {
  for (auto& [code, timer] : fFades)
    StopFade(timer);
  for (auto& [code, glow] : fGlows)
    HideGlow(glow);
}

void TsCaptionMouse::FinishAnimations() {
  std::vector<int> faded;
  for (const auto& [code, timer] : fFades)
    if (timer)
      faded.push_back(code);
  KillAnimations();
  if (fProvider.Form()->HandleAllocated())
    for (int code : faded)
      TsCaptionFadeTarget(fProvider, fFades[code], code).Repaint();
}

int TsCaptionMouse::GlowOf(int aCode) const {
  const auto it = fGlows.find(aCode);
  return it == fGlows.end() ? -1 : it->second;
}

bool TsCaptionMouse::GlowAllowed(int aCode) const {
  const TsSkinManager* manager = fProvider.SkinManager();
  if (manager == nullptr || !manager->Effects.AllowGlowing || fProvider.Form()->Parent() != nullptr)
    return false;
  const TsSkinData& common = manager->CommonSkinData;
  switch (aCode) {
  case HTMINBUTTON:
    return common.BIMinGlow > 0;
  case HTMAXBUTTON:
    return common.BIMaxGlow > 0;
  case HTCLOSE:
    return common.BICloseGlow > 0;
  default:
    return false;
  }
}

void TsCaptionMouse::UpdateGlow(int aCode, const TqcCaptionButton& aButton) {
  const auto it = fGlows.find(aCode);
  if (aButton.State != cbsHot || !GlowAllowed(aCode)) {
    if (it != fGlows.end())
      HideGlow(it->second);
    return;
  }
  int& glow = fGlows.try_emplace(aCode, -1).first->second;
  if (glow >= 0)
    return;
  TsSkinManager* manager = fProvider.SkinManager();
  const int image = ImageInWindowState(*manager, fProvider.View(), aButton);
  if (!manager->IsValidImgIndex(image))
    return;
  const TsSkinData& common = manager->CommonSkinData;
  const int margin = aCode == HTCLOSE       ? common.BICloseGlowMargin
                     : aCode == HTMAXBUTTON ? common.BIMaxGlowMargin
                                            : common.BIMinGlowMargin;
  const HWND wnd = fProvider.Form()->Handle();
  RECT window{};
  GetWindowRect(wnd, &window);
  const TRect r = aButton.Rect.Offset(window.Left, window.Top);
  ShowGlow(glow, r, {0, 0, r.Width(), r.Height()}, "GLOBALINFO", nullptr, manager, wnd, 255, margin,
           manager->ma[std::size_t(image)].PropertyName + "GLOW");
}

bool TsCaptionMouse::FadesAllowed() const {
  const TsSkinManager* manager = fProvider.SkinManager();
  const TsScrollWndData& data = fProvider.SkinData();
  return manager != nullptr && manager->Effects.AllowGlowing && !WindowAnimationRunning &&
         !TsFadeTimer::StopFading && !fProvider.RunState().InTransientState() &&
         fProvider.Form()->Parent() == nullptr && data.CacheBmp() != nullptr &&
         !data.CacheBmp()->Empty() && !data.BGChanged;
}

void TsCaptionMouse::RepaintItem(int aCode) {
  TqcCaptionButton* button = Button(aCode);
  if (button == nullptr || !fProvider.Form()->HandleAllocated())
    return;
  UpdateGlow(aCode, *button);
  std::unique_ptr<TsFadeTimer>& timer = fFades[aCode];
  // Hover fades in and leaving fades out; a press shows at once.
  if (button->State != cbsPressed && FadesAllowed()) {
    StartFade(timer, std::make_unique<TsCaptionFadeTarget>(fProvider, timer, aCode), false,
              button->State == cbsHot ? TFadeDirection::fdUp : TFadeDirection::fdDown);
    return;
  }
  StopFade(timer);
  TsCaptionFadeTarget(fProvider, timer, aCode).Repaint();
}

void TsCaptionMouse::SetHotHT(int aCode, bool aRepaint) {
  TsFrameRunState& run = fProvider.RunState();
  if (aCode == run.HotItem() || !fProvider.DrawNonClientArea)
    return;
  const int old = run.HotItem();
  if (old > 0)
    if (TqcCaptionButton* b = Button(old)) {
      b->State = cbsNormal;
      if (aRepaint)
        RepaintItem(old);
    }
  run.SetHotItem(aCode);
  if (aCode <= 0)
    return;
  TqcCaptionButtonState state = cbsHot;
  if (CaptionBtnPressed) {
    if (aCode != fPressedHT)
      return;
    state = cbsPressed;
  }
  if (TqcCaptionButton* b = Button(aCode)) {
    b->State = state;
    if (aRepaint)
      RepaintItem(aCode);
  }
}

void TsCaptionMouse::SetPressedHT(int aCode) {
  TsFrameRunState& run = fProvider.RunState();
  const int old = run.HotItem();
  if (aCode != old && old != 0)
    if (TqcCaptionButton* b = Button(old)) {
      b->State = cbsNormal;
      RepaintItem(old);
    }
  run.SetHotItem(aCode);
  TsSystemMenu& menu = SystemMenu();
  const bool maximized =
      fProvider.Form()->HandleAllocated() && IsZoomed(fProvider.Form()->Handle());
  if ((aCode == HTMAXBUTTON && !(menu.EnabledMax() || (maximized && menu.EnabledRestore()))) ||
      (aCode == HTCLOSE && !menu.EnabledClose())) {
    run.SetHotItem(0);
    return;
  }
  if (TqcCaptionButton* b = Button(aCode))
    b->State = cbsPressed;
  fPressedHT = aCode;
  CaptionBtnPressed = true;
  RepaintItem(aCode);
}

TsSystemMenu& TsCaptionMouse::SystemMenu() {
  if (!fSystemMenu)
    fSystemMenu = std::make_unique<TsSystemMenu>(nullptr, fProvider.Form());
  return *fSystemMenu;
}

void TsCaptionMouse::DropSysMenu(int aX, int aY) {
  ::DropSysMenu(SystemMenu(), aX, aY);
}

TPoint TsCaptionMouse::IconMenuPoint() const {
  RECT r{};
  GetWindowRect(fProvider.Form()->Handle(), &r);
  const TqcFrameForm form = fProvider.FrameForm();
  const TRect& icon = fProvider.Layout().IconRect;
  return {r.Left + SysBorderWidth(form), r.Top + FrameBorderWidth(form) + icon.Height()};
}

bool TsCaptionMouse::NCMouseMove(TMessage& aMessage) {
  TForm* form = fProvider.Form();
  if (!form->Enabled())
    return true;
  if (TsSkinManager* manager = fProvider.SkinManager())
    manager->SetActiveControl(form->Handle());
  TRACKMOUSEEVENT track{};
  track.dwFlags = TME_LEAVE | TME_NONCLIENT;
  track.hwndTrack = form->Handle();
  TrackMouseEvent(&track);
  const int code = int(aMessage.WParam);
  if (IsCaptionItem(code)) {
    SetHotHT(code, true);
    return true;
  }
  SetHotHT(0, true);
  return false;
}

bool TsCaptionMouse::NCLButtonDown(TMessage& aMessage) {
  const int code = int(aMessage.WParam);
  if (code == HTSYSMENU) {
    SetHotHT(0, true);
    CaptionBtnPressed = false;
    fPressedHT = 0;
    // A click on the icon drops the menu one frame width lower than the key.
    const TPoint p = IconMenuPoint();
    DropSysMenu(p.X, p.Y + SysBorderWidth(fProvider.FrameForm()));
    return true;
  }
  if (IsCaptionItem(code) && Button(code) != nullptr) {
    SetPressedHT(code);
    return true;
  }
  if (IsIconic(fProvider.Form()->Handle())) {
    SendMessageW(fProvider.Form()->Handle(), WM_SYSCOMMAND, SC_DRAGMOVE, aMessage.LParam);
    return true;
  }
  SetHotHT(0, true);
  return false;
}

void TsCaptionMouse::Act(int aCode) {
  TForm* form = fProvider.Form();
  const HWND wnd = form->Handle();
  switch (aCode) {
  case HTMINBUTTON:
    SetHotHT(0, true);
    if (Application != nullptr && Application->MainForm() == form) {
      // The main form minimizes without the hide animation.
      fProvider.RunState().SetHideSkipped(true);
      SendMessageW(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      fProvider.RunState().SetHideSkipped(false);
    } else {
      SendMessageW(wnd, WM_SYSCOMMAND, IsIconic(wnd) ? SC_RESTORE : SC_MINIMIZE, 0);
    }
    fProvider.SkinData().BGChanged = true;
    break;
  case HTMAXBUTTON:
    SetHotHT(0, true);
    SendMessageW(wnd, WM_SYSCOMMAND, IsZoomed(wnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
    SystemMenu().UpdateItems(false);
    break;
  case HTCLOSE:
    if (TqcCaptionButton* b = Button(HTCLOSE))
      b->State = cbsNormal;
    KillAnimations();
    SendMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    // The form may be gone with its provider now.
    if (!IsWindow(wnd) || form->ComponentState().Contains(csDestroying))
      return;
    if (IsWindowVisible(wnd)) {
      fProvider.SkinData().BGChanged = true;
      SetHotHT(0, true);
    }
    break;
  case HTHELP:
    SendMessageW(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
    SetHotHT(0, true);
    SystemMenu().UpdateItems(false);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    break;
  default:
    SetHotHT(0, true);
    break;
  }
}

bool TsCaptionMouse::NCLButtonUp(TMessage& aMessage) {
  if (!fProvider.DrawNonClientArea || !fProvider.Form()->Enabled())
    return false;
  const int code = int(aMessage.WParam);
  const int pressed = fPressedHT;
  const bool held = CaptionBtnPressed && pressed != 0;
  fPressedHT = 0;
  CaptionBtnPressed = false;
  if (held && code == pressed) {
    Act(code);
    return true;
  }
  // Released elsewhere than on the held item: the held item is normal again
  // and nothing is done.
  if (held)
    if (TqcCaptionButton* b = Button(pressed); b != nullptr && b->State != cbsNormal) {
      b->State = cbsNormal;
      RepaintItem(pressed);
    }
  fProvider.RunState().SetHotItem(0);
  if (IsCaptionItem(code)) {
    SetHotHT(code, true);
    return true;
  }
  return false;
}

bool TsCaptionMouse::NCRButtonUp(TMessage& aMessage) {
  if (!HasBorder(fProvider.FrameForm()))
    return false;
  const int code = int(aMessage.WParam);
  if (code == HTCAPTION || code == HTSYSMENU) {
    SetHotHT(0, true);
    CaptionBtnPressed = false;
    fPressedHT = 0;
    DropSysMenu(GET_X_LPARAM(aMessage.LParam), GET_Y_LPARAM(aMessage.LParam));
  }
  return true;
}

bool TsCaptionMouse::NCLButtonDblClk(TMessage& aMessage) {
  const HWND wnd = fProvider.Form()->Handle();
  const int code = int(aMessage.WParam);
  if (code == HTCAPTION) {
    TsSystemMenu& menu = SystemMenu();
    const bool iconic = IsIconic(wnd);
    if ((fProvider.Form()->BorderIcons().Contains(biSystemMenu) &&
         (menu.EnabledMax() || menu.EnabledRestore())) ||
        (!HasBorder(fProvider.FrameForm()) && iconic)) {
      SendMessageW(wnd, WM_SYSCOMMAND, IsZoomed(wnd) || iconic ? SC_RESTORE : SC_MAXIMIZE, 0);
      menu.UpdateItems(false);
    } else if (iconic) {
      SendMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
      menu.UpdateItems(false);
    }
    return true;
  }
  if (code == HTSYSMENU) {
    fProvider.Form()->Close();
    return true;
  }
  return false;
}

void TsCaptionMouse::MouseLeave() {
  SetHotHT(-1, true);
  CaptionBtnPressed = false;
  fPressedHT = 0;
}

bool TsCaptionMouse::Handle(TMessage& aMessage) {
  if (!fProvider.DrawNonClientArea)
    return false;
  switch (aMessage.Msg) {
  case WM_NCMOUSEMOVE:
    return NCMouseMove(aMessage);
  case WM_NCLBUTTONDOWN:
    return NCLButtonDown(aMessage);
  case WM_NCLBUTTONUP:
    return NCLButtonUp(aMessage);
  case WM_NCMOUSELEAVE:
  case WM_MOUSELEAVE:
  case CM_MOUSELEAVE:
    MouseLeave();
    return false;
  case WM_NCRBUTTONDOWN:
    return aMessage.WParam == WPARAM(HTCAPTION) || aMessage.WParam == WPARAM(HTSYSMENU);
  case WM_NCRBUTTONUP:
    return NCRButtonUp(aMessage);
  case WM_NCLBUTTONDBLCLK:
    return NCLButtonDblClk(aMessage);
  case WM_SYSCOMMAND:
    // Alt+Space opens this menu instead of the platform's.
    if ((aMessage.WParam & 0xFFF0) != SC_KEYMENU || aMessage.LParam != LPARAM(' '))
      return false;
    if (fProvider.Form()->BorderIcons().Contains(biSystemMenu) &&
        HasBorder(fProvider.FrameForm())) {
      TPoint p = IconMenuPoint();
      if (IsIconic(fProvider.Form()->Handle()))
        p.Y -= 16;
      DropSysMenu(p.X, p.Y);
    }
    return true;
  case WM_POPUPSYSTEMMENU: {
    POINT p{};
    GetCursorPos(&p);
    DropSysMenu(p.X, p.Y);
    return true;
  }
  default:
    return false;
  }
}
