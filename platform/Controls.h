#pragma once
// Windowed controls: a control owns one Windows window (its own class or a
// subclassed system class), routes its messages through the virtual WndProc,
// reflects child notifications back to the children as CN_ messages, and
// hands any exception that leaves a message handler to the application.

#include "platform/ActnList.h"
#include "platform/Classes.h"
#include "platform/ControlActions.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/ScaleRatio.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace telvora {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = unsigned;

TShiftState KeysToShiftState(WPARAM keys) noexcept;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  // A system class to subclass ("BUTTON", "EDIT"), or empty for a class of
  // the control's own registered under WinClassName.
  std::wstring SystemClass;
  std::wstring WinClassName;
  UINT ClassStyle = CS_DBLCLKS;
  HBRUSH Background = nullptr;
};

// Reading order and alignment of a control's text and content.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

class TCustomForm;

class TWinControl : public TComponent {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // Parent and children (children in creation order, which is the z-order).
  TWinControl* Parent() const noexcept { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  int ControlCount() const noexcept { return static_cast<int>(FControls.size()); }
  TWinControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }

  HWND Handle();
  bool HandleAllocated() const noexcept { return FHandle != nullptr; }
  // Makes sure the window exists: with its children's windows, or without
  // them (AWithChildren false) until CreateChildHandles or a child's
  // Handle() makes them.
  void HandleNeeded(bool AWithChildren = true);
  void CreateChildHandles();
  void RecreateWnd();

  int Left() const noexcept { return FLeft; }
  int Top() const noexcept { return FTop; }
  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  // Moves and sizes the control; the figures become its given bounds, from
  // which every later rescale computes.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT ClientRect();
  RECT BoundsRect() const noexcept { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

  const std::wstring& Caption() const noexcept { return FCaption; }
  void SetCaption(const std::wstring& value);
  // The window text: for edit controls what the user sees.
  std::wstring Text();
  void SetText(const std::wstring& value);

  TFont& Font() noexcept { return FFont; }
  bool ParentFont() const noexcept { return FParentFont; }
  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor value);

  int TabOrder() const noexcept { return FTabOrder; }
  void SetTabOrder(int value);
  bool TabStop() const noexcept { return FTabStop; }
  void SetTabStop(bool value);
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool value);
  // Marks the control visible, then shows its window with `showCommand`.
  void Show(int showCommand);

  // The parent's mode while ParentBiDiMode is set, else the control's own.
  TBiDiMode BiDiMode() const noexcept;
  // Sets the control's own mode (ParentBiDiMode becomes false); a change of
  // the mode in force raises CM_BIDIMODECHANGED.
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const noexcept { return FParentBiDiMode; }
  void SetParentBiDiMode(bool value);
  // Right-to-left alignment: a Middle East system locale and the mode
  // bdRightToLeft.
  virtual bool UseRightToLeftAlignment();
  // Right-to-left reading: a Middle East system locale and any mode but
  // bdLeftToRight.
  bool UseRightToLeftReading();

  // Whether the control may take the keyboard focus now.
  virtual bool CanFocus();
  // Whether the control's window has the keyboard focus.
  bool Focused() const noexcept;
  virtual void SetFocus();

  TCustomForm* ParentForm();

  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  void Invalidate();
  void Repaint();
  void Refresh() { Repaint(); }

  // Rescales the control from D to M pixels per inch: the bounds edge by
  // edge and an own font, each computed from the figures last given.
  virtual void ChangeScale(int M, int D, bool isDpiChange);
  // How far the control has been rescaled since it was made.
  const TScaleRatio& Scale() const noexcept { return FScale; }

  // The text shown as the control's tip.
  const std::wstring& Hint() const noexcept { return FHint; }
  void SetHint(const std::wstring& value) { FHint = value; }

  // The action the control is linked to, or none. Linking takes the
  // action's caption, enabled, hint and visible (ActionChange) and follows
  // their changes while the control still shows the action's values; none
  // unlinks. The control forgets an action that is freed.
  TBasicAction* Action() const noexcept;
  void SetAction(TBasicAction* value);
  // Executes the linked action (OnClick is then not raised), else raises
  // OnClick.
  virtual void Click();
  // Brings AAction's state up to date where the control can (for actions
  // that work on the control); answers whether it did. The base cannot.
  virtual bool UpdateAction(TBasicAction* AAction);

  bool SetProperty(const std::wstring& path, const TPropertyValue& value) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // The control that owns a window made by this framework, or none.
  static TWinControl* FromHandle(HWND window);

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Called once the window exists (fonts, texts, children).
  virtual void CreateHandleDone() {}
  virtual void WndProc(TMessage& message);
  // The framework's default: the window's original procedure.
  virtual void DefaultHandler(TMessage& message);

  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void FontChanged();
  virtual void EnabledChanged();

  // The link a control makes to follow an action.
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  // Takes what the control shows from the action (Sender) when linked;
  // with CheckDefaults (while a form description is read) only where the
  // control still has its default.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  TControlActionLink* ActionLink() const noexcept { return FActionLink.get(); }
  void Notification(TComponent* AComponent, TOperation AOperation) override;

  // Font for the control's window (WM_SETFONT); none for owner-drawn ones.
  virtual bool WantsWindowFont() const { return true; }

  // Moves and sizes the window as layout requires (scaling, auto-size),
  // leaving the given bounds as they are.
  void ApplyBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // Multiplies the control's scale by M/D, and nothing else.
  void MultiplyScale(int M, int D) { FScale.Multiply(M, D); }
  // Sets the font's height to the given one at the current scale.
  void ScaleFontHeight();

  // Tells the control and its children that follow it that the mode in
  // force may have changed from `previous`.
  void BiDiModeChanged(TBiDiMode previous);

  bool IsMouseInControl() const noexcept { return FMouseInControl; }

private:
  friend LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
  void DestroyHandle();
  // Leaves the window to its parent's destruction, which is under way.
  void DetachWnd();
  // A control identifier for a new window of `child`, unique among the
  // windows of this control's children.
  UINT NewChildId(const TWinControl* child) const;
  void InsertControl(TWinControl* control);
  void RemoveControl(TWinControl* control);
  void ApplyParentFont();
  void UpdateBoundsFromWindow();
  void RememberGivenBounds();
  void RememberGivenFontHeight();
  bool ReflectNotification(TMessage& message);
  void MainWndProc(TMessage& message);

  TWinControl* FParent = nullptr;
  std::vector<TWinControl*> FControls;
  // The order in which this control was added to its parent, and the next
  // such number of this control's children.
  int FChildOrdinal = 0;
  int FNextChildOrdinal = 0;
  // The control identifier of this window under its parent, and those the
  // windows of this control's children hold.
  UINT FWindowId = 0;
  std::unordered_set<UINT> FChildWindowIds;
  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  // The window is of a system class, its procedure replaced by this
  // framework's (FDefWndProc is the class's own).
  bool FSubclassed = false;
  bool FCreatingWindow = false;
  bool FDeferChildHandles = false;
  // The children's windows are being made from the last to the first.
  bool FCreatingChildrenLastFirst = false;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TScaleRatio FScale;
  // The edges as last given, and the scale they were given at.
  RECT FGivenBounds{};
  TScaleRatio FGivenBoundsAt;
  TGivenLength FGivenFontHeight;
  std::wstring FCaption;
  TFont FFont;
  bool FParentFont = true;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TColor FColor = clBtnFace;
  int FTabOrder = -1;
  bool FTabStop = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FMouseInControl = false;
  bool FHasFocus = false;
  std::wstring FHint;
  std::unique_ptr<TControlActionLink> FActionLink;
};

} // namespace telvora
