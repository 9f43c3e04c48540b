#include "tests/support/ScreenCapture.h"

#include "platform/Graphics.h"
#include "platform/Handles.h"
#include "tests/support/PhysicalPixels.h"

namespace telvora::testing {

// Links the DPI awareness with these helpers (PhysicalPixels.h).
extern const bool* const kScreenCapturePixels = &gPhysicalPixels;

TPixels CaptureWindow(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
    return {};
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  BITMAPINFO info = TopDown32BitInfo(width, height);
  TWindowDC screen(nullptr);
  TMemoryDC dc(CreateCompatibleDC(screen.Get()));
  void* bits = nullptr;
  TGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || bits == nullptr)
    return {};
  {
    TSelectObject select(dc.Get(), bitmap.Get());
    if (!BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY))
      return {};
  }
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  TPixels pixels(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
  // The unused top byte is whatever BitBlt left there.
  for (std::uint32_t& pixel : pixels)
    pixel &= 0x00FFFFFFu;
  return pixels;
}

bool SaveWindowBitmap(HWND window, const std::wstring& path) {
  RECT r{};
  if (!GetWindowRect(window, &r))
    return false;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0)
    return false;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD imageBytes = stride * static_cast<DWORD>(height);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height; // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = imageBytes;

  TWindowDC screen(nullptr);
  TMemoryDC dc(CreateCompatibleDC(screen.Get()));
  void* bits = nullptr;
  TGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!screen.Get() || !dc || !bitmap)
    return false;
  {
    TSelectObject select(dc.Get(), bitmap.Get());
    if (!BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY))
      return false;
  }
  GdiFlush();

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42; // "BM"
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageBytes;

  HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE)
    return false;
  TKernelHandle file(created);
  auto write = [&](const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
  };
  return write(&header, sizeof(header)) && write(&info.bmiHeader, sizeof(BITMAPINFOHEADER)) &&
         write(bits, imageBytes);
}

} // namespace telvora::testing
