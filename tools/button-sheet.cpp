// Draws whole push buttons, every kind in every look-and-feel and in every
// state, at 96 and at 144 pixels per inch, into one picture (a 24-bit BMP).
// The buttons are real TcxButton controls on two hidden forms, one of them
// scaled to 144 pixels per inch as a form on such a monitor is; each draws
// itself for every state through its own view info (the parameters it hands
// over for a paint, with the state set) onto an off-screen bitmap, as it
// does on the screen, and the pictures are laid out with labels.
//   button-sheet OUTPUT.bmp      (scripts/contact-sheet.sh turns it into a PNG)

#include "app/ProgramUnits.h"
#include "tools/SheetBitmap.h"
#include "platform/Forms.h"
#include "ui/buttons/cxButtons.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

constexpr TColor kSheetColor = static_cast<TColor>(RGB(250, 250, 250));
constexpr TColor kLabelColor = static_cast<TColor>(RGB(40, 40, 40));
constexpr TColor kKindColor = static_cast<TColor>(RGB(30, 60, 110));

struct TState {
  TcxButtonState State;
  const wchar_t* Name;
};
constexpr TState kStates[] = {{cxbsNormal, L"Normal"},
                              {cxbsHot, L"Hot"},
                              {cxbsPressed, L"Pressed"},
                              {cxbsDisabled, L"Disabled"},
                              {cxbsDefault, L"Default"}};
constexpr int kStateCount = static_cast<int>(std::size(kStates));

struct TLookAndFeel {
  const wchar_t* Name;
  bool Native;
  TcxLookAndFeelKind Kind;
};
constexpr TLookAndFeel kLookAndFeels[] = {{L"Native", true, lfStandard},
                                          {L"Standard", false, lfStandard},
                                          {L"Flat", false, lfFlat},
                                          {L"Ultra-flat", false, lfUltraFlat},
                                          {L"Office 11", false, lfOffice11}};

struct TKind {
  TcxButtonKind Kind;
  const wchar_t* Title;
  const wchar_t* Caption;
  const wchar_t* Description;
  SIZE Size; // at 96 pixels per inch
};
constexpr TKind kKinds[] = {
    {cxbkStandard, L"Standard (cxbkStandard)", L"Button", L"", {100, 25}},
    {cxbkDropDown, L"Drop-down (cxbkDropDown)", L"Drop-down", L"", {100, 25}},
    {cxbkDropDownButton, L"Split (cxbkDropDownButton)", L"Split", L"", {100, 25}},
    {cxbkCommandLink,
     L"Command link (cxbkCommandLink)",
     L"Command link",
     L"With a description",
     {136, 44}},
    {cxbkOfficeDropDown,
     L"Office drop-down (cxbkOfficeDropDown)",
     L"Office",
     L"Description",
     {112, 40}},
};

constexpr int kMargin = 8;
constexpr int kLabelWidth = 160;
constexpr int kTitleHeight = 24;
constexpr int kHeaderHeight = 18;
constexpr int kKindTitleHeight = 26;
constexpr int kCellGap = 12;
constexpr int kRowGap = 8;
constexpr int kBlockGap = 24;

// A hidden form the buttons sit on.
class TSheetForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  std::wstring ClassName() const override { return L"TButtonSheetForm"; }
};

// A real button that draws itself in a state it is not in.
class TSheetButton : public TcxButton {
public:
  using TcxButton::TcxButton;

  // Hands the view info what the button hands it for a paint, with AState
  // (and the pointer over the button when hot or pressed, the button
  // focused when default) instead of the button's own state, and has it
  // draw the whole button onto an off-screen bitmap as a paint does; then
  // copies the bitmap to ACanvas at AOrigin.
  void DrawInState(TcxCanvas& ACanvas, POINT AOrigin, TcxButtonState AState) {
    const bool disabled = AState == cxbsDisabled;
    if (disabled)
      SetEnabled(false);
    const RECT r = ClientRect();
    CalculateViewInfo(r);
    TcxButtonViewInfoParams params = ViewInfo().Params();
    params.State = AState;
    params.PointerOver = AState == cxbsHot || AState == cxbsPressed;
    params.IsFocused = AState == cxbsDefault;
    params.CanShowFocusRect = false;
    ViewInfo().SetParams(std::move(params));
    ViewInfo().Calculate(r);
    TcxBitmap bitmap(r.right - r.left, r.bottom - r.top);
    TcxCanvas& canvas = bitmap.cxCanvas();
    if (bitmap.Handle() != nullptr && canvas.Handle() != nullptr) {
      ViewInfo().Draw(canvas);
      cxBitBlt(ACanvas.Handle(), canvas.Handle(),
               {AOrigin.x, AOrigin.y, AOrigin.x + r.right - r.left, AOrigin.y + r.bottom - r.top},
               POINT{0, 0}, SRCCOPY);
    }
    if (disabled)
      SetEnabled(true);
  }
};

// The buttons of one resolution: kind by look-and-feel.
struct TBlock {
  std::unique_ptr<TSheetForm> Form;
  std::array<std::array<TSheetButton*, std::size(kLookAndFeels)>, std::size(kKinds)> Buttons{};
  const wchar_t* Title = L"";
  int ColumnWidth = 0;
};

TBlock MakeBlock(int APixelsPerInch, const wchar_t* ATitle) {
  TBlock block;
  block.Title = ATitle;
  block.Form = std::make_unique<TSheetForm>(nullptr);
  TSheetForm& form = *block.Form;
  form.SetColor(kSheetColor);
  form.SetClientSize(400, 300);
  form.HandleNeeded();
  for (size_t k = 0; k < std::size(kKinds); ++k)
    for (size_t l = 0; l < std::size(kLookAndFeels); ++l) {
      auto* button = new TSheetButton(&form);
      button->SetParent(&form);
      button->SetBounds(0, 0, kKinds[k].Size.cx, kKinds[k].Size.cy);
      button->SetKind(kKinds[k].Kind);
      button->SetCaption(kKinds[k].Caption);
      button->SetDescription(kKinds[k].Description);
      button->LookAndFeel().SetNativeStyle(kLookAndFeels[l].Native);
      if (!kLookAndFeels[l].Native)
        button->LookAndFeel().SetKind(kLookAndFeels[l].Kind);
      block.Buttons[k][l] = button;
    }
  // As a form shown on a monitor of that resolution: fonts, bounds and the
  // buttons' scale factors follow.
  form.ScaleForPPI(APixelsPerInch);
  int widest = 0;
  for (const auto& row : block.Buttons)
    for (TSheetButton* button : row) {
      button->HandleNeeded();
      widest = std::max(widest, button->Width());
    }
  block.ColumnWidth = widest + kCellGap;
  return block;
}

void Label(TcxCanvas& ACanvas, const std::wstring& AText, RECT R, int AHeight, bool ABold = false,
           TColor AColor = kLabelColor) {
  ACanvas.Font().SetName(L"Tahoma");
  ACanvas.Font().SetHeight(AHeight);
  ACanvas.Font().SetStyle(ABold ? static_cast<unsigned>(fsBold) : 0u);
  ACanvas.Font().SetColor(AColor);
  ACanvas.Brush().SetStyle(bsClear);
  ACanvas.DrawText(AText, R, cxAlignLeft | cxSingleLine | cxAlignVCenter);
  ACanvas.Brush().SetStyle(bsSolid);
  ACanvas.Font().SetStyle(0);
}

// The name a row is labelled with: the look-and-feel, and the painter that
// really draws its buttons when that is another one's.
std::wstring RowName(const TLookAndFeel& ALookAndFeel, TSheetButton& AButton) {
  std::wstring name = ALookAndFeel.Name;
  TcxCustomLookAndFeelPainter* painter = AButton.GetPainter();
  if (painter != nullptr && !ALookAndFeel.Native && painter->LookAndFeelStyle() == lfsNative)
    name += L" (native painter)";
  return name;
}

int RowHeight(const TBlock (&ABlocks)[2], size_t AKind) {
  int height = 0;
  for (const TBlock& block : ABlocks)
    height = std::max(height, block.Buttons[AKind][0]->Height());
  return height + kRowGap;
}

int Run(const std::wstring& AFileName) {
  TBlock blocks[2] = {MakeBlock(96, L"96 DPI"), MakeBlock(144, L"144 DPI")};
  int blockLeft[2] = {kMargin + kLabelWidth, 0};
  blockLeft[1] = blockLeft[0] + kStateCount * blocks[0].ColumnWidth + kBlockGap;
  const int width = blockLeft[1] + kStateCount * blocks[1].ColumnWidth + kMargin;
  int height = kMargin + kTitleHeight + kHeaderHeight;
  for (size_t k = 0; k < std::size(kKinds); ++k)
    height += kKindTitleHeight + static_cast<int>(std::size(kLookAndFeels)) * RowHeight(blocks, k);
  height += kMargin;

  TcxBitmap32 sheet(width, height);
  TcxCanvas& canvas = sheet.cxCanvas();
  canvas.FillRect(sheet.ClientRect(), kSheetColor);

  int top = kMargin;
  for (int b = 0; b < 2; ++b) {
    Label(canvas, blocks[b].Title, {blockLeft[b], top, width, top + kTitleHeight}, -14, true);
    for (int s = 0; s < kStateCount; ++s) {
      const int left = blockLeft[b] + s * blocks[b].ColumnWidth;
      Label(canvas, kStates[s].Name,
            {left, top + kTitleHeight, left + blocks[b].ColumnWidth,
             top + kTitleHeight + kHeaderHeight},
            -11);
    }
  }
  top += kTitleHeight + kHeaderHeight;
  for (size_t k = 0; k < std::size(kKinds); ++k) {
    Label(canvas, kKinds[k].Title, {kMargin, top, width, top + kKindTitleHeight}, -11, true,
          kKindColor);
    top += kKindTitleHeight;
    const int rowHeight = RowHeight(blocks, k);
    for (size_t l = 0; l < std::size(kLookAndFeels); ++l) {
      Label(canvas, RowName(kLookAndFeels[l], *blocks[0].Buttons[k][l]),
            {kMargin + 8, top, kMargin + kLabelWidth - 4, top + blocks[0].Buttons[k][l]->Height()},
            -11);
      for (int b = 0; b < 2; ++b)
        for (int s = 0; s < kStateCount; ++s)
          blocks[b].Buttons[k][l]->DrawInState(
              canvas, POINT{blockLeft[b] + s * blocks[b].ColumnWidth, top}, kStates[s].State);
      top += rowHeight;
    }
  }
  return SaveSheet(sheet, AFileName);
}

} // namespace
} // namespace telvora

int wmain(int argc, wchar_t** argv) {
  return telvora::RunSheetTool(argc, argv, "button-sheet", telvora::Run);
}
