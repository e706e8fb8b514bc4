// Fixed-column fields: writing I, F, E and G fields and reading them back,
// including the implied decimals of fields typed without a decimal point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>

#include "plain_records.h"
#include "records.h"

namespace vortan {
namespace {

TEST(RecordsWrite, IntegerFields) {
  EXPECT_EQ(fmt_I(12, 5), "   12");
  EXPECT_EQ(fmt_I(-12, 5), "  -12");
  EXPECT_EQ(fmt_I(0, 1), "0");
  EXPECT_EQ(fmt_I(123456, 5), "*****");  // too wide: the field is filled with asterisks
  EXPECT_EQ(fmt_I(-1234, 5), "-1234");
}

TEST(RecordsWrite, FixedFields) {
  EXPECT_EQ(fmt_F(1.5, 10, 5), "   1.50000");
  EXPECT_EQ(fmt_F(-1.5, 10, 5), "  -1.50000");
  EXPECT_EQ(fmt_F(0.0, 10, 3), "     0.000");
  EXPECT_EQ(fmt_F(0.9999996, 10, 5), "   1.00000");  // rounding carries into the units
  EXPECT_EQ(fmt_F(10.1256, 10, 3), "    10.126");
  // Values too wide for five decimals keep as many decimals as fit, down to
  // none, and only then go to the exponent form, rather than asterisks.
  EXPECT_EQ(fmt_F(12345.678, 10, 5), "12345.6780");
  EXPECT_EQ(fmt_F(123456.789, 10, 5), "123456.789");
  EXPECT_EQ(fmt_F(-1234567.0, 10, 5), "-1234567.0");
  EXPECT_EQ(fmt_F(12345.0, 5, 2), "*****");  // "12345" would read as 123.45
}

// Fixed fields against C's correctly rounded %.*f, over magnitudes, decimals
// and values a few units in the last place from a rounding half.
TEST(RecordsWrite, FixedFieldsRoundAsPrintf) {
  std::srand(7);
  auto check = [](double v, int d) {
    char want[64];
    std::snprintf(want, sizeof want, "%.*f%s", d, v, d == 0 ? "." : "");
    ASSERT_EQ(fmt_F(v, 40, d), std::string(40 - std::strlen(want), ' ') + want) << v << " " << d;
  };
  for (int i = 0; i < 20000; ++i) {
    const int d = i % 10;
    const double mag = std::pow(10.0, i % 17 - 6);
    const double v = (std::rand() / (RAND_MAX + 1.0) - 0.3) * mag;
    check(v, d);
    // Near the half between two last digits, above, at and below it.
    const double half = (std::floor(v * std::pow(10.0, d)) + 0.5) / std::pow(10.0, d);
    for (double h : {std::nextafter(half, 0.0), half, std::nextafter(half, 1e300)}) check(h, d);
  }
  for (double v : {0.0, -0.0, -1e-9, 0.5, 2.5, -2.5, 0.125, 1e14, -999999.5}) check(v, 3), check(v, 0);
}

// Large magnitudes written to F10.5 read back as the value rounded to the
// decimals (or digits) the field had room for.
TEST(RecordsWrite, WideFixedValuesReadBack) {
  const struct { double v; const char* text; double back; } cases[] = {
      {-123456.789, "-123456.79", -123456.79}, {1234567.89, "1234567.89", 1234567.89},
      {12345678.9, "12345678.9", 12345678.9},  {-12345678.9, "-12345679.", -12345679.0},
      {123456789.0, "123456789.", 123456789.0}, {-123456789.0, "-.1235E+09", -123500000.0},
      {1234567890.0, ".12346E+10", 1234600000.0}, {1.5e10, ".15000E+11", 1.5e10}};
  for (const auto& c : cases) {
    EXPECT_EQ(fmt_F(c.v, 10, 5), c.text);
    double back = 0;
    EXPECT_TRUE(parse_real_field(fmt_F(c.v, 10, 5), 5, back));
    EXPECT_DOUBLE_EQ(back, c.back) << c.text;
  }
}

TEST(RecordsWrite, ExponentFields) {
  EXPECT_EQ(fmt_E(0.001, 10, 3), " 0.100E-02");
  EXPECT_EQ(fmt_E(-0.001, 10, 3), "-0.100E-02");
  EXPECT_EQ(fmt_E(210000.0, 10, 3), " 0.210E+06");
  EXPECT_EQ(fmt_E(0.3, 10, 3), " 0.300E+00");
  EXPECT_EQ(fmt_E(123.45, 10, 3), " 0.123E+03");
  EXPECT_EQ(fmt_E(9.9996, 10, 3), " 0.100E+02");  // carry into the exponent
  EXPECT_EQ(fmt_E(0.0, 10, 3), " 0.000E+00");
  EXPECT_EQ(fmt_E(1.0e-120, 10, 3), " 0.100-119");  // three-digit exponent drops the E
}

TEST(RecordsWrite, GeneralFields) {
  EXPECT_EQ(fmt_G(0.5, 10, 3), " 0.500    ");
  EXPECT_EQ(fmt_G(12.5, 10, 3), "  12.5    ");
  EXPECT_EQ(fmt_G(-12.5, 10, 3), " -12.5    ");
  EXPECT_EQ(fmt_G(99.96, 10, 3), "  100.    ");      // carry adds a digit before the point
  EXPECT_EQ(fmt_G(999.6, 10, 3), " 0.100E+04");    // carry leaves the fixed range
  EXPECT_EQ(fmt_G(1234.0, 10, 3), " 0.123E+04");
  EXPECT_EQ(fmt_G(0.001, 10, 3), " 0.100E-02");
}

TEST(RecordsWrite, RecordBuilder) {
  Rec r;
  r.I(0, 1).I(3, 4).X(3).I(2, 2).X(10).E(0.001, 10, 3).A("ab", 4).A("xyz");
  EXPECT_EQ(r.str(), "0   3    2           0.100E-02ab  xyz");
  EXPECT_EQ(Rec().A("abcdef", 3).str(), "abc");
}

TEST(RecordsRead, ImpliedDecimals) {
  double v = -1;
  ASSERT_TRUE(parse_real_field("      1500", 3, v));
  EXPECT_DOUBLE_EQ(v, 1.5);
  ASSERT_TRUE(parse_real_field("     1500.", 3, v));
  EXPECT_DOUBLE_EQ(v, 1500.0);
  ASSERT_TRUE(parse_real_field("  -25", 3, v));
  EXPECT_DOUBLE_EQ(v, -0.025);
  ASSERT_TRUE(parse_real_field("1500", 0, v));
  EXPECT_DOUBLE_EQ(v, 1500.0);
  ASSERT_TRUE(parse_real_field("          ", 3, v));
  EXPECT_EQ(v, 0.0);
  ASSERT_TRUE(parse_real_field("", 3, v));
  EXPECT_EQ(v, 0.0);
}

// Implied decimals give the double nearest the decimal value, exactly as the
// same digits with their point written: 7700 in F10.5 is 0.077, not
// 7700 x 1.0E-5 = 0.077000000000000013.
TEST(RecordsRead, ImpliedDecimalsReadAsTheNearestDouble) {
  double implied = 0, pointed = 0;
  ASSERT_TRUE(parse_real_field("      7700", 5, implied));
  ASSERT_TRUE(parse_real_field("   0.07700", 5, pointed));
  EXPECT_EQ(implied, 0.077);
  EXPECT_EQ(pointed, 0.077);
  for (long n = 0; n < 400000; n += 7) {
    for (int places : {3, 5}) {
      const std::string digits = std::to_string(n);
      const double nearest = std::strtod((digits + "e-" + std::to_string(places)).c_str(), nullptr);
      double v = -1;
      ASSERT_TRUE(parse_real_field(digits, places, v));
      ASSERT_EQ(v, nearest) << digits << " with " << places << " implied decimals";
    }
  }
  // Beyond 15 digits or an exact power of ten: the decimal text converted.
  for (const char* digits : {"12345678901234567890", "7700E-30", "31E+25", "0.1e-307"}) {
    double v = -1;
    ASSERT_TRUE(parse_real_field(digits, 0, v));
    EXPECT_EQ(v, std::strtod(digits, nullptr)) << digits;
  }
  double tiny = -1;
  ASSERT_TRUE(parse_real_field("1.0E-400", 3, tiny));  // below the smallest double: zero
  EXPECT_EQ(tiny, 0.0);
  EXPECT_FALSE(parse_real_field("1.0E+400", 3, tiny));  // beyond the largest: refused
}

TEST(RecordsRead, ExponentForms) {
  double v = 0;
  ASSERT_TRUE(parse_real_field(" 0.210E+06", 3, v));
  EXPECT_DOUBLE_EQ(v, 210000.0);
  ASSERT_TRUE(parse_real_field("1.5e-3", 3, v));
  EXPECT_DOUBLE_EQ(v, 0.0015);
  ASSERT_TRUE(parse_real_field("1.0D2", 3, v));
  EXPECT_DOUBLE_EQ(v, 100.0);
  ASSERT_TRUE(parse_real_field(" 0.100-119", 3, v));  // exponent without E, as written above
  EXPECT_NEAR(v, 1.0e-120, 1e-130);
  ASSERT_TRUE(parse_real_field("-2.5E1", 3, v));
  EXPECT_DOUBLE_EQ(v, -25.0);
}

TEST(RecordsRead, MalformedFields) {
  double v;
  long i;
  EXPECT_FALSE(parse_real_field("12a", 3, v));
  EXPECT_FALSE(parse_real_field("1.2.3", 3, v));
  EXPECT_FALSE(parse_real_field(".", 3, v));
  EXPECT_FALSE(parse_real_field("E5", 3, v));
  EXPECT_FALSE(parse_real_field("1.5E", 3, v));
  EXPECT_FALSE(parse_int_field("1.5", i));
  EXPECT_FALSE(parse_int_field("-", i));
  EXPECT_FALSE(parse_int_field("x1", i));
  ASSERT_TRUE(parse_int_field("0010", i));  // leading zeros of a fixity code
  EXPECT_EQ(i, 10);
  ASSERT_TRUE(parse_int_field(" -7 ", i));
  EXPECT_EQ(i, -7);
}

// Random fields of every form, and edge cases, read by the quick route and
// by the general one: the same verdict and the same double, bit for bit.
// The real fields' values are also checked against C's correctly rounded
// strtod of the same number written plainly (`plain`, empty for a field
// that is no number).
std::string random_field(unsigned& seed, int implied, std::string& plain) {
  auto pick = [&](int n) { return static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16) % n; };
  auto digits = [&](int n) { std::string d; while (n-- > 0) d += static_cast<char>('0' + pick(10)); return d; };
  const char* const signs[] = {"", "", "-", "+"};
  const char* const marks[] = {"", "", "E", "e", "D", "d", "+", "-"};
  const std::string sign = signs[pick(4)], whole = digits(pick(5) == 0 ? pick(19) : pick(5));
  const bool point = pick(4) != 0;
  const std::string frac = point ? digits(pick(5) == 0 ? pick(19) : pick(7)) : "", mark = marks[pick(8)];
  const std::string esign = mark == "+" || mark == "-" || mark.empty() ? mark : signs[pick(4)];
  const std::string exp = mark.empty() ? "" : digits(pick(6) == 0 ? 0 : 1 + pick(pick(8) == 0 ? 9 : 3));
  std::string f = std::string(pick(5), ' ') + sign + whole + (point ? "." : "") + frac +
                  (mark == esign ? "" : mark) + esign + exp;
  const long power = (exp.empty() ? 0 : std::stol(exp)) * (esign == "-" ? -1 : 1) - (point ? 0 : implied);
  plain = (whole + frac).empty() || (!mark.empty() && exp.empty())
              ? "" : sign + "0" + whole + "." + frac + "e" + std::to_string(power);
  if (pick(12) == 0) f.insert(pick(static_cast<int>(f.size()) + 1), pick(2) ? " " : "\t");
  if (pick(20) == 0) {  // a stray character: no number, or another one
    f.insert(pick(static_cast<int>(f.size()) + 1), pick(2) ? "x" : ".");
    plain.clear();
  }
  return f;
}

TEST(RecordsRead, QuickAndGeneralReadingsAgree) {
  const char* const edges[] = {"", "  ", "1.E5", "1+05", "-.5", "+", ".", "1.5E", "1e+", "   -0.000",
                               " 0.143E-02", "-0.149E-02", "  61.21132", "12345678901234567890",
                               "1.5E-310", "4.9E-324", "1E308", "1.8E308", "0.00000000000000000001",
                               "1 2", "\t7", "7 ", "1.2.3", "2147483647", "2147483648", "-2147483647",
                               "99999999999", "1E2147483647", "0000000000000000001E-330"};
  auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  unsigned seed = 12345;
  for (int i = 0; i < 40000; ++i) {
    const int implied = i % 6;
    std::string plain;
    const std::string f = i < static_cast<int>(std::size(edges)) ? edges[i] : random_field(seed, implied, plain);
    double quick = -1, general = -2;
    const bool q = parse_real_field(f, implied, quick);
    ASSERT_EQ(q, parse_real_field_general(f, implied, general)) << "[" << f << "]";
    ASSERT_TRUE(!q || same(quick, general)) << "[" << f << "] " << quick << " " << general;
    long qi = -1, gi = -2;
    const bool qq = parse_int_field(f, qi);
    ASSERT_EQ(qq, parse_int_field_general(f, gi)) << "[" << f << "]";
    ASSERT_TRUE(!qq || qi == gi) << "[" << f << "]";
    if (plain.empty()) continue;
    const double expected = std::strtod(plain.c_str(), nullptr);
    ASSERT_EQ(q, std::isfinite(expected)) << "[" << f << "] " << plain;
    ASSERT_TRUE(!q || same(quick, expected)) << "[" << f << "] " << plain;
  }
}

// Whole records of random fields, each right-aligned in its columns (or cut
// to them), lines cut short and lines past the reader's held columns: the
// reader gives every field the value and verdict of the general reading of
// its columns.
TEST(RecordsRead, ReaderAgreesWithGeneralReadingOnWholeLines) {
  const int layouts[][12] = {{5, 2, 3, -10, -10, -10, -10, -10, -10}, {5, -10, -10, -10, -10},
                             {1, 4, 2, 3, 5, 5, 5, 5, 5, 5, 5}, {15, -15, -9, -1, 1, -3, -13}};
  auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  unsigned seed = 777;
  for (int i = 0; i < 20000; ++i) {
    const int* layout = layouts[i % 4];
    std::string line(i % 7 == 0 ? 120 + i % 13 : 0, ' '), plain;  // some fields past column 128
    for (int k = 0; k < 12 && layout[k]; ++k) {
      const int w = std::abs(layout[k]);
      std::string f = random_field(seed, 3, plain);
      if (static_cast<int>(f.size()) > w) f = i % 2 ? f.substr(0, w) : f.substr(f.size() - w);
      line += std::string(w - f.size(), ' ') + f;
    }
    if (i % 5 == 0) line.resize(line.size() - seed % 12);  // the last fields cut short
    RecordReader r(line);
    r.X(i % 7 == 0 ? 120 + i % 13 : 0);
    bool all = true;
    for (size_t at = i % 7 == 0 ? 120 + i % 13 : 0, k = 0; k < 12 && layout[k]; at += std::abs(layout[k++])) {
      const std::string_view cols = at < line.size() ? std::string_view(line).substr(at, std::abs(layout[k])) : "";
      if (layout[k] > 0) {
        long want = -1;
        all = parse_int_field_general(cols, want) && all;
        ASSERT_EQ(r.I(layout[k]), want) << "[" << cols << "] of [" << line << "]";
      } else {
        double want = -1;
        all = parse_real_field_general(cols, 3, want) && all;
        const double got = r.F(-layout[k], 3);
        ASSERT_TRUE(same(got, want)) << "[" << cols << "] " << got << " " << want;
      }
      ASSERT_EQ(r.ok(), all) << "[" << cols << "] of [" << line << "]";
    }
  }
}

// Whole records read at once: whenever every field is plain the values are
// those the reader gives field by field, bit for bit, and any other record
// is left to it. The lines are random fields of every form among plain ones
// as the writers make them; what lies around a line is not blank, so that
// a record never reads past its line.
constexpr quick::PlainLayout<9> GAUSS_SHAPE{
    {{'I', 5}, {'I', 2}, {'I', 3}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}, {'F', 10}}};
constexpr quick::PlainLayout<6> NODE_SHAPE{{{'I', 1}, {'I', 4}, {'I', 5}, {'F', 10, 3}, {'F', 10, 3}, {'I', 5}}};
constexpr quick::PlainLayout<9> ODD_SHAPE{
    {{'F', 15, 2}, {'I', 8}, {'F', 6, 1}, {'F', 1}, {'I', 1}, {'F', 15}, {'F', 7, 4}, {'F', 15, 5}, {'I', 3}}};

template <const auto& L>
void whole_records_agree(unsigned seed, int& plain_lines) {
  auto pick = [&](int n) { return static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16) % n; };
  // Edge forms, each alone among plain fields in a quarter of the lines.
  const char* const edges[] = {"", "1.E5", "1+05", "-.5", "+", ".", "-.", "1.5E", "1e+", "-0.000",
                               "E+05", "-E-05", ".E+05", "5.E+05", "-5.E-05", "1.5E+99", "1.5E-99",
                               "12345678901234", "0.1E+23", "1E-23", "- 5", "5-", "1.2.3", "E+5",
                               "1.5E+5 ", "1.5E-0-", "1.5E--5", "1.5e+05", "1.5E+0x", "0x", "5."};
  for (int i = 0; i < 20000; ++i) {
    std::string line, plain;
    const int odd = i % 4 == 3 ? pick(static_cast<int>(L.count)) : -1;
    for (const quick::PlainField& f : L.f) {
      std::string t;
      const double v = (pick(2000) - 1000) * std::pow(10.0, pick(12) - 6);
      const int form = odd < 0 ? pick(i % 4 == 0 ? 12 : 4) : &f - L.f == odd ? 4 + pick(2) : pick(4);
      switch (form) {  // odd fields in a quarter of the lines, one in another quarter
        case 5: t = edges[pick(static_cast<int>(std::size(edges)))]; break;
        case 0: t = f.kind == 'I' ? fmt_I(pick(2000) - 999, f.w) : fmt_E(v, f.w, std::max(1, f.w - 7)); break;
        case 1: t = f.kind == 'I' ? fmt_I(pick(99999), f.w) : fmt_F(v, f.w, std::min(5, f.w / 2)); break;
        case 2: t = std::string(f.w, ' '); break;
        case 3: t = f.kind == 'I' ? fmt_I(-pick(99), f.w) : fmt_F(v, f.w, 0); break;
        default: t = random_field(seed, f.implied, plain);
      }
      if (i % 4 == 0 && pick(60) == 0) t.insert(pick(static_cast<int>(t.size()) + 1), std::string(1, "\0\r"[pick(2)]));
      t = static_cast<int>(t.size()) > f.w ? t.substr(t.size() - f.w) : std::string(f.w - t.size(), ' ') + t;
      line += t;
    }
    if (i % 4 != 1 && pick(6) == 0) line.resize(pick(static_cast<int>(line.size())));  // the last fields cut short
    const std::string held = std::string(16, '9') + line + std::string(128, "7-.E"[pick(4)]);
    long ints[L.count] = {};
    double reals[L.count] = {};
    const bool whole = quick::read_plain_record<L>(held.data() + 16, line.size(), ints, reals);
    RecordReader r(line);
    int ni = 0, nr = 0;
    for (const quick::PlainField& f : L.f) {
      if (f.kind == 'I') {
        const long want = r.I(f.w);
        ASSERT_TRUE(!whole || ints[ni] == want) << ints[ni] << " " << want << " [" << line << "]";
        ++ni;
      } else {
        const double want = r.F(f.w, f.implied);
        ASSERT_TRUE(!whole || std::memcmp(&reals[nr], &want, sizeof want) == 0)
            << reals[nr] << " " << want << " [" << line << "]";
        ++nr;
      }
    }
    ASSERT_TRUE(!whole || r.ok()) << "[" << line << "]";
    plain_lines += whole;
  }
}

TEST(RecordsRead, WholeRecordsAgreeWithTheReaderFieldByField) {
  int plain_lines[3] = {};
  whole_records_agree<GAUSS_SHAPE>(11, plain_lines[0]);
  whole_records_agree<NODE_SHAPE>(23, plain_lines[1]);
  whole_records_agree<ODD_SHAPE>(37, plain_lines[2]);
  // Records of plain fields are read whole, not all left to the reader.
  if (quick::AVAILABLE) {
    for (int n : plain_lines) EXPECT_GT(n, 500);
  }
}

TEST(RecordsRead, ReaderWalksTheColumns) {
  RecordReader r("0  01    2   0.50000      1500    2");
  EXPECT_EQ(r.I(1), 0);
  EXPECT_EQ(r.I(4), 1);
  EXPECT_EQ(r.I(5), 2);
  EXPECT_DOUBLE_EQ(r.F(10, 3), 0.5);
  EXPECT_DOUBLE_EQ(r.F(10, 3), 1.5);
  EXPECT_EQ(r.I(5), 2);
  EXPECT_EQ(r.I(5), 0);          // past the end of the line: blank, zero
  EXPECT_EQ(r.A(3), "   ");
  EXPECT_TRUE(r.ok());

  RecordReader bad("    5  abc    7");
  EXPECT_EQ(bad.I(5), 5);
  bad.I(5);
  EXPECT_FALSE(bad.ok());
  EXPECT_EQ(bad.I(5), 7);        // later fields are still read
  EXPECT_FALSE(bad.ok());        // but the record stays marked
}

TEST(RecordsRead, FreeFormat) {
  auto t = free_tokens(" 1, 2.5  abc,,-3\r");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0], "1");
  EXPECT_EQ(t[1], "2.5");
  EXPECT_EQ(t[2], "abc");
  EXPECT_EQ(t[3], "-3");
  double v;
  ASSERT_TRUE(free_real("1500", v));  // typed values have no implied decimals
  EXPECT_DOUBLE_EQ(v, 1500.0);
  long i;
  EXPECT_FALSE(free_int("abc", i));
  EXPECT_FALSE(free_int("", i));
  ASSERT_TRUE(free_int("-3", i));
  EXPECT_EQ(i, -3);
}

// A typed value fits its field when, rounded to the field's decimals, it is
// written within the width and reads back as that rounded value.
TEST(RecordsFit, TypedValuesAgainstTheirFields) {
  const struct { double v; FieldFormat f; bool fits; } cases[] = {
      {12345, I5, true},      {123456, I5, false},     {-9999, I5, true},
      {-12345, I5, false},    {1.5, I5, false},        {99, I2, true},
      {100, I2, false},       {-10, I2, false},
      {0.333333, F5_2, true},  // written 0.33
      {0.5, F5_2, true},      {99.99, F5_2, true},     {-9.99, F5_2, true},
      {12345, F5_2, false},   // "12345" would read as 123.45
      {123.45, F5_2, false},  // only "123.5" fits five columns
      {250000, F5_2, false},  {-12.345, F5_2, false},
      {9999.99999, F10_5, true}, {-999.99999, F10_5, true},
      {1234567.0, F10_5, true},  // fewer decimals, the value whole
      {1234567.891, F10_5, false}, {0.123456, F10_5, true}, {1.5e10, F10_5, true},
      {1234567890.0, F10_5, false},
      {210000, E10_3, true},  {0.123456, E10_3, true}, {1e-100, E10_3, true},
      {9.99e98, E10_3, true}, {1e-120, E10_3, false},  // three exponent digits
      {1e99, E10_3, false},   {0.0, E10_3, true},
      {0.5, G10_3, true},     {12.5, G10_3, true},     {1234.0, G10_3, true},
      {-0.001, G10_3, true},  {1e-120, G10_3, false},
      {std::nan(""), E10_3, false}, {HUGE_VAL, F10_5, false}};
  for (const auto& c : cases)
    EXPECT_EQ(value_fits(c.v, c.f), c.fits) << c.v << " in " << c.f.kind << c.f.w << "." << c.f.d;
  EXPECT_TRUE(value_fits(1e300, FieldFormat{}));  // no field: anything goes
}

TEST(RecordsFit, WhatFitsIsSaid) {
  EXPECT_EQ(what_fits(I5), "an integer from -9999 to 99999");
  EXPECT_EQ(what_fits(I2), "an integer from -9 to 99");
  EXPECT_EQ(what_fits(F5_2), "a number of at most 5 characters, point included, e.g. -9.99 to 99.99");
  EXPECT_EQ(what_fits(F10_5),
            "a number of at most 10 characters, point included, e.g. -999.99999 to 9999.99999");
  EXPECT_EQ(what_fits(E10_3), "0 or a number from 1.0E-100 to 9.99E+98 in size");
}

}  // namespace
}  // namespace vortan
