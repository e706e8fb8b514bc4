// Fixed-column records: every file layout of the package is written and read
// as a list of fields (I5, F10.5, E10.3, G10.3, A, nX) through this module.
// Free-format typed input (values separated by blanks or commas) is read
// here too.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "field_quick.h"

namespace vortan {

// Builds one output record field by field.
class Rec {
 public:
  Rec() { s_.reserve(96); }  // room for a record of any file, allocated once
  Rec& I(long v, int w);                 // integer right-aligned in w
  Rec& F(double v, int w, int d);        // fixed point, d decimals
  Rec& E(double v, int w, int d);        // exponent form 0.ddddE+xx
  Rec& G(double v, int w, int d);        // fixed or exponent form by magnitude
  Rec& A(const std::string& s, int w = -1);  // text, cut or blank-padded to w
  Rec& X(int n);                         // n blanks
  const std::string& str() const { return s_; }
  std::string take() { return std::move(s_); }  // the record, leaving this one empty
  operator const std::string&() const { return s_; }

 private:
  std::string s_;
};

// Single fields, as Rec writes them: appended to a text, or as a text of
// their own. Reals are correctly rounded to their digits; a value that does
// not fit its field gives w asterisks.
void put_I(std::string& s, long v, int w);
void put_F(std::string& s, double v, int w, int d);
void put_E(std::string& s, double v, int w, int d);
void put_G(std::string& s, double v, int w, int d);
// v in C's %.pG (general) or %.pE (scientific) form, upper case, for the
// free-format numbers of the listings and labels.
std::string fmt_general(double v, int p);
std::string fmt_scientific(double v, int p);
std::string fmt_I(long v, int w);
std::string fmt_F(double v, int w, int d);
std::string fmt_E(double v, int w, int d);
std::string fmt_G(double v, int w, int d);

// Reads one record field by field. A field past the end of the line reads as
// blanks; a blank field reads as zero. A malformed field clears ok(). The
// reader looks at the line in place: the line must outlive it.
class RecordReader {
 public:
  explicit RecordReader(std::string_view line) : line_(line) {
    std::memset(held_, ' ', sizeof held_);
    if (!line.empty()) std::memcpy(held_ + HEAD, line.data(), std::min(line.size(), HELD));
  }
  explicit RecordReader(const char* line) : RecordReader(std::string_view(line)) {}
  explicit RecordReader(std::string&&) = delete;  // a temporary would not outlive it
  long I(int w) {
    quick::Digits d;
    if (plain(w, false, d) && d.whole <= 2147483647u) {
      pos_ += w;
      return d.neg ? -static_cast<long>(d.whole) : static_cast<long>(d.whole);
    }
    return field_I(w);
  }
  // A real field of width w; a value without a decimal point has its last
  // `implied` digits taken as decimals.
  double F(int w, int implied) {
    quick::Digits d;
    if (plain(w, true, d)) {
      // The digits times an exact power of ten: one correctly rounded operation.
      const int scale = (d.frac >= 0 ? -d.frac : -implied) + d.exp;
      if (scale >= -22 && scale <= 22) {
        pos_ += w;
        const double m = static_cast<double>(d.whole);
        const double r = scale >= 0 ? m * quick::EXACT_POWERS[scale] : m / quick::EXACT_POWERS[-scale];
        return d.neg ? -r : r;
      }
    }
    return field_F(w, implied);
  }
  std::string A(int w);
  void X(int n) { pos_ += n; }
  bool ok() const { return ok_; }

 private:
  // The line's first HELD characters are held after HEAD blanks and padded
  // with blanks, so that a plain field within them is read in one block
  // without looking for the line's end.
  static constexpr std::size_t HEAD = 16, HELD = 128;
  [[gnu::always_inline]] bool plain(int w, bool real, quick::Digits& d) const {
    if (!quick::AVAILABLE || w < 1 || w > 15 || pos_ + w > HELD) return false;
    return quick::plain_digits(held_ + HEAD + pos_ + w, w, real, real, d);
  }
  // Any field, the way every form is read.
  long field_I(int w);
  double field_F(int w, int implied);
  // The next w columns, as many of them as the line holds.
  std::string_view take(int w) {
    const size_t at = pos_;
    pos_ += w;
    if (at >= line_.size()) return {};
    return {line_.data() + at, std::min(line_.size() - at, static_cast<size_t>(w))};
  }
  std::string_view line_;
  size_t pos_ = 0;
  bool ok_ = true;
  char held_[HEAD + HELD];
};

// Parses a field's text (blanks ignored) as a Fortran-style integer or real.
bool parse_int_field(std::string_view text, long& v);
bool parse_real_field(std::string_view text, int implied, double& v);
// The same readings by the general route alone, which every form takes (the
// common forms above go a quicker way to the same value and verdict).
bool parse_int_field_general(std::string_view text, long& v);
bool parse_real_field_general(std::string_view text, int implied, double& v);

// Free-format reading: splits typed text into values at blanks and commas.
std::vector<std::string> free_tokens(const std::string& text);
bool free_int(const std::string& token, long& v);
bool free_real(const std::string& token, double& v);

// The fixed field a typed value is written to: kind 'I', 'F', 'E' or 'G',
// width and decimals (significant digits for E and G). Kind 0 is no field.
struct FieldFormat {
  char kind = 0;
  int w = 0;
  int d = 0;
};
inline constexpr FieldFormat I2{'I', 2, 0};
inline constexpr FieldFormat I5{'I', 5, 0};
inline constexpr FieldFormat F5_2{'F', 5, 2};
inline constexpr FieldFormat F10_5{'F', 10, 5};
inline constexpr FieldFormat E10_3{'E', 10, 3};
inline constexpr FieldFormat G10_3{'G', 10, 3};

// A value fits its field when, rounded to the field's decimals, it is written
// within the field's width (no asterisks, an exponent of at most two digits)
// and reads back as that rounded value. An I field takes whole numbers only.
bool value_fits(double v, FieldFormat f);
// What fits the field, in the words of the message that refuses a value.
std::string what_fits(FieldFormat f);

}  // namespace vortan
