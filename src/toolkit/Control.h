#pragma once
// Controls: bounds, alignment and anchors, visibility, enabled state, caption,
// font and colour (each optionally taken from the parent), and the window
// procedure through which every message and notification of the control
// passes. TGraphicControl is windowless and painted by its parent.

#include "platform/Types.h"
#include "toolkit/Component.h"
#include "toolkit/Font.h"
#include "toolkit/Messages.h"
#include "toolkit/Sets.h"

#include <functional>
#include <string>

class TWinControl;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;

enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
using enum TAnchorKind;

enum class TControlStateFlag {
  csLButtonDown,
  csClicked,
  csFocusing,
  csCreating,
  csRecreating,
  csAligning,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csAlignmentNeeded,
};
using TControlState = TSet<TControlStateFlag>;
using enum TControlStateFlag;

enum class TControlStyleFlag {
  csAcceptsControls,
  csCaptureMouse,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csParentBackground,
};
using TControlStyle = TSet<TControlStyleFlag>;
using enum TControlStyleFlag;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

enum class TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
using enum TShiftStateFlag;

using TMouseEvent =
    std::function<void(TObject* aSender, TMouseButton aButton, TShiftState aShift, int aX, int aY)>;
using TMouseMoveEvent = std::function<void(TObject* aSender, TShiftState aShift, int aX, int aY)>;
using TKeyEvent = std::function<void(TObject* aSender, platform::WORD& aKey, TShiftState aShift)>;
using TKeyPressEvent = std::function<void(TObject* aSender, char& aKey)>;

// The procedure through which a control's messages pass. Placing another one
// in front: keep the current one, install a new one that calls it.
using TWndMethod = std::function<void(TMessage& aMessage)>;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* aOwner);
  ~TControl() override;

  std::string ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return fParent; }
  virtual void SetParent(TWinControl* aParent);

  // Whether the control has a window of its own; windowless controls are
  // painted by their parent's window. TWinControl answers true (and only it
  // and its descendants may).
  virtual bool IsWindowed() const { return false; }
  // The control as a windowed control, or nullptr when it has no window.
  TWinControl* AsWindowed();

  int Left() const { return fLeft; }
  int Top() const { return fTop; }
  int Width() const { return fWidth; }
  int Height() const { return fHeight; }
  void SetLeft(int aValue) { SetBounds(aValue, fTop, fWidth, fHeight); }
  void SetTop(int aValue) { SetBounds(fLeft, aValue, fWidth, fHeight); }
  void SetWidth(int aValue) { SetBounds(fLeft, fTop, aValue, fHeight); }
  void SetHeight(int aValue) { SetBounds(fLeft, fTop, fWidth, aValue); }
  // Position relative to the parent's client area; sizes below 0 become 0.
  virtual void SetBounds(int aLeft, int aTop, int aWidth, int aHeight);
  TRect BoundsRect() const { return Bounds(fLeft, fTop, fWidth, fHeight); }
  void SetBoundsRect(const TRect& aRect);

  // The client area in the control's own coordinates.
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int aWidth, int aHeight);
  void SetClientWidth(int aValue) { SetClientSize(aValue, ClientHeight()); }
  void SetClientHeight(int aValue) { SetClientSize(ClientWidth(), aValue); }
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint aPoint) const;
  TPoint ScreenToClient(TPoint aPoint) const;

  TAlign Align() const { return fAlign; }
  void SetAlign(TAlign aAlign);
  const TAnchors& Anchors() const { return fAnchors; }
  void SetAnchors(const TAnchors& aAnchors);

  bool Visible() const { return fVisible; }
  void SetVisible(bool aVisible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to a top-level control showing.
  virtual bool Showing() const;

  bool Enabled() const { return fEnabled; }
  virtual void SetEnabled(bool aEnabled);

  // Caption and Text are the same string (Caption for labels and panels).
  const std::string& Text() const { return fText; }
  void SetText(const std::string& aText);
  const std::string& Caption() const { return fText; }
  void SetCaption(const std::string& aText) { SetText(aText); }

  TFont& Font() { return fFont; }
  const TFont& Font() const { return fFont; }
  void SetFont(const TFont& aFont) { fFont.Assign(aFont); }
  bool ParentFont() const { return fParentFont; }
  void SetParentFont(bool aValue);
  TColor Color() const { return fColor; }
  void SetColor(TColor aColor);
  bool ParentColor() const { return fParentColor; }
  void SetParentColor(bool aValue);

  const std::string& Hint() const { return fHint; }
  void SetHint(const std::string& aHint) { fHint = aHint; }

  const TControlState& ControlState() const { return fControlState; }
  const TControlStyle& ControlStyle() const { return fControlStyle; }

  // Sends a message through WindowProc and returns its result.
  platform::LRESULT Perform(platform::UINT aMsg, platform::WPARAM aWParam = 0,
                            platform::LPARAM aLParam = 0);
  // The procedure messages pass through; initially calls WndProc.
  TWndMethod WindowProc;
  // The control's own message handling; overrides call the inherited one for
  // what they do not handle.
  virtual void WndProc(TMessage& aMessage);
  // Where messages nobody handled go.
  virtual void DefaultHandler(TMessage& aMessage);

  // Marks the control's area for repainting.
  virtual void Invalidate();
  // Paints pending invalid areas now.
  virtual void Update();
  // Invalidate and Update.
  virtual void Repaint();

  virtual void Click();
  void BringToFront();
  void SendToBack();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // The anchors' reference: the bounds and the parent's client size when the
  // bounds were last set by hand (not by alignment or anchoring).
  void UpdateAnchorRules();

protected:
  friend class TWinControl;

  void Loaded() override;
  // The bounds changed; windowed controls move their window.
  virtual void BoundsChanged() {}
  // Asks the parent to lay its children out again (when aligned or anchored).
  void RequestAlign();
  // Sets bounds from the parent's alignment without touching anchor rules.
  void SetAlignedBounds(const TRect& aRect);

  virtual void MouseDown(TMouseButton aButton, TShiftState aShift, int aX, int aY);
  virtual void MouseUp(TMouseButton aButton, TShiftState aShift, int aX, int aY);
  virtual void MouseMove(TShiftState aShift, int aX, int aY);

  // Message handlers of TControl's dispatch.
  virtual void WMMouse(TMessage& aMessage);
  virtual void CMEnabledChanged(TMessage& aMessage);
  virtual void CMVisibleChanged(TMessage& aMessage);
  virtual void CMFontChanged(TMessage& aMessage);
  virtual void CMColorChanged(TMessage& aMessage);
  virtual void CMTextChanged(TMessage& aMessage);
  virtual void CMParentFontChanged(TMessage& aMessage);
  virtual void CMParentColorChanged(TMessage& aMessage);
  virtual void CMMouseEnter(TMessage& aMessage);
  virtual void CMMouseLeave(TMessage& aMessage);

  void FontChanged(TObject* aSender);

  // The state and style flags, for descendants to change.
  TControlState& ControlStateRef() { return fControlState; }
  TControlStyle& ControlStyleRef() { return fControlStyle; }

  int fLeft = 0;
  int fTop = 0;
  int fWidth = 0;
  int fHeight = 0;

private:
  TControlState fControlState;
  TControlStyle fControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TWinControl* fParent = nullptr;
  TAlign fAlign = alNone;
  TAnchors fAnchors{akLeft, akTop};
  TRect fAnchorRect;
  TSize fAnchorParentSize;
  bool fVisible = true;
  bool fEnabled = true;
  std::string fText;
  TFont fFont;
  bool fParentFont = true;
  TColor fColor = clWindow;
  bool fParentColor = false;
  bool fSettingParentFont = false;
  std::string fHint;
};
