#include "tools/cli/numbers.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Skips an optional sign and the digits after it; returns how many digits there were.
std::size_t skipDigits(const std::string& text, std::size_t& at) {
  const std::size_t first = at;
  while (at < text.size() && isDigit(text[at]))
    ++at;
  return at - first;
}

void skipSign(const std::string& text, std::size_t& at) {
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
}

// The shape of a decimal number: [+-] digits [. digits] [(e|E) [+-] digits], with a
// digit before or after the point. strtod takes more (blanks, hexadecimal, "inf").
bool isDecimal(const std::string& text) {
  std::size_t at = 0;
  skipSign(text, at);
  std::size_t digits = skipDigits(text, at);
  if (at < text.size() && text[at] == '.') {
    ++at;
    digits += skipDigits(text, at);
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    skipSign(text, at);
    if (skipDigits(text, at) == 0) return false;
  }
  return at == text.size();
}

bool isWhole(const std::string& text) {
  std::size_t at = 0;
  skipSign(text, at);
  return skipDigits(text, at) > 0 && at == text.size();
}

// A bound as a person writes it: a whole number in full ("2147483647", not
// "2.14748e+09"), anything else with the digits it needs.
std::string boundText(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    return std::to_string(static_cast<long long>(value));
  }
  std::ostringstream text;
  text << value;
  return text.str();
}

std::string range(double low, double high) {
  return "(" + boundText(low) + " to " + boundText(high) + ")";
}

}  // namespace

std::string quoted(const std::string& text) {
  constexpr std::size_t kShown = 24;
  if (text.size() <= 3 * kShown) return "'" + text + "'";
  return "'" + text.substr(0, kShown) + "..." + text.substr(text.size() - kShown) + "' (" +
         std::to_string(text.size()) + " characters)";
}

bool parseNumber(const std::string& text, double low, double high, double& value,
                 std::string& error) {
  if (!isDecimal(text)) {
    error = quoted(text) + " is not a number";
    return false;
  }
  // The shape is checked: from_chars reads it whole (it takes no '+'). Out of a
  // double's range, strtod tells which way: infinity, or zero and ERANGE.
  const std::size_t first = text[0] == '+' ? 1 : 0;
  double parsed = 0;
  const auto [end, failure] =
      std::from_chars(text.data() + first, text.data() + text.size(), parsed);
  errno = 0;
  if (failure == std::errc::result_out_of_range) parsed = std::strtod(text.c_str(), nullptr);
  if (std::isinf(parsed) || parsed < low || parsed > high) {
    error = quoted(text) + " is out of range " + range(low, high);
    return false;
  }
  // Below the smallest normal float (1.17549435e-38) a float keeps only some of the
  // digits, or none.
  if ((parsed != 0 && std::fabs(parsed) < FLT_MIN) || (parsed == 0 && errno == ERANGE)) {
    error = quoted(text) + " is too close to zero: a float holds only numbers from 1.2e-38 up";
    return false;
  }
  value = parsed;
  return true;
}

bool parseWhole(const std::string& text, long low, long high, long& value, std::string& error) {
  if (!isWhole(text)) {
    error = quoted(text) + " is not a whole number";
    return false;
  }
  const std::size_t first = text[0] == '+' ? 1 : 0;
  long parsed = 0;
  const auto [end, failure] =
      std::from_chars(text.data() + first, text.data() + text.size(), parsed);
  if (failure != std::errc() || parsed < low || parsed > high) {
    error = quoted(text) + " is out of range " + range(double(low), double(high));
    return false;
  }
  value = parsed;
  return true;
}

bool parseWholeList(const std::string& text, const std::string& shape,
                    const std::vector<long>& lows, long high, std::vector<long>& values,
                    std::string& error) {
  values.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < lows.size(); ++i) {
    const std::size_t comma = text.find(',', start);
    const bool last = i + 1 == lows.size();
    if (last != (comma == std::string::npos)) {
      error = quoted(text) + " is not " + shape;
      return false;
    }
    const std::string part = text.substr(start, last ? std::string::npos : comma - start);
    long value = 0;
    std::string reason;
    if (!parseWhole(part, lows[i], high, value, reason)) {
      error = quoted(text) + ": " + reason;
      return false;
    }
    values.push_back(value);
    start = comma + 1;
  }
  return true;
}
