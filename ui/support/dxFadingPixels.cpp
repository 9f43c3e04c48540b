#include "ui/support/dxFadingPixels.h"

#include <cstdint>
#include <initializer_list>

// The SSE2 and AVX2 routines are built where the compiler can target an
// instruction set function by function and tell at run time what the
// processor has; elsewhere the plain routine alone is built.
#if defined(__has_attribute) && defined(__has_builtin)
#if (defined(__i386__) || defined(__x86_64__)) && __has_attribute(target) &&                       \
    __has_builtin(__builtin_cpu_supports)
#define TELVORA_FADING_SIMD 1
#endif
#endif

#ifdef TELVORA_FADING_SIMD
#include <immintrin.h>
#endif

namespace telvora {

namespace {

// A blended byte is the integer nearest to (b1 * (255 - A) + b2 * A) / 255,
// where b1 and b2 are the bytes of the two images and A the stage's weight.
// It is never halfway between two integers (255 is odd), and for every sum
// s = b1 * (255 - A) + b2 * A, 0 <= s <= 65025, it equals
// (s + 128) * 257 >> 16: the sum and the product's high half fit 16-bit
// lanes. The same byte is what the weights as single-precision fractions
// give in extended precision, rounded to nearest with ties to even.
//
// A premultiplied byte is (v * a + 127) div 255 for colour byte v and alpha
// a; for every x = v * a + 127 <= 65152, x div 255 equals x * 0x8081 >> 23.
// The alpha byte, multiplied by 255 instead, stays as it is. Opaque pixels
// are unchanged by premultiplying: the vector routines copy a block of them
// as it is (a themed button's images are opaque but for a few pixels at the
// corners and edges).

constexpr unsigned kBlendBias = 128;
constexpr unsigned kBlendScale = 257;
constexpr unsigned kPremultiplyBias = 127;
constexpr unsigned kDivideBy255 = 0x8081;
constexpr int kDivideBy255Shift = 23;

inline BYTE Mix(unsigned AByte1, unsigned AByte2, unsigned AWeight1, unsigned AWeight2) noexcept {
  return static_cast<BYTE>(((AByte1 * AWeight1 + AByte2 * AWeight2 + kBlendBias) * kBlendScale) >>
                           16);
}

inline BYTE Premultiply(unsigned AValue, unsigned AAlpha) noexcept {
  return static_cast<BYTE>(((AValue * AAlpha + kPremultiplyBias) * kDivideBy255) >>
                           kDivideBy255Shift);
}

inline RGBQUAD Premultiplied(RGBQUAD p) noexcept {
  return {Premultiply(p.rgbBlue, p.rgbReserved), Premultiply(p.rgbGreen, p.rgbReserved),
          Premultiply(p.rgbRed, p.rgbReserved), p.rgbReserved};
}

// An optional output, ACount pixels on.
inline RGBQUAD* Advance(RGBQUAD* AOutput, size_t ACount) noexcept {
  return AOutput != nullptr ? AOutput + ACount : nullptr;
}

void BlendPlain(const RGBQUAD* AImage1, const RGBQUAD* AImage2, size_t ACount, int AAlpha,
                RGBQUAD* AStraight, RGBQUAD* APremultiplied) noexcept {
  const auto w2 = static_cast<unsigned>(AAlpha);
  const unsigned w1 = 255 - w2;
  for (size_t i = 0; i < ACount; ++i) {
    const RGBQUAD a = AImage1[i];
    const RGBQUAD b = AImage2[i];
    const RGBQUAD p{Mix(a.rgbBlue, b.rgbBlue, w1, w2), Mix(a.rgbGreen, b.rgbGreen, w1, w2),
                    Mix(a.rgbRed, b.rgbRed, w1, w2), Mix(a.rgbReserved, b.rgbReserved, w1, w2)};
    if (AStraight != nullptr)
      AStraight[i] = p;
    if (APremultiplied != nullptr)
      APremultiplied[i] = p.rgbReserved == 255 ? p : Premultiplied(p);
  }
}

void PremultiplyPlain(const RGBQUAD* ASource, size_t ACount, RGBQUAD* ATarget) noexcept {
  for (size_t i = 0; i < ACount; ++i)
    ATarget[i] = Premultiplied(ASource[i]);
}

#ifdef TELVORA_FADING_SIMD

// Four pixels in a vector of eight 16-bit lanes hold two pixels; each pixel's
// alpha is its fourth lane. Lanes of the alpha bytes get the multiplier 255.

__attribute__((target("sse2"))) void BlendSSE2(const RGBQUAD* AImage1, const RGBQUAD* AImage2,
                                               size_t ACount, int AAlpha, RGBQUAD* AStraight,
                                               RGBQUAD* APremultiplied) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i w1 = _mm_set1_epi16(static_cast<short>(255 - AAlpha));
  const __m128i w2 = _mm_set1_epi16(static_cast<short>(AAlpha));
  const __m128i bias = _mm_set1_epi16(kBlendBias);
  const __m128i scale = _mm_set1_epi16(kBlendScale);
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  const __m128i alphaMultiplier = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
  const __m128i premultiplyBias = _mm_set1_epi16(kPremultiplyBias);
  const __m128i divide = _mm_set1_epi16(static_cast<short>(kDivideBy255));
  const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
  const __m128i allBytes = _mm_set1_epi32(-1);
  size_t i = 0;
  for (; i + 4 <= ACount; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(AImage1 + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(AImage2 + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), w1),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), w2));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), w1),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), w2));
    lo = _mm_mulhi_epu16(_mm_add_epi16(lo, bias), scale);
    hi = _mm_mulhi_epu16(_mm_add_epi16(hi, bias), scale);
    const __m128i packed = _mm_packus_epi16(lo, hi);
    if (AStraight != nullptr)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(AStraight + i), packed);
    if (APremultiplied == nullptr)
      continue;
    // Opaque pixels stay as they are: four of them need no work.
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(packed, colourBytes), allBytes)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(APremultiplied + i), packed);
      continue;
    }
    __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lo, 0xFF), 0xFF);
    __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(hi, 0xFF), 0xFF);
    alo = _mm_or_si128(_mm_andnot_si128(alphaLanes, alo), alphaMultiplier);
    ahi = _mm_or_si128(_mm_andnot_si128(alphaLanes, ahi), alphaMultiplier);
    lo = _mm_srli_epi16(
        _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(lo, alo), premultiplyBias), divide), 7);
    hi = _mm_srli_epi16(
        _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(hi, ahi), premultiplyBias), divide), 7);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(APremultiplied + i), _mm_packus_epi16(lo, hi));
  }
  BlendPlain(AImage1 + i, AImage2 + i, ACount - i, AAlpha, Advance(AStraight, i),
             Advance(APremultiplied, i));
}

__attribute__((target("sse2"))) void PremultiplySSE2(const RGBQUAD* ASource, size_t ACount,
                                                     RGBQUAD* ATarget) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  const __m128i alphaMultiplier = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
  const __m128i premultiplyBias = _mm_set1_epi16(kPremultiplyBias);
  const __m128i divide = _mm_set1_epi16(static_cast<short>(kDivideBy255));
  size_t i = 0;
  for (; i + 4 <= ACount; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ASource + i));
    __m128i lo = _mm_unpacklo_epi8(p, zero);
    __m128i hi = _mm_unpackhi_epi8(p, zero);
    __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lo, 0xFF), 0xFF);
    __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(hi, 0xFF), 0xFF);
    alo = _mm_or_si128(_mm_andnot_si128(alphaLanes, alo), alphaMultiplier);
    ahi = _mm_or_si128(_mm_andnot_si128(alphaLanes, ahi), alphaMultiplier);
    lo = _mm_srli_epi16(
        _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(lo, alo), premultiplyBias), divide), 7);
    hi = _mm_srli_epi16(
        _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(hi, ahi), premultiplyBias), divide), 7);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ATarget + i), _mm_packus_epi16(lo, hi));
  }
  PremultiplyPlain(ASource + i, ACount - i, ATarget + i);
}

// The same in 256-bit vectors: unpacking and packing work within each
// 128-bit half, so the pixels keep their order. What is left goes through
// the SSE2 routine.

__attribute__((target("avx2"))) void BlendAVX2(const RGBQUAD* AImage1, const RGBQUAD* AImage2,
                                               size_t ACount, int AAlpha, RGBQUAD* AStraight,
                                               RGBQUAD* APremultiplied) noexcept {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i w1 = _mm256_set1_epi16(static_cast<short>(255 - AAlpha));
  const __m256i w2 = _mm256_set1_epi16(static_cast<short>(AAlpha));
  const __m256i bias = _mm256_set1_epi16(kBlendBias);
  const __m256i scale = _mm256_set1_epi16(kBlendScale);
  const __m256i alphaMultiplier = _mm256_set1_epi64x(std::int64_t{255} << 48);
  const __m256i premultiplyBias = _mm256_set1_epi16(kPremultiplyBias);
  const __m256i divide = _mm256_set1_epi16(static_cast<short>(kDivideBy255));
  const __m256i colourBytes = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i allBytes = _mm256_set1_epi32(-1);
  size_t i = 0;
  for (; i + 8 <= ACount; i += 8) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(AImage1 + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(AImage2 + i));
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), w1),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(b, zero), w2));
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), w1),
                                  _mm256_mullo_epi16(_mm256_unpackhi_epi8(b, zero), w2));
    lo = _mm256_mulhi_epu16(_mm256_add_epi16(lo, bias), scale);
    hi = _mm256_mulhi_epu16(_mm256_add_epi16(hi, bias), scale);
    const __m256i packed = _mm256_packus_epi16(lo, hi);
    if (AStraight != nullptr)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(AStraight + i), packed);
    if (APremultiplied == nullptr)
      continue;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_or_si256(packed, colourBytes), allBytes)) ==
        -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(APremultiplied + i), packed);
      continue;
    }
    const __m256i alo = _mm256_blend_epi16(
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lo, 0xFF), 0xFF), alphaMultiplier, 0x88);
    const __m256i ahi = _mm256_blend_epi16(
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(hi, 0xFF), 0xFF), alphaMultiplier, 0x88);
    lo = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(lo, alo), premultiplyBias), divide),
        7);
    hi = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(hi, ahi), premultiplyBias), divide),
        7);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(APremultiplied + i),
                        _mm256_packus_epi16(lo, hi));
  }
  // The upper halves are cleared before the SSE2 code runs: left set, they
  // slow every SSE instruction down on many processors.
  _mm256_zeroupper();
  BlendSSE2(AImage1 + i, AImage2 + i, ACount - i, AAlpha, Advance(AStraight, i),
            Advance(APremultiplied, i));
}

__attribute__((target("avx2"))) void PremultiplyAVX2(const RGBQUAD* ASource, size_t ACount,
                                                     RGBQUAD* ATarget) noexcept {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaMultiplier = _mm256_set1_epi64x(std::int64_t{255} << 48);
  const __m256i premultiplyBias = _mm256_set1_epi16(kPremultiplyBias);
  const __m256i divide = _mm256_set1_epi16(static_cast<short>(kDivideBy255));
  size_t i = 0;
  for (; i + 8 <= ACount; i += 8) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ASource + i));
    __m256i lo = _mm256_unpacklo_epi8(p, zero);
    __m256i hi = _mm256_unpackhi_epi8(p, zero);
    const __m256i alo = _mm256_blend_epi16(
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lo, 0xFF), 0xFF), alphaMultiplier, 0x88);
    const __m256i ahi = _mm256_blend_epi16(
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(hi, 0xFF), 0xFF), alphaMultiplier, 0x88);
    lo = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(lo, alo), premultiplyBias), divide),
        7);
    hi = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(hi, ahi), premultiplyBias), divide),
        7);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(ATarget + i), _mm256_packus_epi16(lo, hi));
  }
  _mm256_zeroupper();
  PremultiplySSE2(ASource + i, ACount - i, ATarget + i);
}

#endif // TELVORA_FADING_SIMD

using TBlendRoutine = void (*)(const RGBQUAD*, const RGBQUAD*, size_t, int, RGBQUAD*,
                               RGBQUAD*) noexcept;
using TPremultiplyRoutine = void (*)(const RGBQUAD*, size_t, RGBQUAD*) noexcept;

bool RoutineAvailable(TdxFadingPixelRoutine ARoutine) noexcept {
  switch (ARoutine) {
  case fprPlain:
    return true;
#ifdef TELVORA_FADING_SIMD
  case fprSSE2:
    return __builtin_cpu_supports("sse2");
  case fprAVX2:
    return __builtin_cpu_supports("avx2");
#endif
  default:
    return false;
  }
}

struct TPixelRoutines {
  TdxFadingPixelRoutine Kind;
  TBlendRoutine Blend;
  TPremultiplyRoutine Premultiply;
};

TPixelRoutines RoutinesOf(TdxFadingPixelRoutine ARoutine) noexcept {
  switch (ARoutine) {
#ifdef TELVORA_FADING_SIMD
  case fprSSE2:
    return {fprSSE2, BlendSSE2, PremultiplySSE2};
  case fprAVX2:
    return {fprAVX2, BlendAVX2, PremultiplyAVX2};
#endif
  default:
    return {fprPlain, BlendPlain, PremultiplyPlain};
  }
}

// The routines in use: the fastest available unless others were set.
TPixelRoutines& PixelRoutines() noexcept {
  static TPixelRoutines routines = [] {
    for (TdxFadingPixelRoutine kind : {fprAVX2, fprSSE2})
      if (RoutineAvailable(kind))
        return RoutinesOf(kind);
    return RoutinesOf(fprPlain);
  }();
  return routines;
}

} // namespace

void dxBlendFadingPixels(const RGBQUAD* AImage1, const RGBQUAD* AImage2, size_t ACount, int AAlpha,
                         RGBQUAD* AStraight, RGBQUAD* APremultiplied) noexcept {
  PixelRoutines().Blend(AImage1, AImage2, ACount, AAlpha, AStraight, APremultiplied);
}

void dxPremultiplyFadingPixels(const RGBQUAD* ASource, size_t ACount, RGBQUAD* ATarget) noexcept {
  PixelRoutines().Premultiply(ASource, ACount, ATarget);
}

bool dxIsFadingPixelRoutineAvailable(TdxFadingPixelRoutine ARoutine) noexcept {
  return RoutineAvailable(ARoutine);
}

TdxFadingPixelRoutine dxFadingPixelRoutine() noexcept {
  return PixelRoutines().Kind;
}

bool dxSetFadingPixelRoutine(TdxFadingPixelRoutine ARoutine) noexcept {
  if (!RoutineAvailable(ARoutine))
    return false;
  PixelRoutines() = RoutinesOf(ARoutine);
  return true;
}

} // namespace telvora
