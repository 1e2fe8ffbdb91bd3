#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(NumberText, FormatsLikePercentPoint13G) {
  struct Case { double value; const char* text; } cases[] = {
      {0.0, "0"},
      {0.1 + 0.2, "0.3"},
      {1e13, "1e+013"},
      {1e12, "1000000000000"},
      {1e-5, "1e-005"},
      {1e-4, "0.0001"},
      {123456789.123, "123456789.123"},
      {-2.5, "-2.5"},
      {100, "100"},
      {1234567890123.4, "1234567890123"},
      {0.30000000000004, "0.3"},
      {9999999999999.5, "1e+013"},
      {1.5e300, "1.5e+300"},
      {12.0 + 0.1 + 0.2, "12.3"},
  };
  for (const Case& c : cases) EXPECT_EQ(zz::FormatNumber(c.value), c.text) << c.value;
}

TEST(NumberText, ParsesTheLeadingNumberAsAtofWould) {
  struct Case { const char* text; double value; } cases[] = {
      {"12abc", 12},   {" 3.5", 3.5}, {"1e3", 1000}, {"0x10", 0}, {"inf", 0},
      {"", 0},         {".", 0},      {"-.5", -0.5}, {"+7", 7},   {"1e", 1},
      {"1e+", 1},      {"2.5e-1x", 0.25}, {"\t\n 42", 42}, {"nan", 0}, {"-", 0},
      {"0.1", 0.1},    {"5.", 5},     {"1e400", HUGE_VAL}, {"1e-400", 0},
      {"１２", 0},      // full-width digits are not digits to atof
  };
  for (const Case& c : cases) EXPECT_EQ(zz::ParseNumber(c.text), c.value) << c.text;
}

TEST(NumberText, SumsShowAsAPersonWouldExpect) {
  double sum = zz::ParseNumber("0.1") + zz::ParseNumber("0.2") + zz::ParseNumber("12abc") +
               zz::ParseNumber("");
  EXPECT_EQ(zz::FormatNumber(sum), "12.3");
}

TEST(NumberText, TypedFiguresArePlainDecimalsOrRefused) {
  struct Case { const char* typed; const char* stored; } kept[] = {
      {"", ""}, {"  ", ""}, {" 12.50 ", "12.50"}, {"-3", "-3"}, {".5", ".5"}, {"5.", "5"},
      {"-0", "0"}, {"-0.00", "0.00"}, {"１２３", "123"}, {"－１２．５", "-12.5"}, {"　８　", "8"},
      {"999999999.9999", "999999999.9999"}, {"-123456789.5", "-123456789.5"},
  };
  for (const Case& c : kept) EXPECT_EQ(zz::PlainNumberText(c.typed).value_or("refused"), c.stored) << c.typed;
  // Longer figures would total as "1.#INF" or in exponent form.
  const std::string huge(310, '9');
  for (const std::string refused : {"1,234.50", "50元", "1e5", ".", "-", "+5", "1 2", "0x10", "１２３，４", "\xA3",
                                    "1234567890", "1.12345", "12345678901234567890", huge.c_str()})
    EXPECT_FALSE(zz::PlainNumberText(refused).has_value()) << refused;
}

// The totals read "0012" as 12: it is stored so, and its zeros are no digits
// towards the bound.
TEST(NumberText, SurplusLeadingZerosAreDropped) {
  struct Case { const char* typed; const char* stored; } kept[] = {
      {"0012", "12"}, {"0000000001", "1"}, {"000.5", "0.5"}, {"00", "0"}, {"00.", "0"}, {"0", "0"},
      {"-007", "-7"}, {"-000", "0"}, {"０１２", "12"}, {"0000999999999.9999", "999999999.9999"},
  };
  for (const Case& c : kept) EXPECT_EQ(zz::PlainNumberText(c.typed).value_or("refused"), c.stored) << c.typed;
  for (const char* refused : {"001234567890", "00x", "0.00001"})
    EXPECT_FALSE(zz::PlainNumberText(refused).has_value()) << refused;
}

}  // namespace
