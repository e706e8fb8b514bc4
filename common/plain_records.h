// Whole records of plain fields read at once. The record's columns are
// sorted into blanks, digits, points and minus signs sixteen at a time, each
// class a bit mask over up to 64 columns; the shapes of all the fields are
// checked together with a few operations on the masks, and the digits of
// two reals combined in one block. A field is plain when it holds blanks, then an optional minus, then
// digits with (for a real) at most one point, a real of six columns or more
// also E+dd or E-dd in its last four. Such a value is formed as the field
// readers of field_reading.cpp form it (the digits as a whole number, one
// correctly rounded operation with an exact power of ten, the sign after),
// so that it is the same double. A record with any other field is left to
// RecordReader, field by field, for its values, verdict and messages.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "field_quick.h"

namespace vortan::quick {

// One field of a record: an integer ('I') or a real ('F') of w columns; a
// real without a point has its last `implied` digits taken as decimals.
struct PlainField {
  char kind;
  int w;
  int implied = 0;
};

template <std::size_t N>
struct PlainLayout {
  PlainField f[N];
  static constexpr std::size_t count = N;
  constexpr int at(std::size_t k) const {  // the field's first column
    int a = 0;
    for (std::size_t i = 0; i < k; ++i) a += f[i].w;
    return a;
  }
  constexpr int before(std::size_t k, char kind) const {  // fields of that kind before field k
    int n = 0;
    for (std::size_t i = 0; i < k; ++i) n += f[i].kind == kind;
    return n;
  }
  constexpr int width() const { return at(N); }
};

#if defined(__SSE2__) && defined(__x86_64__)

// Which columns of a stretch of at most 64 hold blanks, digits, points and
// minus signs (bit k for column k).
struct ColumnMasks {
  std::uint64_t blank = 0, digit = 0, point = 0, minus = 0;
};

template <int B>
[[gnu::always_inline]] inline void sort_block(const char* p, ColumnMasks& m) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * B));
  const __m128i d = _mm_sub_epi8(x, _mm_set1_epi8('0'));
  auto put = [](std::uint64_t& mask, __m128i is) {
    mask |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(is))) << (16 * B);
  };
  put(m.blank, _mm_cmpeq_epi8(x, _mm_set1_epi8(' ')));
  put(m.digit, _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d));
  put(m.point, _mm_cmpeq_epi8(x, _mm_set1_epi8('.')));
  put(m.minus, _mm_cmpeq_epi8(x, _mm_set1_epi8('-')));
}

template <int... B>
[[gnu::always_inline]] inline ColumnMasks sort_columns(const char* p, std::integer_sequence<int, B...>) {
  ColumnMasks m;
  (sort_block<B>(p, m), ...);
  return m;
}

// The columns holding E and plus signs.
template <int... B>
[[gnu::always_inline]] inline void sort_exponent_marks(const char* p, std::uint64_t& e, std::uint64_t& plus,
                                                       std::integer_sequence<int, B...>) {
  auto marks = [&](int b) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * b));
    e |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8('E')))))
         << (16 * b);
    plus |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8('+')))))
            << (16 * b);
  };
  (marks(B), ...);
}

// 10^s for a scale s >= 0 and 1 below, 10^-s for s < 0 and 1 above, at
// s + 22: whole * MULTIPLY / DIVIDE is then the one correctly rounded
// operation of the field readers, the other one being exact.
inline constexpr auto SCALE_TABLES = [] {
  struct {
    double multiply[45], divide[45];
  } t{};
  for (int s = -22; s <= 22; ++s) {
    t.multiply[s + 22] = s >= 0 ? EXACT_POWERS[s] : 1.0;
    t.divide[s + 22] = s < 0 ? EXACT_POWERS[-s] : 1.0;
  }
  return t;
}();

// A real field's mantissa as digit values in the top of one block (the
// point squeezed out), its scale and sign.
struct Mantissa {
  __m128i digits;
  int scale;
  bool neg;
};

// The layout's fields from K0 on that lie within 64 columns of field K0.
template <const auto& L>
constexpr std::size_t segment_end(std::size_t k0) {
  std::size_t k = k0;
  while (k < L.count && L.at(k) + L.f[k].w - L.at(k0) <= 64) ++k;
  return k;
}

// A mask of the segment's columns: bit c set for field k's column `col(k)`.
template <const auto& L, std::size_t K0, std::size_t K1, typename Col>
constexpr std::uint64_t column_mask(Col col) {
  std::uint64_t m = 0;
  for (std::size_t k = K0; k < K1; ++k) {
    const int c = col(k);
    if (c >= 0) m |= std::uint64_t{1} << (c - L.at(K0));
  }
  return m;
}

template <int AT, int W>
[[gnu::always_inline]] inline long plain_int(const char* p, std::uint64_t minus_here) {
  static_assert(W >= 1 && W <= 8, "an integer of at most eight columns");
  // The eight bytes ending at the field's end, as digit values: the low
  // four bits of a digit are its value and of a blank zero; the columns
  // before the field go, and so do the sign and the blanks before it (the
  // field's shape is checked: a digit follows the sign, which therefore
  // never stands in the last column).
  std::uint64_t x, keep = ~std::uint64_t{0} << (8 * (8 - W));
  std::memcpy(&x, p + AT + W - 8, 8);
  if (minus_here) keep <<= 8 * (std::countr_zero(minus_here) + 1);
  x &= keep & 0x0F0F0F0F0F0F0F0Fu;
  // Pairs in the low byte of each 16 bits (the first column is the lowest
  // byte), then the four pairs weighted and summed in the top 32 bits.
  x = x * 10 + (x >> 8);
  x = ((x & 0x000000FF000000FFu) * (100 + (std::uint64_t{1000000} << 32)) +
       ((x >> 16) & 0x000000FF000000FFu) * (1 + (std::uint64_t{10000} << 32))) >> 32;
  return minus_here ? -static_cast<long>(x) : static_cast<long>(x);
}

// A real field's mantissa of MW columns ending at `end`; exp is its
// exponent (0 without one). False for two points.
template <int IMPLIED, int MW>
[[gnu::always_inline]] inline bool plain_mantissa(const char* end, unsigned points, bool neg, int exp,
                                                  Mantissa& out) {
  __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
  x = _mm_and_si128(_mm_subs_epu8(x, _mm_set1_epi8('0')), from_byte(16 - MW));
  out.scale = exp - IMPLIED;
  if (points) {
    // The digits before the point move up a byte, over it.
    const int dot = __builtin_ctz(points);
    out.scale = exp - (MW - 1 - dot);
    const __m128i after = from_byte(16 - MW + dot + 1);
    x = _mm_or_si128(_mm_and_si128(x, after), _mm_andnot_si128(after, _mm_slli_si128(x, 1)));
  }
  out.digits = x;
  out.neg = neg;
  return (points & (points - 1)) == 0;
}

// Exponents in a segment: NONE of its reals has one, ALL that can have one
// do, or SOME: each real looks.
enum class Exponents { none, all, some };

template <const auto& L, std::size_t K, int C0, Exponents E>
[[gnu::always_inline]] inline bool plain_field(const char* p, std::uint64_t minus, std::uint64_t point,
                                               std::uint64_t exponents, long* ints, Mantissa* mant) {
  constexpr PlainField f = L.f[K];
  constexpr int AT = L.at(K), REL = AT - C0;
  constexpr unsigned FULL = (1u << f.w) - 1;
  const unsigned neg = static_cast<unsigned>(minus >> REL) & FULL;
  if constexpr (f.kind == 'I') {
    ints[L.before(K, 'I')] = plain_int<AT, f.w>(p, neg);
    return true;
  } else {
    static_assert(f.implied >= 0 && f.implied <= 15, "implied decimals within the exact powers");
    const char* const end = p + AT + f.w;
    const unsigned points = static_cast<unsigned>(point >> REL) & FULL;
    Mantissa& out = mant[L.before(K, 'F')];
    if constexpr (f.w >= 6 && E != Exponents::none) {
      if (E == Exponents::all || ((exponents >> (REL + f.w - 4)) & 1)) {
        int exp = (end[-2] - '0') * 10 + (end[-1] - '0');
        if (end[-3] == '-') exp = -exp;
        return plain_mantissa<f.implied, f.w - 4>(end - 4, points, neg != 0, exp, out) &&
               out.scale >= -22 && out.scale <= 22;
      }
    }
    return plain_mantissa<f.implied, f.w>(end, points, neg != 0, 0, out);
  }
}

template <const auto& L, std::size_t K0, int C0, Exponents E, std::size_t... I>
[[gnu::always_inline]] inline bool plain_fields(const char* p, std::uint64_t minus, std::uint64_t point,
                                                std::uint64_t exponents, long* ints, Mantissa* mant,
                                                std::index_sequence<I...>) {
  bool all = true;
  ((all = plain_field<L, K0 + I, C0, E>(p, minus, point, exponents, ints, mant) && all), ...);
  return all;
}

// The fields from K0 on whose columns lie within 64 of its first, sorted at
// once and checked on the whole: each field's non-blank columns run to its
// end (or to its exponent), a minus only first, points only in reals, each
// field's last column (before an exponent) a digit or a point after one,
// nothing else but E+dd or E-dd at a real's end. Then the fields after.
template <const auto& L, std::size_t K0>
[[gnu::always_inline]] inline bool plain_segment(const char* p, long* ints, Mantissa* mant) {
  constexpr std::size_t K1 = segment_end<L>(K0);
  constexpr int C0 = L.at(K0), COLS = L.at(K1) - C0;
  constexpr std::uint64_t ALL = COLS == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << COLS) - 1;
  constexpr std::uint64_t START = column_mask<L, K0, K1>([](std::size_t k) { return L.at(k); });
  constexpr std::uint64_t LAST =
      column_mask<L, K0, K1>([](std::size_t k) { return L.at(k) + L.f[k].w - 1; });
  constexpr std::uint64_t E_AT = column_mask<L, K0, K1>(
      [](std::size_t k) { return L.f[k].kind == 'F' && L.f[k].w >= 6 ? L.at(k) + L.f[k].w - 4 : -1; });
  constexpr std::uint64_t INTS = [] {
    std::uint64_t m = 0;
    for (std::size_t k = K0; k < K1; ++k)
      if (L.f[k].kind == 'I') m |= ((std::uint64_t{1} << L.f[k].w) - 1) << (L.at(k) - C0);
    return m;
  }();
  const ColumnMasks m = sort_columns(p + C0, std::make_integer_sequence<int, (COLS + 15) / 16>());
  const std::uint64_t blank = m.blank & ALL, used = ~m.blank & ALL, digit = m.digit & ALL,
                      point = m.point & ALL;
  std::uint64_t minus = m.minus & ALL, other = used & ~(digit | point | minus), last = LAST,
                exponents = 0;
  if (other) {
    // E and a sign in a real's fourth and third last columns, two digits
    // after them; nothing else but blanks, digits, points and minus signs.
    std::uint64_t e = 0, plus = 0;
    sort_exponent_marks(p + C0, e, plus, std::make_integer_sequence<int, (COLS + 15) / 16>());
    exponents = e & E_AT;
    const std::uint64_t signs = exponents << 1;
    if ((other & ~(exponents | (signs & plus))) | (signs & ~(plus | minus)) |
        (((exponents << 2) | (exponents << 3)) & ~digit) | ((exponents >> 1) & blank))
      return false;
    minus &= ~signs;
    last ^= (exponents << 3) | (exponents >> 1);  // each mantissa's last column
  }
  const std::uint64_t after_used = (used << 1) & ~START;
  if ((after_used & (blank | minus)) | (point & INTS) | (used & last & ~(digit | point)) |
      (((point & last & ~START) >> 1) & ~digit) | (point & last & START))
    return false;
  constexpr auto FIELDS = std::make_index_sequence<K1 - K0>();
  bool ok = exponents == 0 ? plain_fields<L, K0, C0, Exponents::none>(p, minus, point, 0, ints, mant, FIELDS)
            : exponents == E_AT ? plain_fields<L, K0, C0, Exponents::all>(p, minus, point, exponents, ints, mant, FIELDS)
                                : plain_fields<L, K0, C0, Exponents::some>(p, minus, point, exponents, ints, mant, FIELDS);
  if constexpr (K1 < L.count) ok = ok && plain_segment<L, K1>(p, ints, mant);
  return ok;
}

// The whole numbers of two mantissas, as doubles: both at once when each
// has at most eight digits.
[[gnu::always_inline]] inline __m128d two_wholes(__m128i a, __m128i b) {
  if (_mm_cvtsi128_si64(_mm_or_si128(a, b)) != 0)
    return _mm_set_pd(static_cast<double>(sixteen_digits(b)), static_cast<double>(sixteen_digits(a)));
  const __m128i zero = _mm_setzero_si128(), v = _mm_unpackhi_epi64(a, b);
  const __m128i tens = _mm_set1_epi32(0x0001000A), hundreds = _mm_set1_epi32(0x00010064),
                tenthousands = _mm_set1_epi32(0x00012710);
  const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), tens),
                                        _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), tens));
  const __m128i fours = _mm_madd_epi16(pairs, hundreds);
  return _mm_cvtepi32_pd(_mm_madd_epi16(_mm_packs_epi32(fours, fours), tenthousands));
}

// Two reals of a record from their mantissas.
[[gnu::always_inline]] inline __m128d two_reals(const Mantissa& a, const Mantissa& b) {
  const __m128d multiply =
      _mm_set_pd(SCALE_TABLES.multiply[b.scale + 22], SCALE_TABLES.multiply[a.scale + 22]);
  const __m128d divide =
      _mm_set_pd(SCALE_TABLES.divide[b.scale + 22], SCALE_TABLES.divide[a.scale + 22]);
  const __m128i sign = _mm_set_epi64x(static_cast<long long>(std::uint64_t{b.neg} << 63),
                                      static_cast<long long>(std::uint64_t{a.neg} << 63));
  return _mm_xor_pd(_mm_div_pd(_mm_mul_pd(two_wholes(a.digits, b.digits), multiply), divide),
                    _mm_castsi128_pd(sign));
}

// The reals of a record from their mantissas, two at a time.
template <std::size_t N, std::size_t... I>
[[gnu::always_inline]] inline void plain_reals(const Mantissa* mant, double* reals,
                                               std::index_sequence<I...>) {
  ((2 * I + 1 < N ? _mm_storeu_pd(reals + 2 * I, two_reals(mant[2 * I], mant[2 * I + 1]))
                  : _mm_store_sd(reals + 2 * I, two_reals(mant[2 * I], mant[2 * I]))), ...);
}

// The record of layout L in `line` (of `length` characters, readable from
// 16 characters before it to 128 after it): its integers and reals in the
// order of the layout. False, with the values unsure, when a field is not
// plain.
template <const auto& L>
inline bool read_plain_record(const char* line, std::size_t length, long* ints, double* reals) {
  constexpr int WIDTH = L.width();
  constexpr std::size_t REALS = L.before(L.count, 'F');
  static_assert(WIDTH <= 112, "a record within the columns read past its start");
  alignas(16) char padded[16 + WIDTH + 16];
  const char* p = line;
  if (length < static_cast<std::size_t>(WIDTH)) {
    // A short line: its fields past the end are blank.
    std::memset(padded, ' ', sizeof padded);
    std::memcpy(padded + 16, line, length);
    p = padded + 16;
  }
  Mantissa mant[REALS > 0 ? REALS : 1];
  if (!plain_segment<L, 0>(p, ints, mant)) return false;
  plain_reals<REALS>(mant, reals, std::make_index_sequence<(REALS + 1) / 2>());
  return true;
}

#else
// Elsewhere every record is read field by field.
template <const auto& L>
inline bool read_plain_record(const char*, std::size_t, long*, double*) {
  return false;
}
#endif

}  // namespace vortan::quick
