#include "platform/host/X11Host.h"

#include "platform/gfx/Enlarge.h"
#include "platform/gfx/SystemColors.h"
#include "platform/host/DisplayScale.h"
#include "platform/host/X11Codes.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "platform/win/Layered.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/Window.h"

// Xlib after the layer's headers: it defines macros such as None and Status.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>

namespace platform {

namespace {

// X errors of requests about windows that went away meanwhile are expected;
// the default handler would end the process.
int gLastXError = 0;
int IgnoreXError(Display*, XErrorEvent* aEvent) {
  gLastXError = aEvent->error_code;
  return 0;
}

// Rounded down, also below zero.
int FloorDiv(int aValue, int aBy) {
  return aValue >= 0 ? aValue / aBy : -((-aValue + aBy - 1) / aBy);
}

int CeilDiv(int aValue, int aBy) {
  return -FloorDiv(-aValue, aBy);
}

// The X resource Xft.dpi the desktop set on the display; empty when unset.
std::string XftDpi(Display* aDpy) {
  const char* resources = XResourceManagerString(aDpy);
  if (!resources)
    return {};
  XrmInitialize();
  XrmDatabase db = XrmGetStringDatabase(resources);
  if (!db)
    return {};
  char* type = nullptr;
  XrmValue value{};
  std::string dpi;
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) == True && value.addr)
    dpi.assign(value.addr, strnlen(value.addr, value.size));
  XrmDestroyDatabase(db);
  return dpi;
}

} // namespace

struct X11Host::Impl {
  Display* Dpy = nullptr;
  int Screen = 0;
  ::Window Root = 0;
  Visual* DefaultVisual = nullptr;
  int DefaultDepth = 24;
  Visual* ArgbVisual = nullptr;
  bool Shm = false;
  bool Shape = false;
  bool Compositor = false;
  bool WmMoveResize = false;
  // Every window shows enlarged by this factor; the layer's coordinates are
  // the X coordinates divided by it.
  int Scale = 1;
  Atom WmProtocols = 0, WmDelete = 0, NetMoveResize = 0, NetWmType = 0, NetWmTypeUtility = 0,
       NetWmTypeNormal = 0, NetWmState = 0, NetSkipTaskbar = 0, NetOpacity = 0, MotifHints = 0,
       NetWmName = 0, Utf8String = 0, NetWorkArea = 0, NetCurrentDesktop = 0;
  int (*PreviousHandler)(Display*, XErrorEvent*) = nullptr;

  struct Native {
    ::Window Win = 0;
    GC Gc = nullptr;
    Visual* Vis = nullptr;
    int Depth = 24;
    XImage* ShmImage = nullptr;
    XShmSegmentInfo ShmInfo{};
    bool Mapped = false;
    TRect Rect;
    BYTE Opacity = 255;
    std::string Title;
    // A popup menu: placed and stacked by us, not by the window manager, and
    // holding the pointer while it shows, so a click anywhere reaches it.
    bool PopupMenu = false;
  };
  std::map<HWND, Native> Windows;
  std::map<::Window, HWND> ByX;
  std::vector<::Window> Stacking;
  std::map<int, Cursor> Cursors; // font cursors by IDC_* number
  HWND FocusFromX = nullptr;

  // From the layer's pixels to the screen's, and back.
  TRect ToScreen(const TRect& aRect) const {
    return {aRect.Left * Scale, aRect.Top * Scale, aRect.Right * Scale, aRect.Bottom * Scale};
  }
  POINT FromScreen(int aX, int aY) const { return {FloorDiv(aX, Scale), FloorDiv(aY, Scale)}; }
  // The layer's pixels that cover a part of the screen.
  TRect CoveringScreen(const TRect& aRect) const {
    return {FloorDiv(aRect.Left, Scale), FloorDiv(aRect.Top, Scale), CeilDiv(aRect.Right, Scale),
            CeilDiv(aRect.Bottom, Scale)};
  }

  HWND FindWnd(::Window aWin) const {
    auto it = ByX.find(aWin);
    return it == ByX.end() ? nullptr : it->second;
  }

  void FreeShm(Native& aNative) {
    if (!aNative.ShmImage)
      return;
    XShmDetach(Dpy, &aNative.ShmInfo);
    XSync(Dpy, False);
    shmdt(aNative.ShmInfo.shmaddr);
    aNative.ShmImage->data = nullptr;
    XDestroyImage(aNative.ShmImage);
    aNative.ShmImage = nullptr;
  }

  // A shared image of the window's size; false when shared memory cannot be
  // used (the plain path is taken then).
  bool EnsureShm(Native& aNative, int aWidth, int aHeight) {
    if (!Shm)
      return false;
    if (aNative.ShmImage && aNative.ShmImage->width == aWidth &&
        aNative.ShmImage->height == aHeight)
      return true;
    FreeShm(aNative);
    XImage* image = XShmCreateImage(Dpy, aNative.Vis, unsigned(aNative.Depth), ZPixmap, nullptr,
                                    &aNative.ShmInfo, unsigned(aWidth), unsigned(aHeight));
    if (!image)
      return false;
    aNative.ShmInfo.shmid = shmget(
        IPC_PRIVATE, std::size_t(image->bytes_per_line) * std::size_t(aHeight), IPC_CREAT | 0600);
    if (aNative.ShmInfo.shmid < 0) {
      XDestroyImage(image);
      Shm = false;
      return false;
    }
    aNative.ShmInfo.shmaddr = static_cast<char*>(shmat(aNative.ShmInfo.shmid, nullptr, 0));
    image->data = aNative.ShmInfo.shmaddr;
    aNative.ShmInfo.readOnly = False;
    gLastXError = 0;
    XShmAttach(Dpy, &aNative.ShmInfo);
    XSync(Dpy, False);
    shmctl(aNative.ShmInfo.shmid, IPC_RMID, nullptr);
    if (gLastXError || aNative.ShmInfo.shmaddr == reinterpret_cast<char*>(-1)) {
      // A remote server cannot attach: use XPutImage from now on.
      if (aNative.ShmInfo.shmaddr != reinterpret_cast<char*>(-1))
        shmdt(aNative.ShmInfo.shmaddr);
      image->data = nullptr;
      XDestroyImage(image);
      Shm = false;
      return false;
    }
    aNative.ShmImage = image;
    return true;
  }

  void SetProperties(HWND aWnd, Native& aNative) {
    const DWORD ex = DWORD(GetWindowLongPtrW(aWnd, GWL_EXSTYLE));
    // No decorations: the layer draws the frame.
    struct {
      unsigned long Flags, Functions, Decorations;
      long InputMode;
      unsigned long State;
    } motif{2, 0, 0, 0, 0};
    XChangeProperty(Dpy, aNative.Win, MotifHints, MotifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motif), 5);
    Atom type = (ex & WS_EX_TOOLWINDOW) ? NetWmTypeUtility : NetWmTypeNormal;
    XChangeProperty(Dpy, aNative.Win, NetWmType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
    if ((ex & WS_EX_TOOLWINDOW) && !(ex & WS_EX_APPWINDOW))
      XChangeProperty(Dpy, aNative.Win, NetWmState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&NetSkipTaskbar), 1);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = (ex & WS_EX_NOACTIVATE) ? False : True;
    XSetWMHints(Dpy, aNative.Win, &hints);
    XSetWMProtocols(Dpy, aNative.Win, &WmDelete, 1);
    // The X class is the window class ("#32768" for popup menus).
    std::string className = GetClassNameW(aWnd);
    XClassHint classHint{className.data(), className.data()};
    XSetClassHint(Dpy, aNative.Win, &classHint);
    if (HWND owner = GetWindow(aWnd, GW_OWNER))
      if (auto it = Windows.find(owner); it != Windows.end())
        XSetTransientForHint(Dpy, aNative.Win, it->second.Win);
    // Click-through windows take no input at all.
    if (Shape && (ex & WS_EX_LAYERED) && (ex & WS_EX_TRANSPARENT))
      XShapeCombineRectangles(Dpy, aNative.Win, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
  }

  void Restack() {
    std::vector<::Window> order;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
      if (auto it = Windows.find(h); it != Windows.end() && it->second.Mapped)
        order.push_back(it->second.Win);
    if (order != Stacking && !order.empty()) {
      XRaiseWindow(Dpy, order.front());
      XRestackWindows(Dpy, order.data(), int(order.size()));
    }
    Stacking = order;
  }

  void PresentRect(HWND aWnd, const TRect& aArea) {
    const Bitmap* frame = TopLevelFrame(aWnd);
    if (!frame)
      return;
    Region area(aArea);
    Present(aWnd, *frame, area);
  }

  void Present(HWND aWnd, const Bitmap& aFrame, const Region& aDirty) {
    auto it = Windows.find(aWnd);
    if (it == Windows.end() || aFrame.Empty() || !it->second.Mapped)
      return;
    Native& n = it->second;
    const TRect area = aDirty.Bounds().Intersect(aFrame.BoundsRect());
    if (area.IsEmpty())
      return;
    const TRect screen = ToScreen(area);
    if (EnsureShm(n, aFrame.Width() * Scale, aFrame.Height() * Scale)) {
      char* at = n.ShmImage->data + std::ptrdiff_t(screen.Top) * n.ShmImage->bytes_per_line +
                 std::ptrdiff_t(screen.Left) * 4;
      EnlargeInto(aFrame, area, Scale, reinterpret_cast<std::uint32_t*>(at),
                  n.ShmImage->bytes_per_line);
      XShmPutImage(Dpy, n.Win, n.Gc, n.ShmImage, screen.Left, screen.Top, screen.Left, screen.Top,
                   unsigned(screen.Width()), unsigned(screen.Height()), False);
      // The segment is reused for the next frame: let the server read it first.
      XSync(Dpy, False);
      return;
    }
    // Unscaled, the image is the frame itself; scaled, the enlarged area.
    std::vector<std::uint32_t> enlarged;
    const char* pixels = reinterpret_cast<const char*>(aFrame.ScanLine(0));
    TSize size{aFrame.Width(), aFrame.Height()};
    TPoint from{area.Left, area.Top};
    if (Scale > 1) {
      enlarged.resize(std::size_t(screen.Width()) * std::size_t(screen.Height()));
      EnlargeInto(aFrame, area, Scale, enlarged.data(), std::ptrdiff_t(screen.Width()) * 4);
      pixels = reinterpret_cast<const char*>(enlarged.data());
      size = {screen.Width(), screen.Height()};
      from = {0, 0};
    }
    XImage* image =
        XCreateImage(Dpy, n.Vis, unsigned(n.Depth), ZPixmap, 0, const_cast<char*>(pixels),
                     unsigned(size.cx), unsigned(size.cy), 32, size.cx * 4);
    if (!image)
      return;
    // The frame's rows are BGRA bytes, i.e. 32-bit pixels stored low byte
    // first; Xlib converts when the server wants another order.
    image->byte_order = LSBFirst;
    XPutImage(Dpy, n.Win, n.Gc, image, from.X, from.Y, screen.Left, screen.Top,
              unsigned(screen.Width()), unsigned(screen.Height()));
    image->data = nullptr;
    XDestroyImage(image);
    XFlush(Dpy);
  }

  void MouseEvent(int aButton, bool aDown, int aX, int aY) {
    const POINT at = FromScreen(aX, aY);
    switch (aButton) {
    case Button1:
      InputMouseButton(MouseButton::Left, aDown, at);
      break;
    case Button2:
      InputMouseButton(MouseButton::Middle, aDown, at);
      break;
    case Button3:
      InputMouseButton(MouseButton::Right, aDown, at);
      break;
    case Button4:
    case Button5:
      if (aDown)
        InputMouseWheel(aButton == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, at);
      break;
    }
  }

  void KeyEvent(XKeyEvent& aEvent) {
    char text[8] = {};
    KeySym sym = 0;
    const int n = XLookupString(&aEvent, text, sizeof text, &sym, nullptr);
    // Latin-1 text maps one to one onto Unicode.
    const char32_t ch = n == 1 ? char32_t(static_cast<unsigned char>(text[0])) : 0;
    InputKey(VirtualKey(sym), aEvent.type == KeyPress, ch);
  }

  void FocusGained(HWND aWnd, const XFocusChangeEvent& aEvent) {
    if (!aWnd || aEvent.mode != NotifyNormal)
      return;
    FocusFromX = aWnd;
    if (GetActiveWindow() != aWnd)
      SetActiveWindow(aWnd);
  }

  // The application loses the focus only when it went to no window of ours.
  void FocusLost(HWND aWnd, const XFocusChangeEvent& aEvent) {
    if (!aWnd || aEvent.mode != NotifyNormal || aEvent.detail == NotifyInferior)
      return;
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(Dpy, &focus, &revert);
    if (!FindWnd(focus)) {
      FocusFromX = nullptr;
      InputAppFocus(false);
    }
  }

  // The window manager moved or sized the window: the layer's window follows.
  void Configured(HWND aWnd, const XConfigureEvent& aEvent) {
    if (!aWnd)
      return;
    auto& n = Windows[aWnd];
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(Dpy, n.Win, Root, 0, 0, &x, &y, &child);
    // A size the window manager chose that is no multiple of the scale
    // is covered whole; its last pixels are cut off by the X window.
    const POINT at = FromScreen(x, y);
    const TRect now =
        Bounds(at.X, at.Y, CeilDiv(aEvent.width, Scale), CeilDiv(aEvent.height, Scale));
    RECT layer;
    GetWindowRect(aWnd, &layer);
    n.Rect = now;
    if (now != layer)
      SetWindowPos(aWnd, nullptr, now.Left, now.Top, now.Width(), now.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Handle(XEvent& aEvent) {
    const HWND wnd = FindWnd(aEvent.xany.window);
    switch (aEvent.type) {
    case MotionNotify:
      InputMouseMove(FromScreen(aEvent.xmotion.x_root, aEvent.xmotion.y_root));
      break;
    case ButtonPress:
    case ButtonRelease:
      MouseEvent(int(aEvent.xbutton.button), aEvent.type == ButtonPress, aEvent.xbutton.x_root,
                 aEvent.xbutton.y_root);
      break;
    case EnterNotify:
    case LeaveNotify:
      if (aEvent.xcrossing.mode == NotifyNormal)
        InputMouseMove(FromScreen(aEvent.xcrossing.x_root, aEvent.xcrossing.y_root));
      break;
    case KeyPress:
    case KeyRelease:
      KeyEvent(aEvent.xkey);
      break;
    case FocusIn:
      FocusGained(wnd, aEvent.xfocus);
      break;
    case FocusOut:
      FocusLost(wnd, aEvent.xfocus);
      break;
    case Expose:
      if (wnd)
        PresentRect(wnd, CoveringScreen(Bounds(aEvent.xexpose.x, aEvent.xexpose.y,
                                               aEvent.xexpose.width, aEvent.xexpose.height)));
      break;
    case ConfigureNotify:
      Configured(wnd, aEvent.xconfigure);
      break;
    case ClientMessage:
      if (wnd && aEvent.xclient.message_type == WmProtocols &&
          Atom(aEvent.xclient.data.l[0]) == WmDelete)
        PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    default:
      break;
    }
  }

  // The extensions, atoms, visuals and window manager abilities the host
  // uses.
  void QueryServer() {
    int major = 0, minor = 0;
    Bool pixmaps = False;
    // Asked by name first: Xlib prints a warning when the shared-memory calls
    // meet a server without the extension.
    int shmOpcode = 0, shmEvent = 0, shmError = 0;
    Shm = XQueryExtension(Dpy, "MIT-SHM", &shmOpcode, &shmEvent, &shmError) == True &&
          XShmQueryVersion(Dpy, &major, &minor, &pixmaps) == True;
    int event = 0, error = 0;
    Shape = XShapeQueryExtension(Dpy, &event, &error) == True;
    InternAtoms();
    // A compositor owns the selection of its screen.
    const std::string cm = "_NET_WM_CM_S" + std::to_string(Screen);
    Compositor = XGetSelectionOwner(Dpy, XInternAtom(Dpy, cm.c_str(), False)) != 0;
    ArgbVisual = FindArgbVisual();
    WmMoveResize = WindowManagerSupports(NetMoveResize);
  }

  void InternAtoms() {
    auto atom = [this](const char* aName) { return XInternAtom(Dpy, aName, False); };
    WmProtocols = atom("WM_PROTOCOLS");
    WmDelete = atom("WM_DELETE_WINDOW");
    NetMoveResize = atom("_NET_WM_MOVERESIZE");
    NetWmType = atom("_NET_WM_WINDOW_TYPE");
    NetWmTypeUtility = atom("_NET_WM_WINDOW_TYPE_UTILITY");
    NetWmTypeNormal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    NetWmState = atom("_NET_WM_STATE");
    NetSkipTaskbar = atom("_NET_WM_STATE_SKIP_TASKBAR");
    NetOpacity = atom("_NET_WM_WINDOW_OPACITY");
    MotifHints = atom("_MOTIF_WM_HINTS");
    NetWmName = atom("_NET_WM_NAME");
    Utf8String = atom("UTF8_STRING");
    NetWorkArea = atom("_NET_WORKAREA");
    NetCurrentDesktop = atom("_NET_CURRENT_DESKTOP");
  }

  // A 32-bit true-colour visual for windows with per-pixel alpha, or nullptr.
  Visual* FindArgbVisual() const {
    XVisualInfo want{};
    want.screen = Screen;
    want.depth = 32;
    want.c_class = TrueColor;
    int count = 0;
    Visual* found = nullptr;
    if (XVisualInfo* infos = XGetVisualInfo(
            Dpy, VisualScreenMask | VisualDepthMask | VisualClassMask, &want, &count)) {
      if (count > 0)
        found = infos[0].visual;
      XFree(infos);
    }
    return found;
  }

  // Whether the window manager lists the atom in _NET_SUPPORTED.
  bool WindowManagerSupports(Atom aAtom) const {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool supported = false;
    if (XGetWindowProperty(Dpy, Root, XInternAtom(Dpy, "_NET_SUPPORTED", False), 0, 4096, False,
                           XA_ATOM, &type, &format, &items, &after, &data) == Success &&
        data) {
      const Atom* atoms = reinterpret_cast<const Atom*>(data);
      supported = std::find(atoms, atoms + items, aAtom) != atoms + items;
      XFree(data);
    }
    return supported;
  }
};

X11Host::X11Host(std::unique_ptr<Impl> aImpl) : fImpl(std::move(aImpl)) {}

std::unique_ptr<X11Host> X11Host::Open(const char* aDisplay, std::string& aError, int aScale) {
  Display* dpy = XOpenDisplay(aDisplay && *aDisplay ? aDisplay : nullptr);
  if (!dpy) {
    const char* name = aDisplay && *aDisplay ? aDisplay : std::getenv("DISPLAY");
    aError = std::string("cannot open X display \"") + (name ? name : "") + "\"";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->Dpy = dpy;
  impl->Screen = DefaultScreen(dpy);
  impl->Root = RootWindow(dpy, impl->Screen);
  impl->DefaultVisual = DefaultVisual(dpy, impl->Screen);
  impl->DefaultDepth = DefaultDepth(dpy, impl->Screen);
  if (impl->DefaultDepth != 24 && impl->DefaultDepth != 32) {
    aError = "the X display needs a 24-bit or 32-bit true-colour visual";
    XCloseDisplay(dpy);
    return nullptr;
  }
  impl->PreviousHandler = XSetErrorHandler(IgnoreXError);
  impl->QueryServer();
  impl->Scale = aScale == AutoDisplayScale
                    ? ChooseDisplayScale(std::getenv("GDK_SCALE"), XftDpi(dpy).c_str())
                    : std::clamp(aScale, 1, MaxDisplayScale);
  SetScreenMetrics(DisplayWidth(dpy, impl->Screen) / impl->Scale,
                   DisplayHeight(dpy, impl->Screen) / impl->Scale);
  std::unique_ptr<X11Host> host(new X11Host(std::move(impl)));
  SetWindowHost(host.get());
  return host;
}

X11Host::~X11Host() {
  if (GetWindowHost() == this)
    SetWindowHost(nullptr);
  for (auto& [wnd, n] : fImpl->Windows) {
    fImpl->FreeShm(n);
    XFreeGC(fImpl->Dpy, n.Gc);
    XDestroyWindow(fImpl->Dpy, n.Win);
  }
  for (auto& [id, cursor] : fImpl->Cursors)
    XFreeCursor(fImpl->Dpy, cursor);
  XSync(fImpl->Dpy, False);
  XSetErrorHandler(fImpl->PreviousHandler);
  XCloseDisplay(fImpl->Dpy);
}

TSize X11Host::ScreenSize() const {
  return {DisplayWidth(fImpl->Dpy, fImpl->Screen) / fImpl->Scale,
          DisplayHeight(fImpl->Dpy, fImpl->Screen) / fImpl->Scale};
}

int X11Host::Scale() const {
  return fImpl->Scale;
}

namespace {

// The CARDINAL values of a root window property; empty when it is not set.
std::vector<long> RootCardinals(Display* aDpy, ::Window aRoot, Atom aProperty) {
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(aDpy, aRoot, aProperty, 0, 1024, False, XA_CARDINAL, &type, &format,
                         &items, &after, &data) == Success &&
      data) {
    // Format 32 data comes as longs.
    if (type == XA_CARDINAL && format == 32)
      values.assign(reinterpret_cast<const long*>(data),
                    reinterpret_cast<const long*>(data) + items);
    XFree(data);
  }
  return values;
}

} // namespace

TRect X11Host::WorkArea() const {
  // The window manager publishes the work area per desktop in _NET_WORKAREA
  // (x, y, width, height each); without one it is the whole screen.
  const TSize screen = ScreenSize();
  const TRect whole{0, 0, screen.cx, screen.cy};
  const int scale = fImpl->Scale;
  Display* dpy = fImpl->Dpy;
  const std::vector<long> areas = RootCardinals(dpy, fImpl->Root, fImpl->NetWorkArea);
  const std::vector<long> current = RootCardinals(dpy, fImpl->Root, fImpl->NetCurrentDesktop);
  std::size_t desktop = current.empty() ? 0 : std::size_t(current[0]);
  if ((desktop + 1) * 4 > areas.size())
    desktop = 0;
  if (areas.size() < 4)
    return whole;
  const long* a = &areas[desktop * 4];
  // The layer's pixels that lie wholly inside the area.
  const TRect area{CeilDiv(int(a[0]), scale), CeilDiv(int(a[1]), scale),
                   FloorDiv(int(a[0] + a[2]), scale), FloorDiv(int(a[1] + a[3]), scale)};
  const TRect inside{std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, screen.cx),
                     std::min(area.Bottom, screen.cy)};
  if (inside.Right <= inside.Left || inside.Bottom <= inside.Top)
    return whole;
  return inside;
}

bool X11Host::LayeredSupported() const {
  return fImpl->Compositor && fImpl->ArgbVisual;
}

void X11Host::WindowCreated(HWND aWnd) {
  Impl& x = *fImpl;
  if (x.Windows.count(aWnd))
    return;
  RECT r;
  GetWindowRect(aWnd, &r);
  Impl::Native n;
  n.Rect = r;
  const DWORD ex = DWORD(GetWindowLongPtrW(aWnd, GWL_EXSTYLE));
  XSetWindowAttributes attrs{};
  unsigned long mask = CWEventMask | CWBackPixel | CWBorderPixel;
  attrs.background_pixel = 0;
  attrs.border_pixel = 0;
  attrs.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                     PointerMotionMask | EnterWindowMask | LeaveWindowMask | KeyPressMask |
                     KeyReleaseMask | FocusChangeMask;
  n.Vis = x.DefaultVisual;
  n.Depth = x.DefaultDepth;
  n.PopupMenu = GetClassNameW(aWnd) == PopupMenuClassName;
  if (n.PopupMenu) {
    attrs.override_redirect = True;
    mask |= CWOverrideRedirect;
  }
  if ((ex & WS_EX_LAYERED) && LayeredSupported()) {
    n.Vis = x.ArgbVisual;
    n.Depth = 32;
    attrs.colormap = XCreateColormap(x.Dpy, x.Root, n.Vis, AllocNone);
    mask |= CWColormap;
  }
  const TRect screen = x.ToScreen(r);
  n.Win = XCreateWindow(
      x.Dpy, x.Root, screen.Left, screen.Top, unsigned(std::max(screen.Width(), 1)),
      unsigned(std::max(screen.Height(), 1)), 0, n.Depth, InputOutput, n.Vis, mask, &attrs);
  n.Gc = XCreateGC(x.Dpy, n.Win, 0, nullptr);
  XSizeHints size{};
  size.flags = USPosition | USSize | PPosition | PSize;
  size.x = screen.Left;
  size.y = screen.Top;
  size.width = screen.Width();
  size.height = screen.Height();
  XSetWMNormalHints(x.Dpy, n.Win, &size);
  x.SetProperties(aWnd, n);
  x.ByX[n.Win] = aWnd;
  x.Windows[aWnd] = n;
  ShapeChanged(aWnd);
  WindowChanged(aWnd);
}

void X11Host::WindowDestroyed(HWND aWnd) {
  Impl& x = *fImpl;
  auto it = x.Windows.find(aWnd);
  if (it == x.Windows.end())
    return;
  x.FreeShm(it->second);
  if (it->second.PopupMenu && it->second.Mapped)
    XUngrabPointer(x.Dpy, CurrentTime);
  XFreeGC(x.Dpy, it->second.Gc);
  XDestroyWindow(x.Dpy, it->second.Win);
  x.ByX.erase(it->second.Win);
  x.Windows.erase(it);
  if (x.FocusFromX == aWnd)
    x.FocusFromX = nullptr;
  XFlush(x.Dpy);
}

void X11Host::WindowChanged(HWND aWnd) {
  Impl& x = *fImpl;
  auto it = x.Windows.find(aWnd);
  if (it == x.Windows.end())
    return;
  Impl::Native& n = it->second;
  RECT r;
  GetWindowRect(aWnd, &r);
  // A minimized window is unmapped where it was; its parking place off the
  // screen is the layer's own.
  if (r != n.Rect && r.Width() > 0 && r.Height() > 0 && !IsIconic(aWnd)) {
    const TRect screen = x.ToScreen(r);
    XMoveResizeWindow(x.Dpy, n.Win, screen.Left, screen.Top, unsigned(screen.Width()),
                      unsigned(screen.Height()));
    n.Rect = r;
  }
  if (std::string title = GetWindowTextW(aWnd); title != n.Title) {
    n.Title = std::move(title);
    XStoreName(x.Dpy, n.Win, n.Title.c_str());
    // Window managers read the UTF-8 title from _NET_WM_NAME.
    XChangeProperty(x.Dpy, n.Win, x.NetWmName, x.Utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(n.Title.data()), int(n.Title.size()));
  }
  const bool show = IsWindowVisible(aWnd) && !IsIconic(aWnd);
  if (show && !n.Mapped) {
    XMapWindow(x.Dpy, n.Win);
    n.Mapped = true;
    if (n.PopupMenu)
      XGrabPointer(x.Dpy, n.Win, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                   GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  } else if (!show && n.Mapped) {
    XUnmapWindow(x.Dpy, n.Win);
    n.Mapped = false;
    if (n.PopupMenu)
      XUngrabPointer(x.Dpy, CurrentTime);
  }
  const LayerInfo layer = GetLayerInfo(aWnd);
  const BYTE opacity = layer.Layered ? layer.Alpha : 255;
  if (opacity != n.Opacity) {
    n.Opacity = opacity;
    if (opacity == 255) {
      XDeleteProperty(x.Dpy, n.Win, x.NetOpacity);
    } else {
      unsigned long value = (0xFFFFFFFFul / 255) * opacity;
      XChangeProperty(x.Dpy, n.Win, x.NetOpacity, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&value), 1);
    }
  }
  x.Restack();
  XFlush(x.Dpy);
}

void X11Host::ShapeChanged(HWND aWnd) {
  Impl& x = *fImpl;
  auto it = x.Windows.find(aWnd);
  if (it == x.Windows.end() || !x.Shape)
    return;
  Region shape;
  if (GetWindowRgn(aWnd, &shape) == ERROR) {
    XShapeCombineMask(x.Dpy, it->second.Win, ShapeBounding, 0, 0, 0, ShapeSet);
  } else {
    std::vector<XRectangle> rects;
    for (const TRect& band : shape.Rects()) {
      const TRect r = x.ToScreen(band);
      rects.push_back(
          {short(r.Left), short(r.Top), (unsigned short)(r.Width()), (unsigned short)(r.Height())});
    }
    XShapeCombineRectangles(x.Dpy, it->second.Win, ShapeBounding, 0, 0, rects.data(),
                            int(rects.size()), ShapeSet, YXBanded);
  }
  XFlush(x.Dpy);
}

void X11Host::Present(HWND aWnd, const Bitmap& aFrame, const Region& aDirty) {
  fImpl->Present(aWnd, aFrame, aDirty);
}

void X11Host::CursorChanged(HWND aWnd, HCURSOR aCursor) {
  Impl& x = *fImpl;
  auto it = x.Windows.find(aWnd);
  if (it == x.Windows.end())
    return;
  const int id = CursorId(aCursor);
  Cursor& cursor = x.Cursors[id];
  if (!cursor)
    cursor = XCreateFontCursor(x.Dpy, FontCursorOf(id));
  XDefineCursor(x.Dpy, it->second.Win, cursor);
  XFlush(x.Dpy);
}

void X11Host::Activated(HWND aWnd) {
  Impl& x = *fImpl;
  auto it = x.Windows.find(aWnd);
  if (it == x.Windows.end() || !it->second.Mapped || x.FocusFromX == aWnd)
    return;
  XSetInputFocus(x.Dpy, it->second.Win, RevertToParent, CurrentTime);
  XFlush(x.Dpy);
}

bool X11Host::BeginMoveSize(HWND aWnd, LRESULT aHit) {
  Impl& x = *fImpl;
  auto it = x.Windows.find(aWnd);
  const long direction = MoveResizeDirection(aHit);
  if (!x.WmMoveResize || it == x.Windows.end() || direction < 0)
    return false;
  POINT at;
  GetCursorPos(&at);
  XUngrabPointer(x.Dpy, CurrentTime);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = it->second.Win;
  ev.xclient.message_type = x.NetMoveResize;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = at.X * x.Scale;
  ev.xclient.data.l[1] = at.Y * x.Scale;
  ev.xclient.data.l[2] = direction;
  ev.xclient.data.l[3] = Button1;
  ev.xclient.data.l[4] = 1;
  XSendEvent(x.Dpy, x.Root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XFlush(x.Dpy);
  // The window manager takes the button; the layer sees it released.
  InputMouseButton(MouseButton::Left, false, at);
  return true;
}

bool X11Host::ProcessEvents() {
  Impl& x = *fImpl;
  bool any = false;
  while (XPending(x.Dpy) > 0) {
    XEvent ev;
    XNextEvent(x.Dpy, &ev);
    x.Handle(ev);
    any = true;
  }
  return any;
}

void X11Host::Wait(int aWakeFd, int aTimeoutMs) {
  Impl& x = *fImpl;
  XFlush(x.Dpy);
  if (XPending(x.Dpy) == 0) {
    pollfd fds[2] = {{ConnectionNumber(x.Dpy), POLLIN, 0}, {aWakeFd, POLLIN, 0}};
    poll(fds, 2, aTimeoutMs);
  }
  ProcessEvents();
}

unsigned long X11Host::NativeWindow(HWND aWnd) const {
  auto it = fImpl->Windows.find(aWnd);
  return it == fImpl->Windows.end() ? 0 : it->second.Win;
}

bool X11Host::UsesSharedMemory() const {
  return fImpl->Shm;
}

void X11Host::Sync() {
  XSync(fImpl->Dpy, False);
}

} // namespace platform
