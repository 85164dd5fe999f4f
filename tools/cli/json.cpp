#include "tools/cli/json.h"

#include <charconv>
#include <string>

#include "math/precondition.h"

// The double nearest the float's shortest decimal, so that JSON prints those digits:
// read whole and without regard to the locale, as to_chars wrote them.
Json floatJson(float value) {
  const std::string text = shortestDecimal(value);
  double shortest = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), shortest);
  requireThat(error == std::errc() && end == text.data() + text.size(),
              "a float's shortest decimal reads back whole");
  return shortest;
}

std::string reportLine(const Json& report) {
  return report.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json viewJson(const ViewOptions& view) {
  const CameraPose& p = view.pose;
  return {{"rotationZ", floatJson(p.rotationZ)},
          {"rotationX", floatJson(p.rotationX)},
          {"zoom", floatJson(p.zoom)},
          {"panX", floatJson(p.panX)},
          {"panY", floatJson(p.panY)},
          {"width", view.width},
          {"height", view.height},
          {"mipmaps", view.mipmaps}};
}
