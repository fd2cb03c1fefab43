#pragma once
// A headless application with a skin manager holding a small test skin, and
// a panel-derived control that owns a TsCommonData, answers skin commands
// through it and paints its cache in one colour.

#include "SkinTestUtil.h"
#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sControlMessages.h"
#include "skin/paint/sSkinOwner.h"
#include "toolkit/Forms.h"
#include "toolkit/Panel.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

// Section colours of the test skin.
inline constexpr TColor kMainColor = 0x00C0C0C0;
inline constexpr TColor kPanelColor = 0x00204060;
inline constexpr TColor kHalfColor = 0x00808080;
inline constexpr TColor kEditColor = 0x00F0F0F0;
inline constexpr TColor kEditFont = 0x00101010;
inline constexpr TColor kEditHotColor = 0x00E0FFFF;
inline constexpr TColor kEditHotFont = 0x000000A0;

// PANEL: plain. BORDERED: plain with a 2/3/4/5 border mask. TRANSP: 100 %
// transparent. HALF: 50 % transparent. GRAD: a gradient (never plain).
// BLACK: plain black. EDIT: two states with their own colours.
inline std::string TestSkinOptions(TColor aEditColor = kEditColor) {
  return "[GLOBALINFO]\nCOLOR=" + std::to_string(kMainColor) +
         "\n"
         "[PANEL]\nSTATES=1\nCOLOR=" +
         std::to_string(kPanelColor) +
         "\n"
         "[BORDERED]\nSTATES=1\nCOLOR=" +
         std::to_string(kPanelColor) +
         "\nBORDERSMASK=!B.PNG!1!0!0!0002!0003!0004!0005!1\n"
         "[TRANSP]\nSTATES=1\nTRANSPARENCY=100\n"
         "[HALF]\nSTATES=1\nCOLOR=" +
         std::to_string(kHalfColor) +
         "\nTRANSPARENCY=50\n"
         "[GRAD]\nSTATES=1\nCOLOR=255\nGRADIENTPERCENT=100\nGRADIENTDATA=255;65280;100;1;0\n"
         "[BLACK]\nSTATES=1\nCOLOR=0\n"
         "[EDIT]\nSTATES=2\nCOLOR=" +
         std::to_string(aEditColor) + "\nFONTCOLOR=" + std::to_string(kEditFont) +
         "\nHOTCOLOR=" + std::to_string(kEditHotColor) +
         "\nHOTFONTCOLOR=" + std::to_string(kEditHotFont) + "\n";
}

class TsTestPanel : public TPanel {
public:
  explicit TsTestPanel(TComponent* aOwner, bool aWithCache = true)
      : TPanel(aOwner), SkinData(static_cast<TControl*>(this), aWithCache) {
    SkinData.COC = cocPanel;
  }
  std::string ClassName() const override { return "TsTestPanel"; }

  TsCommonData SkinData;
  // Colour of the cache; a control that cannot paint leaves it empty.
  TColor CacheColor = 0x00336699;
  bool CanPaint = true;
  // Skin commands received, by number.
  std::map<int, int> Received;
  int Paints = 0;

protected:
  void Loaded() override {
    TPanel::Loaded();
    SkinData.Loaded();
  }
  void WndProc(TMessage& aMessage) override {
    if (aMessage.Msg == platform::WM_PAINT)
      ++Paints;
    if (aMessage.Msg == SkinCommandMessage) {
      const TSkinCommand command(aMessage);
      ++Received[command.Command];
      if (command.Command == scPrepareCache && CanPaint && SkinData.CacheBmp() != nullptr) {
        SkinData.InitCacheBmp();
        FillRect32(*SkinData.CacheBmp(), SkinData.CacheBmp()->BoundsRect(), CacheColor);
      }
    }
    if (!HandleControlMessage(SkinData, aMessage))
      TPanel::WndProc(aMessage);
  }
};

// The window-frame owner of a TsCommonData, painting the frame of a form.
class TTestFrame : public TsFrameOwner {
public:
  explicit TTestFrame(TForm* aForm) : fForm(aForm) {}
  TForm* FramedForm() const override { return fForm; }
  bool PaintsCustomFrame() const override { return false; }
  std::string OwnerClassName() const override { return "TTestFrame"; }

private:
  TForm* fForm;
};

class SkinDataTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetSkinCommandLine({});
    fApp = std::make_unique<TApplication>();
    fApp->Initialize();
    fManager = std::make_unique<TsSkinManager>();
    AddSkin("S", TestSkinOptions());
    fManager->SetSkinName("S");
    fForm = fApp->CreateForm<TForm>();
    fForm->SetBounds(50, 50, 300, 200);
    fForm->Show();
    platform::PumpUntilIdle();
  }
  void TearDown() override {
    fApp.reset();
    fManager.reset();
    platform::PumpUntilIdle();
  }

  void AddSkin(const std::string& aName, const std::string& aOptions) {
    auto& skin = fManager->InternalSkins.Add();
    skin.SetName(aName);
    skin.ReadData(PackSkin(
        aOptions,
        {{"B.PNG", EncodePngBytes(MakeBitmap(9, 9, [](int, int) { return 0xFF000000u; }))}}));
  }

  // A loaded test panel on aParent with a section and bounds.
  TsTestPanel* Panel(TWinControl* aParent, const std::string& aSection, TRect aBounds,
                     bool aWithCache = true) {
    TsTestPanel* panel = nullptr;
    {
      TLoadingBracket bracket;
      panel = new TsTestPanel(aParent, aWithCache);
      panel->SetParent(aParent);
      panel->SetBoundsRect(aBounds);
      panel->SkinData.SetSkinSection(aSection);
    }
    platform::PumpUntilIdle();
    return panel;
  }

  std::unique_ptr<TApplication> fApp;
  std::unique_ptr<TsSkinManager> fManager;
  TForm* fForm = nullptr;
};
