#pragma once

#include <string>

#include "tools/cli/json.h"
#include "tools/imaging/agreement.h"

// The figures of one comparison for a JSON report. Those that are not defined are null:
// all but the counts where neither picture shows the scene, the PSNR where the pictures
// are identical.
Json agreementJson(const Agreement& a);

// The figures of one comparison as lines of text, saying so where they are not defined.
std::string agreementText(const Agreement& a, int tolerance);
