#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/stratel/igis_numericformat.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/support/logmark.h"

namespace {

using md::test::LogMark;

using FormatPtr = md::basilo::ReleasePtr<IGIS_NumericFormat>;
using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

FormatPtr Make(int kind) { return FormatPtr(GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(kind)); }
BufferPtr NewBuffer() { return BufferPtr(GIS_CreateDataBufferObject(0)); }

std::vector<BYTE> Bytes(IGIS_DataBuffer* b) {
  const BYTE* p = b->GetData();
  return std::vector<BYTE>(p, p + b->GetSize());
}
void SetBytes(IGIS_DataBuffer* b, const std::vector<BYTE>& bytes) {
  ASSERT_TRUE(b->SetSize(static_cast<int>(bytes.size())));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
}

// One row: the settings and the expected text.
struct Case {
  const char* name;
  int kind;
  int rounding;
  int digits;
  double value;
  const char* text;
  int width = 0;
  int alignment = 0;
  bool plus = false;
  bool thousands = false;
  bool zeroPad = false;
  int mode = GIS_LATLON_DMS;
  bool optionA = true;
  bool optionB = true;
};

void Apply(IGIS_NumericFormat* f, const Case& c) {
  ASSERT_TRUE(f->SetRoundingMode(c.rounding));
  ASSERT_TRUE(f->SetDigits(c.digits));
  ASSERT_TRUE(f->SetWidth(c.width));
  ASSERT_TRUE(f->SetAlignment(c.alignment));
  f->SetShowPlusSign(c.plus);
  f->SetShowThousandsSeparator(c.thousands);
  f->SetZeroPadding(c.zeroPad);
  if (c.kind == GIS_NUMERICFORMAT_LATLON) {
    ASSERT_TRUE(f->SetDisplayMode(c.mode));
    f->SetLatLonOptionA(c.optionA);
    f->SetLatLonOptionB(c.optionB);
  }
}

constexpr int N = GIS_NUMERICFORMAT_NUMBER;
constexpr int L = GIS_NUMERICFORMAT_LATLON;
// 116°07′59.9995″ and 59°59′59.9995″ in degrees.
const double kJustBelowMinute = 116.0 + 7.0 / 60.0 + 59.9995 / 3600.0;
const double kJustBelowDegree = 59.0 + 59.0 / 60.0 + 59.9995 / 3600.0;

const Case kCases[] = {
    // Rounding to decimal places, half away from zero on the decimal value.
    {"places", N, 0, 2, 3.14159, "3.14"},
    {"half up", N, 0, 2, 2.675, "2.68"},
    {"half up 1.005", N, 0, 2, 1.005, "1.01"},
    {"half to integer", N, 0, 0, 2.5, "3"},
    {"negative half", N, 0, 0, -2.5, "-3"},
    {"negative to zero", N, 0, 0, -0.4, "0"},
    {"tiny negative", N, 0, 2, -0.000001, "0.00"},
    {"zero places", N, 0, 3, 0.0, "0.000"},
    {"carry into integer", N, 0, 2, 9.999, "10.00"},
    {"big integer", N, 0, 0, 123456789012345.0, "123456789012345"},
    {"exponent", N, 0, 2, 1e20, "1.00e+20"},
    // Significant digits.
    {"significant", N, 1, 3, 1234.5, "1230"},
    {"significant small", N, 1, 3, 0.0012345, "0.00123"},
    {"significant carry", N, 1, 2, 9.99, "10"},
    {"significant carry keeps count", N, 1, 3, 9.9996, "10.0"},
    {"significant zero digits", N, 1, 0, 47.0, "50"},
    {"significant zero", N, 1, 3, 0.0, "0.00"},
    // Separators, plus sign, field.
    {"thousands", N, 0, 2, 1234567.891, "1,234,567.89", 0, 0, false, true},
    {"thousands after carry", N, 0, 0, 999.5, "1,000", 0, 0, false, true},
    {"plus", N, 0, 1, 5.0, "+5.0", 0, 0, true},
    {"no plus on zero", N, 0, 1, 0.0, "0.0", 0, 0, true},
    {"minus with plus on", N, 0, 1, -5.0, "-5.0", 0, 0, true},
    {"right", N, 0, 1, 3.5, "     3.5", 8, 1},
    {"left", N, 0, 1, 3.5, "3.5     ", 8, 0},
    {"zero padding", N, 0, 1, -3.5, "-00003.5", 8, 1, false, false, true},
    {"zero padding plus", N, 0, 1, 3.5, "+00003.5", 8, 0, true, false, true},
    {"wider than field", N, 0, 0, 12345.0, "12345", 2, 1},
    // Longitude and latitude, each display mode.
    {"degrees", L, 0, 3, 116.125, "116.125°", 0, 0, false, false, false, GIS_LATLON_DEGREES},
    {"degrees rounded", L, 0, 0, 116.5, "117°", 0, 0, false, false, false, GIS_LATLON_DEGREES},
    {"minutes", L, 0, 1, 116.125, "116°07.5′", 0, 0, false, false, false, GIS_LATLON_DM},
    {"minutes carry", L, 0, 0, 116.99999, "117°00′", 0, 0, false, false, false, GIS_LATLON_DM},
    {"dms", L, 0, 0, 116.125, "116°07′30″"},
    {"dms seconds carry", L, 0, 3, kJustBelowMinute, "116°08′00.000″"},
    {"dms carry to degree", L, 0, 3, kJustBelowDegree, "60°00′00.000″"},
    {"dms below carry", L, 0, 3, 116.0 + 7.0 / 60.0 + 59.9994 / 3600.0, "116°07′59.999″"},
    {"dms negative keeps fraction", L, 0, 0, -116.5, "-116°30′00″"},
    {"dms negative below one", L, 0, 1, -0.5, "-0°30′00.0″"},
    {"dms plus", L, 0, 0, 116.5, "+116°30′00″", 0, 0, true},
    {"dms field", L, 0, 0, 116.5, "    116°30′00″", 14, 1},
    {"dms zero padding", L, 0, 0, 116.5, "00116°30′00″", 12, 0, false, false, true},
    {"dms significant acts as places", L, 1, 1, 116.125, "116°07′30.0″"},
    {"dms without options drops zeros", L, 0, 0, 116.5, "116°30′", 0, 0, false, false, false, GIS_LATLON_DMS,
     false, false},
    {"dms without options whole degree", L, 0, 0, 116.0, "116°", 0, 0, false, false, false, GIS_LATLON_DMS,
     false, false},
    {"dms single digits", L, 0, 0, 116.0 + 1.0 / 3600.0, "116°0′1″", 0, 0, false, false, false,
     GIS_LATLON_DMS, false, false},
    {"dms negative zero", L, 0, 0, -0.00001, "0°00′00″"},
};

TEST(NumericFormat, TextTable) {
  for (const Case& c : kCases) {
    FormatPtr f = Make(c.kind);
    ASSERT_NE(f, nullptr);
    Apply(f.get(), c);
    EXPECT_STREQ(f->Format(c.value), c.text) << c.name;
  }
}

TEST(NumericFormat, DefaultsOfBothKinds) {
  for (int kind : {N, L}) {
    FormatPtr f = Make(kind);
    EXPECT_EQ(f->GetKind(), kind);
    EXPECT_EQ(f->GetAlignment(), 0);
    EXPECT_EQ(f->GetRoundingMode(), 0);
    EXPECT_EQ(f->GetWidth(), 0);
    EXPECT_EQ(f->GetDigits(), 0);
    EXPECT_FALSE(f->GetShowPlusSign());
    EXPECT_FALSE(f->GetShowThousandsSeparator());
    EXPECT_FALSE(f->GetZeroPadding());
    EXPECT_FALSE(f->GetSplitOption());
    EXPECT_EQ(f->GetDisplayMode(), GIS_LATLON_DMS);
  }
  EXPECT_STREQ(Make(N)->Format(1234.5), "1235");
  EXPECT_STREQ(Make(L)->Format(116.5), "116°30′");
}

TEST(NumericFormat, UnknownKindsAndRefusedSettings) {
  LogMark mark;
  EXPECT_EQ(GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(1), nullptr);
  EXPECT_EQ(GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(-1), nullptr);
  EXPECT_EQ(mark.Count(), 2u);

  FormatPtr f = Make(L);
  ASSERT_TRUE(f->SetDigits(4));
  ASSERT_TRUE(f->SetWidth(GIS_NUMERICFORMAT_MAX_WIDTH));
  LogMark refused;
  EXPECT_FALSE(f->SetDigits(11));
  EXPECT_FALSE(f->SetDigits(-1));
  EXPECT_FALSE(f->SetWidth(51));
  EXPECT_FALSE(f->SetAlignment(2));
  EXPECT_FALSE(f->SetRoundingMode(-1));
  EXPECT_FALSE(f->SetDisplayMode(3));
  EXPECT_EQ(refused.Count(), 6u);
  EXPECT_EQ(f->GetDigits(), 4);
  EXPECT_EQ(f->GetWidth(), GIS_NUMERICFORMAT_MAX_WIDTH);
  EXPECT_EQ(f->GetAlignment(), 0);
  EXPECT_EQ(f->GetDisplayMode(), GIS_LATLON_DMS);
}

TEST(NumericFormat, ValuesThatCannotBeWritten) {
  FormatPtr number = Make(N);
  FormatPtr latlon = Make(L);
  LogMark mark;
  EXPECT_STREQ(number->Format(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_STREQ(number->Format(std::numeric_limits<double>::infinity()), "");
  EXPECT_STREQ(latlon->Format(-std::numeric_limits<double>::infinity()), "");
  EXPECT_STREQ(latlon->Format(5e5), "");
  EXPECT_EQ(mark.Count(), 4u);
  // The next finite value is written again.
  EXPECT_STREQ(latlon->Format(1.0), "1°");
}

TEST(NumericFormat, TextsStayWithinTheirBound) {
  for (int kind : {N, L}) {
    FormatPtr f = Make(kind);
    f->SetWidth(GIS_NUMERICFORMAT_MAX_WIDTH);
    f->SetDigits(GIS_NUMERICFORMAT_MAX_DIGITS);
    f->SetShowThousandsSeparator(true);
    f->SetShowPlusSign(true);
    f->SetLatLonOptionA(true);
    f->SetLatLonOptionB(true);
    for (double v : {0.0, 1e5, -1e5, 999999999999999.0, -1e300, 1e-300, 0.1234567890123}) {
      const std::string text = f->Format(v);
      EXPECT_LE(text.size(), static_cast<std::size_t>(kMaxNumericText)) << v;
    }
  }
}

TEST(NumericFormat, StoredCloneAndReadBack) {
  FormatPtr f = Make(L);
  f->SetAlignment(1);
  f->SetRoundingMode(1);
  f->SetWidth(20);
  f->SetDigits(3);
  f->SetShowPlusSign(true);
  f->SetShowThousandsSeparator(true);
  f->SetZeroPadding(true);
  f->SetSplitOption(true);
  f->SetLatLonOptionA(true);
  f->SetLatLonOptionB(false);
  f->SetDisplayMode(GIS_LATLON_DM);
  const std::string expected = f->Format(-33.3333);

  BufferPtr b = NewBuffer();
  ASSERT_TRUE(f->SaveToDataBuffer(b.get()));
  FormatPtr g = Make(L);
  ASSERT_TRUE(g->LoadFromDataBuffer(b.get()));
  FormatPtr c(f->Clone());
  for (IGIS_NumericFormat* x : {g.get(), c.get()}) {
    EXPECT_EQ(x->GetAlignment(), 1);
    EXPECT_EQ(x->GetRoundingMode(), 1);
    EXPECT_EQ(x->GetWidth(), 20);
    EXPECT_EQ(x->GetDigits(), 3);
    EXPECT_TRUE(x->GetShowPlusSign());
    EXPECT_TRUE(x->GetShowThousandsSeparator());
    EXPECT_TRUE(x->GetZeroPadding());
    EXPECT_TRUE(x->GetSplitOption());
    EXPECT_TRUE(x->GetLatLonOptionA());
    EXPECT_FALSE(x->GetLatLonOptionB());
    EXPECT_EQ(x->GetDisplayMode(), GIS_LATLON_DM);
    EXPECT_EQ(x->Format(-33.3333), expected);
  }
  // A clone is its own object.
  c->SetDigits(0);
  EXPECT_EQ(f->GetDigits(), 3);
  // Saving again replaces what the buffer held.
  FormatPtr plain = Make(L);
  ASSERT_TRUE(plain->SaveToDataBuffer(b.get()));
  ASSERT_TRUE(g->LoadFromDataBuffer(b.get()));
  EXPECT_EQ(g->GetDigits(), 0);
  EXPECT_EQ(g->GetDisplayMode(), GIS_LATLON_DMS);
}

TEST(NumericFormat, DamagedOrForeignStoredFormsChangeNothing) {
  FormatPtr source = Make(N);
  source->SetDigits(2);
  BufferPtr b = NewBuffer();
  ASSERT_TRUE(source->SaveToDataBuffer(b.get()));
  const std::vector<BYTE> good = Bytes(b.get());

  FormatPtr target = Make(N);
  target->SetDigits(7);
  target->SetWidth(9);
  auto expectRefused = [&](const std::vector<BYTE>& bytes, const char* what) {
    BufferPtr d = NewBuffer();
    SetBytes(d.get(), bytes);
    LogMark mark;
    EXPECT_FALSE(target->LoadFromDataBuffer(d.get())) << what;
    EXPECT_EQ(mark.Count(), 1u) << what;
    EXPECT_EQ(target->GetDigits(), 7) << what;
    EXPECT_EQ(target->GetWidth(), 9) << what;
  };
  for (std::size_t n = 1; n < good.size(); ++n)
    expectRefused(std::vector<BYTE>(good.begin(), good.begin() + static_cast<long>(n)), "cut short");
  std::vector<BYTE> longer = good;
  longer.push_back(0);
  expectRefused(longer, "trailing byte");
  std::vector<BYTE> magic = good;
  magic[0] = 'X';
  expectRefused(magic, "magic");
  std::vector<BYTE> version = good;
  version[4] = 2;
  expectRefused(version, "version");
  std::vector<BYTE> digits = good;
  digits[10] = 11;  // kind, alignment, rounding, width, digits follow the 6-byte header
  expectRefused(digits, "digits out of range");
  std::vector<BYTE> flag = good;
  flag[11] = 2;
  expectRefused(flag, "flag");
  std::vector<BYTE> mode = good;
  mode[17] = 3;
  expectRefused(mode, "display mode");

  // A stored longitude-latitude format is not read into a number format.
  FormatPtr latlon = Make(L);
  BufferPtr other = NewBuffer();
  ASSERT_TRUE(latlon->SaveToDataBuffer(other.get()));
  expectRefused(Bytes(other.get()), "other kind");

  LogMark mark;
  EXPECT_FALSE(target->LoadFromDataBuffer(nullptr));
  EXPECT_FALSE(target->SaveToDataBuffer(nullptr));
  EXPECT_EQ(mark.Count(), 2u);
}

TEST(NumericFormat, SplitDegreesCarriesAndKeepsTheSign) {
  FormatPtr f = Make(L);
  f->SetDigits(3);
  struct Row {
    double value;
    int d, m;
    double s;
  };
  const Row rows[] = {{0.5, 0, 30, 0.0},
                      {116.125, 116, 7, 30.0},
                      {kJustBelowMinute, 116, 8, 0.0},
                      {kJustBelowDegree, 60, 0, 0.0},
                      {-116.5, -116, -30, 0.0},
                      {-0.0001, 0, 0, -0.36},
                      {1.0 + 1.0 / 60.0 + 1.2345 / 3600.0, 1, 1, 1.235}};
  for (const Row& r : rows) {
    int d = 99, m = 99;
    double s = 99.0;
    ASSERT_TRUE(f->SplitDegrees(r.value, &d, &m, &s)) << r.value;
    EXPECT_EQ(d, r.d) << r.value;
    EXPECT_EQ(m, r.m) << r.value;
    EXPECT_NEAR(s, r.s, 1e-9) << r.value;
  }
  int d = 7, m = 8;
  double s = 9.0;
  LogMark mark;
  EXPECT_FALSE(f->SplitDegrees(std::numeric_limits<double>::quiet_NaN(), &d, &m, &s));
  EXPECT_FALSE(f->SplitDegrees(2e5, &d, &m, &s));
  EXPECT_FALSE(f->SplitDegrees(1.0, nullptr, &m, &s));
  EXPECT_EQ(mark.Count(), 3u);
  EXPECT_EQ(d, 7);
  EXPECT_EQ(m, 8);
  EXPECT_EQ(s, 9.0);
}

// The fuzz seeds read back; the crash inputs found so far are refused or
// read without harm.
TEST(NumericFormat, FuzzSeedsAndRegressions) {
  int seeds = 0;
  for (const auto& path : md::test::fuzz::Inputs("corpus", "numericformat")) {
    const std::vector<BYTE> bytes = md::test::fuzz::ReadInput(path);
    BufferPtr b = NewBuffer();
    SetBytes(b.get(), bytes);
    FormatPtr f = Make(bytes.size() > 6 && bytes[6] == L ? L : N);
    EXPECT_TRUE(f->LoadFromDataBuffer(b.get())) << path;
    ++seeds;
  }
  EXPECT_GE(seeds, 2);
  for (const auto& path : md::test::fuzz::Inputs("regressions", "numericformat")) {
    BufferPtr b = NewBuffer();
    SetBytes(b.get(), md::test::fuzz::ReadInput(path));
    Make(N)->LoadFromDataBuffer(b.get());
  }
}

}  // namespace
