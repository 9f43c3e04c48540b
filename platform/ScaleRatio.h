#pragma once
// How far a control has been rescaled, as an exact ratio, and lengths kept
// as they were given so that rescaling computes them afresh each time and
// rounding never adds up.

namespace telvora {

// An exact ratio Numerator/Denominator, kept reduced: how far a control has
// been rescaled since it was made (3/2 after 96 -> 144 pixels per inch).
struct TScaleRatio {
  int Numerator = 1;
  int Denominator = 1;
  // Multiplies the ratio by M/D (a rescale from D to M pixels per inch).
  void Multiply(int M, int D);
  bool operator==(const TScaleRatio&) const = default;
};

// A length as it was last given (by a form description or a setter), with
// the control's scale at that moment. Every rescale computes the length
// from here, MulDiv(Value, scale / At), so that rounding never adds up: the
// length at a scale is the same whatever scales were passed on the way.
struct TGivenLength {
  int Value = 0;
  TScaleRatio At;
  int ScaledTo(const TScaleRatio& scale) const;
};

// `value`, given at scale `from`, at scale `to`: MulDiv by to / from.
int ScaleLength(int value, const TScaleRatio& from, const TScaleRatio& to);

} // namespace telvora
