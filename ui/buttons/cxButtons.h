#pragma once
// The owner-drawn push button. In speed-button mode with CanBeFocused false
// it never takes the keyboard focus: it handles the left press itself, holds
// the mouse capture while pressed and clicks on a release over the button.
//
// TcxCustomButton's members are defined by concept, each message handler
// with its concept:
//   cxButtons.cpp             construction, state, mouse and keyboard, click,
//                             the window procedure
//   cxButtonPainting.cpp      painting, the shared paint bitmap, fading images
//   cxButtonMenus.cpp         drop-down and context menus
//   cxButtonProperties.cpp    properties from a form description
//   cxButtonScaleFactor.cpp   the scale of the form and its changes
//   cxSpeedButtonOptions.cpp  the speed-button options and their group
//                             message (also in cxSpeedButtonOptions.h)
// The action link is in cxButtonActionLink.h/.cpp.

#include "platform/ActnList.h"
#include "platform/Canvas.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "ui/buttons/cxButtonActionLink.h"
#include "ui/buttons/cxButtonColors.h"
#include "ui/buttons/cxButtonViewInfo.h"
#include "ui/buttons/cxSpeedButtonOptions.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/lookandfeel/cxLookAndFeels.h"
#include "ui/support/cxGraphics.h"
#include "ui/support/cxMouseTracking.h"
#include "ui/support/cxTimer.h"
#include "ui/support/dxFading.h"
#include "ui/support/dxScaleFactor.h"

#include <climits>
#include <cstdint>
#include <memory>

namespace telvora {

enum TcxButtonInternalState {
  bisDown,
  bisHot,
  bisPressed,
  bisMenuButtonPressed,
  bisMenuVisible,
  bisAccelExecute
};

// A set of TcxButtonInternalState: bit n for ordinal n.
class TcxButtonInternalStates {
public:
  constexpr TcxButtonInternalStates() = default;
  constexpr TcxButtonInternalStates(std::initializer_list<TcxButtonInternalState> states) {
    for (auto s : states)
      FBits = static_cast<std::uint8_t>(FBits | Bit(s));
  }
  constexpr bool Contains(TcxButtonInternalState s) const { return (FBits & Bit(s)) != 0; }
  constexpr TcxButtonInternalStates With(TcxButtonInternalState s) const {
    return FromBits(static_cast<std::uint8_t>(FBits | Bit(s)));
  }
  constexpr TcxButtonInternalStates Without(TcxButtonInternalState s) const {
    return FromBits(static_cast<std::uint8_t>(FBits & ~Bit(s)));
  }
  constexpr std::uint8_t Bits() const { return FBits; }
  constexpr bool operator==(const TcxButtonInternalStates&) const = default;

private:
  static constexpr std::uint8_t Bit(TcxButtonInternalState s) {
    return static_cast<std::uint8_t>(1u << s);
  }
  static constexpr TcxButtonInternalStates FromBits(std::uint8_t bits) {
    TcxButtonInternalStates r;
    r.FBits = bits;
    return r;
  }
  std::uint8_t FBits = 0;
};

// The key-down forwarding message the application window is offered.
constexpr UINT CM_APPKEYDOWN = 0x806B;

// The painter that draws a button of this look-and-feel: its current
// painter, except that a button is never drawn by the Office 11 painter (the
// native painter replaces it where the "Button" theme class is available,
// else the standard one). None once the painters are gone.
TcxCustomLookAndFeelPainter* GetButtonPainter(TcxLookAndFeel& ALookAndFeel);

// The caption without its accelerator markers ("&&" stays one "&").
std::wstring RemoveAccelChars(const std::wstring& ACaption);

// Whether `AChar` is the accelerator of `ACaption`: the character after a
// single "&", compared case-insensitively.
bool IsAccel(wchar_t AChar, const std::wstring& ACaption);

class TcxCustomButton;

// Raised before the button draws; a handler that sets AHandled draws the
// button itself.
using TcxButtonCustomDrawEvent = std::function<void(TObject* Sender, TcxCanvas& ACanvas,
                                                    TcxButtonViewInfo& AViewInfo, bool& AHandled)>;
// Lets a handler show the drop-down menu itself or replace it.
using TcxButtonDropDownMenuPopupEvent =
    std::function<void(TObject* Sender, TPopupMenu*& APopupMenu, bool& AHandled)>;
using TcxButtonDropDownMenuPopupExEvent =
    std::function<void(TObject* Sender, TComponent*& APopupMenu, bool& AHandled)>;
// Raised for a context-menu request at a client point ((-1, -1) from the
// keyboard); a handler that sets AHandled shows nothing.
using TContextPopupEvent = std::function<void(TObject* Sender, POINT APos, bool& AHandled)>;
// Lets a handler change the face colour and the caption font of a state.
using TcxButtonGetDrawParamsEvent = std::function<void(
    TcxCustomButton* Sender, TcxButtonState AState, TColor& AColor, TFont& AFont)>;

class TcxCustomButton : public TCustomButton,
                        public IdxScaleFactor,
                        public IdxFadingObject,
                        public IcxLookAndFeelContainer,
                        public IcxMouseTrackingCaller {
public:
  explicit TcxCustomButton(TComponent* AOwner);
  ~TcxCustomButton() override;

  // IcxLookAndFeelContainer: the button's own look-and-feel.
  TcxLookAndFeel* GetLookAndFeel() override { return FLookAndFeel.get(); }
  TcxLookAndFeel& LookAndFeel() noexcept { return *FLookAndFeel; }
  void SetLookAndFeel(const TcxLookAndFeel& Value) { FLookAndFeel->Assign(&Value); }

  // IdxFadingObject
  bool CanFade() override;
  // The blended background has changed: repaint.
  void DrawFadeImage() override { Invalidate(); }
  void GetFadingImages(std::unique_ptr<TcxBitmap32>& AFadeOutImage,
                       std::unique_ptr<TcxBitmap32>& AFadeInImage) override;

  // Repeat clicks while the left button is held over the button.
  bool RepeatClick() const noexcept { return FRepeatClick; }
  void SetRepeatClick(bool Value) noexcept { FRepeatClick = Value; }
  // Recreate the window on look-and-feel changes.
  bool UseSystemPaint() const noexcept { return FUseSystemPaint; }
  void SetUseSystemPaint(bool Value) noexcept { FUseSystemPaint = Value; }
  bool ShowFocusRect() const noexcept { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  // The repeat timer of RepeatClick.
  TcxTimer& ButtonPressTimer() noexcept { return *FButtonPressTimer; }

  // IdxScaleFactor: the button's own factor, changed with every rescale.
  TdxScaleFactor* GetScaleFactor() override { return &FScaleFactor; }
  void ChangeScale(int M, int D, bool isDpiChange) override;

  TcxSpeedButtonOptions& SpeedButtonOptions() noexcept { return FSpeedButtonOptions; }
  // Colours per state; unassigned ones are the painter's.
  TcxButtonColors& Colors() noexcept { return *FColors; }
  void SetColors(const TcxButtonColors& Value) { FColors->Assign(Value); }
  bool IsColorsStored() const noexcept { return FColors->IsStored(); }
  // Glyph placement: layout, margin and spacing.
  TcxButtonImageOptions& OptionsImage() noexcept { return *FOptionsImage; }
  // The glyph, its cell count and the image-list reference.
  TcxButtonGlyph& Glyph() noexcept { return *FGlyph; }
  // The glyph holder takes the image list and image index of the options.
  void UpdateImageInfo();
  // The layout of the last paint.
  TcxButtonViewInfo& ViewInfo() noexcept { return *FViewInfo; }
  TcxButtonKind Kind() const noexcept { return FKind; }
  // A new kind recreates the window.
  void SetKind(TcxButtonKind Value);
  // The second text line of command links and Office drop-down buttons.
  const std::wstring& Description() const noexcept { return FDescription; }
  void SetDescription(const std::wstring& Value);
  TcxButtonPaintStyle PaintStyle() const noexcept { return FPaintStyle; }
  void SetPaintStyle(TcxButtonPaintStyle Value);
  TcxButtonInternalStates InternalStates() const noexcept { return FInternalStates; }

  bool CanFocus() override;
  void Click() override;
  // The button's Checked is its Down.
  bool GetChecked() const override { return GetDown(); }
  void SetChecked(bool value) override { SetDown(value); }
  bool UpdateAction(TBasicAction* AAction) override;
  // A new parent on a form brings the button to the form's scale.
  void SetParent(TWinControl* AParent) override;

  bool GetAllowSpeedButtonOptions() const;
  bool GetCanBeFocused() const;
  int GetGroupIndex() const;
  bool GetSpeedButtonMode() const;
  bool GetDown() const { return FInternalStates.Contains(bisDown); }
  // The speed-button options' Down.
  void SetDown(bool Value) { FSpeedButtonOptions.SetDown(Value); }
  // The state handed to the painter (from the flags of the last paint).
  TcxButtonState GetButtonState();
  bool CanHotTrack();
  // The size the caption asks for in the button's font: its width plus
  // three times the width of "R", by 14/8 of the font's line height.
  virtual SIZE GetOptimalSize();
  // The painter the button is drawn by (see GetButtonPainter).
  TcxCustomLookAndFeelPainter* GetPainter();
  // False: the button is always owner-drawn.
  virtual bool StandardButton() const { return false; }

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;
  void Loaded() override;

  // The menu of the drop-down kinds and the context menu: a TPopupMenu or
  // a component that is an IPopupMenu; anything else is stored as none.
  TComponent* DropDownMenu() const noexcept { return FDropDownMenu; }
  void SetDropDownMenu(TComponent* Value);
  TComponent* PopupMenu() const noexcept { return FPopupMenu; }
  void SetPopupMenu(TComponent* Value);
  // Where the drop-down menu opens against the button.
  TPopupAlignment PopupAlignment() const noexcept { return FPopupAlignment; }
  void SetPopupAlignment(TPopupAlignment Value) noexcept { FPopupAlignment = Value; }
  // Where a press counts as a press on the menu: none for the standard
  // kind, the menu part of a split button, else the whole button.
  RECT GetMenuButtonBounds();

  TcxButtonCustomDrawEvent OnCustomDraw;
  TcxButtonGetDrawParamsEvent OnGetDrawParams;
  TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
  TcxButtonDropDownMenuPopupExEvent OnDropDownMenuPopupEx;
  TContextPopupEvent OnContextPopup;

protected:
  friend class TcxButtonViewInfo;

  // Raises OnCustomDraw; answers whether the handler drew the button.
  bool DoCustomDraw(TcxCanvas& ACanvas, TcxButtonViewInfo& AViewInfo);
  virtual void DoGetDrawParams(TcxButtonState AState, TColor& AColor, TFont& AFont);
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  // Keys that reach the default handling are offered to the application
  // window first (CM_APPKEYDOWN); a non-zero answer handles them.
  void DefaultHandler(TMessage& message) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  bool WantsWindowFont() const override { return false; }
  void SetButtonStyle(bool ADefault) override;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  // Starts mouse tracking and becomes hot.
  void MouseEnter() override;
  // Ends mouse tracking and stops being hot; also the tracking's callback
  // (IcxMouseTrackingCaller) when the pointer has gone.
  void MouseLeave() override;

  void ScaleFactorChangeHandler(TdxScaleFactor* Sender, int M, int D, bool IsLoading);
  // The scale factor has changed by M/D: margin and spacing follow it
  // (automatic values stay automatic).
  virtual void ScaleFactorChanged(int M, int D);
  virtual std::unique_ptr<TcxButtonImageOptions> CreateOptionsImage();
  virtual std::unique_ptr<TcxButtonViewInfo> CreateViewInfo();
  // Hands the view info what it needs for this paint and lets it lay out
  // the content within ABounds.
  void CalculateViewInfo(const RECT& ABounds);

  friend class TcxSpeedButtonOptions;
  friend class TcxButtonActionLink;
  // Stores a changed set; a change of the painted state starts or ends a
  // fade; repaints.
  void SetInternalStates(TcxButtonInternalStates value);
  // Normal (or default) to hot fades in, hot to normal (or default) fades
  // out, any other change drops a running fade.
  void CheckStartFading(TcxButtonState APrevState, TcxButtonState AState);
  // A press on the menu bounds (bisMenuButtonPressed) or on the button.
  void CheckPressedState(POINT p);
  // A press on a split button's menu part opens the menu at once.
  void CheckShowMenu(POINT p);
  // Asks for the drop-down menu (posted: it opens after this message).
  void DoDropDownMenu();
  // OnDropDownMenuPopupEx, then OnDropDownMenuPopup; answers whether one
  // of them handled the request. Either may replace AMenu.
  virtual bool DoDropDownMenuPopup(TComponent*& AMenu);
  // Shows the context menu at the screen point; answers whether it was.
  virtual bool DoShowPopupMenu(TComponent* AMenu, int X, int Y);
  void DoContextPopup(POINT APos, bool& AHandled);
  // A split button's reflected click counts unless only the menu part was
  // pressed.
  bool GetExecuteClick() const;
  void KeyDown(WORD& AKey, TShiftState AShift);
  void DrawItem(const DRAWITEMSTRUCT& item);
  // Draws the button on `dc` through FCanvas: the custom-draw handler, else
  // the view info as calculated for this paint.
  virtual void Draw(HDC dc);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void GlyphChanged();
  // An image list the button refers to goes away.
  void Notification(TComponent* AComponent, TOperation AOperation) override;
  void DoButtonPressTimer(TObject* Sender);
  // Sizes the button to its content; the button has no size-to-content
  // setting, so this changes nothing.
  void UpdateSize() {}

private:
  bool PointInClient(int x, int y);

  // The messages WndProc hands to a handler of their own; each handler
  // passes its message on to TCustomButton::WndProc where that is due.
  void WMLButtonDown(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void BMClick(TMessage& message);
  void WMCaptureChanged(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void CNDrawItem(TMessage& message);
  void CNMeasureItem(TMessage& message);
  void WMDestroy(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMTextChanged(TMessage& message);
  void BCMSetNote(TMessage& message);
  void CMBiDiModeChanged(TMessage& message);
  void CMDropDownPopupMenu();
  void CMCloseUpPopupMenu();
  void WMContextMenu(TMessage& message);
  void CNCommand(TMessage& message);
  // WM_KEYDOWN and WM_SYSKEYDOWN.
  void WMKeyDown(TMessage& message);
  void CMButtonPressed(TMessage& message);
  void CMDialogChar(TMessage& message);
  void WMWindowPosChanged(TMessage& message);

  // Stores AValue in AField when it is a menu (else none), linked for its
  // removal.
  void SetMenuReference(TComponent*& AField, TComponent* AValue);

  static TcxBitmap* AcquirePaintBitmap(int AWidth, int AHeight);
  static void ReleasePaintBitmap();
  // Frees the shared bitmap when the unit shuts down.
  static void FreePaintBitmap();
  friend void DoneButtonsUnit();
  // BM_CLICK of a button that cannot be focused.
  void ClickByProgram();
  // The fading image drawn for the normal (AHot false) or hot look.
  std::unique_ptr<TcxBitmap32> CreateFadingImage(bool AHot);

  std::unique_ptr<TcxButtonViewInfo> FViewInfo;
  std::unique_ptr<TcxButtonGlyph> FGlyph;
  std::unique_ptr<TcxButtonColors> FColors;
  std::unique_ptr<TcxButtonImageOptions> FOptionsImage;
  std::unique_ptr<TcxTimer> FButtonPressTimer;
  std::unique_ptr<TControlCanvas> FControlCanvas;
  std::unique_ptr<TcxCanvas> FCanvas;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  bool FRepeatClick = false;
  bool FShowFocusRect = true;
  bool FUseSystemPaint = false;
  TdxScaleFactor FScaleFactor;
  // A margin or spacing as last given and the scale factor it was given at,
  // and the value last set from it: each change of scale rescales the given
  // value, never a rounded result.
  struct TGivenImageLength {
    TGivenLength Given;
    int LastSet = INT_MIN;
  };
  int RescaleImageLength(TGivenImageLength& AGiven, int ACurrent, int M, int D);
  TGivenImageLength FGivenMargin;
  TGivenImageLength FGivenSpacing;
  TcxSpeedButtonOptions FSpeedButtonOptions{this};
  TcxButtonInternalStates FInternalStates;
  TcxButtonKind FKind = cxbkStandard;
  std::wstring FDescription;
  TComponent* FDropDownMenu = nullptr;
  TComponent* FPopupMenu = nullptr;
  TPopupAlignment FPopupAlignment = paLeft;
  // The click that closed the drop-down menu landed on the menu part.
  bool FIsDropDownMenuClosing = false;
  bool FDescribedDown = false;
  TcxButtonPaintStyle FPaintStyle = bpsDefault;
  bool FIsFocused = false;
  bool FIsPaintDefault = false;
  bool FIsPaintPressed = false;
};

class TcxButton : public TcxCustomButton {
public:
  using TcxCustomButton::TcxCustomButton;
  std::wstring ClassName() const override { return L"TcxButton"; }
};

// Posted by a button to itself: open the drop-down menu / it has closed.
constexpr UINT CM_DROPDOWNPOPUPMENU = 0x8098;
constexpr UINT CM_CLOSEUPPOPUPMENU = 0x8099;

// Registers the button classes for form descriptions.
void InitButtonsUnit();
void DoneButtonsUnit();

} // namespace telvora
