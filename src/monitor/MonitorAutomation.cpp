#include "monitor/MonitorAutomation.h"

#include "monitor/monitor.h"
#include "platform/gfx/Enlarge.h"
#include "platform/gfx/PngCodec.h"
#include "platform/host/ScreenComposer.h"
#include "platform/mm/VirtualMidi.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowHost.h"
#include "platform/win/WindowProcedures.h"
#include "toolkit/MessageForm.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

// A left click at a client point of a list, as the mouse would give it.
void ClickAt(TCustomListBox* aList, TPoint aPoint) {
  const platform::LPARAM where = platform::MAKELPARAM(aPoint.X, aPoint.Y);
  platform::HWND wnd = aList->Handle();
  platform::SendMessageW(wnd, platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, where);
  platform::SendMessageW(wnd, platform::WM_LBUTTONUP, 0, where);
}

// Scrolls line aIndex into view and returns its rectangle.
TRect ShowLine(TCustomListBox* aList, int aIndex) {
  if (aIndex < 0 || aIndex >= aList->Count())
    throw std::out_of_range(aList->Name() + " has no line " + std::to_string(aIndex));
  TRect r = aList->ItemRect(aIndex);
  if (r.Top < 0 || r.Bottom > aList->ClientHeight()) {
    aList->SetTopIndex(aIndex);
    r = aList->ItemRect(aIndex);
  }
  return r;
}

void Line(std::ostream& aOut, const char* aKind, const std::string& aName) {
  aOut << aKind << '\t' << aName << '\n';
}

// Pixels outside the window's region are not part of the window: they become
// transparent.
void ClearOutsideRegion(platform::HWND aWnd, platform::Bitmap& aImage) {
  platform::Region shape;
  if (platform::GetWindowRgn(aWnd, &shape) == platform::ERROR)
    return;
  const platform::Region outside = platform::Region(aImage.BoundsRect()).Subtract(shape);
  for (const TRect& band : outside.Rects())
    for (int y = band.Top; y < band.Bottom; ++y)
      for (int x = band.Left; x < band.Right; ++x)
        aImage.SetPixel(x, y, 0);
}

// An item of the open popup menu: its position, caption (without '&' and
// shortcut) and whether it is enabled.
struct TOpenMenuItem {
  platform::UINT Position = 0;
  std::string Caption;
  bool Enabled = true;
};

// The popup menu showing now (nullptr: none) and its items, separators left
// out.
platform::HMENU OpenPopupMenu(std::vector<TOpenMenuItem>& aItems) {
  using namespace platform;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w) || GetClassNameW(w) != PopupMenuClassName)
      continue;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR)
        continue;
      std::string caption = GetMenuStringW(menu, UINT(i), MF_BYPOSITION);
      caption = caption.substr(0, caption.find('\t'));
      std::erase(caption, '&');
      aItems.push_back({UINT(i), caption, !(state & (MF_GRAYED | MF_DISABLED))});
    }
    return menu;
  }
  return nullptr;
}

void Click(platform::POINT aAt, platform::MouseButton aButton) {
  platform::InputMouseMove(aAt);
  platform::InputMouseButton(aButton, true, aAt);
  platform::InputMouseButton(aButton, false, aAt);
}

} // namespace

TfrmMonitor& TMonitorAutomation::Form() const {
  TfrmMonitor* form = fForm();
  if (!form)
    throw std::runtime_error("the window does not exist yet (a message box shows before it)");
  return *form;
}

TMessageForm* ShowingMessageBox() {
  if (!Application)
    return nullptr;
  for (int i = Application->FormCount() - 1; i >= 0; --i)
    if (auto* box = dynamic_cast<TMessageForm*>(Application->Forms(i)); box && box->Showing())
      return box;
  return nullptr;
}

void TMonitorAutomation::SetLineChecked(bool aOutput, int aIndex, bool aChecked) {
  TsCheckListBox* list = aOutput ? Form().clbOutputDevices : Form().clbInputDevices;
  const TRect r = ShowLine(list, aIndex);
  if (list->Checked(aIndex) == aChecked)
    return;
  // The check box sits at the start of the line.
  ClickAt(list, {r.Left + list->CheckHitWidth() / 2, r.Top + r.Height() / 2});
  if (list->Checked(aIndex) != aChecked)
    throw std::runtime_error(list->Name() + ": line " + std::to_string(aIndex) + " did not toggle");
}

void TMonitorAutomation::ClickButton(const std::string& aName) {
  auto* button = dynamic_cast<TButton*>(Form().FindComponent(aName));
  if (!button)
    throw std::invalid_argument("no button " + aName);
  platform::SendMessageW(button->Handle(), platform::BM_CLICK, 0, 0);
}

void TMonitorAutomation::SelectLogLine(int aIndex) {
  Form().DrainNow();
  const TRect r = ShowLine(Form().lbListe, aIndex);
  ClickAt(Form().lbListe, {r.Left + r.Width() / 2, r.Top + r.Height() / 2});
}

void TMonitorAutomation::InjectMessage(int aPort, std::uint8_t aStatus, std::uint8_t aData1,
                                       std::uint8_t aData2) {
  const platform::DWORD word =
      aStatus | (platform::DWORD(aData1) << 8) | (platform::DWORD(aData2) << 16);
  const platform::MMRESULT result = platform::VirtualMidiInject(platform::UINT(aPort), word);
  if (result == platform::MMSYSERR_NOTENABLED)
    throw std::runtime_error("send: the MIDI service is not the virtual one");
  if (result != platform::MMSYSERR_NOERROR)
    throw std::runtime_error("send: input port " + std::to_string(aPort) +
                             " does not exist (code " + std::to_string(result) + ")");
}

platform::POINT TMonitorAutomation::ScreenPoint(int aX, int aY) const {
  platform::RECT window{};
  platform::GetWindowRect(Form().Handle(), &window);
  return {window.Left + aX, window.Top + aY};
}

void TMonitorAutomation::MovePointer(TScriptCommand::TPointer aAction, int aX, int aY) {
  using TPointer = TScriptCommand::TPointer;
  const platform::POINT at = ScreenPoint(aX, aY);
  if (aAction == TPointer::Click || aAction == TPointer::RightClick) {
    Click(at,
          aAction == TPointer::Click ? platform::MouseButton::Left : platform::MouseButton::Right);
    return;
  }
  platform::InputMouseMove(at);
  if (aAction != TPointer::Move)
    platform::InputMouseButton(platform::MouseButton::Left, aAction == TPointer::Down, at);
}

void TMonitorAutomation::ChooseMenuItem(const std::string& aCaption) {
  std::vector<TOpenMenuItem> items;
  const platform::HMENU menu = OpenPopupMenu(items);
  if (!menu)
    throw std::runtime_error("menu " + aCaption + ": no popup menu is open");
  const auto it = std::find_if(items.begin(), items.end(), [&](const TOpenMenuItem& aItem) {
    return aItem.Caption == aCaption;
  });
  if (it == items.end())
    throw std::runtime_error("menu " + aCaption + ": the open menu has no such item");
  if (!it->Enabled)
    throw std::runtime_error("menu " + aCaption + ": the item is greyed");
  platform::RECT r{};
  platform::GetMenuItemRect(Form().Handle(), menu, it->Position, &r);
  Click({r.Left + r.Width() / 2, r.Top + r.Height() / 2}, platform::MouseButton::Left);
}

void TMonitorAutomation::TurnWheel(int aX, int aY, int aNotches) {
  const platform::POINT at = ScreenPoint(aX, aY);
  platform::InputMouseMove(at);
  // One event a notch, as a wheel gives them; a turn towards the user scrolls down.
  const int delta = aNotches < 0 ? platform::WHEEL_DELTA : -platform::WHEEL_DELTA;
  for (int i = 0; i < std::abs(aNotches); ++i)
    platform::InputMouseWheel(delta, at);
}

void TMonitorAutomation::PressKey(int aVirtKey, char32_t aChar) {
  platform::InputKey(aVirtKey, true, aChar);
  platform::InputKey(aVirtKey, false, 0);
}

void TMonitorAutomation::Screenshot(const std::string& aPath) {
  WriteMonitorPng(fForm(), aPath);
}

void TMonitorAutomation::HitTest(int aX, int aY) {
  platform::RECT window{};
  platform::GetWindowRect(Form().Handle(), &window);
  const platform::LRESULT code =
      platform::SendMessageW(Form().Handle(), platform::WM_NCHITTEST, 0,
                             platform::MAKELPARAM(window.Left + aX, window.Top + aY));
  fOut << "hit\t" << aX << '\t' << aY << '\t' << code << '\n';
  fOut.flush();
}

int TMonitorAutomation::LogLineCount() const {
  // Before the window exists the log has no lines yet.
  const TfrmMonitor* form = fForm();
  return form ? form->lbListe->Count() : 0;
}

bool TMonitorAutomation::CloseMessageBox() {
  TMessageForm* box = ShowingMessageBox();
  if (!box || box->ButtonCount() == 0)
    return false;
  platform::SendMessageW(box->Buttons(0)->Handle(), platform::BM_CLICK, 0, 0);
  return true;
}

void TMonitorAutomation::Dump() {
  DumpMonitorState(fForm(), fOut);
}

void TMonitorAutomation::Quit() {
  if (OnQuit)
    OnQuit();
  else
    Application->Terminate();
}

void WriteMonitorPng(TfrmMonitor* aForm, const std::string& aPath, bool aScreen) {
  platform::HWND window = nullptr;
  if (aForm) {
    aForm->DrainNow();
    aForm->Update();
    window = aForm->Handle();
  } else if (TMessageForm* box = ShowingMessageBox()) {
    box->Update();
    window = box->Handle();
  }
  platform::Bitmap image;
  if (aScreen) {
    image = platform::ComposeScreen({platform::GetSystemMetrics(platform::SM_CXSCREEN),
                                     platform::GetSystemMetrics(platform::SM_CYSCREEN)},
                                    true);
  } else if (window) {
    image = platform::CaptureWindow(window);
    ClearOutsideRegion(window, image);
  }
  if (image.Width() == 0)
    throw std::runtime_error("no image of the window to write");
  image = platform::Enlarged(image, platform::GetWindowHost()->Scale());
  const platform::FileResult written = platform::SavePngFile(
      image, aPath, aScreen ? platform::PngAlpha::Opaque : platform::PngAlpha::Keep);
  if (!written.Ok())
    throw std::runtime_error("cannot write " + aPath + ": " + written.Error);
}

namespace {

void DumpWindowState(TfrmMonitor& aForm, std::ostream& aOut) {
  auto caption = [&](TControl* aControl) {
    aOut << "caption\t" << aControl->Name() << '\t' << aControl->Caption() << '\n';
  };
  caption(&aForm);
  for (int i = 0; i < aForm.ComponentCount(); ++i) {
    TComponent* c = aForm.Components(i);
    if (c->Name().empty())
      continue;
    if (dynamic_cast<TPanel*>(c) || dynamic_cast<TButton*>(c) || dynamic_cast<TTabSheet*>(c))
      caption(static_cast<TControl*>(c));
  }
  aOut << "tag\tPanelP1\t" << aForm.PanelP1->Tag() << '\n';
  aOut << "tag\tPanelP2\t" << aForm.PanelP2->Tag() << '\n';
  auto items = [&](TCustomListBox* aList, TCheckListBox* aChecks) {
    for (int i = 0; i < aList->Count(); ++i) {
      aOut << "item\t" << aList->Name() << '\t' << i << '\t';
      if (aChecks)
        aOut << (aChecks->Checked(i) ? "[x] " : "[ ] ");
      aOut << aList->Items()[i] << '\n';
    }
    aOut << "selected\t" << aList->Name() << '\t' << aList->ItemIndex() << '\n';
    aOut << "top\t" << aList->Name() << '\t' << aList->TopIndex() << '\n';
    platform::HWND wnd = aList->Handle();
    if (platform::GetWindowLongW(wnd, platform::GWL_STYLE) & platform::WS_VSCROLL) {
      platform::SCROLLINFO bar{};
      bar.fMask = platform::SIF_ALL;
      platform::GetScrollInfo(wnd, platform::SB_VERT, &bar);
      aOut << "scroll\t" << aList->Name() << '\t' << bar.nMin << '\t' << bar.nMax << '\t'
           << bar.nPage << '\t' << bar.nPos << '\n';
    }
  };
  items(aForm.clbInputDevices, aForm.clbInputDevices);
  items(aForm.clbOutputDevices, aForm.clbOutputDevices);
  items(aForm.lbListe, nullptr);
  aOut << "status\t" << aForm.StatusBar1->Panels()[0].Text() << '\n';
  TWinControl* focused = nullptr;
  for (int i = 0; i < aForm.ComponentCount() && !focused; ++i)
    if (auto* w = dynamic_cast<TWinControl*>(aForm.Components(i)); w && w->Focused())
      focused = w;
  Line(aOut, "focus", focused ? focused->Name() : std::string());
}

} // namespace

void DumpMonitorState(TfrmMonitor* aForm, std::ostream& aOut) {
  if (aForm) {
    aForm->DrainNow();
    DumpWindowState(*aForm, aOut);
  }
  if (TMessageForm* box = ShowingMessageBox())
    Line(aOut, "messagebox", box->Message());
  std::vector<TOpenMenuItem> menu;
  OpenPopupMenu(menu);
  for (const TOpenMenuItem& item : menu)
    aOut << "menu\t" << item.Caption << '\t' << (item.Enabled ? 1 : 0) << '\n';
  aOut.flush();
}
