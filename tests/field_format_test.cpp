// The fixed fields written through std::to_chars against the same fields
// built from the C library's printf forms, over random values of every
// magnitude and the edge cases: signs, zeros, carries, fields too narrow,
// values that are not numbers. printf rounds the exact binary value
// correctly (half-way cases to even), so it is the measure of a correctly
// rounded field.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "records.h"

namespace vortan {
namespace {

std::string right(const std::string& s, int w) {
  return static_cast<int>(s.size()) >= w ? s : std::string(w - s.size(), ' ') + s;
}

// The exponent form 0.ddd E+xx from printf's d.dd e+xx.
std::string printf_E(double v, int w, int d) {
  if (!std::isfinite(v)) return std::string(w, '*');
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", d - 1, std::fabs(v));
  std::string digits;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  int e = std::atoi(p + 1) + 1;
  if (std::fabs(v) == 0.0) e = 0;
  char ebuf[16];
  if (std::abs(e) <= 99)
    std::snprintf(ebuf, sizeof ebuf, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
  else
    std::snprintf(ebuf, sizeof ebuf, "%c%03d", e < 0 ? '-' : '+', std::abs(e));
  std::string s = std::string(v < 0 ? "-" : "") + "0." + digits + ebuf;
  if (static_cast<int>(s.size()) > w && s.rfind("-0.", 0) == 0) s.erase(1, 1);
  if (static_cast<int>(s.size()) > w && s.rfind("0.", 0) == 0) s.erase(0, 1);
  return static_cast<int>(s.size()) > w ? std::string(w, '*') : right(s, w);
}

std::string printf_F(double v, int w, int d) {
  if (!std::isfinite(v)) return std::string(w, '*');
  for (int dd = d; dd >= 0; --dd) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", dd, v);
    std::string s = buf;
    if (dd == 0) s += ".";
    if (static_cast<int>(s.size()) <= w) return right(s, w);
  }
  for (int digits = w - 5; digits >= 1; --digits) {
    std::string s = printf_E(v, w, digits);
    if (s[0] != '*') return s;
  }
  return std::string(w, '*');
}

std::string printf_G(double v, int w, int d) {
  if (!std::isfinite(v)) return std::string(w, '*');
  const double a = std::fabs(v);
  if (a == 0.0) return right(printf_F(0.0, w - 4, d - 1), w - 4) + "    ";
  if (a >= 0.1 - 0.5 * std::pow(10.0, -d - 1) && a < std::pow(10.0, d) - 0.5) {
    int k = std::max(static_cast<int>(std::floor(std::log10(a))) + 1, 0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::max(d - k, 0), a);
    if (std::atof(buf) >= std::pow(10.0, k) && k < d) ++k;
    return printf_F(v, w - 4, std::max(d - k, 0)) + "    ";
  }
  return printf_E(v, w, d);
}

// Random values over the whole range of magnitudes and a set of edge
// cases; the same every run.
std::vector<double> sample_values() {
  std::vector<double> v = {0.0,     -0.0,    1.0,      -1.0,      0.5,      0.125,   0.375,
                           1.125,   2.675,   1225.0,   -1225.0,   9.99999,  9.9995,  -9.9995,
                           0.99995, 99.95,   999.5,    999.4999,  0.09995,  0.1,     1.0e-5,
                           -1.0e-7, 4.0e-6,  -5.0e-6,  1.0e10,    -1.0e10,  1.0e99,  9.9996e99,
                           1.0e100, 1.0e-99, 1.0e-100, 1.0e-120,  1.0e300,  -1.0e300, 5.0e-324,
                           2.5e-308, 1234567.0, -1234567.0, 12345.678, 123456.789, 9999.99999,
                           -999.99999, 32767.95, -32768.05,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::lowest()};
  std::mt19937_64 gen(20240613);
  std::uniform_real_distribution<double> exponent(-130.0, 130.0), unit(-1.0, 1.0);
  std::uniform_int_distribution<int> digits(0, 99999999);
  for (int i = 0; i < 5000; ++i) v.push_back(unit(gen) * std::pow(10.0, exponent(gen)));
  for (int i = 0; i < 5000; ++i) v.push_back(unit(gen) * std::pow(10.0, exponent(gen) / 20));
  // Short decimals, whose fields are often half-way in print.
  for (int i = 0; i < 10000; ++i)
    v.push_back((digits(gen) - 50000000) / std::pow(10.0, digits(gen) % 9));
  return v;
}

struct Field {
  int w, d;
};

TEST(FieldFormat, FixedFieldsAsPrintfWritesThem) {
  const Field fields[] = {{10, 5}, {10, 3}, {7, 1}, {6, 1}, {5, 2}, {6, 0}, {12, 8}, {3, 1}};
  for (double v : sample_values())
    for (const Field& f : fields)
      ASSERT_EQ(fmt_F(v, f.w, f.d), printf_F(v, f.w, f.d)) << "value " << v << " F" << f.w << "."
                                                           << f.d;
}

TEST(FieldFormat, ExponentAndGeneralFieldsCorrectlyRounded) {
  const Field fields[] = {{10, 3}, {10, 4}, {12, 6}, {8, 2}, {7, 2}, {6, 1}};
  for (double v : sample_values())
    for (const Field& f : fields) {
      ASSERT_EQ(fmt_E(v, f.w, f.d), printf_E(v, f.w, f.d)) << "value " << v << " E" << f.w
                                                           << "." << f.d;
      ASSERT_EQ(fmt_G(v, f.w, f.d), printf_G(v, f.w, f.d)) << "value " << v << " G" << f.w
                                                           << "." << f.d;
    }
  // Half-way in print only: 2.675 is stored a little below, 1.125 exactly.
  EXPECT_EQ(fmt_E(2.675, 10, 3), " 0.267E+01");
  EXPECT_EQ(fmt_E(1.125, 10, 3), " 0.112E+01");
}

TEST(FieldFormat, FreeFormatNumbersAsPrintfWritesThem) {
  for (double v : sample_values())
    for (int p : {1, 4, 5, 6}) {
      char g[64], e[64];
      std::snprintf(g, sizeof g, "%.*G", p, v);
      std::snprintf(e, sizeof e, "%.*E", p, v);
      ASSERT_EQ(fmt_general(v, p), g) << "value " << v;
      ASSERT_EQ(fmt_scientific(v, p), e) << "value " << v;
    }
}

// A blank inside a field reads as nothing: a field read with and without
// one gives the same verdict and the same value, for random texts of the
// characters that numbers are written with, and for written fields.
TEST(FieldFormat, BlanksInsideAFieldReadAsNothing) {
  std::mt19937_64 gen(11);
  const std::string alphabet = "0123456789000111.+-EeDd";
  std::vector<std::string> texts;
  for (int i = 0; i < 40000; ++i) {
    std::string t(1 + gen() % 12, ' ');
    for (char& c : t) c = alphabet[gen() % alphabet.size()];
    texts.push_back(t);
  }
  for (double v : sample_values()) texts.push_back(fmt_E(v, 10, 3));
  for (const std::string& t : texts) {
    const std::string spaced = t.substr(0, 1) + " " + t.substr(1);
    for (int implied : {0, 3}) {
      double a = 1, b = 2;
      ASSERT_EQ(parse_real_field("   " + t, implied, a), parse_real_field(spaced, implied, b)) << t;
      ASSERT_EQ(std::isnan(a) ? 0 : a, std::isnan(b) ? 0 : b) << t;
    }
    long i = 1, j = 2;
    ASSERT_EQ(parse_int_field("  " + t, i), parse_int_field(spaced, j)) << t;
    ASSERT_EQ(i, j) << t;
  }
}

TEST(FieldFormat, IntegerFieldsAndRecords) {
  std::mt19937_64 gen(7);
  std::uniform_int_distribution<long> any(-2000000000L, 2000000000L);
  for (int i = 0; i < 20000; ++i) {
    const long v = i < 1000 ? i - 500 : any(gen) >> (i % 31);
    for (int w : {1, 2, 5, 8, 10}) {
      const std::string s = std::to_string(v);
      ASSERT_EQ(fmt_I(v, w), static_cast<int>(s.size()) > w ? std::string(w, '*') : right(s, w));
    }
  }
  // A record appends its fields as the single fields are written.
  Rec r;
  r.I(7, 5).F(-0.0, 10, 5).E(1.0e-120, 10, 3).G(0.0, 10, 3).F(std::nan(""), 4, 1);
  EXPECT_EQ(r.str(), "    7  -0.00000 0.100-119  0.00    ****");
}

}  // namespace
}  // namespace vortan
