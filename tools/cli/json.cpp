#include "tools/cli/json.h"

#include <string>

Json floatJson(float value) {
  return std::stod(shortestDecimal(value));
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
