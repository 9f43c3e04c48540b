#include "ui/support/cxParentBackground.h"

#include "ui/support/cxRegion.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace telvora {

namespace {

// The list of parents being painted by cxDrawTransparentControlBackground:
// created on first use, freed when it empties.
std::unique_ptr<std::vector<TWinControl*>>& PaintingParents() {
  static std::unique_ptr<std::vector<TWinControl*>> list;
  return list;
}

} // namespace

void cxDrawTransparentControlBackground(TWinControl* AControl, TcxCanvas& ACanvas,
                                        const RECT& ARect, bool APaintParentWithChildren) {
  TWinControl* parent = AControl != nullptr ? AControl->Parent() : nullptr;
  if (parent == nullptr)
    return;
  auto& parents = PaintingParents();
  if (parents && std::find(parents->begin(), parents->end(), parent) != parents->end())
    return;
  if (!parent->HandleAllocated())
    return;
  HWND parentWindow = parent->Handle();

  // ARect in the parent's client coordinates.
  RECT parentRect = ARect;
  if (AControl->HandleAllocated())
    MapWindowPoints(AControl->Handle(), parentWindow, reinterpret_cast<POINT*>(&parentRect), 2);
  else
    OffsetRect(&parentRect, AControl->Left(), AControl->Top());

  if (!parents)
    parents = std::make_unique<std::vector<TWinControl*>>();
  parents->push_back(parent);
  TScopeExit removeParent([parent] {
    auto& list = PaintingParents();
    if (!list)
      return;
    auto it = std::find(list->begin(), list->end(), parent);
    if (it != list->end())
      list->erase(it);
    if (list->empty())
      list.reset();
  });

  HDC dc = ACanvas.Handle();
  int saved = ::SaveDC(dc);
  TScopeExit restoreDC([dc, saved] { ::RestoreDC(dc, saved); });
  ::IntersectClipRect(dc, ARect.left, ARect.top, ARect.right, ARect.bottom);
  POINT origin = ACanvas.DCOrigin();
  {
    TcxRegion windowRegion;
    if (GetWindowRgn(parentWindow, windowRegion.Handle()) != ERROR) {
      // The window region is relative to the window's corner; the clip region
      // is in device coordinates of the canvas.
      RECT windowRect{};
      GetWindowRect(parentWindow, &windowRect);
      POINT client{0, 0};
      ClientToScreen(parentWindow, &client);
      windowRegion.Offset(windowRect.left - client.x + ARect.left - parentRect.left + origin.x,
                          windowRect.top - client.y + ARect.top - parentRect.top + origin.y);
      ExtSelectClipRgn(dc, windowRegion.Handle(), RGN_AND);
    }
  }
  OffsetWindowOrgEx(dc, parentRect.left - ARect.left, parentRect.top - ARect.top, nullptr);
  SendMessageW(parentWindow, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT);

  if (APaintParentWithChildren) {
    // The parent's other children, bottom of the z-order first.
    HWND own = AControl->HandleAllocated() ? AControl->Handle() : nullptr;
    for (HWND child = GetWindow(GetWindow(parentWindow, GW_CHILD), GW_HWNDLAST); child != nullptr;
         child = GetWindow(child, GW_HWNDPREV)) {
      if (child == own || !IsWindowVisible(child))
        continue;
      RECT childRect{};
      GetWindowRect(child, &childRect);
      MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&childRect), 2);
      RECT common{};
      if (!IntersectRect(&common, &childRect, &parentRect))
        continue;
      int childSaved = ::SaveDC(dc);
      TScopeExit restoreChild([dc, childSaved] { ::RestoreDC(dc, childSaved); });
      ::IntersectClipRect(dc, childRect.left, childRect.top, childRect.right, childRect.bottom);
      OffsetWindowOrgEx(dc, -childRect.left, -childRect.top, nullptr);
      SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
    }
  }
}

} // namespace telvora
