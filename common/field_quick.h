// The plain forms of a fixed-column field read in one pass over a 16-byte
// block ending at the field's last column: blanks, an optional minus, then
// digits with at most one point, for a real field also an exponent
// E+dd or E-dd in the last four columns. The bytes are sorted into blanks,
// digits and points all at once, the point is squeezed out, blanks and sign
// become zeros and the 16 digits are combined in pairs, fours and eights.
// Any other form is left to the field readers of field_reading.cpp, which
// give these forms the same value and verdict.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vortan::quick {

// 10^0 to 10^22, every one exact in a double.
inline constexpr double EXACT_POWERS[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A field's digits as a whole number, how many of them follow the point
// (-1 without a point) and the power of ten of its exponent.
struct Digits {
  std::uint64_t whole = 0;
  int frac = -1;
  int exp = 0;
  bool neg = false;
};

#if defined(__SSE2__)
inline constexpr bool AVAILABLE = true;

// Sixteen zero bytes then sixteen set bytes: the 16 bytes from 16 - j on
// have their bytes j and above set.
alignas(32) inline constexpr unsigned char EDGE[32] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

inline __m128i from_byte(int j) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(EDGE + 16 - j));
}

// Sixteen decimal digits, the first in byte 0, as one number.
[[gnu::always_inline]] inline std::uint64_t sixteen_digits(__m128i d) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i tens = _mm_set1_epi32(0x0001000A), hundreds = _mm_set1_epi32(0x00010064),
                tenthousands = _mm_set1_epi32(0x00012710);
  const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(d, zero), tens),
                                        _mm_madd_epi16(_mm_unpackhi_epi8(d, zero), tens));
  const __m128i fours = _mm_madd_epi16(pairs, hundreds);
  const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), tenthousands);
  const auto high = static_cast<std::uint32_t>(_mm_cvtsi128_si32(eights));
  const auto low = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(eights, 4)));
  return high * std::uint64_t{100000000} + low;
}

// The field of w columns (1 to 15) ending at `end`, with 16 bytes readable
// before `end`. False for any form but the plain ones; `exponent` and
// `point` say which a real field may have.
[[gnu::always_inline]] inline bool plain_digits(const char* end, int w, bool point, bool exponent,
                                               Digits& out) {
  __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
  int first = 16 - w;        // the field's first byte in the block
  const char* at = end - 16;  // the text of the block's byte 0
  bool scaled = false;
  if (exponent && w >= 6 && end[-4] == 'E' && (end[-3] == '-' || end[-3] == '+')) {
    const unsigned d1 = static_cast<unsigned char>(end[-2]) - unsigned{'0'},
                   d2 = static_cast<unsigned char>(end[-1]) - unsigned{'0'};
    if (d1 > 9 || d2 > 9) return false;
    out.exp = static_cast<int>(d1 * 10 + d2);
    if (end[-3] == '-') out.exp = -out.exp;
    x = _mm_slli_si128(x, 4);  // the mantissa now ends at the block's end
    first += 4;
    at -= 4;
    scaled = true;
  }
  const unsigned field = 0xFFFFu & (0xFFFFu << first);
  const unsigned blanks =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')))) & field;
  const unsigned digits =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
          _mm_cmpgt_epi8(x, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(x, _mm_set1_epi8('9' + 1))))) &
      field;
  // The blanks lead: the run from the field's first byte, and nothing after.
  const unsigned run = blanks >> first;
  if (run & (run + 1)) return false;
  int start = first + __builtin_ctz(~run);
  if (start == 16) return !scaled;  // a blank field, zero (a lone exponent is no number)
  if (at[start] == '-') {
    out.neg = true;
    ++start;
  }
  const unsigned body = 0xFFFFu & (0xFFFFu << start);
  if (!(digits & body)) return false;
  const unsigned rest = body & ~digits;
  if (rest) {
    // One point, and only where a point may be.
    if (!point || (rest & (rest - 1))) return false;
    const int dot = __builtin_ctz(rest);
    if (at[dot] != '.') return false;
    out.frac = 15 - dot;
    // The digits before the point move up a byte, over it.
    const __m128i after = from_byte(dot + 1);
    x = _mm_or_si128(_mm_and_si128(x, after), _mm_andnot_si128(after, _mm_slli_si128(x, 1)));
    ++start;
  }
  const __m128i zeros = _mm_set1_epi8('0'), kept = from_byte(start);
  x = _mm_or_si128(_mm_and_si128(x, kept), _mm_andnot_si128(kept, zeros));
  out.whole = sixteen_digits(_mm_sub_epi8(x, zeros));
  return true;
}

#else
// Elsewhere every field is read the general way.
inline constexpr bool AVAILABLE = false;
inline bool plain_digits(const char*, int, bool, bool, Digits&) { return false; }
#endif

}  // namespace vortan::quick
