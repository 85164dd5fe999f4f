#pragma once

#include <string>
#include <vector>

// Numbers as a user types them on a command line. Every function returns false and
// sets `error` to the reason (without the option's name) when it cannot take the text.

// A number in [low, high], written in decimal: an optional sign, digits with at most
// one point, and an optional exponent. Blanks, hexadecimal, infinities and not-a-number
// are refused, and so is a value too close to zero for a float to hold it fully.
bool parseNumber(const std::string& text, double low, double high, double& value,
                 std::string& error);

// A whole number in [low, high], written as an optional sign and digits.
bool parseWhole(const std::string& text, long low, long high, long& value, std::string& error);

// Whole numbers separated by commas, as many as `lows` has, each in [lows[i], high]:
// "X,Y" or "X,Y,W,H", the shape named by `shape` in the error.
bool parseWholeList(const std::string& text, const std::string& shape,
                    const std::vector<long>& lows, long high, std::vector<long>& values,
                    std::string& error);

// `text` quoted for a message, shortened in the middle when it is long.
std::string quoted(const std::string& text);
