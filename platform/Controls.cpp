#include "platform/Controls.h"

#include "platform/Application.h"
#include "platform/ControlMap.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/ProgramIcon.h"

#include <algorithm>
#include <iterator>

namespace telvora {

namespace {

BYTE CharsetFromValue(const TPropertyValue& value) {
  if (value.Kind == TPropertyValue::TKind::Integer)
    return static_cast<BYTE>(value.AsInteger());
  static constexpr const wchar_t* kNames[] = {L"DEFAULT_CHARSET", L"ANSI_CHARSET",
                                              L"TURKISH_CHARSET"};
  static constexpr BYTE kCharsets[] = {DEFAULT_CHARSET, ANSI_CHARSET, TURKISH_CHARSET};
  return kCharsets[value.AsEnumeration(kNames)];
}
} // namespace

TShiftState KeysToShiftState(WPARAM keys) noexcept {
  TShiftState result = 0;
  if (keys & MK_SHIFT)
    result |= ssShift;
  if (keys & MK_CONTROL)
    result |= ssCtrl;
  if (keys & MK_LBUTTON)
    result |= ssLeft;
  if (keys & MK_RBUTTON)
    result |= ssRight;
  if (keys & MK_MBUTTON)
    result |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0)
    result |= ssAlt;
  return result;
}

LRESULT CALLBACK ControlWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = ControlMap().Get(window);
  if (control == nullptr && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    control = static_cast<TWinControl*>(cs->lpCreateParams);
    if (control != nullptr) {
      ControlMap().Set(window, control);
      control->FHandle = window;
    }
  }
  if (control == nullptr)
    return DefWindowProcW(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  control->MainWndProc(message);
  return message.Result;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (window == nullptr)
    return nullptr;
  return ControlMap().Get(window);
}

TWinControl::TWinControl(TComponent* AOwner) : TComponent(AOwner) {
  FGivenFontHeight = {FFont.Height(), FScale};
  FFont.OnChange = [this] {
    FParentFont = false;
    RememberGivenFontHeight();
    FontChanged();
  };
}

TWinControl::~TWinControl() {
  MarkDestroying();
  // Out of sight first, as DestroyWindow would take it: the windows of the
  // children then go without each uncovering a piece of a visible parent
  // (which costs every sibling's region, so N children would cost N x N).
  if (FHandle != nullptr && !FControls.empty() && IsWindowVisible(FHandle))
    ShowWindow(FHandle, SW_HIDE);
  // The action is told nothing more about this control.
  FActionLink.reset();
  // Owned components go first, while this control is still whole.
  DestroyComponents();
  for (TWinControl* child : FControls)
    child->FParent = nullptr;
  FControls.clear();
  DestroyHandle();
  if (FParent) {
    // The form must not go on naming a control that is gone.
    if (TCustomForm* form = ParentForm(); form && form != this)
      form->ControlDestroying(this);
    FParent->RemoveControl(this);
  }
}

void TWinControl::MainWndProc(TMessage& message) {
  // Whether the window has the keyboard focus, as its own messages tell it
  // (asking the window manager costs a round trip to the server under Wine).
  if (message.Msg == WM_SETFOCUS)
    FHasFocus = true;
  else if (message.Msg == WM_KILLFOCUS)
    FHasFocus = false;
  // The message entry point of every control: nothing escapes into Windows.
  try {
    WndProc(message);
  } catch (...) {
    if (Application())
      Application()->HandleException(this);
  }
  if (message.Msg == WM_NCDESTROY) {
    if (FParent != nullptr && FWindowId != 0)
      FParent->FChildWindowIds.erase(FWindowId);
    FWindowId = 0;
    ControlMap().Remove(FHandle);
    FHandle = nullptr;
    FDefWndProc = nullptr;
    FSubclassed = false;
    FMouseInControl = false;
    FHasFocus = false;
  }
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent)
    return;
  if (FParent)
    FParent->RemoveControl(this);
  DestroyHandle();
  FParent = AParent;
  if (FParent) {
    FParent->InsertControl(this);
    if (FParentFont)
      ApplyParentFont();
  }
}

void TWinControl::InsertControl(TWinControl* control) {
  FControls.push_back(control);
  control->FChildOrdinal = FNextChildOrdinal++;
  if (control->FTabOrder < 0)
    control->FTabOrder = static_cast<int>(FControls.size()) - 1;
  if (HandleAllocated())
    control->HandleNeeded();
}

void TWinControl::RemoveControl(TWinControl* control) {
  // Children mostly go last first (an owner frees its components that way):
  // looked for from the end.
  auto it = std::find(FControls.rbegin(), FControls.rend(), control);
  if (it != FControls.rend())
    FControls.erase(std::next(it).base());
}

void TWinControl::ApplyParentFont() {
  if (!FParent)
    return;
  FFont.Assign(FParent->FFont);
  FParentFont = true;
}

HWND TWinControl::Handle() {
  if (FHandle == nullptr && !FCreatingWindow) {
    if (FParent)
      FParent->HandleNeeded();
    if (FHandle == nullptr)
      CreateWnd();
  }
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = FCaption;
  params.Style = FParent ? WS_CHILD | WS_CLIPSIBLINGS : WS_OVERLAPPEDWINDOW;
  if (FParent && FVisible)
    params.Style |= WS_VISIBLE;
  if (FTabStop)
    params.Style |= WS_TABSTOP;
  if (!FEnabled)
    params.Style |= WS_DISABLED;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  params.WndParent = FParent ? FParent->Handle() : nullptr;
  params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  FCreatingWindow = true;
  HWND window = nullptr;
  const UINT childId = FParent ? FParent->NewChildId(this) : 0;
  HMENU id = FParent ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(childId)) : nullptr;
  if (params.SystemClass.empty()) {
    WNDCLASSW existing{};
    if (!GetClassInfoW(instance, params.WinClassName.c_str(), &existing)) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.style = params.ClassStyle;
      wc.lpfnWndProc = ControlWndProc;
      wc.hInstance = instance;
      wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      wc.hbrBackground = params.Background;
      SetProgramIcon(wc);
      wc.lpszClassName = params.WinClassName.c_str();
      if (!RegisterClassExW(&wc)) {
        FCreatingWindow = false;
        throw Exception(L"Cannot register window class " + params.WinClassName);
      }
    }
    FDefWndProc = DefWindowProcW;
    window = CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                             params.Style, params.X, params.Y, params.Width, params.Height,
                             params.WndParent, id, instance, this);
  } else {
    window = CreateWindowExW(params.ExStyle, params.SystemClass.c_str(), params.Caption.c_str(),
                             params.Style, params.X, params.Y, params.Width, params.Height,
                             params.WndParent, id, instance, nullptr);
    if (window) {
      FHandle = window;
      ControlMap().Set(window, this);
      FDefWndProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlWndProc)));
      FSubclassed = true;
    }
  }
  FCreatingWindow = false;
  if (window == nullptr)
    throw Exception(L"Error creating window of " + ClassName());
  FHandle = window;
  if (FParent) {
    FWindowId = childId;
    FParent->FChildWindowIds.insert(childId);
  }
  // A new child window goes to the bottom of its siblings; a control made
  // after the others belongs on top of them. Children made together by
  // their parent are made last first, so that each is in its place already.
  if (FParent && !FParent->FCreatingChildrenLastFirst)
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateBoundsFromWindow();
  if (WantsWindowFont())
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
  CreateHandleDone();
  if (!FDeferChildHandles)
    CreateChildHandles();
}

void TWinControl::HandleNeeded(bool AWithChildren) {
  FDeferChildHandles = !AWithChildren;
  TScopeExit reset([this] { FDeferChildHandles = false; });
  Handle();
}

void TWinControl::CreateChildHandles() {
  const bool none = std::none_of(FControls.begin(), FControls.end(), [](const TWinControl* child) {
    return child->FHandle != nullptr;
  });
  if (!none || FControls.size() < 2) {
    for (size_t i = 0; i < FControls.size(); ++i)
      FControls[i]->HandleNeeded();
    return;
  }
  // No child has a window yet: made from the last to the first, each new
  // window going below those made before, the first control ends at the
  // bottom of the z-order and the last on top, with no window moved
  // afterwards (a move costs a round trip to the window manager for every
  // child).
  {
    FCreatingChildrenLastFirst = true;
    TScopeExit reset([this] { FCreatingChildrenLastFirst = false; });
    for (size_t i = FControls.size(); i-- > 0;)
      if (i < FControls.size())
        FControls[i]->HandleNeeded();
  }
  // Should the system have put new windows on top instead, the order is
  // set here, one window at a time.
  TWinControl* last = FControls.back();
  if (last->FHandle != nullptr && GetWindow(FHandle, GW_CHILD) != last->FHandle)
    for (TWinControl* child : FControls)
      if (child->FHandle != nullptr)
        SetWindowPos(child->FHandle, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

UINT TWinControl::NewChildId(const TWinControl* child) const {
  // From the child's place among the children when it was added, so that
  // the same form gives the same identifiers; past any identifier a sibling
  // window of this framework holds. The windows are not asked: a search of
  // the parent's children at every new window (GetDlgItem) would make a form
  // of N controls cost N x N.
  UINT id = 100 + static_cast<UINT>(child->FChildOrdinal);
  while (FChildWindowIds.contains(id))
    ++id;
  return id;
}

void TWinControl::UpdateBoundsFromWindow() {
  RECT r{};
  GetWindowRect(FHandle, &r);
  if (FParent && FParent->FHandle)
    MapWindowPoints(nullptr, FParent->FHandle, reinterpret_cast<POINT*>(&r), 2);
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
}

void TWinControl::DestroyWnd() {
  if (FHandle)
    DestroyWindow(FHandle);
}

void TWinControl::DestroyHandle() {
  if (FHandle) {
    if (FParent != nullptr && FParent->IsDestroying() && FParent->FHandle != nullptr)
      DetachWnd();
    else
      DestroyWnd();
  }
  FHandle = nullptr;
}

void TWinControl::DetachWnd() {
  // The parent's window is about to go and takes this one with it, as
  // Windows destroys a window's children: the window is handed back to its
  // class's own procedure and forgotten here. Destroyed one by one, each
  // child would cost its own round of hiding, focus and capture checks.
  if (FSubclassed && FDefWndProc != nullptr)
    SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
  ControlMap().Remove(FHandle);
  if (FWindowId != 0)
    FParent->FChildWindowIds.erase(FWindowId);
  FWindowId = 0;
  FHandle = nullptr;
  FDefWndProc = nullptr;
  FSubclassed = false;
  FMouseInControl = false;
  FHasFocus = false;
}

void TWinControl::RecreateWnd() {
  if (!FHandle)
    return;
  bool hadFocus = Focused();
  DestroyHandle();
  HandleNeeded();
  if (hadFocus && CanFocus())
    SetFocus();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  ApplyBounds(ALeft, ATop, AWidth, AHeight);
  RememberGivenBounds();
}

void TWinControl::RememberGivenBounds() {
  FGivenBounds = BoundsRect();
  FGivenBoundsAt = FScale;
}

void TWinControl::RememberGivenFontHeight() {
  // A height other than the given one at the current scale was set by
  // someone other than the rescaling: it is the given one from now on.
  if (FFont.Height() != FGivenFontHeight.ScaledTo(FScale))
    FGivenFontHeight = {FFont.Height(), FScale};
}

void TWinControl::ScaleFontHeight() {
  FFont.SetHeight(FGivenFontHeight.ScaledTo(FScale));
}

void TWinControl::ApplyBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TWinControl::ClientRect() {
  RECT r{0, 0, FWidth, FHeight};
  if (FHandle)
    GetClientRect(FHandle, &r);
  return r;
}

void TWinControl::SetCaption(const std::wstring& value) {
  if (value == FCaption)
    return;
  FCaption = value;
  if (FHandle)
    SetWindowTextW(FHandle, value.c_str());
  Perform(CM_TEXTCHANGED);
}

std::wstring TWinControl::Text() {
  if (!FHandle)
    return FCaption;
  int length = GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void TWinControl::SetText(const std::wstring& value) {
  FCaption = value;
  if (FHandle)
    SetWindowTextW(FHandle, value.c_str());
  Perform(CM_TEXTCHANGED);
}

void TWinControl::SetColor(TColor value) {
  if (value != FColor) {
    FColor = value;
    Invalidate();
  }
}

void TWinControl::SetTabOrder(int value) {
  FTabOrder = value;
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop)
    return;
  FTabStop = value;
  if (FHandle) {
    LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(FHandle, GWL_STYLE, style);
  }
}

void TWinControl::SetEnabled(bool value) {
  if (value == FEnabled)
    return;
  FEnabled = value;
  if (FHandle)
    EnableWindow(FHandle, value);
  Perform(CM_ENABLEDCHANGED);
}

void TWinControl::SetVisible(bool value) {
  if (value == FVisible)
    return;
  FVisible = value;
  if (FHandle && (IsWindowVisible(FHandle) != FALSE) != value)
    ShowWindow(FHandle, value ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::Show(int showCommand) {
  FVisible = true;
  ShowWindow(Handle(), showCommand);
}

TCustomForm* TWinControl::ParentForm() {
  TWinControl* control = this;
  while (control->FParent)
    control = control->FParent;
  return dynamic_cast<TCustomForm*>(control);
}

bool TWinControl::CanFocus() {
  TCustomForm* form = ParentForm();
  if (form == nullptr)
    return false;
  for (TWinControl* c = this; c != nullptr; c = c->FParent)
    if (!c->FVisible || !c->FEnabled)
      return false;
  return true;
}

bool TWinControl::Focused() const noexcept {
  return FHandle != nullptr && FHasFocus;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = ParentForm(); form && form != this)
    form->FocusControl(this);
  else if (Handle())
    ::SetFocus(FHandle);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TWinControl::Invalidate() {
  if (FHandle)
    InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::Repaint() {
  if (FHandle) {
    InvalidateRect(FHandle, nullptr, FALSE);
    UpdateWindow(FHandle);
  }
}

void TWinControl::ChangeScale(int M, int D, bool isDpiChange) {
  if (M == D || M <= 0 || D <= 0)
    return;
  FScale.Multiply(M, D);
  if (!FParentFont)
    ScaleFontHeight();
  // Edges, not sizes, are rounded: right and bottom follow from the given
  // left + width and top + height.
  const RECT& given = FGivenBounds;
  int newLeft = ScaleLength(given.left, FGivenBoundsAt, FScale);
  int newTop = ScaleLength(given.top, FGivenBoundsAt, FScale);
  int newRight = ScaleLength(given.right, FGivenBoundsAt, FScale);
  int newBottom = ScaleLength(given.bottom, FGivenBoundsAt, FScale);
  ApplyBounds(newLeft, newTop, newRight - newLeft, newBottom - newTop);
  for (TWinControl* child : FControls)
    child->ChangeScale(M, D, isDpiChange);
}

TBiDiMode TWinControl::BiDiMode() const noexcept {
  if (FParentBiDiMode && FParent != nullptr)
    return FParent->BiDiMode();
  return FBiDiMode;
}

void TWinControl::SetBiDiMode(TBiDiMode value) {
  const TBiDiMode previous = BiDiMode();
  FBiDiMode = value;
  FParentBiDiMode = false;
  BiDiModeChanged(previous);
}

void TWinControl::SetParentBiDiMode(bool value) {
  if (value == FParentBiDiMode)
    return;
  const TBiDiMode previous = BiDiMode();
  FParentBiDiMode = value;
  BiDiModeChanged(previous);
}

void TWinControl::BiDiModeChanged(TBiDiMode previous) {
  if (BiDiMode() == previous)
    return;
  Perform(CM_BIDIMODECHANGED);
  for (TWinControl* child : FControls)
    if (child->FParentBiDiMode)
      child->BiDiModeChanged(previous);
}

bool TWinControl::UseRightToLeftAlignment() {
  return SysLocale().MiddleEast && BiDiMode() == bdRightToLeft;
}

bool TWinControl::UseRightToLeftReading() {
  return SysLocale().MiddleEast && BiDiMode() != bdLeftToRight;
}

bool TWinControl::SetProperty(const std::wstring& path, const TPropertyValue& value) {
  int* bound = path == L"Left"     ? &FLeft
               : path == L"Top"    ? &FTop
               : path == L"Width"  ? &FWidth
               : path == L"Height" ? &FHeight
                                   : nullptr;
  if (bound != nullptr) {
    *bound = value.AsInteger();
    RememberGivenBounds();
  } else if (path == L"Caption" || path == L"Text")
    SetCaption(value.AsString());
  else if (path == L"TabOrder")
    SetTabOrder(value.AsInteger());
  else if (path == L"TabStop")
    SetTabStop(value.AsBoolean());
  else if (path == L"Enabled")
    SetEnabled(value.AsBoolean());
  else if (path == L"Visible")
    SetVisible(value.AsBoolean());
  else if (path == L"Color")
    SetColor(value.AsColor());
  else if (path == L"ParentFont") {
    if (value.AsBoolean())
      ApplyParentFont();
    else {
      FParentFont = false;
      RememberGivenFontHeight();
    }
  } else if (path == L"Font.Name")
    FFont.SetName(value.AsString());
  else if (path == L"Font.Height")
    FFont.SetHeight(value.AsInteger());
  else if (path == L"Font.Charset")
    FFont.SetCharset(CharsetFromValue(value));
  else if (path == L"Font.Color")
    FFont.SetColor(value.AsColor());
  else if (path == L"Font.Style") {
    // Each style's bit is its name's position.
    static constexpr const wchar_t* kStyles[] = {L"fsBold", L"fsItalic", L"fsUnderline",
                                                 L"fsStrikeOut"};
    FFont.SetStyle(value.AsSet(kStyles));
  } else if (path == L"BiDiMode")
    SetBiDiMode(
        value.AsEnumeration<TBiDiMode>({L"bdLeftToRight", L"bdRightToLeft", L"bdRightToLeftNoAlign",
                                        L"bdRightToLeftReadingOnly"}));
  else if (path == L"ParentBiDiMode")
    SetParentBiDiMode(value.AsBoolean());
  else if (path == L"Hint")
    SetHint(value.AsString());
  else if (path == L"Action")
    ReadReference(value.AsString(), [this](TComponent* AAction) {
      auto* action = dynamic_cast<TBasicAction*>(AAction);
      if (action == nullptr)
        throw EReadError(L"Invalid property value: " + AAction->Name() + L" is no action");
      SetAction(action);
    });
  else if (path == L"OnClick")
    OnClick = value.Method;
  else if (path == L"OnDblClick")
    OnDblClick = value.Method;
  else if (path == L"OnMouseEnter")
    OnMouseEnter = value.Method;
  else if (path == L"OnMouseLeave")
    OnMouseLeave = value.Method;
  else
    return TComponent::SetProperty(path, value);
  return true;
}

void TWinControl::FontChanged() {
  if (FHandle && WantsWindowFont())
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
  for (TWinControl* child : FControls)
    if (child->FParentFont)
      child->ApplyParentFont();
  Perform(CM_FONTCHANGED);
}

void TWinControl::EnabledChanged() {
  Invalidate();
}

bool TWinControl::ReflectNotification(TMessage& message) {
  HWND child = nullptr;
  switch (message.Msg) {
  case WM_COMMAND:
    child = reinterpret_cast<HWND>(message.LParam);
    break;
  case WM_DRAWITEM:
    child = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem;
    break;
  case WM_MEASUREITEM: {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    if (mis->CtlType != ODT_MENU)
      child = GetDlgItem(FHandle, static_cast<int>(mis->CtlID));
    break;
  }
  case WM_CTLCOLORBTN:
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORSTATIC:
    child = reinterpret_cast<HWND>(message.LParam);
    break;
  default:
    return false;
  }
  TWinControl* control = child != nullptr ? FromHandle(child) : nullptr;
  if (control == nullptr)
    return false;
  // Handed to the control's own message handling directly: the reflection
  // never leaves this thread, so no window message is needed for it.
  message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
  return true;
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
  case WM_MOUSEMOVE:
    if (!FMouseInControl) {
      FMouseInControl = true;
      TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
      TrackMouseEvent(&tme);
      Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
    }
    DefaultHandler(message);
    MouseMove(KeysToShiftState(message.WParam), XFromLParam(message.LParam),
              YFromLParam(message.LParam));
    return;
  case WM_MOUSELEAVE:
    if (FMouseInControl) {
      FMouseInControl = false;
      Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    }
    DefaultHandler(message);
    return;
  case CM_MOUSEENTER:
    if (OnMouseEnter)
      OnMouseEnter(this);
    return;
  case CM_MOUSELEAVE:
    if (OnMouseLeave)
      OnMouseLeave(this);
    return;
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN: {
    TMouseButton button = message.Msg == WM_LBUTTONDOWN   ? TMouseButton::mbLeft
                          : message.Msg == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                                          : TMouseButton::mbMiddle;
    DefaultHandler(message);
    if (FHandle)
      MouseDown(button, KeysToShiftState(message.WParam), XFromLParam(message.LParam),
                YFromLParam(message.LParam));
    return;
  }
  case WM_LBUTTONDBLCLK:
    DefaultHandler(message);
    DblClick();
    MouseDown(TMouseButton::mbLeft, KeysToShiftState(message.WParam) | ssDouble,
              XFromLParam(message.LParam), YFromLParam(message.LParam));
    return;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  case WM_MBUTTONUP: {
    TMouseButton button = message.Msg == WM_LBUTTONUP   ? TMouseButton::mbLeft
                          : message.Msg == WM_RBUTTONUP ? TMouseButton::mbRight
                                                        : TMouseButton::mbMiddle;
    DefaultHandler(message);
    MouseUp(button, KeysToShiftState(message.WParam), XFromLParam(message.LParam),
            YFromLParam(message.LParam));
    return;
  }
  case WM_SETFOCUS:
    if (TCustomForm* form = ParentForm(); form && form != this)
      form->ControlFocused(this);
    DefaultHandler(message);
    return;
  case WM_SETTEXT:
    // Whoever sets the window text (this control, another program, an
    // accessibility tool) sets the caption: there is only one.
    DefaultHandler(message);
    if (message.Result != 0 && !FCreatingWindow) {
      const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
      std::wstring value = text != nullptr ? text : L"";
      if (value != FCaption) {
        FCaption = std::move(value);
        Perform(CM_TEXTCHANGED);
      }
    }
    return;
  case WM_ENABLE:
    // A child enabled or disabled by EnableWindow from anywhere follows it.
    // A form keeps its own setting while a modal box disables its window.
    DefaultHandler(message);
    if (FParent != nullptr && (message.WParam != 0) != FEnabled) {
      FEnabled = message.WParam != 0;
      Perform(CM_ENABLEDCHANGED);
    }
    return;
  case CM_ENABLEDCHANGED:
    EnabledChanged();
    return;
  case CM_FONTCHANGED:
  case CM_TEXTCHANGED:
    return;
  default:
    break;
  }
  if (ReflectNotification(message))
    return;
  DefaultHandler(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (FHandle && FDefWndProc)
    message.Result =
        CallWindowProcW(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
  else if (FHandle)
    message.Result = DefWindowProcW(FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown)
    OnMouseDown(this, button, shift, x, y);
}

void TWinControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove)
    OnMouseMove(this, shift, x, y);
}

void TWinControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp)
    OnMouseUp(this, button, shift, x, y);
}

void TWinControl::DblClick() {
  if (OnDblClick)
    OnDblClick(this);
}

void TWinControl::MouseEnter() {}

void TWinControl::MouseLeave() {}

} // namespace telvora
