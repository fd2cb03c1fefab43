// The frame provider of an adopted tool window: its hit test, its region and
// system-menu style through skin changes, its skin commands, and how it
// leaves the form.

#include "FrameFixture.h"
#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/SystemColors.h"
#include "platform/host/ScreenComposer.h"
#include "platform/win/Menu.h"
#include "platform/win/NonClient.h"
#include "platform/win/Paint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/paint/sCacheInfo.h"
#include "support/PixelCheck.h"

#include <algorithm>

using namespace platform;

namespace {

class ProviderTest : public FrameTest {
protected:
  void SetUp() override {
    FrameTest::SetUp();
    fForm = ShowForm();
    fProvider = TsSkinProvider::Of(fForm);
    ASSERT_NE(fProvider, nullptr);
  }
  // The platform's own answer for the form's style at a window point.
  LRESULT PlatformHit(int aX, int aY) const {
    RECT r{};
    GetWindowRect(fForm->Handle(), &r);
    return DefaultHitTest(Style(fForm), DWORD(GetWindowLongW(fForm->Handle(), GWL_EXSTYLE)),
                          {r.Right - r.Left, r.Bottom - r.Top}, {aX, aY});
  }

  TForm* fForm = nullptr;
  TsSkinProvider* fProvider = nullptr;
};

TEST_F(ProviderTest, HitCodesOfTheToolWindow) {
  // A tool window: dialog-frame border b, small caption; the close button
  // ends BIRIGHT (6 in the built-in skin) + b from the right edge and is
  // centred on the caption line.
  const int b = GetSystemMetrics(SM_CXDLGFRAME);
  const int caption = GetSystemMetrics(SM_CYSMCAPTION);
  const int width = fForm->Width();
  const int line = caption / 2 + b / 2;
  struct Case {
    const char* Name;
    int X, Y;
    LRESULT Code;
  };
  const Case cases[] = {
      {"close button, right end", width - 6 - b - 1, line, HTCLOSE},
      {"close button, left part", width - 6 - b - 8, line, HTCLOSE},
      {"caption text", 20, line, HTCAPTION},
      {"caption right of the button", width - b - 2, line, HTCAPTION},
      {"client", width / 2, fForm->Height() / 2, HTCLIENT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(HitAt(fForm, c.X, c.Y), c.Code);
  }
  // Borders are the platform's to answer, as for its own frame.
  for (TPoint p : {TPoint{20, 0}, TPoint{1, fForm->Height() / 2}})
    EXPECT_EQ(HitAt(fForm, p.X, p.Y), PlatformHit(p.X, p.Y));
}

// The close button follows the window's system menu: with Close greyed it is
// no target, and the window can be dragged there.
TEST_F(ProviderTest, AGreyedCloseCommandMakesTheCloseButtonPartOfTheCaption) {
  const int b = GetSystemMetrics(SM_CXDLGFRAME);
  const int line = GetSystemMetrics(SM_CYSMCAPTION) / 2 + b / 2;
  const int x = fForm->Width() - 6 - b - 3;
  HMENU menu = GetSystemMenu(fForm->Handle(), FALSE);
  ASSERT_NE(menu, nullptr) << "the menu stays when the frame takes WS_SYSMENU away";
  EXPECT_EQ(HitAt(fForm, x, line), HTCLOSE);
  EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  EXPECT_EQ(HitAt(fForm, x, line), HTCAPTION);
  EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  EXPECT_EQ(HitAt(fForm, x, line), HTCLOSE);
}

TEST_F(ProviderTest, TheClientOffsetIsWhereThePlatformPutTheClientArea) {
  RECT r{};
  GetWindowRect(fForm->Handle(), &r);
  const FrameLayout frame =
      ComputeFrame(Style(fForm), DWORD(GetWindowLongW(fForm->Handle(), GWL_EXSTYLE)),
                   {r.Right - r.Left, r.Bottom - r.Top});
  const LRESULT offset = SendSkinCommand(fForm, scGetClientOffset);
  EXPECT_EQ(offset & 0xFFFF, frame.Client.Left);
  EXPECT_EQ(offset >> 16, frame.Client.Top);
}

TEST_F(ProviderTest, TheFrameFollowsSkinChangesAndGivesBackTheStandardFrameWithoutSkin) {
  auto skinnedFrame = [&] {
    return fProvider->Skinned() && (Style(fForm) & WS_SYSMENU) == 0 && HasRegion(fForm);
  };
  PumpUntilIdle();
  EXPECT_TRUE(skinnedFrame());
  EXPECT_FALSE(fProvider->Cutouts().empty()) << "the built-in skin rounds the top corners";

  fManager->SetActive(false);
  PumpUntilIdle();
  EXPECT_FALSE(fProvider->Skinned());
  EXPECT_NE(Style(fForm) & WS_SYSMENU, 0u) << "the platform's caption buttons are back";
  EXPECT_FALSE(HasRegion(fForm));
  EXPECT_EQ(TsSkinProvider::Of(fForm), fProvider);
  EXPECT_EQ(SendSkinCommand(fForm, scIsSkinned), 1);
  const int width = fForm->Width();
  const int b = GetSystemMetrics(SM_CXDLGFRAME);
  const int line = GetSystemMetrics(SM_CYSMCAPTION) / 2 + b / 2;
  EXPECT_EQ(HitAt(fForm, width - 6 - b - 1, line), PlatformHit(width - 6 - b - 1, line));

  fManager->SetActive(true);
  PumpUntilIdle();
  EXPECT_TRUE(skinnedFrame());
  EXPECT_EQ(std::count(FramedForms.begin(), FramedForms.end(), fForm), 1);
}

TEST_F(ProviderTest, SkinCommandsAnsweredInEveryState) {
  fManager->SetActive(false);
  PumpUntilIdle();
  for (bool active : {false, true}) {
    SCOPED_TRACE(active ? "skinned" : "passive");
    fManager->SetActive(active);
    PumpUntilIdle();
    EXPECT_EQ(SendSkinCommand(fForm, scIsSkinned), 1);
    EXPECT_EQ(SendSkinCommand(fForm, scGetProvider), LRESULT(fProvider));
    EXPECT_EQ(SendSkinCommand(fForm, scGetApplication), LRESULT(Application));
  }
}

TEST_F(ProviderTest, AProviderGivenAnythingButAFormRefuses) {
  TComponent owner(nullptr);
  try {
    TsSkinProvider provider(&owner);
    FAIL() << "made a provider for a component";
  } catch (const EAbort& e) {
    EXPECT_STREQ(e.what(), "TsSkinProvider component may be used with forms only!");
  }
}

TEST_F(ProviderTest, AFreedProviderGivesTheFormItsProcedureBack) {
  const auto framed = [&] { return std::count(FramedForms.begin(), FramedForms.end(), fForm); };
  ASSERT_EQ(framed(), 1);
  TComponent::Free(fProvider);
  EXPECT_EQ(framed(), 0);
  EXPECT_EQ(SendSkinCommand(fForm, scGetProvider), 0);
  // The form still handles its messages.
  fForm->SetCaption("after");
  EXPECT_EQ(GetWindowTextW(fForm->Handle()), "after");
}

// A paint request of a form with a plain FORM section repaints the whole
// client area in the section's colour: the erase runs inside a real paint.
TEST_F(ProviderTest, APaintRequestOfAPlainFrameRepaintsTheClientArea) {
  constexpr TColor plain = 0x00306090;
  auto& skin = fManager->InternalSkins.Add();
  skin.SetName("Plain");
  skin.ReadData(PackSkin(
      "[GLOBALINFO]\nCOLOR=12632256\n[FORM]\nSTATES=1\nCOLOR=" + std::to_string(plain) + "\n", {}));
  fManager->SetSkinName("Plain");
  PumpUntilIdle();
  ASSERT_TRUE(fProvider->Skinned());
  ASSERT_FALSE(fProvider->SkinData().HasOwnBackground());
  // Stale pixels all over the client area, then a paint request for a small
  // part of it that asks for no erasing.
  HDC dc = GetDC(fForm->Handle());
  HBRUSH black = CreateSolidBrush(0);
  const RECT client = fForm->ClientRect();
  FillRect(dc, &client, black);
  DeleteObject(black);
  ReleaseDC(fForm->Handle(), dc);
  const RECT part{10, 10, 20, 20};
  InvalidateRect(fForm->Handle(), &part, FALSE);
  PumpUntilIdle();
  const Bitmap window = CaptureWindow(fForm->Handle());
  const TPoint origin = fForm->ClientOrigin();
  RECT r{};
  GetWindowRect(fForm->Handle(), &r);
  int wrong = 0;
  for (int y = 0; y < fForm->ClientHeight(); ++y)
    for (int x = 0; x < fForm->ClientWidth(); ++x)
      wrong += (window.Pixel(origin.X - r.Left + x, origin.Y - r.Top + y) & 0xFFFFFF) !=
               (raster::PixelOf(plain) & 0xFFFFFF);
  EXPECT_EQ(wrong, 0);
}

// A scrolling form's scroll adapter sits in front of the provider on the
// form's WindowProc. Taking the provider away must leave the form with its
// own procedure, never with one bound to the freed adapter or provider.
TEST_F(ProviderTest, TheScrollAdapterIsTakenOffBeforeTheProvider) {
  TForm* form = fApp->CreateForm<TForm>();
  form->SetBoundsRect({80, 80, 380, 280});
  SetWindowLongW(form->Handle(), GWL_STYLE, LONG(Style(form) | WS_VSCROLL));
  form->Show();
  PumpUntilIdle();
  TsSkinProvider* provider = TsSkinProvider::Of(form);
  ASSERT_NE(provider, nullptr);
  ASSERT_NE(provider->ScrollAdapter(), nullptr);
  EXPECT_EQ(fProvider->ScrollAdapter(), nullptr) << "a form that does not scroll has none";
  TComponent::Free(provider);
  EXPECT_EQ(SendSkinCommand(form, scGetProvider), 0);
  form->SetCaption("still served");
  EXPECT_EQ(GetWindowTextW(form->Handle()), "still served");
  TComponent::Free(form);
}

TEST_F(ProviderTest, ADestroyedFormLeavesTheFramedForms) {
  TForm* other = ShowForm({60, 60, 260, 160});
  ASSERT_NE(TsSkinProvider::Of(other), nullptr);
  TComponent::Free(fForm);
  PumpUntilIdle();
  EXPECT_EQ(std::count(FramedForms.begin(), FramedForms.end(), fForm), 0);
  EXPECT_EQ(FramedForms, std::vector<TForm*>{other});
  TComponent::Free(other);
  EXPECT_TRUE(FramedForms.empty());
}

// A stale frame cache is rebuilt before the frame answers what lies behind
// a child, or when asked to prepare its cache: the answer is the cache of the
// frame's present state.
TEST_F(ProviderTest, AStaleCacheIsRebuiltBeforeItIsUsed) {
  TsScrollWndData& data = fProvider->SkinData();
  PumpUntilIdle();
  ASSERT_FALSE(data.BGChanged);
  const Bitmap active = *data.CacheBmp();
  const auto ask = [&](WORD aCommand) {
    data.BGChanged = true;
    ParentBgInfo info;
    SendSkinCommand(fForm, aCommand, aCommand == scGetParentBg ? LPARAM(&info) : 0);
    EXPECT_FALSE(data.BGChanged);
    if (aCommand == scGetParentBg) {
      EXPECT_EQ(info.BgType, btCache);
      EXPECT_EQ(info.Bmp, data.CacheBmp());
    }
  };
  for (const WORD command : {scGetParentBg, scPrepareCache}) {
    SCOPED_TRACE(command);
    fProvider->RunState().SetActive(false);
    ask(command);
    EXPECT_FALSE(pixelcheck::SameBitmap(*data.CacheBmp(), active, "inactive differs"));
    fProvider->RunState().SetActive(true);
    ask(command);
    EXPECT_TRUE(pixelcheck::SameBitmap(*data.CacheBmp(), active, "active again"));
  }
}

// scRefreshFrame copies the frame from the cache to the window (rebuilding
// it first when asked with 1).
TEST_F(ProviderTest, RefreshFrameCopiesTheFrameToTheWindow) {
  PumpUntilIdle();
  RECT r{};
  GetWindowRect(fForm->Handle(), &r);
  const TRect band{0, 0, r.Right - r.Left, 6};
  for (const LPARAM rebuild : {LPARAM(0), LPARAM(1)}) {
    SCOPED_TRACE(rebuild);
    HDC dc = GetWindowDC(fForm->Handle());
    HBRUSH black = CreateSolidBrush(0);
    const RECT scribble = band;
    FillRect(dc, &scribble, black);
    DeleteObject(black);
    ReleaseDC(fForm->Handle(), dc);
    SendSkinCommand(fForm, scRefreshFrame, rebuild);
    const Bitmap window = CaptureWindow(fForm->Handle());
    const Bitmap& cache = *fProvider->SkinData().CacheBmp();
    // The corners the window region cuts away show nothing of the window.
    const Region shape = WindowRegion(fProvider->FrameForm(), fProvider->Cutouts());
    int wrong = 0;
    for (int y = band.Top; y < band.Bottom; ++y)
      for (int x = band.Left; x < band.Right; ++x)
        wrong +=
            shape.Contains({x, y}) && ((window.Pixel(x, y) ^ cache.Pixel(x, y)) & 0xFFFFFF) != 0;
    EXPECT_EQ(wrong, 0);
  }
}

} // namespace
