#pragma once

#include <string>

#include "tools/cli/json.h"
#include "tools/cli/scene_options.h"
#include "tools/compare/explain.h"
#include "tools/compare/sweep.h"

// The causes for a person: a table of counts and shares of the differing pixels, then
// the unexplained pixels (the first `listed`), each with the command line that shows
// its history. `renderCommand` renders the same view with quadrelle-render.
std::string explanationText(const Explanation& e, const std::string& renderCommand,
                            std::size_t listed = 20);

// The same for a machine, every unexplained pixel listed.
Json explanationJson(const Explanation& e, const std::string& renderCommand);

// The causes summed over a sweep, and the poses with the most unexplained pixels, each
// as the command line that explains it alone.
std::string sweepCausesText(const SweepCauses& s, const SceneOptions& scene);
Json sweepCausesJson(const SweepCauses& s, const SceneOptions& scene);

// The causes counted over several pictures, for both.
std::string causesText(const std::vector<CauseCount>& causes, long differing);
Json causesJson(const std::vector<CauseCount>& causes, long differing);
