#include "tools/SheetBitmap.h"

#include "app/ProgramUnits.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <vector>

namespace telvora {

bool SaveBmp(TcxBitmap32& ABitmap, const std::wstring& AFileName) {
  GdiFlush();
  const int width = ABitmap.Width(), height = ABitmap.Height();
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height; // top-down
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(stride * height);
  file.bfType = 0x4D42; // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::ofstream out(std::filesystem::path(AFileName), std::ios::binary);
  if (!out)
    return false;
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::vector<char> row(static_cast<size_t>(stride), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const DWORD p = ABitmap.Pixel32(x, y); // $AARRGGBB
      row[static_cast<size_t>(x * 3)] = static_cast<char>(p & 0xFF);
      row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>((p >> 8) & 0xFF);
      row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>((p >> 16) & 0xFF);
    }
    out.write(row.data(), stride);
  }
  return static_cast<bool>(out);
}

int SaveSheet(TcxBitmap32& ASheet, const std::wstring& AFileName) {
  if (SaveBmp(ASheet, AFileName))
    return 0;
  std::fwprintf(stderr, L"cannot write %ls\n", AFileName.c_str());
  return 1;
}

int RunSheetTool(int argc, wchar_t** argv, const char* AName,
                 int (*ARun)(const std::wstring& AFileName)) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", AName);
    return 2;
  }
  StartProgramUnits();
  int result = 1;
  try {
    result = ARun(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", AName, e.what());
  }
  StopProgramUnits();
  return result;
}

} // namespace telvora
