#pragma once

#include <string>

#include "tools/imaging/agreement.h"

// A number for JSON: infinities and NaN have no JSON form and become null.
std::string jsonNumber(double value);

// The figures of one comparison as the members of a JSON object, without braces.
std::string agreementJson(const Agreement& a);

// The figures of one comparison as lines of text.
std::string agreementText(const Agreement& a, int tolerance);
