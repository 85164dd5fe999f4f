#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/scene_file_error.h"

// One statement of an OBJ or MTL file: its keyword and the words after it, with the
// line it starts on. A line ending in a backslash goes on on the next; a word that
// starts with '#' starts a comment that runs to the end of the line.
struct Statement {
  long line = 0;
  std::string_view keyword;
  std::vector<std::string_view> words;
  // Everything after the keyword up to a comment, blanks trimmed at both ends: a name,
  // such as usemtl's or newmtl's, runs to the end of the line, spaces and all.
  std::string_view rest;
};

// Reads `text` as the lines of a text file: a UTF-8 byte-order mark is skipped, CR LF
// ends a line as LF does, and blank and comment lines are passed over. Calls `take`
// for each statement. Throws SceneFileError for text in UTF-16 or UTF-32, for a file
// that is plainly of another format (saying which), and for bytes that are not text.
void readStatements(const std::string& path, std::string_view text, const char* format,
                    const std::function<void(const Statement&)>& take);

// A decimal number, the one grammar of every text format read: an optional sign, digits
// with at most one point, an optional exponent ("1", "-.5", "+2.", "1e-3"). Nothing for
// anything else: a comma, hexadecimal, "inf", "nan", "+-1". A number too small for a
// double is as good as zero; one too large is infinite, which withinFloatRange refuses.
std::optional<double> decimalNumber(std::string_view text);

// A whole number: an optional sign and digits, within a long long's range; nothing for
// anything else.
std::optional<long long> wholeNumber(std::string_view text);

// Whether a number lies within a float's range, as every coordinate, colour and factor a
// model gives must.
bool withinFloatRange(double value);

// A statement's number as the file wrote it: decimalNumber within a float's range.
// Throws SceneFileError naming the file, the line and the text for anything else.
double readNumber(const std::string& path, const Statement& statement, std::size_t word,
                  const char* what);

// [[noreturn]] SceneFileError "path: line N: reason".
[[noreturn]] void refuseAt(const std::string& path, long line, const std::string& reason);

// A name (of a file, a material, a version) quoted for a message, whole, every byte
// that does not print written as \xNN.
std::string quotedName(std::string_view text);

// A word at fault quoted for a message like a name, shortened in the middle when it is
// long.
std::string quotedWord(std::string_view text);
