#pragma once
// The owner-drawn push button. In speed-button mode with CanBeFocused false
// it never takes the keyboard focus: it handles the left press itself, holds
// the mouse capture while pressed and clicks on a release over the button.

#include "platform/StdCtrls.h"
#include "ui/lookandfeel/cxLookAndFeelPainters.h"
#include "ui/support/cxMouseTracking.h"
#include "ui/support/dxScaleFactor.h"

#include <cstdint>

namespace telvora {

enum TcxButtonKind {
  cxbkStandard,
  cxbkDropDown,
  cxbkDropDownButton,
  cxbkCommandLink,
  cxbkOfficeDropDown
};

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

class TcxCustomButton;

class TcxSpeedButtonOptions {
public:
  explicit TcxSpeedButtonOptions(TcxCustomButton* AOwner) : FOwner(AOwner) {}
  bool CanBeFocused() const noexcept { return FCanBeFocused; }
  void SetCanBeFocused(bool value);
  int GroupIndex() const noexcept { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  bool Transparent() const noexcept { return FTransparent; }

private:
  TcxCustomButton* FOwner;
  bool FCanBeFocused = true;
  int FGroupIndex = 0;
  bool FTransparent = false;
};

class TcxCustomButton : public TCustomButton, public IdxScaleFactor, public IcxMouseTrackingCaller {
public:
  explicit TcxCustomButton(TComponent* AOwner);
  ~TcxCustomButton() override;

  // IdxScaleFactor: the button's own factor, changed with every rescale.
  TdxScaleFactor* GetScaleFactor() override { return &FScaleFactor; }
  void ChangeScale(int M, int D, bool isDpiChange) override;

  TcxSpeedButtonOptions& SpeedButtonOptions() noexcept { return FSpeedButtonOptions; }
  TcxButtonKind Kind() const noexcept { return FKind; }
  TcxButtonInternalStates InternalStates() const noexcept { return FInternalStates; }

  bool CanFocus() override;
  void Click() override;

  bool GetAllowSpeedButtonOptions() const;
  bool GetCanBeFocused() const;
  int GetGroupIndex() const;
  bool GetSpeedButtonMode() const;
  bool GetDown() const { return FInternalStates.Contains(bisDown); }
  // The state handed to the painter (from the flags of the last paint).
  TcxButtonState GetButtonState();
  bool CanHotTrack() const;

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
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
  // The scale factor has changed by M/D.
  virtual void ScaleFactorChanged(int M, int D);

  void SetInternalStates(TcxButtonInternalStates value);
  void CheckPressedState(POINT p);
  void DrawItem(const DRAWITEMSTRUCT& item);
  // Draws the button's face on `dc` over the client rectangle.
  virtual void Draw(HDC dc);

private:
  bool PointInClient(int x, int y);

  TdxScaleFactor FScaleFactor;
  TcxSpeedButtonOptions FSpeedButtonOptions{this};
  TcxButtonInternalStates FInternalStates;
  TcxButtonKind FKind = cxbkStandard;
  bool FIsFocused = false;
  bool FIsPaintDefault = false;
  bool FIsPaintPressed = false;
};

class TcxButton : public TcxCustomButton {
public:
  using TcxCustomButton::TcxCustomButton;
  std::wstring ClassName() const override { return L"TcxButton"; }
};

// Registers the button classes for form descriptions.
void InitButtonsUnit();
void DoneButtonsUnit();

} // namespace telvora
