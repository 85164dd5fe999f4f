#include "tools/compare/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

const char* const kUsage =
    "usage: quadrelle-compare [options]\n"
    "Renders the Quadrelle scene through OpenGL and through the software pipeline and\n"
    "measures how the two pictures differ.\n"
    "\n"
    "  --rotation-z DEG    rotation about the scene's Z axis    (default -135)\n"
    "  --rotation-x DEG    rotation about the X axis            (default -60)\n"
    "  --zoom Z            wheel total, 0.25 units closer each  (default 0.25)\n"
    "  --pan-x PX          horizontal pan in pixels             (default 0)\n"
    "  --pan-y PX          vertical pan in pixels, down is +    (default 0)\n"
    "  --width W           picture width, 1 to 8192             (default 480)\n"
    "  --height H          picture height, 1 to 8192            (default 480)\n"
    "  --mipmaps on|off    texture-level filtering              (default on)\n"
    "  --tolerance T       per-channel tolerance, 0 to 255      (default 8)\n"
    "  --out DIR           folder for the PNGs                  (default out/compare)\n"
    "  --json              print the figures as JSON\n"
    "  --sweep N           render N random poses and report the worst\n"
    "  --seed S            seed of the random poses             (default 1)\n"
    "  --help              this text\n";

namespace {

bool parseNumber(const std::string& name, const std::string& text, double low, double high,
                 double& value, std::string& error) {
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(parsed)) {
    error = name + ": '" + text + "' is not a number";
    return false;
  }
  if (parsed < low || parsed > high) {
    std::ostringstream range;
    range << name << ": " << text << " is out of range (" << low << " to " << high << ")";
    error = range.str();
    return false;
  }
  value = parsed;
  return true;
}

bool parseWhole(const std::string& name, const std::string& text, double low, double high,
                int& value, std::string& error) {
  double parsed = 0;
  if (!parseNumber(name, text, low, high, parsed, error)) return false;
  if (parsed != std::floor(parsed)) {
    error = name + ": '" + text + "' is not a whole number";
    return false;
  }
  value = int(parsed);
  return true;
}

using ValueSetter =
    std::function<bool(CompareOptions&, const std::string&, const std::string&, std::string&)>;

// A float option in [low, high].
ValueSetter floatOption(float CameraPose::*field, double low, double high) {
  return
      [=](CompareOptions& o, const std::string& name, const std::string& text, std::string& error) {
        double value = 0;
        if (!parseNumber(name, text, low, high, value, error)) return false;
        o.pose.*field = float(value);
        return true;
      };
}

ValueSetter wholeOption(int CompareOptions::*field, double low, double high) {
  return [=](CompareOptions& o, const std::string& name, const std::string& text,
             std::string& error) { return parseWhole(name, text, low, high, o.*field, error); };
}

const std::map<std::string, ValueSetter>& valueOptions() {
  static const std::map<std::string, ValueSetter> options = {
      {"--rotation-z", floatOption(&CameraPose::rotationZ, -1e6, 1e6)},
      {"--rotation-x", floatOption(&CameraPose::rotationX, -1e6, 1e6)},
      {"--zoom", floatOption(&CameraPose::zoom, -1e6, 1e6)},
      {"--pan-x", floatOption(&CameraPose::panX, -1e6, 1e6)},
      {"--pan-y", floatOption(&CameraPose::panY, -1e6, 1e6)},
      {"--width", wholeOption(&CompareOptions::width, 1, 8192)},
      {"--height", wholeOption(&CompareOptions::height, 1, 8192)},
      {"--tolerance", wholeOption(&CompareOptions::tolerance, 0, 255)},
      {"--sweep", wholeOption(&CompareOptions::sweep, 1, 1000000)},
      {"--seed",
       [](CompareOptions& o, const std::string& name, const std::string& text, std::string& error) {
         int seed = 0;
         if (!parseWhole(name, text, 0, 2147483647, seed, error)) return false;
         o.seed = unsigned(seed);
         return true;
       }},
      {"--mipmaps",
       [](CompareOptions& o, const std::string& name, const std::string& text, std::string& error) {
         if (text != "on" && text != "off") {
           error = name + ": '" + text + "' is neither on nor off";
           return false;
         }
         o.mipmaps = text == "on";
         return true;
       }},
      {"--out",
       [](CompareOptions& o, const std::string& name, const std::string& text, std::string& error) {
         if (text.empty()) {
           error = name + ": the folder name is empty";
           return false;
         }
         o.outputFolder = text;
         return true;
       }},
  };
  return options;
}

}  // namespace

std::optional<CompareOptions> parseOptions(const std::vector<std::string>& arguments,
                                           std::string& error) {
  CompareOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--json" || name == "--help" || name == "-h") {
      (name == "--json" ? options.json : options.help) = true;
      continue;
    }
    const auto option = valueOptions().find(name);
    if (option == valueOptions().end()) {
      error = "unknown option '" + name + "'";
      return std::nullopt;
    }
    if (i + 1 == arguments.size()) {
      error = name + " needs a value";
      return std::nullopt;
    }
    if (!option->second(options, name, arguments[++i], error)) return std::nullopt;
  }
  return options;
}

std::string commandLineFor(const CameraPose& pose, int width, int height, bool mipmaps) {
  std::ostringstream line;
  line.precision(9);
  line << "quadrelle-compare --rotation-z " << pose.rotationZ << " --rotation-x " << pose.rotationX
       << " --zoom " << pose.zoom << " --pan-x " << pose.panX << " --pan-y " << pose.panY
       << " --width " << width << " --height " << height << " --mipmaps "
       << (mipmaps ? "on" : "off");
  return line.str();
}
