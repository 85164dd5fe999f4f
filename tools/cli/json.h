#pragma once

#include <nlohmann/json.hpp>

#include "tools/cli/options.h"

// The tools' reports keep their members in the order they are written.
using Json = nlohmann::ordered_json;

// A float for a report: the shortest decimal that reads back to the same float.
Json floatJson(float value);

// The report's text: one line. Text that is not UTF-8 (a folder name, say) has its
// stray bytes replaced, so that the report always parses.
std::string reportLine(const Json& report);

// A view as the members of the command line that gives it.
Json viewJson(const ViewOptions& view);
