#pragma once
// A GDI region that owns its handle, with the set operations the canvas
// clips with.

#include "platform/Classes.h"
#include "platform/Handles.h"

#include <windows.h>

namespace telvora {

enum TcxRegionOperation { roSet, roAdd, roSubtract, roIntersect };

class TcxRegion : public TObject {
public:
  // An empty region.
  TcxRegion();
  explicit TcxRegion(const RECT& R);
  // Takes ownership of `AHandle`.
  explicit TcxRegion(HRGN AHandle);

  HRGN Handle() const noexcept { return static_cast<HRGN>(FHandle.Get()); }
  bool IsEmpty() const;
  RECT BoundsRect() const;
  bool IsEqual(const TcxRegion& ARegion) const;
  bool PtInRegion(int X, int Y) const;
  void Combine(const TcxRegion& ARegion, TcxRegionOperation AOperation);
  void Offset(int DX, int DY);

private:
  TGdiObject FHandle;
};

} // namespace telvora
