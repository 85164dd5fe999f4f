#include "model/model_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

// What a file plainly is when it is not the text it should be, or "".
std::string otherFormat(std::string_view text, const char* format) {
  const auto bytes = [&](std::string_view start) { return startsWith(text, start); };
  using namespace std::string_view_literals;
  if (bytes("\xff\xfe\0\0"sv) || bytes("\0\0\xfe\xff"sv)) return "UTF-32 text";
  if (bytes("\xff\xfe") || bytes("\xfe\xff")) return "UTF-16 text";
  if (bytes("glTF")) return "a binary glTF (GLB) file";
  if (bytes("\x89PNG")) return "a PNG picture";
  if (bytes("\xff\xd8\xff")) return "a JPEG picture";
  if (bytes("GIF8")) return "a GIF picture";
  if (bytes("ply\n") || bytes("ply\r\n")) return "a PLY file";
  if (bytes("OFF\n") || bytes("OFF\r\n")) return "an OFF file";
  if (bytes("<?xml") || bytes("<COLLADA") || bytes("\xef\xbb\xbf<?xml")) {
    return text.substr(0, 4096).find("<COLLADA") != std::string_view::npos ? "a COLLADA file"
                                                                           : "an XML file";
  }
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start != std::string_view::npos && text[start] == '{') {
    return text.find("\"asset\"") != std::string_view::npos ? "a glTF file" : "a JSON file";
  }
  if (std::string_view(format) != "STL" && bytes("solid") &&
      text.substr(0, 4096).find("facet") != std::string_view::npos) {
    return "an STL file";
  }
  if (text.substr(0, 4096).find('\0') != std::string_view::npos) {
    return std::string("binary, not ") + format + " text";
  }
  return "";
}

// The statement of one logical line (continuations joined), or an empty keyword.
Statement split(std::string_view line, long number) {
  Statement statement;
  statement.line = number;
  std::size_t at = 0;
  std::size_t restEnd = 0;
  while (true) {
    while (at < line.size() && isBlank(line[at]))
      ++at;
    if (at == line.size() || line[at] == '#') break;
    const std::size_t start = at;
    while (at < line.size() && !isBlank(line[at]))
      ++at;
    const std::string_view word = line.substr(start, at - start);
    if (statement.keyword.empty()) {
      statement.keyword = word;
    } else {
      if (statement.words.empty()) statement.rest = line.substr(start);
      statement.words.push_back(word);
      restEnd = at;
    }
  }
  if (!statement.words.empty()) {
    const std::size_t restStart = std::size_t(statement.rest.data() - line.data());
    statement.rest = line.substr(restStart, restEnd - restStart);
  }
  return statement;
}

}  // namespace

void refuseAt(const std::string& path, long line, const std::string& reason) {
  throw SceneFileError(path + ": line " + std::to_string(line) + ": " + reason);
}

namespace {

// Text as a message shows it: every byte that does not print written as \xNN.
std::string escaped(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      shown += code;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string quotedName(std::string_view text) {
  return "'" + escaped(text) + "'";
}

std::string quotedWord(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  if (text.size() <= kLongest) return quotedName(text);
  return "'" + escaped(text.substr(0, 18)) + "..." + escaped(text.substr(text.size() - 18)) + "'";
}

void readStatements(const std::string& path, std::string_view text, const char* format,
                    const std::function<void(const Statement&)>& take) {
  if (const std::string other = otherFormat(text, format); !other.empty()) {
    throw SceneFileError(path + ": is " + other + ", not a " + format + " file");
  }
  if (startsWith(text, "\xef\xbb\xbf")) text.remove_prefix(3);
  std::string logical;
  long number = 0;
  long first = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (logical.empty()) first = number;
    if (!line.empty() && line.back() == '\\') {
      logical.append(line.substr(0, line.size() - 1)).push_back(' ');
      continue;
    }
    logical.append(line);
    const Statement statement = split(logical, first);
    if (!statement.keyword.empty()) take(statement);
    logical.clear();
  }
  if (!logical.empty()) {
    const Statement statement = split(logical, first);
    if (!statement.keyword.empty()) take(statement);
  }
}

std::optional<double> decimalNumber(std::string_view text) {
  // The grammar, checked before from_chars reads it (which takes no '+', but does take
  // "inf", "nan" and hexadecimal): [+-] digits [. digits] or [+-] . digits, then an
  // optional exponent [eE] [+-] digits.
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
      ++at;
    return at - start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t sign = at;
  std::size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (digits() == 0) return std::nullopt;
  }
  if (at != text.size()) return std::nullopt;
  const bool negative = sign == 1 && text[0] == '-';
  const std::string_view unsigned_ = text.substr(sign);
  double value = 0;
  const auto [end, error] =
      std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too small is as good as zero, or the nearest subnormal; too large is infinite.
    value = std::strtod(std::string(unsigned_).c_str(), nullptr);
  } else if (error != std::errc() || end != unsigned_.data() + unsigned_.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<long long> wholeNumber(std::string_view text) {
  const bool plus = !text.empty() && text[0] == '+';
  if (plus) text.remove_prefix(1);
  const std::size_t sign = !plus && !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() == sign || text[sign] < '0' || text[sign] > '9') return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool withinFloatRange(double value) {
  return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}

double readNumber(const std::string& path, const Statement& statement, std::size_t word,
                  const char* what) {
  if (word >= statement.words.size()) {
    refuseAt(path, statement.line,
             std::string(statement.keyword) + " lacks its " + what + " (it has " +
                 std::to_string(statement.words.size()) + " numbers)");
  }
  const std::string_view text = statement.words[word];
  const std::optional<double> value = decimalNumber(text);
  if (!value) {
    refuseAt(path, statement.line,
             std::string(statement.keyword) + "'s " + what + " " + quotedWord(text) +
                 " is not a number");
  }
  if (!withinFloatRange(*value)) {
    refuseAt(path, statement.line,
             std::string(statement.keyword) + "'s " + what + " " + quotedWord(text) +
                 " is beyond a float's range");
  }
  return *value;
}
