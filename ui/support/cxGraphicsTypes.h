#pragma once
// Small value types that the canvas, the drawing functions and the painters
// share: a boolean with a default, sets of borders and arrow directions.

#include <cstdint>
#include <initializer_list>

namespace telvora {

enum TdxDefaultBoolean { bFalse, bTrue, bDefault };

enum TcxBorder { bLeft, bTop, bRight, bBottom };

// A set of borders: bit 1 left, 2 top, 4 right, 8 bottom.
class TcxBorders {
public:
  constexpr TcxBorders() = default;
  constexpr TcxBorders(std::initializer_list<TcxBorder> borders) {
    for (TcxBorder b : borders)
      FBits = static_cast<std::uint8_t>(FBits | Bit(b));
  }
  static constexpr TcxBorders FromBits(unsigned bits) {
    TcxBorders r;
    r.FBits = static_cast<std::uint8_t>(bits & 0x0F);
    return r;
  }
  constexpr bool Contains(TcxBorder b) const { return (FBits & Bit(b)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr unsigned Bits() const { return FBits; }
  constexpr TcxBorders operator&(TcxBorders other) const { return FromBits(FBits & other.FBits); }
  constexpr TcxBorders operator|(TcxBorders other) const { return FromBits(FBits | other.FBits); }
  constexpr bool operator==(const TcxBorders&) const = default;

private:
  static constexpr std::uint8_t Bit(TcxBorder b) { return static_cast<std::uint8_t>(1u << b); }
  std::uint8_t FBits = 0;
};

constexpr TcxBorders cxBordersAll = TcxBorders::FromBits(0x0F);

enum TcxArrowDirection { adUp, adDown, adLeft, adRight };

} // namespace telvora
