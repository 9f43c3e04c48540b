// The smart glyph: decoding PNG and BMP through the platform's decoders to
// exact pixels, refusing broken data, copies, drawing (cells, stretching,
// constant opacity, palettes) from a bitmap made once, and cxDrawImage.

#include "ui/support/dxSmartGlyph.h"

#include "platform/Handles.h"
#include "ui/support/dxScaleFactor.h"
#include "ui/support/tests/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace telvora {
namespace {

using namespace testing_images;

std::wstring TempFileName(const wchar_t* AName) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"telvora-" + std::to_wstring(GetCurrentProcessId()) + L"-" + AName;
}

// A file with the bytes, removed again when the holder goes.
struct TTempFile {
  TTempFile(const wchar_t* AName, const TBytes& ABytes) : Name(TempFileName(AName)) {
    std::ofstream(std::filesystem::path(Name), std::ios::binary)
        .write(reinterpret_cast<const char*>(ABytes.data()),
               static_cast<std::streamsize>(ABytes.size()));
  }
  ~TTempFile() {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(Name), ignored);
  }
  std::wstring Name;
};

// A glyph that counts its change notifications.
struct TCountedGlyph {
  TCountedGlyph() {
    Glyph.OnChange = [this] { ++Changes; };
  }
  TdxSmartGlyph Glyph;
  int Changes = 0;
};

TEST(dxSmartGlyphLoading, DecodesToTheExactPixels) {
  const TArgb bmpPixels = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF123456, 0xFFFFFFFF, 0xFF000000};
  const TArgb alphaPixels = {0x80FF0000, 0x00000000, 0xFF00FF00, 0x40FFFFFF};
  const TBytes bmp24 = MakeBmp(3, 2, 24, bmpPixels); // rows padded to 12 bytes
  const TBytes bmp32 = MakeBmp(2, 2, 32, alphaPixels);
  // A 32-bit BMP whose fourth bytes are all zero has no alpha: opaque.
  TArgb noAlpha = bmpPixels;
  for (std::uint32_t& p : noAlpha)
    p &= 0xFFFFFF;
  const TBytes bmp32NoAlpha = MakeBmp(3, 2, 32, noAlpha);
  const TTempFile file(L"rgba.png", ResourceBytes(L"RGBA_PNG"));
  HMODULE self = GetModuleHandleW(nullptr);

  const struct {
    const char* What;
    std::function<bool(TdxSmartGlyph&)> Load;
    int Width, Height;
    const TArgb& Pixels;
  } cases[] = {
      {"RGBA PNG bytes",
       [](TdxSmartGlyph& g) {
         TBytes b = ResourceBytes(L"RGBA_PNG");
         return g.LoadFromBytes(b.data(), b.size());
       },
       4, 3, kRgbaPng},
      {"RGB PNG bytes",
       [](TdxSmartGlyph& g) {
         TBytes b = ResourceBytes(L"RGB_PNG");
         return g.LoadFromBytes(b.data(), b.size());
       },
       3, 2, kRgbPng},
      {"PNG file", [&](TdxSmartGlyph& g) { return g.LoadFromFile(file.Name); }, 4, 3, kRgbaPng},
      {"PNG file another program has open for writing",
       [&](TdxSmartGlyph& g) {
         TKernelHandle writer(FileHandleOrNull(
             CreateFileW(file.Name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
         return writer && g.LoadFromFile(file.Name);
       },
       4, 3, kRgbaPng},
      {"RCDATA resource",
       [&](TdxSmartGlyph& g) { return g.LoadFromResource(self, L"RGBA_PNG", RT_RCDATA); }, 4, 3,
       kRgbaPng},
      {"resource of its own type",
       [&](TdxSmartGlyph& g) { return g.LoadFromResource(self, L"RGBA_GLYPH", L"PNG"); }, 4, 3,
       kRgbaPng},
      {"RT_BITMAP resource",
       [&](TdxSmartGlyph& g) { return g.LoadFromResource(self, L"GLYPH24", RT_BITMAP); }, 3, 2,
       kGlyph24Bmp},
      {"24-bit BMP", [&](TdxSmartGlyph& g) { return g.LoadFromBytes(bmp24.data(), bmp24.size()); },
       3, 2, bmpPixels},
      {"32-bit BMP with alpha",
       [&](TdxSmartGlyph& g) { return g.LoadFromBytes(bmp32.data(), bmp32.size()); }, 2, 2,
       alphaPixels},
      {"32-bit BMP without alpha",
       [&](TdxSmartGlyph& g) { return g.LoadFromBytes(bmp32NoAlpha.data(), bmp32NoAlpha.size()); },
       3, 2, bmpPixels},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    TCountedGlyph counted;
    const int decodes = TdxSmartGlyph::DecodeCount();
    ASSERT_TRUE(c.Load(counted.Glyph));
    EXPECT_EQ(TdxSmartGlyph::DecodeCount(), decodes + 1);
    EXPECT_EQ(counted.Changes, 1);
    EXPECT_FALSE(counted.Glyph.Empty());
    EXPECT_EQ(counted.Glyph.SourceWidth(), c.Width);
    EXPECT_EQ(counted.Glyph.SourceHeight(), c.Height);
    EXPECT_EQ(counted.Glyph.SourceDPI(), 96);
    EXPECT_EQ(counted.Glyph.Pixels(), c.Pixels);
  }
}

TEST(dxSmartGlyphLoading, RefusedDataLeavesTheGlyphAsItWas) {
  const TBytes png = ResourceBytes(L"RGBA_PNG");
  const TBytes bmp = MakeBmp(8, 8, 24, TArgb(64, 0xFF336699));
  const TBytes garbage(200, 0x5A);
  const TBytes pngHalf(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
  const TBytes bmpHeaderOnly(bmp.begin(), bmp.begin() + 54);
  const TBytes bmpHalf(bmp.begin(), bmp.begin() + static_cast<std::ptrdiff_t>(bmp.size() / 2));
  const TTempFile empty(L"empty.png", {});
  const TTempFile locked(L"locked.png", png);
  HMODULE self = GetModuleHandleW(nullptr);

  const struct {
    const char* What;
    std::function<bool(TdxSmartGlyph&)> Load;
  } cases[] = {
      {"garbage",
       [&](TdxSmartGlyph& g) { return g.LoadFromBytes(garbage.data(), garbage.size()); }},
      {"half a PNG",
       [&](TdxSmartGlyph& g) { return g.LoadFromBytes(pngHalf.data(), pngHalf.size()); }},
      {"BMP header alone",
       [&](TdxSmartGlyph& g) {
         return g.LoadFromBytes(bmpHeaderOnly.data(), bmpHeaderOnly.size());
       }},
      {"half a BMP",
       [&](TdxSmartGlyph& g) { return g.LoadFromBytes(bmpHalf.data(), bmpHalf.size()); }},
      {"no bytes", [&](TdxSmartGlyph& g) { return g.LoadFromBytes(png.data(), 0); }},
      {"no data", [&](TdxSmartGlyph& g) { return g.LoadFromBytes(nullptr, 10); }},
      {"missing file",
       [&](TdxSmartGlyph& g) { return g.LoadFromFile(TempFileName(L"no-such-file.png")); }},
      {"empty file", [&](TdxSmartGlyph& g) { return g.LoadFromFile(empty.Name); }},
      {"a folder",
       [&](TdxSmartGlyph& g) {
         wchar_t folder[MAX_PATH];
         GetTempPathW(MAX_PATH, folder);
         return g.LoadFromFile(folder);
       }},
      {"file another program holds without sharing",
       [&](TdxSmartGlyph& g) {
         TKernelHandle holder(
             FileHandleOrNull(CreateFileW(locked.Name.c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
         return !holder || g.LoadFromFile(locked.Name);
       }},
      {"missing resource",
       [&](TdxSmartGlyph& g) { return g.LoadFromResource(self, L"NO_SUCH_PNG", RT_RCDATA); }},
      {"missing bitmap resource",
       [&](TdxSmartGlyph& g) { return g.LoadFromResource(self, L"NO_SUCH_BMP", RT_BITMAP); }},
      {"a resource that is no image",
       [&](TdxSmartGlyph& g) { return g.LoadFromResource(self, L"RGBA_PNG", RT_BITMAP); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    TCountedGlyph counted;
    counted.Glyph.SetPixels(1, 2, {0xFF010203, 0x80040506});
    counted.Changes = 0;
    EXPECT_FALSE(c.Load(counted.Glyph));
    EXPECT_EQ(counted.Changes, 0);
    EXPECT_EQ(counted.Glyph.SourceWidth(), 1);
    EXPECT_EQ(counted.Glyph.SourceHeight(), 2);
    EXPECT_EQ(counted.Glyph.Pixels(), (TArgb{0xFF010203, 0x80040506}));
  }
}

TEST(dxSmartGlyph, CopiesAreIndependentAndKeepTheirOwnHandlers) {
  TCountedGlyph original;
  original.Glyph.SetPixels(2, 1, {0xFFFF0000, 0x8000FF00});
  original.Glyph.SetSourceDPI(144);
  EXPECT_EQ(original.Changes, 2);

  TdxSmartGlyph copy(original.Glyph);
  EXPECT_FALSE(copy.OnChange); // the handler stays with the original
  EXPECT_EQ(copy.Pixels(), original.Glyph.Pixels());
  EXPECT_EQ(copy.SourceDPI(), 144);
  copy.SetPixels(1, 1, {0xFF0000FF});
  EXPECT_EQ(original.Glyph.Pixels(), (TArgb{0xFFFF0000, 0x8000FF00}));
  EXPECT_EQ(original.Changes, 2);

  TCountedGlyph target;
  target.Glyph = copy;
  EXPECT_EQ(target.Changes, 1); // assignment tells the target
  EXPECT_TRUE(target.Glyph.OnChange);
  EXPECT_EQ(target.Glyph.Pixels(), TArgb{0xFF0000FF});
  EXPECT_EQ(target.Glyph.SourceDPI(), 144);
  copy.Clear();
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(target.Glyph.SourceWidth(), 1);
}

TEST(dxSmartGlyph, ChangesAreToldAndBadPixelCountsRefused) {
  TCountedGlyph g;
  EXPECT_TRUE(g.Glyph.Empty());
  EXPECT_TRUE(g.Glyph.Pixels().empty());
  g.Glyph.SetSourceDPI(96); // no change
  g.Glyph.SetSourceDPI(0);  // ignored
  EXPECT_EQ(g.Changes, 0);
  EXPECT_EQ(g.Glyph.SourceDPI(), 96);
  g.Glyph.SetSourceDPI(192);
  EXPECT_EQ(g.Changes, 1);
  EXPECT_THROW(g.Glyph.SetPixels(2, 2, {1, 2, 3}), EConvertError);
  EXPECT_THROW(g.Glyph.SetPixels(-1, -1, {1}), EConvertError);
  EXPECT_EQ(g.Changes, 1);
  EXPECT_TRUE(g.Glyph.Empty());
  g.Glyph.SetPixels(1, 1, {0xFFFFFFFF});
  g.Glyph.Clear();
  EXPECT_EQ(g.Changes, 3);
  EXPECT_TRUE(g.Glyph.Empty());
  EXPECT_EQ(g.Glyph.SourceDPI(), 192); // the image goes, the design resolution stays
}

TEST(dxSmartGlyph, FormPropertiesLoadDataAndSourceDpi) {
  TdxSmartGlyph g;
  TPropertyValue data;
  data.Kind = TPropertyValue::TKind::Binary;
  data.Bytes = ResourceBytes(L"RGB_PNG");
  EXPECT_TRUE(g.SetProperty(L"Data", data));
  EXPECT_EQ(g.Pixels(), kRgbPng);
  TPropertyValue dpi;
  dpi.Integer = 120;
  EXPECT_TRUE(g.SetProperty(L"SourceDPI", dpi));
  EXPECT_EQ(g.SourceDPI(), 120);
  EXPECT_FALSE(g.SetProperty(L"Width", dpi));
  data.Bytes.resize(20);
  EXPECT_THROW(g.SetProperty(L"Data", data), EReadError);
  dpi.Integer = 0;
  EXPECT_THROW(g.SetProperty(L"SourceDPI", dpi), EReadError);
  EXPECT_EQ(g.Pixels(), kRgbPng);
}

// ---------------------------------------------------------------- drawing

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080;

// Two 2 x 2 cells side by side: opaque red, green / blue, white on the left;
// the same colours at alpha 0x80 on the right.
TdxSmartGlyph TwoCells() {
  TdxSmartGlyph g;
  g.SetPixels(4, 2,
              {0xFFFF0000, 0xFF00FF00, 0x80FF0000, 0x8000FF00, //
               0xFF0000FF, 0xFFFFFFFF, 0x800000FF, 0x80FFFFFF});
  return g;
}

// `over` blended with alpha a over `under`, channel by channel.
std::uint32_t Blend(std::uint32_t over, std::uint32_t under, int a) {
  std::uint32_t result = 0;
  for (int shift : {0, 8, 16}) {
    const int o = (over >> shift) & 0xFF, u = (under >> shift) & 0xFF;
    result |= static_cast<std::uint32_t>((o * a + u * (255 - a) + 127) / 255) << shift;
  }
  return result;
}

TEST(dxSmartGlyphDraw, CellsAreCopiedOrBlendedWhereTheyGo) {
  const TdxSmartGlyph g = TwoCells();
  TSurface s(6, 4, 0x808080);
  g.Draw(s.DC(), {1, 1, 3, 3}, {0, 0, 2, 2});
  g.Draw(s.DC(), {3, 1, 5, 3}, {2, 0, 4, 2});
  const struct {
    int X, Y;
    std::uint32_t Rgb;
  } expected[] = {
      {1, 1, kRed},
      {2, 1, kGreen},
      {1, 2, kBlue},
      {2, 2, kWhite},
      {3, 1, Blend(kRed, kGrey, 0x80)},
      {4, 1, Blend(kGreen, kGrey, 0x80)},
      {3, 2, Blend(kBlue, kGrey, 0x80)},
      {4, 2, Blend(kWhite, kGrey, 0x80)},
      {0, 0, kGrey},
      {5, 3, kGrey},
      {0, 2, kGrey},
      {5, 1, kGrey},
  };
  for (const auto& e : expected)
    EXPECT_PRED3(Near, s.Rgb(e.X, e.Y), e.Rgb, 1) << e.X << "," << e.Y;
}

TEST(dxSmartGlyphDraw, StretchedOpacityPaletteAndClippedSource) {
  const TdxSmartGlyph g = TwoCells();
  // Each source pixel becomes a 2 x 2 block.
  TSurface stretched(4, 4, 0x808080);
  g.Draw(stretched.DC(), {0, 0, 4, 4}, {0, 0, 2, 2});
  const std::uint32_t quadrants[2][2] = {{kRed, kGreen}, {kBlue, kWhite}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(stretched.Rgb(x, y), quadrants[y / 2][x / 2]) << x << "," << y;

  // Opaque red at constant opacity 128 over white.
  TSurface faded(2, 2, 0xFFFFFF);
  g.Draw(faded.DC(), {0, 0, 1, 1}, {0, 0, 1, 1}, 128);
  EXPECT_PRED3(Near, faded.Rgb(0, 0), Blend(kRed, kWhite, 128), 1);
  EXPECT_EQ(faded.Rgb(1, 1), kWhite);
  // Half-transparent red at 128: a quarter of the way.
  g.Draw(faded.DC(), {1, 1, 2, 2}, {2, 0, 3, 1}, 128);
  EXPECT_PRED3(Near, faded.Rgb(1, 1), Blend(kRed, kWhite, 64), 2);

  // The palette maps colours ($00BBGGRR): red becomes blue, white black.
  const TdxColorPalette palette = [](COLORREF c) {
    if (c == RGB(255, 0, 0))
      return RGB(0, 0, 255);
    return c == RGB(255, 255, 255) ? RGB(0, 0, 0) : c;
  };
  TSurface mapped(4, 2, 0x808080);
  g.Draw(mapped.DC(), {0, 0, 4, 2}, {0, 0, 4, 2}, 255, &palette);
  EXPECT_EQ(mapped.Rgb(0, 0), kBlue);
  EXPECT_EQ(mapped.Rgb(1, 0), kGreen);
  EXPECT_EQ(mapped.Rgb(1, 1), 0u);
  EXPECT_PRED3(Near, mapped.Rgb(2, 0), Blend(kBlue, kGrey, 0x80), 1);
  EXPECT_PRED3(Near, mapped.Rgb(3, 1), Blend(0, kGrey, 0x80), 1);

  // A source reaching past the image: only its inside part is drawn, where
  // it falls in the destination.
  TSurface clipped(4, 2, 0x808080);
  g.Draw(clipped.DC(), {0, 0, 4, 2}, {1, 0, 5, 2});
  EXPECT_EQ(clipped.Rgb(0, 0), kGreen);
  EXPECT_PRED3(Near, clipped.Rgb(1, 0), Blend(kRed, kGrey, 0x80), 1);
  EXPECT_EQ(clipped.Rgb(3, 0), kGrey);
  EXPECT_EQ(clipped.Rgb(3, 1), kGrey);
}

TEST(dxSmartGlyphDraw, DrawingNeitherDecodesNorConvertsAgain) {
  TSurface s(8, 6, 0xFFFFFF);
  TSurface first(8, 6, 0xFFFFFF);
  HDC dc = s.DC(), firstDC = first.DC();
  const int gdiObjects = TGdiObject::LiveCount(), contexts = TMemoryDC::LiveCount();
  TdxSmartGlyph g;
  const TBytes png = ResourceBytes(L"RGBA_PNG");
  ASSERT_TRUE(g.LoadFromBytes(png.data(), png.size()));
  const int decodes = TdxSmartGlyph::DecodeCount();
  const int bitmaps = TdxSmartGlyph::DrawBitmapCount();
  g.Draw(dc, {0, 0, 4, 3}, {0, 0, 4, 3});
  EXPECT_EQ(TdxSmartGlyph::DrawBitmapCount(), bitmaps + 1);
  BitBlt(firstDC, 0, 0, 8, 6, dc, 0, 0, SRCCOPY);
  {
    const TdxSmartGlyph copy(g); // shares the image and its bitmap
    for (int i = 0; i < 20; ++i) {
      g.Draw(dc, {4, 3, 8, 6}, {0, 0, 4, 3});
      copy.Draw(dc, {0, 0, 8, 6}, {0, 0, 4, 3}, 200);
    }
  }
  EXPECT_EQ(TdxSmartGlyph::DecodeCount(), decodes);
  EXPECT_EQ(TdxSmartGlyph::DrawBitmapCount(), bitmaps + 1);
  // The bitmap and its context live as long as the image.
  EXPECT_EQ(TGdiObject::LiveCount(), gdiObjects + 1);
  EXPECT_EQ(TMemoryDC::LiveCount(), contexts + 1);
  g.Clear();
  EXPECT_EQ(TGdiObject::LiveCount(), gdiObjects);
  EXPECT_EQ(TMemoryDC::LiveCount(), contexts);
  // The drawing made with the kept bitmap was the right one.
  EXPECT_EQ(first.Rgb(0, 0), kRed);
  EXPECT_EQ(first.Rgb(3, 0), kWhite); // transparent
  EXPECT_EQ(first.Rgb(0, 1), 0x123456u);
}

// ---------------------------------------------------------------- cxDrawImage

TdxSmartGlyph Filled(int AWidth, int AHeight, std::uint32_t AArgb) {
  TdxSmartGlyph g;
  g.SetPixels(AWidth, AHeight, TArgb(static_cast<size_t>(AWidth) * AHeight, AArgb));
  return g;
}

// How many pixels of the area have the colour.
int CountRgb(TSurface& s, const RECT& R, std::uint32_t ARgb) {
  int count = 0;
  for (int y = R.top; y < R.bottom; ++y)
    for (int x = R.left; x < R.right; ++x)
      count += s.Rgb(x, y) == ARgb ? 1 : 0;
  return count;
}

TEST(dxSmartGlyphDrawImage, FitsScalesFromTheSourceDpiAndDrawsModes) {
  const TdxSmartGlyph red = Filled(4, 4, 0xFFFF0000);
  TdxScaleFactor twice;
  twice.Assign(2, 1, false);
  TdxSmartGlyph red192 = red;
  red192.SetSourceDPI(192);
  const TdxColorPalette toBlue = [](COLORREF) { return RGB(0, 0, 255); };

  const struct {
    const char* What;
    const TdxSmartGlyph* Glyph;
    TcxImageFitMode Fit;
    const TdxScaleFactor* Factor;
    const TdxColorPalette* Palette;
    RECT Drawn; // the rest of the 10 x 10 surface stays grey
    std::uint32_t Rgb;
  } cases[] = {
      {"centred", &red, ifmNormal, nullptr, nullptr, {3, 3, 7, 7}, kRed},
      {"stretched", &red, ifmStretch, nullptr, nullptr, {0, 0, 10, 10}, kRed},
      {"twice as large", &red, ifmNormal, &twice, nullptr, {1, 1, 9, 9}, kRed},
      {"designed at 192 dpi", &red192, ifmNormal, nullptr, nullptr, {4, 4, 6, 6}, kRed},
      {"designed at 192 dpi, scaled twice",
       &red192,
       ifmNormal,
       &twice,
       nullptr,
       {3, 3, 7, 7},
       kRed},
      {"palette", &red, ifmNormal, nullptr, &toBlue, {3, 3, 7, 7}, kBlue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    TSurface s(10, 10, 0x808080);
    cxDrawImage(s.Canvas(), {0, 0, 10, 10}, c.Glyph, nullptr, -1, c.Fit, idmNormal, false,
                c.Palette, c.Factor);
    const int area = RectWidth(c.Drawn) * RectHeight(c.Drawn);
    EXPECT_EQ(CountRgb(s, c.Drawn, c.Rgb), area);
    EXPECT_EQ(CountRgb(s, {0, 0, 10, 10}, kGrey), 100 - area);
  }

  // Disabled and grey images look otherwise, in the same place.
  for (TcxImageDrawMode mode : {idmDisabled, idmGrayScale}) {
    TSurface s(10, 10, 0x808080);
    cxDrawImage(s.Canvas(), {0, 0, 10, 10}, &red, nullptr, -1, ifmNormal, mode, false, nullptr,
                nullptr);
    const std::uint32_t inside = s.Rgb(5, 5);
    EXPECT_NE(inside, kRed) << mode;
    EXPECT_NE(inside, kGrey) << mode;
    EXPECT_EQ(CountRgb(s, {3, 3, 7, 7}, inside), 16) << mode;
    EXPECT_EQ(CountRgb(s, {0, 0, 10, 10}, kGrey), 84) << mode;
  }

  // Clipped to the rectangle even when the image is larger.
  TSurface clipped(10, 10, 0x808080);
  cxDrawImage(clipped.Canvas(), {2, 2, 6, 6}, &red, nullptr, -1, ifmNormal, idmNormal, false,
              nullptr, &twice);
  EXPECT_EQ(CountRgb(clipped, {2, 2, 6, 6}, kRed), 16);
  EXPECT_EQ(CountRgb(clipped, {0, 0, 10, 10}, kGrey), 84);
}

TEST(dxSmartGlyphDrawImage, LeftBottomColourOfAnOpaqueGlyphCanBeTransparent) {
  TdxSmartGlyph g;
  g.SetPixels(2, 2, {0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFF00FF00});
  TSurface s(2, 2, 0x808080);
  cxDrawImage(s.Canvas(), {0, 0, 2, 2}, &g, nullptr, -1, ifmNormal, idmNormal, true, nullptr,
              nullptr);
  EXPECT_EQ(s.Rgb(0, 0), kRed);
  EXPECT_EQ(s.Rgb(1, 0), kGrey);
  EXPECT_EQ(s.Rgb(0, 1), kGrey);
  EXPECT_EQ(s.Rgb(1, 1), kGreen);
}

} // namespace
} // namespace telvora
