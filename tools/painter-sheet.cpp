// Draws every registered push-button painter in every button state, at 96
// and at 144 pixels per inch, into one picture (a 24-bit BMP), with the
// program's own units started as TELVORA starts them. Command links of the
// native and standard painters follow below the buttons.
//   painter-sheet OUTPUT.bmp      (scripts/contact-sheet.sh turns it into a PNG)

#include "app/ProgramUnits.h"
#include "tools/SheetBitmap.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/lookandfeel/cxLookAndFeelPaintersManager.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/dxScaleFactor.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr TcxButtonState kStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
constexpr const wchar_t* kStateNames[] = {L"Default", L"Normal", L"Hot", L"Pressed", L"Disabled"};
constexpr TcxLookAndFeelStyle kStyles[] = {lfsNative, lfsStandard, lfsFlat, lfsUltraFlat,
                                           lfsOffice11};

constexpr int kLabelWidth = 150;
constexpr int kBlockTitleHeight = 26;
constexpr int kHeaderHeight = 20;
constexpr TColor kSheetColor = static_cast<TColor>(RGB(250, 250, 250));
constexpr TColor kLabelColor = static_cast<TColor>(RGB(40, 40, 40));

struct TBlock {
  const TdxScaleFactor* ScaleFactor;
  const wchar_t* Title;
  int CellWidth;
  int CellHeight;
  SIZE Button;
  SIZE CommandLink;
};

int Scaled(const TdxScaleFactor* AScaleFactor, int AValue) {
  return AScaleFactor != nullptr ? AScaleFactor->Apply(AValue) : AValue;
}

TBlock MakeBlock(const TdxScaleFactor* AScaleFactor, const wchar_t* ATitle) {
  TBlock block{AScaleFactor, ATitle, 0, 0, {}, {}};
  block.Button = {Scaled(AScaleFactor, 75), Scaled(AScaleFactor, 25)};
  block.CommandLink = {Scaled(AScaleFactor, 110), Scaled(AScaleFactor, 40)};
  block.CellWidth = block.CommandLink.cx + Scaled(AScaleFactor, 12);
  block.CellHeight = block.CommandLink.cy + Scaled(AScaleFactor, 10);
  return block;
}

constexpr int kRowsPerBlock = 5 + 2; // the painters, then two command-link rows

int BlockHeight(const TBlock& ABlock) {
  return kBlockTitleHeight + kHeaderHeight + kRowsPerBlock * ABlock.CellHeight;
}

void Label(TcxCanvas& ACanvas, const std::wstring& AText, RECT R, int AFlags, int AHeight,
           bool ABold = false) {
  ACanvas.Font().SetHeight(AHeight);
  ACanvas.Font().SetStyle(ABold ? static_cast<unsigned>(fsBold) : 0u);
  ACanvas.Font().SetColor(kLabelColor);
  ACanvas.Brush().SetStyle(bsClear);
  ACanvas.DrawText(AText, R, AFlags | cxSingleLine | cxAlignVCenter);
  ACanvas.Brush().SetStyle(bsSolid);
  ACanvas.Font().SetStyle(0);
}

void DrawBlock(TcxCanvas& ACanvas, const TBlock& ABlock, int ATop) {
  const TdxScaleFactor* factor = ABlock.ScaleFactor;
  Label(ACanvas, ABlock.Title, {8, ATop, 600, ATop + kBlockTitleHeight}, cxAlignLeft, -14, true);
  const int headerTop = ATop + kBlockTitleHeight;
  for (int column = 0; column < 5; ++column) {
    const int left = kLabelWidth + column * ABlock.CellWidth;
    Label(ACanvas, kStateNames[column],
          {left, headerTop, left + ABlock.CellWidth, headerTop + kHeaderHeight}, cxAlignLeft, -11);
  }
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  const int rowsTop = headerTop + kHeaderHeight;
  for (int row = 0; row < kRowsPerBlock; ++row) {
    const bool commandLink = row >= 5;
    TcxCustomLookAndFeelPainter* painter =
        manager != nullptr
            ? manager->GetPainter(commandLink ? (row == 5 ? lfsNative : lfsStandard) : kStyles[row])
            : nullptr;
    if (painter == nullptr)
      continue;
    const int top = rowsTop + row * ABlock.CellHeight;
    const std::wstring name =
        commandLink ? painter->LookAndFeelName() + L" command link" : painter->LookAndFeelName();
    Label(ACanvas, name, {8, top, kLabelWidth - 4, top + ABlock.Button.cy}, cxAlignLeft, -11);
    for (int column = 0; column < 5; ++column) {
      const TcxButtonState state = kStates[column];
      const int left = kLabelWidth + column * ABlock.CellWidth;
      ACanvas.Font().SetHeight(Scaled(factor, -11));
      if (!commandLink) {
        const RECT R{left, top, left + ABlock.Button.cx, top + ABlock.Button.cy};
        painter->DrawScaledButton(ACanvas, R, L"GUID Oku", state, factor);
        continue;
      }
      const RECT R{left, top, left + ABlock.CommandLink.cx, top + ABlock.CommandLink.cy};
      painter->DrawScaledCommandLinkBackground(ACanvas, R, state, factor, clDefault);
      const RECT margins = painter->GetScaledCommandLinkMargins(factor);
      const SIZE glyph = painter->GetScaledCommandLinkGlyphSize(factor);
      const POINT glyphPos{R.left + margins.left, R.top + margins.top};
      painter->DrawScaledCommandLinkGlyph(ACanvas, glyphPos, state, factor);
      RECT text{glyphPos.x + glyph.cx + Scaled(factor, 4), R.top, R.right, R.bottom};
      ACanvas.Font().SetColor(painter->DefaultCommandLinkTextColor(state, clDefault));
      ACanvas.Brush().SetStyle(bsClear);
      ACanvas.DrawText(L"Kopyala", text, cxAlignLeft | cxAlignVCenter | cxSingleLine,
                       state != cxbsDisabled);
      ACanvas.Brush().SetStyle(bsSolid);
    }
  }
}

int Run(const std::wstring& AFileName) {
  TdxScaleFactor factor144;
  factor144.Assign(3, 2, false);
  const TBlock blocks[] = {MakeBlock(nullptr, L"96 DPI"), MakeBlock(&factor144, L"144 DPI")};
  int width = 0, height = 8;
  for (const TBlock& block : blocks) {
    width = std::max(width, kLabelWidth + 5 * block.CellWidth + 8);
    height += BlockHeight(block) + 8;
  }
  TcxBitmap32 sheet(width, height);
  TcxCanvas& canvas = sheet.cxCanvas();
  canvas.FillRect(sheet.ClientRect(), kSheetColor);
  int top = 8;
  for (const TBlock& block : blocks) {
    DrawBlock(canvas, block, top);
    top += BlockHeight(block) + 8;
  }
  return SaveSheet(sheet, AFileName);
}

} // namespace
} // namespace telvora

int wmain(int argc, wchar_t** argv) {
  return telvora::RunSheetTool(argc, argv, "painter-sheet", telvora::Run);
}
