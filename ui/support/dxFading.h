#pragma once
// Fading: when an object changes between its normal and its hot look, its
// background cross-fades from the old look to the new one over a few frames.
// One process-wide fader keeps one fading element per object being faded,
// advances all of them from one 10 ms timer, blends the two images of each
// element pixel by pixel and hands the blended image back to the object's
// painting code. An object takes part by implementing IdxFadingObject.

#include "platform/Classes.h"
#include "platform/Handles.h"
#include "ui/support/cxButtonState.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/dxFadingPixels.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace telvora {

class TcxTimer;
class TdxFader;

// ---------------------------------------------------------------- constants

// The defaults of every fade that has no options of its own.
inline int dxFadeInDefaultAnimationFrameCount = 4;
inline int dxFadeInDefaultAnimationFrameDelay = 15;
inline int dxFadeOutDefaultAnimationFrameCount = 12;
inline int dxFadeOutDefaultAnimationFrameDelay = 20;

constexpr int dxFadeMaxAlpha = 255;
constexpr int dxFadeMaxAnimationCount = 20;
constexpr int dxFadeMaxAnimationFrameCount = 32;
constexpr int dxFadeMaxAnimationFrameDelay = 300;
// Timer period in milliseconds, and the divisor that turns a frame delay
// into timer ticks.
constexpr int dxFadeTimerInterval = 10;

enum TdxFadingState { fsFadeIn, fsFadeOut };
// fasDefault fades only while the Windows menu-animation setting is on.
enum TdxFaderAnimationState { fasDefault, fasEnabled, fasDisabled };

// ---------------------------------------------------------------- interfaces

// An object that can be faded. Not reference-counted, never deleted through.
class IdxFadingObject {
public:
  // {73AB2A92-CDD9-4F13-965A-DC799DE837F9}
  static constexpr GUID IID = {
      0x73AB2A92, 0xCDD9, 0x4F13, {0x96, 0x5A, 0xDC, 0x79, 0x9D, 0xE8, 0x37, 0xF9}};
  // Whether the object wants to be faded at this moment.
  virtual bool CanFade() = 0;
  // The element's blended image has changed (or gone): the object repaints
  // and, while painting, draws the blended image through the fader.
  virtual void DrawFadeImage() = 0;
  // Two new images of the object: its normal look and its hot look. The
  // fader takes both and always frees them.
  virtual void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                               std::unique_ptr<TcxBitmap32>& AFadeInImage) = 0;

protected:
  ~IdxFadingObject() = default;
};

// Frame counts and delays of one object's fades.
class TdxFadingOptions : public TObject {
public:
  int FadeInFrameCount() const noexcept { return FFadeInFrameCount; }
  int FadeInFrameDelay() const noexcept { return FFadeInFrameDelay; }
  int FadeOutFrameCount() const noexcept { return FFadeOutFrameCount; }
  int FadeOutFrameDelay() const noexcept { return FFadeOutFrameDelay; }
  // Frame counts are kept within 0 to 32 (0 switches that direction off),
  // delays within 10 to 300 milliseconds.
  void SetFadeInFrameCount(int AValue);
  void SetFadeInFrameDelay(int AValue);
  void SetFadeOutFrameCount(int AValue);
  void SetFadeOutFrameDelay(int AValue);

  void Assign(const TdxFadingOptions& ASource);

  // A value is written to a form description only when it is not the default.
  bool IsFadeInFrameCountStored() const noexcept;
  bool IsFadeInFrameDelayStored() const noexcept;
  bool IsFadeOutFrameCountStored() const noexcept;
  bool IsFadeOutFrameDelayStored() const noexcept;

private:
  int FFadeInFrameCount = dxFadeInDefaultAnimationFrameCount;
  int FFadeInFrameDelay = dxFadeInDefaultAnimationFrameDelay;
  int FFadeOutFrameCount = dxFadeOutDefaultAnimationFrameCount;
  int FFadeOutFrameDelay = dxFadeOutDefaultAnimationFrameDelay;
};

// An object that fades with frame counts and delays of its own.
class IdxFadingObjectFadingOptions {
public:
  // {FAAAF4F8-7F10-42CD-9368-2BB5A1F1482B}
  static constexpr GUID IID = {
      0xFAAAF4F8, 0x7F10, 0x42CD, {0x93, 0x68, 0x2B, 0xB5, 0xA1, 0xF1, 0x48, 0x2B}};
  // The options, or none for the defaults.
  virtual TdxFadingOptions* GetFadingOptions() = 0;

protected:
  ~IdxFadingObjectFadingOptions() = default;
};

// ---------------------------------------------------------------- images

// 32-bit pixels: blue, green, red, alpha; rows top first.
using TdxFadingPixels = std::vector<RGBQUAD>;

class TdxFadingHelper {
public:
  // Pixels that carry no alpha (alpha 0, not black) become opaque; black
  // pixels with alpha 0 stay transparent.
  static void CorrectAlphaChannel(std::span<RGBQUAD> APixels) noexcept;
  static void CorrectAlphaChannel(TcxBitmap32& ABitmap);
  // The pixels of a 32-bit bitmap, top row first (none when it has none).
  static TdxFadingPixels GetBitmapPixels(TcxBitmap32& ABitmap);

  // The pixel routines in use (dxFadingPixels.h) for the fader: one stage of
  // a fade, AAlpha limited to 0 to 255 (see dxBlendFadingPixels), and
  // premultiplying (see dxPremultiplyFadingPixels).
  static void BlendPixels(const RGBQUAD* AImage1, const RGBQUAD* AImage2, size_t ACount, int AAlpha,
                          RGBQUAD* AStraight, RGBQUAD* APremultiplied) noexcept;
  static void PremultiplyPixels(const RGBQUAD* ASource, size_t ACount, RGBQUAD* ATarget) noexcept;

  static bool IsPixelRoutineAvailable(TdxFadingPixelRoutine ARoutine) noexcept;
  // The routine in use: the fastest available one unless another was set.
  static TdxFadingPixelRoutine PixelRoutine() noexcept;
  // Uses ARoutine from now on (tests and benches compare them); false, and
  // no change, when it is not available.
  static bool SetPixelRoutine(TdxFadingPixelRoutine ARoutine) noexcept;
};

// A fade frame: straight (not premultiplied) pixels with per-pixel alpha,
// drawn by blending them over what is already on the device context. One
// image serves a whole fade: every frame is blended into it anew.
class TdxFadingImage {
public:
  // An image of ASize whose pixels are yet to be blended. Only an image
  // that may have pixels other than opaque (AHasTransparency) keeps them
  // premultiplied apart for drawing; opaque pixels are drawn as they are.
  TdxFadingImage(SIZE ASize, bool AHasTransparency);
  // An image of ASize with APixels, which must hold ASize.cx * ASize.cy
  // pixels (else the image has none).
  TdxFadingImage(SIZE ASize, std::span<const RGBQUAD> APixels);
  TdxFadingImage(const TdxFadingImage&) = delete;
  TdxFadingImage& operator=(const TdxFadingImage&) = delete;

  int Width() const noexcept { return FSize.cx; }
  int Height() const noexcept { return FSize.cy; }
  bool HasTransparency() const noexcept { return FHasTransparency; }
  // Whether the image has the bitmap it is drawn from.
  bool HasBitmap() const noexcept { return FBits != nullptr; }
  // The straight pixels, top row first; valid until the next Blend.
  std::span<const RGBQUAD> Pixels() const noexcept;
  // The pixels as they are drawn (premultiplied); none without a bitmap.
  std::span<const RGBQUAD> PremultipliedPixels() const noexcept;
  // One pixel (no check of the coordinates).
  RGBQUAD Pixel(int X, int Y) const { return Pixels()[static_cast<size_t>(Y * FSize.cx + X)]; }
  // The image becomes the blend of AImage1 and AImage2 at weight AAlpha
  // (0 to 255, see TdxFadingHelper::BlendPixels); both hold the image's
  // pixel count, and with transparent pixels the image must have been made
  // with AHasTransparency. Both must stay unchanged until the next Blend
  // (or the image's end): an image with transparency makes its straight
  // pixels from them when they are first asked for.
  void Blend(std::span<const RGBQUAD> AImage1, std::span<const RGBQUAD> AImage2,
             int AAlpha) noexcept;
  // A new bitmap with the same pixels.
  std::unique_ptr<TcxBitmap32> GetAsBitmap() const;
  // Draws the image stretched to R at full opacity, blending its alpha over
  // what is there. False when nothing could be drawn.
  bool StretchDraw(HDC DC, const RECT& R) const;

private:
  size_t PixelCount() const noexcept;

  SIZE FSize;
  bool FHasTransparency;
  // The 32-bit top-down DIB section drawn from, and its pixels.
  TGdiObject FBitmap;
  RGBQUAD* FBits = nullptr;
  // The straight pixels where they differ from the bitmap's (transparent
  // pixels) or where there is no bitmap.
  mutable TdxFadingPixels FStraight;
  // What the straight pixels of the last blend are made from, while they
  // are still to be made.
  mutable bool FStraightPending = false;
  std::span<const RGBQUAD> FSource1, FSource2;
  int FSourceAlpha = 0;
};

// ---------------------------------------------------------------- elements

// The fade of one object. Owned by the fader's list.
class TdxFadingElement : public TObject {
public:
  TdxFadingElement(TdxFader* AOwner, TObject* AElement);
  ~TdxFadingElement() override;

  int AnimationFrameCount() const noexcept { return FAnimationFrameCount; }
  int AnimationFrameDelay() const noexcept { return FAnimationFrameDelay; }
  // Timer ticks per frame and the ticks counted within the current frame.
  int DelayCount() const noexcept { return FDelayCount; }
  int DelayIndex() const noexcept { return FDelayIndex; }
  TObject* Element() const noexcept { return FElement; }
  IdxFadingObject* FadingObject() const noexcept { return FFadingObject; }
  SIZE ImageSize() const noexcept { return FImageSize; }
  TdxFader* Owner() const noexcept { return FOwner; }
  int Stage() const noexcept { return FStage; }
  // The current blend, or none.
  const TdxFadingImage* WorkImage() const noexcept { return FWorkImage.get(); }
  const TdxFadingPixels& Image1Colors() const noexcept { return FImage1Colors; }
  const TdxFadingPixels& Image2Colors() const noexcept { return FImage2Colors; }

private:
  friend class TdxFader;
  void SetAnimationParameters(int AAnimationFrameCount, int AAnimationFrameDelay);
  // The start and end images (ASize.cx * ASize.cy pixels each).
  void SetImages(std::span<const RGBQUAD> AImage1, std::span<const RGBQUAD> AImage2, SIZE ASize);
  // The blend of the current stage into the work image, which is made only
  // when the element has none that fits; then the object is told.
  void BuildWorkImage();
  // Advances one tick; false when the last frame has had its time.
  bool ProcessFadeStep();
  void SetWorkImage(std::unique_ptr<TdxFadingImage> AValue);

  int FAnimationFrameCount = 1;
  int FAnimationFrameDelay = 1;
  int FDelayCount = 1;
  int FDelayIndex = 0;
  TObject* FElement;
  IdxFadingObject* FFadingObject;
  SIZE FImageSize{0, 0};
  TdxFader* FOwner;
  int FStage = 0;
  std::unique_ptr<TdxFadingImage> FWorkImage;
  TdxFadingPixels FImage1Colors;
  TdxFadingPixels FImage2Colors;
  // Whether either image has a pixel that is not opaque.
  bool FHasTransparency = false;
};

// ---------------------------------------------------------------- fader

class TdxFader : public TObject {
public:
  TdxFader();
  ~TdxFader() override;

  // Fading is on (animation state and the system's menu-animation setting),
  // the element limit is above 0, GDI+ is available and the screen has more
  // than 16 bits per pixel.
  bool IsReady();
  bool CanFade(TObject* AObject);
  bool CanFade(TObject* AObject, IdxFadingObject*& AFadingObject);

  // Starts (or reverses) a fade towards the hot or the normal look.
  void FadeIn(TObject* AObject) { Fade(AObject, fsFadeIn); }
  void FadeOut(TObject* AObject) { Fade(AObject, fsFadeOut); }
  void Fade(TObject* AObject, TdxFadingState AState);

  bool Contains(TObject* AObject) const noexcept { return Find(AObject) != nullptr; }
  TdxFadingElement* Find(TObject* AObject) const noexcept;
  // Draws AObject's current blend stretched to R; false (nothing drawn) when
  // it has none.
  bool DrawFadeImage(TObject* AObject, HDC DC, const RECT& R);
  bool DrawFadeImage(TObject* AObject, TcxCanvas& ACanvas, const RECT& R);
  // Ends AObject's fade at once: the object repaints, unless it is being
  // destroyed.
  void Remove(TObject* AObject, bool ADestroying = false);
  // Frees every element without telling its object.
  void Clear();

  int Count() const noexcept { return static_cast<int>(FList.size()); }
  // Oldest first.
  TdxFadingElement* Items(int AIndex) const { return FList.at(static_cast<size_t>(AIndex)).get(); }
  // At most this many fades run at once (0 to 20); the oldest make room.
  int MaxAnimationCount() const noexcept { return FMaxAnimationCount; }
  void SetMaxAnimationCount(int AValue);
  TdxFaderAnimationState State() const noexcept { return FState; }
  void SetState(TdxFaderAnimationState AValue) noexcept { FState = AValue; }
  // The animation clock: on exactly while a fade runs.
  const TcxTimer& Timer() const noexcept { return *FTimer; }
  // One tick of the clock: every element advances, newest first.
  void DoTimer(TObject* Sender);

private:
  void StartFade(TObject* AObject, std::unique_ptr<TcxBitmap32> AImage1,
                 std::unique_ptr<TcxBitmap32> AImage2, int AAnimationFrameCount,
                 int AAnimationFrameDelay);
  void Finalize(TdxFadingElement* AElement);
  void FreeElement(TdxFadingElement* AElement);
  void ValidateQueue();
  bool IsGdiPlusAvailable();
  int ScreenBitsPerPixel();

  std::vector<std::unique_ptr<TdxFadingElement>> FList;
  int FMaxAnimationCount = 10;
  TdxFaderAnimationState FState = fasDefault;
  std::unique_ptr<TcxTimer> FTimer;
  int FGdiPlusAvailable = -1; // not yet asked
  // The screen's depth while a fade starts (0: not yet asked).
  bool FFadeStarting = false;
  int FScreenBitsPerPixel = 0;
};

// The fader, created on first use; none after the unit has shut down.
TdxFader* dxFader();
// The fader if it has been created and not yet freed; never creates it.
TdxFader* dxFaderInstance() noexcept;

// A ready-made fading object for objects that are not controls: override
// CanFade, DrawFadeImage and GetFadingImages.
class TdxFadingObjectHelper : public TObject, public IdxFadingObject {
public:
  ~TdxFadingObjectHelper() override;

  bool CanFade() override { return false; }
  void DrawFadeImage() override {}
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& /*AFadeOutImage*/,
                       std::unique_ptr<TcxBitmap32>& /*AFadeInImage*/) override {}

  // Normal (or default) to hot fades in, hot to normal (or default) fades
  // out, any other change of state ends a running fade.
  void CheckStartFading(TcxButtonState APrevState, TcxButtonState AState);
  void FadeIn();
  void FadeOut();
  void StopFading();
  bool DrawImage(HDC DC, const RECT& R);
  bool Active();
};

// Unit start-up and shut-down. Shut-down frees the fader with its elements
// (their objects are not told) and nothing creates it again.
void InitFadingUnit();
void DoneFadingUnit();

} // namespace telvora
