// Reading fixed-column fields and free-format values: the common forms of
// a field go a quick way, every other form the general way, to the same
// value and verdict.
#include <array>
#include <charconv>
#include <cmath>

#include "field_quick.h"
#include "records.h"

namespace vortan {

namespace {

// The characters of a field one by one with every blank and tab left out
// (a blank within a field reads as nothing). A field of more characters
// than any number needs reads as no number: `next` then ends it early and
// `bad` is set.
struct FieldChars {
  const char* p;
  const char* end;
  int count = 0;
  bool bad = false;
  explicit FieldChars(std::string_view text) : p(text.data()), end(text.data() + text.size()) {}
  static constexpr int END = -1;
  int next() {
    while (p < end) {
      const char c = *p++;
      if (c == ' ' || c == '\t') continue;
      if (++count > 64) {
        bad = true;
        return END;
      }
      return static_cast<unsigned char>(c);
    }
    return END;
  }
};

// The rest of the field from its character c on: an optional sign, then
// digits to the end, at most 2147483647.
bool signed_digits(FieldChars& f, int c, long& v) {
  bool neg = false;
  if (c == '+' || c == '-') {
    neg = c == '-';
    c = f.next();
  }
  if (c == FieldChars::END) return false;
  long long x = 0;
  for (; c != FieldChars::END; c = f.next()) {
    if (c < '0' || c > '9') return false;
    x = x * 10 + (c - '0');
    if (x > 2147483647LL) return false;
  }
  if (f.bad) return false;
  v = static_cast<long>(neg ? -x : x);
  return true;
}

// 10^k as std::pow gives it, from a table for the scales fields use.
constexpr int POW_SPAN = 40;
const std::array<double, 2 * POW_SPAN + 1> POWERS_OF_TEN = [] {
  std::array<double, 2 * POW_SPAN + 1> t{};
  for (int i = -POW_SPAN; i <= POW_SPAN; ++i) t[i + POW_SPAN] = std::pow(10.0, static_cast<double>(i));
  return t;
}();

double power_of_ten(long k) {
  if (k < -POW_SPAN || k > POW_SPAN) return std::pow(10.0, static_cast<double>(k));
  return POWERS_OF_TEN[k + POW_SPAN];
}

// The double nearest to digits[0..n) x 10^k, through the decimal text;
// infinite beyond the largest double, zero below the smallest.
double nearest_decimal(const char* digits, long n, long k) {
  char text[96];
  std::copy(digits, digits + n, text);
  text[n] = 'e';
  const char* const end = std::to_chars(text + n + 1, text + sizeof text, k).ptr;
  double r = 0.0;
  if (std::from_chars(text, end, r).ec == std::errc::result_out_of_range)
    r = n + k > 0 ? HUGE_VAL : 0.0;
  return r;
}

// A field's value, its digits a whole number of at most 15 digits times
// 10^k, as the double nearest to it: one correctly rounded multiplication
// or division while 10^|k| is exact (|k| up to 22), so 7700 with five
// implied decimals is 0.077 as 0.07700 is; else through the decimal text.
double whole_times_power(unsigned long long whole, long k) {
  const double m = static_cast<double>(whole);
  if (k >= 0 && k <= 22) return m * power_of_ten(k);
  if (k < 0 && k >= -22) return m / power_of_ten(-k);
  char digits[24];
  const char* const end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
  return nearest_decimal(digits, end - digits, k);
}

// --- the common fields, read quickly -----------------------------------------
//
// Fields as the files hold them: blanks, an optional sign, then for an
// integer at most 10 digits, for a real at most 15 digits with at most one
// point and an exponent of at most three digits (after E, D or a sign
// alone), scaled by at most 10^22 in all. Such a value is one correctly
// rounded multiplication or division of two exact numbers, as the general
// reading gives it too. The quick readers return false, having set
// nothing, for any other field (tabs, blanks inside, more digits, larger
// scales, malformed), which the general reading then takes.

using quick::EXACT_POWERS;

inline bool scaled_value(unsigned long long whole, long scale, bool neg, double& v) {
  if (scale < -22 || scale > 22) return false;
  const double m = static_cast<double>(whole);
  const double r = scale >= 0 ? m * EXACT_POWERS[scale] : m / EXACT_POWERS[-scale];
  v = neg ? -r : r;
  return true;
}

inline unsigned digit_at(const char* p) { return static_cast<unsigned char>(*p) - unsigned{'0'}; }

// The digits from p on, added to x; p is left after them.
inline unsigned long long add_digits(const char*& p, const char* e, unsigned long long x) {
  for (unsigned d; p < e && (d = digit_at(p)) <= 9; ++p) x = x * 10 + d;
  return x;
}

// The exponent from q to the field's end e: E, e, D or d and an optional
// sign, or a sign alone, then one to three digits; added to `scale`.
inline bool add_exponent(const char* q, const char* e, long& scale) {
  const char c = static_cast<char>(*q | 0x20);
  if (c == 'e' || c == 'd') ++q;
  else if (*q != '+' && *q != '-') return false;
  if (q == e) return false;
  const bool neg = *q == '-';
  if (neg || *q == '+') ++q;
  const char* const digits = q;
  const long x = static_cast<long>(add_digits(q, e, 0));
  if (q != e || q == digits || q - digits > 3) return false;
  scale += neg ? -x : x;
  return true;
}

inline bool quick_int(const char* p, const char* e, long& v) {
  while (p < e && *p == ' ') ++p;
  if (p == e) {  // a blank field reads as zero
    v = 0;
    return true;
  }
  const bool neg = *p == '-';
  if (neg || *p == '+') ++p;
  const char* const first = p;
  const unsigned long long x = add_digits(p, e, 0);
  if (p != e || p == first || p - first > 10 || x > 2147483647ULL) return false;
  v = neg ? -static_cast<long>(x) : static_cast<long>(x);
  return true;
}

inline bool quick_real(const char* p, const char* e, int implied, double& v) {
  while (p < e && *p == ' ') ++p;
  if (p == e) {
    v = 0.0;
    return true;
  }
  const bool neg = *p == '-';
  if (neg || *p == '+') ++p;
  const char* const first = p;
  unsigned long long whole = add_digits(p, e, 0);
  long ndig = p - first, scale = -implied;
  if (p < e && *p == '.') {
    const char* const after = ++p;
    whole = add_digits(p, e, whole);
    scale = after - p;
    ndig += p - after;
  }
  if (ndig < 1 || ndig > 15) return false;
  if (p < e && !add_exponent(p, e, scale)) return false;
  return scaled_value(whole, scale, neg, v);
}

// The general readings, for fields with blanks inside, tabs or too many
// digits. Kept out of line: the plain fields are read without them.
[[gnu::noinline]] bool general_int(std::string_view text, long& v) {
  v = 0;
  FieldChars f(text);
  const int c = f.next();
  if (c == FieldChars::END) return !f.bad;
  return signed_digits(f, c, v);
}

[[gnu::noinline]] bool general_real(std::string_view text, int implied, double& v) {
  v = 0.0;
  FieldChars f(text);
  int c = f.next();
  if (c == FieldChars::END) return !f.bad;
  bool neg = false;
  if (c == '+' || c == '-') {
    neg = c == '-';
    c = f.next();
  }
  // The mantissa: digits with at most one point.
  char mant[64];
  bool point = false;
  int frac = 0, ndig = 0;
  long long whole = 0;
  for (;; c = f.next()) {
    if (c >= '0' && c <= '9') {
      if (ndig < 15) whole = whole * 10 + (c - '0');
      mant[ndig++] = static_cast<char>(c);
      if (point) ++frac;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (ndig == 0 || f.bad) return false;
  // The exponent: E or D and a signed integer, or a sign alone before it.
  long exp10 = 0;
  if (c != FieldChars::END) {
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd')
      c = f.next();
    else if (c != '+' && c != '-')
      return false;
    if (!signed_digits(f, c, exp10)) return false;
  }
  // Up to 15 digits the whole number is exact in a double; beyond, the
  // digits are converted with their power of ten as one decimal number.
  const long power = (point ? -frac : -implied) + exp10;
  const double r = ndig <= 15 ? whole_times_power(static_cast<unsigned long long>(whole), power)
                              : nearest_decimal(mant, ndig, power);
  if (!std::isfinite(r)) return false;
  v = neg ? -r : r;
  return true;
}

// A field: the quick reading, else the general one.
inline bool int_field(std::string_view f, long& v) {
  return quick_int(f.data(), f.data() + f.size(), v) || general_int(f, v);
}

inline bool real_field(std::string_view f, int implied, double& v) {
  return quick_real(f.data(), f.data() + f.size(), implied, v) || general_real(f, implied, v);
}

}  // namespace

bool parse_int_field(std::string_view text, long& v) { return int_field(text, v); }

bool parse_real_field(std::string_view text, int implied, double& v) {
  return real_field(text, implied, v);
}

bool parse_int_field_general(std::string_view text, long& v) { return general_int(text, v); }

bool parse_real_field_general(std::string_view text, int implied, double& v) {
  return general_real(text, implied, v);
}

long RecordReader::field_I(int w) {
  long v;
  if (!int_field(take(w), v)) ok_ = false;
  return v;
}

double RecordReader::field_F(int w, int implied) {
  double v;
  if (!real_field(take(w), implied, v)) ok_ = false;
  return v;
}

std::string RecordReader::A(int w) {
  std::string f(take(w));
  f.resize(w, ' ');
  return f;
}

std::vector<std::string> free_tokens(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '\t' || c == '\r') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

bool free_int(const std::string& token, long& v) {
  if (token.empty()) return false;
  return parse_int_field(token, v);
}

bool free_real(const std::string& token, double& v) {
  if (token.empty()) return false;
  return parse_real_field(token, 0, v);
}
}  // namespace vortan
