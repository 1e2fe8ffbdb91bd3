#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace zz {
namespace {

constexpr int kPrecision = 13;
// A figure of at most 9 and 4 digits fits the 13 digits the totals are
// written with, and so does a sum of such figures below a billion, far
// beyond a day of a health centre; a sum that reaches a billion loses its
// last decimals (600000000.0001 + 400000000.0002 totals 1000000000).
constexpr std::size_t kMaxWholeDigits = 9;
constexpr std::size_t kMaxFractionDigits = 4;

void StripTrailingZeros(std::string& digits) {
  if (digits.find('.') == std::string::npos) return;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (!digits.empty() && digits.back() == '.') digits.pop_back();
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FormatNumber(double value) {
  if (std::isnan(value)) return "-1.#IND";
  if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
  if (value == 0) return std::signbit(value) ? "-0" : "0";

  // to_chars rounds exactly (no C runtime involved); %g's choice between
  // fixed and exponent form follows from the exponent of the rounded value.
  char sci[64];
  auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific,
                           kPrecision - 1);
  std::string text(sci, res.ptr);
  std::size_t epos = text.find('e');
  int exponent = std::atoi(text.c_str() + epos + 1);
  std::string mantissa = text.substr(0, epos);

  if (exponent < -4 || exponent >= kPrecision) {
    StripTrailingZeros(mantissa);
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return mantissa + (exponent < 0 ? "e-" : "e+") + digits;
  }
  char fixed[400];
  res = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed,
                      kPrecision - 1 - exponent);
  std::string out(fixed, res.ptr);
  StripTrailingZeros(out);
  return out;
}

double ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  std::string number;
  std::size_t mantissa_digits = 0;
  while (i < text.size() && IsDigit(text[i])) { number += text[i++]; ++mantissa_digits; }
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    while (i < text.size() && IsDigit(text[i])) { number += text[i++]; ++mantissa_digits; }
  }
  if (mantissa_digits == 0) return 0.0;
  // An exponent counts only when a digit follows its sign.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      number += 'e';
      number.append(text.substr(i + 1, j - i - 1));
      while (j < text.size() && IsDigit(text[j])) number += text[j++];
    }
  }
  if (number == ".") return 0.0;

  double value = 0;
  auto res = std::from_chars(number.data(), number.data() + number.size(), value,
                             std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small zero, as strtod does.
    std::size_t e = number.find('e');
    bool tiny = e != std::string::npos && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (res.ec != std::errc()) {
    return 0.0;
  }
  return negative ? -value : value;
}

std::optional<std::string> PlainNumberText(std::string_view gbk_text) {
  std::string ascii;
  for (std::size_t i = 0; i < gbk_text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(gbk_text[i]);
    if (c < 0x80) {
      ascii += static_cast<char>(c);
      continue;
    }
    if (i + 1 == gbk_text.size()) return std::nullopt;
    unsigned char t = static_cast<unsigned char>(gbk_text[++i]);
    // GBK A3B0-A3B9 are the full-width digits, A3AE the point, A3AD the
    // minus; A1A1 is the full-width blank.
    if (c == 0xA3 && t >= 0xB0 && t <= 0xB9) ascii += static_cast<char>('0' + (t - 0xB0));
    else if (c == 0xA3 && t == 0xAE) ascii += '.';
    else if (c == 0xA3 && t == 0xAD) ascii += '-';
    else if (c == 0xA1 && t == 0xA1) ascii += ' ';
    else return std::nullopt;
  }
  std::size_t first = 0, last = ascii.size();
  while (first < last && IsSpace(ascii[first])) ++first;
  while (last > first && IsSpace(ascii[last - 1])) --last;
  ascii = ascii.substr(first, last - first);
  if (ascii.empty()) return ascii;
  const std::size_t sign = ascii[0] == '-' ? 1 : 0;
  // Surplus leading zeros count for nothing in the totals: one stays before
  // the point.
  std::size_t zeros = 0;
  while (sign + zeros + 1 < ascii.size() && ascii[sign + zeros] == '0' && IsDigit(ascii[sign + zeros + 1])) ++zeros;
  ascii.erase(sign, zeros);
  std::size_t i = sign, whole = 0, fraction = 0;
  while (i < ascii.size() && IsDigit(ascii[i])) ++i, ++whole;
  const bool point = i < ascii.size() && ascii[i] == '.';
  if (point)
    for (++i; i < ascii.size() && IsDigit(ascii[i]); ++i) ++fraction;
  if (whole + fraction == 0 || i != ascii.size() || whole > kMaxWholeDigits || fraction > kMaxFractionDigits)
    return std::nullopt;
  if (point && fraction == 0) ascii.pop_back();
  if (ascii[0] == '-' && ascii.find_first_of("123456789") == std::string::npos) ascii.erase(0, 1);
  return ascii;
}

}  // namespace zz
