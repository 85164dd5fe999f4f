#pragma once

#include <string>

#include "tools/cli/json.h"
#include "tools/imaging/agreement.h"

// The figures of one comparison for a JSON report; infinities become null.
Json agreementJson(const Agreement& a);

// The figures of one comparison as lines of text.
std::string agreementText(const Agreement& a, int tolerance);
