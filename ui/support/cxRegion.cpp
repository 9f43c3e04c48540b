#include "ui/support/cxRegion.h"

namespace telvora {

TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}

TcxRegion::TcxRegion(const RECT& R) : FHandle(CreateRectRgnIndirect(&R)) {}

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}

bool TcxRegion::IsEmpty() const {
  RECT box{};
  return GetRgnBox(Handle(), &box) == NULLREGION;
}

RECT TcxRegion::BoundsRect() const {
  RECT box{};
  GetRgnBox(Handle(), &box);
  return box;
}

bool TcxRegion::IsEqual(const TcxRegion& ARegion) const {
  return EqualRgn(Handle(), ARegion.Handle()) != FALSE;
}

bool TcxRegion::PtInRegion(int X, int Y) const {
  return ::PtInRegion(Handle(), X, Y) != FALSE;
}

void TcxRegion::Combine(const TcxRegion& ARegion, TcxRegionOperation AOperation) {
  int mode = RGN_COPY;
  switch (AOperation) {
  case roAdd:
    mode = RGN_OR;
    break;
  case roSubtract:
    mode = RGN_DIFF;
    break;
  case roIntersect:
    mode = RGN_AND;
    break;
  case roSet:
    break;
  }
  CombineRgn(Handle(), Handle(), ARegion.Handle(), mode);
}

void TcxRegion::Offset(int DX, int DY) {
  if (DX != 0 || DY != 0)
    OffsetRgn(Handle(), DX, DY);
}

} // namespace telvora
