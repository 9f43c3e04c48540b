#pragma once
// The library's image container: a 32-bit image with alpha, decoded once
// when it is loaded (PNG, BMP and whatever else the platform's decoder
// reads) and drawn any number of times from then on, with the resolution it
// was designed for.

#include "platform/Classes.h"
#include "ui/support/cxGraphics.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace telvora {

class TdxScaleFactor;

class TdxSmartGlyph {
public:
  TdxSmartGlyph();
  // Copies share the decoded image (it never changes once made); the
  // handler is not copied, and an assignment raises the target's OnChange.
  TdxSmartGlyph(const TdxSmartGlyph& AGlyph);
  TdxSmartGlyph& operator=(const TdxSmartGlyph& AGlyph);
  ~TdxSmartGlyph();

  bool Empty() const noexcept;
  int SourceWidth() const noexcept;
  int SourceHeight() const noexcept;
  // The resolution the image was designed for: 96 unless set.
  int SourceDPI() const noexcept { return FSourceDPI; }
  // Values below 1 are ignored.
  void SetSourceDPI(int AValue);

  // Decode file bytes (PNG, BMP, ...) with the platform's decoder. The
  // alpha of 32-bit images is kept; images without alpha become opaque. On
  // failure the answer is false and the glyph stays as it was.
  bool LoadFromBytes(const void* AData, size_t ASize);
  bool LoadFromFile(const std::wstring& AFileName);
  // A resource holding file bytes (RT_RCDATA or a type of its own), or an
  // RT_BITMAP resource.
  bool LoadFromResource(HMODULE AModule, const wchar_t* AName, const wchar_t* AType);

  // Straight (not premultiplied) 0xAARRGGBB pixels, rows from the top;
  // AArgb must hold AWidth * AHeight of them (no pixels make the glyph
  // empty). Raises EConvertError otherwise.
  void SetPixels(int AWidth, int AHeight, std::vector<std::uint32_t> AArgb);
  // The pixels as SetPixels takes them; none for an empty glyph.
  const std::vector<std::uint32_t>& Pixels() const noexcept;
  void Clear();

  // Draws the part ASource of the image into ADest, stretched when the
  // sizes differ, blended over what is there with the constant opacity
  // AAlpha. With a palette each pixel's colour is mapped first (for that
  // call); without one the image is blended from a premultiplied bitmap
  // made at the first drawing and kept with the image. Parts of ASource
  // outside the image are left out. Nothing is drawn when GDI cannot give
  // the bitmap.
  void Draw(HDC DC, const RECT& ADest, const RECT& ASource, BYTE AAlpha = 255,
            const TdxColorPalette* APalette = nullptr) const;

  // Form description properties: Data (binary file bytes, EReadError when
  // they cannot be decoded) and SourceDPI. False for any other name.
  bool SetProperty(const std::wstring& AName, const TPropertyValue& AValue);

  // Raised after each change of the image or the source DPI.
  std::function<void()> OnChange;

  // How many images the platform decoders have decoded in this process,
  // and how many premultiplied bitmaps drawing has made: drawing is meant
  // to leave both unchanged once the first drawing is done.
  static int DecodeCount() noexcept;
  static int DrawBitmapCount() noexcept;

private:
  struct TImage;
  void Assign(std::shared_ptr<const TImage> AImage);
  void Changed();

  std::shared_ptr<const TImage> FImage;
  int FSourceDPI = 96;
};

// Draws AGlyph when it is given and not empty, else image AImageIndex of
// AImages, fitted into ARect by AFitMode at the scale factor (the glyph's
// size counts at its source DPI, an image list's at 96), in the draw mode,
// with each colour mapped by APalette when given, clipped to ARect. A glyph
// drawn normally and without smoothing a changed size is blended straight
// from its kept bitmap. AUseLeftBottomPixelAsTransparent makes the colour of
// the left-bottom pixel transparent in a glyph that is opaque throughout.
void cxDrawImage(TcxCanvas& ACanvas, const RECT& ARect, const TdxSmartGlyph* AGlyph,
                 HIMAGELIST AImages, int AImageIndex, TcxImageFitMode AFitMode,
                 TcxImageDrawMode ADrawMode, bool AUseLeftBottomPixelAsTransparent,
                 const TdxColorPalette* APalette, const TdxScaleFactor* AScaleFactor,
                 bool ASmoothImage = false);

// The glyph's pixels premultiplied, as the image functions of cxGraphics
// take them.
TcxImagePixels dxSmartGlyphToImagePixels(const TdxSmartGlyph& AGlyph);

} // namespace telvora
