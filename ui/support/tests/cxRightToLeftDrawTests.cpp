// Drawing mirrored for a canvas that draws right to left, and the world
// transform put back also when the drawing raises.

#include "ui/support/cxRightToLeftDraw.h"

#include "ui/support/tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace telvora {
namespace {

using namespace graphics_tests;

TEST(cxCanvasSaves, RightToLeftDrawingMirrorsAndRestoresOnFailure) {
  TSurface s(20, 4, clLime);
  TcxCanvas& canvas = s.Canvas();
  canvas.SetUseRightToLeftAlignment(bTrue);
  HDC dc = canvas.Handle();
  cxRightToLeftDependentDraw(canvas, {0, 0, 20, 4}, [&] { canvas.FillRect({0, 0, 4, 4}, clRed); });
  // The fill lands on the right-hand side.
  EXPECT_EQ(Px(s.Bitmap, 1, 1), clLime);
  EXPECT_EQ(Px(s.Bitmap, 17, 1), clRed);
  EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);

  EXPECT_THROW(cxRightToLeftDependentDraw(canvas, {0, 0, 20, 4},
                                          [] { throw std::runtime_error("painter failed"); }),
               std::runtime_error);
  EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
  XFORM xf{};
  GetWorldTransform(dc, &xf);
  EXPECT_EQ(xf.eM11, 1.0f);
  EXPECT_EQ(xf.eDx, 0.0f);

  // Left to right: drawn where asked.
  canvas.SetUseRightToLeftAlignment(bFalse);
  cxRightToLeftDependentDraw(canvas, {0, 0, 20, 4}, [&] { canvas.FillRect({0, 0, 2, 4}, clBlue); });
  EXPECT_EQ(Px(s.Bitmap, 0, 0), clBlue);
}

} // namespace
} // namespace telvora
