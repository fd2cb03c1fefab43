#pragma once
// Window animations: the pictures of showing, hiding and minimizing a form,
// each a run of frames (where the form's image is shown, how opaque) put on
// a layered cover. Frames are computed by pure functions. A running hide or
// minimize animation ticks on one timer of the user-interface thread's
// message loop (SetTimer, every FrameTime milliseconds) shared by all running
// animations; the show animation runs its frames at once, as the form waits
// for it. User-interface thread only.

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"
#include "skin/frame/qcLayeredCover.h"

#include <functional>
#include <memory>
#include <vector>

// Every frame lasts at least this long (milliseconds).
constexpr int FrameTime = 12;

// One picture of an animation.
struct TqcAnimationFrame {
  TRect Rect;                   // where the image is drawn, stretched
  platform::BYTE Opacity = 255; // constant opacity of the cover
  friend bool operator==(const TqcAnimationFrame&, const TqcAnimationFrame&) = default;
};

// The number of frames of an animation of aTime milliseconds.
int AnimationSteps(int aTime);

// The show animation of an image of aSize (rectangles inside the image):
// none when aTime is below FrameTime, else Steps + 1 frames with the opacity
// growing by aBlendValue / Steps up to aBlendValue; with aMode 1 the image
// grows from a rectangle inset by an eighth of its size on each side,
// otherwise it is shown whole.
std::vector<TqcAnimationFrame> ShowAnimationFrames(int aTime, platform::BYTE aBlendValue, int aMode,
                                                   TSize aSize);
// The hide animation of a window at aRect (screen): Steps frames fading out
// from full opacity; with aMode 1 the image also shrinks towards the centre
// by an eighth of its size on each side.
std::vector<TqcAnimationFrame> HideAnimationFrames(int aTime, int aMode, const TRect& aRect);
// The minimize animation: Steps frames moving and shrinking the image from
// aFrom to aTo (screen) while fading out.
std::vector<TqcAnimationFrame> MinimizeAnimationFrames(int aTime, const TRect& aFrom,
                                                       const TRect& aTo);
// Where a minimized window goes on this desktop: a caption-high strip at the
// bottom-left corner of the work area.
TRect MinimizedTarget(const TRect& aWorkArea, int aWidth, int aHeight);

// A run of frames of one image on a cover.
class TqcWindowAnimation {
public:
  // aFrames in screen coordinates (aOwner: the form it animates, for lookups).
  TqcWindowAnimation(platform::HWND aOwner, std::unique_ptr<TqcLayeredCover> aCover,
                     platform::Bitmap aImage, std::vector<TqcAnimationFrame> aFrames);

  platform::HWND Owner() const { return fOwner; }
  TqcLayeredCover& Cover() { return *fCover; }
  int FramesLeft() const { return int(fFrames.size() - fNext); }
  // Shows the next frame; false when none was left.
  bool Step();

  // Called after each frame with its index (tests watch the frames).
  std::function<void(int aIndex, const TqcAnimationFrame& aFrame)> OnFrame;
  // Called once when the last frame has been shown or the run is cut short.
  std::function<void()> OnFinished;

private:
  platform::HWND fOwner;
  std::unique_ptr<TqcLayeredCover> fCover;
  platform::Bitmap fImage;
  std::vector<TqcAnimationFrame> fFrames;
  std::size_t fNext = 0;
};

// Hands the animation to the shared timer, which shows one frame per tick and
// frees it after its last frame (after OnFinished). An animation without
// frames finishes at once.
void StartAnimation(std::unique_ptr<TqcWindowAnimation> aAnimation);
// Runs every frame now, each lasting at least FrameTime; the caller keeps the
// animation and its cover.
void RunAnimationNow(TqcWindowAnimation& aAnimation);
// The running animation of a form, or nullptr.
TqcWindowAnimation* RunningAnimation(platform::HWND aOwner);
// Ends the form's running animation at once (OnFinished runs); with
// aSilently its OnFinished is dropped first (the form is going away).
void StopAnimation(platform::HWND aOwner, bool aSilently = false);
// How many animations the shared timer drives.
int RunningAnimationCount();
