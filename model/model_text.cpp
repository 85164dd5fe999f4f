#include "model/model_text.h"

#include <charconv>
#include <cmath>
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

std::string quotedWord(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  std::string shown(text);
  if (shown.size() > kLongest)
    shown = shown.substr(0, 18) + "..." + shown.substr(shown.size() - 18);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return "'" + shown + "'";
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

double readNumber(const std::string& path, const Statement& statement, std::size_t word,
                  const char* what) {
  if (word >= statement.words.size()) {
    refuseAt(path, statement.line,
             std::string(statement.keyword) + " lacks its " + what + " (it has " +
                 std::to_string(statement.words.size()) + " numbers)");
  }
  const std::string_view text = statement.words[word];
  std::string_view digits = text;
  // from_chars takes no '+'; a leading one is written by some exporters.
  const bool plus = !digits.empty() && digits[0] == '+';
  if (plus) digits.remove_prefix(1);
  // A digit or a point first, after the sign: from_chars would read "inf" and "nan".
  const std::size_t first = !plus && !digits.empty() && digits[0] == '-' ? 1 : 0;
  const char lead = digits.size() > first ? digits[first] : ' ';
  const bool plain = (lead >= '0' && lead <= '9') || lead == '.';
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::general);
  const bool whole = plain && end == digits.data() + digits.size();
  if (!whole || (error != std::errc() && error != std::errc::result_out_of_range)) {
    refuseAt(path, statement.line,
             std::string(statement.keyword) + "'s " + what + " " + quotedWord(text) +
                 " is not a number");
  }
  if (error == std::errc::result_out_of_range) {
    // Out of range either way: too large is refused, too small is as good as zero.
    value = std::strtod(std::string(digits).c_str(), nullptr);
  }
  if (!std::isfinite(value)) {
    refuseAt(path, statement.line,
             std::string(statement.keyword) + "'s " + what + " " + quotedWord(text) +
                 " is not a finite number");
  }
  return value;
}
