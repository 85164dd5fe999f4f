#include "tools/cli/options.h"

#include <charconv>

#include "raster/threaded_frame.h"
#include "tools/cli/numbers.h"

bool OptionParser::isOption(const std::string& argument) const {
  const std::string name = argument.substr(0, argument.find('='));
  return values_.count(name) > 0 || flags_.count(name) > 0;
}

bool OptionParser::parse(const std::vector<std::string>& arguments, std::string& error) {
  std::vector<std::string> others;
  if (!take(arguments, others, error)) return false;
  if (others.empty()) return true;
  error = "unknown option " + quoted(others.front());
  return false;
}

bool OptionParser::take(const std::vector<std::string>& arguments, std::vector<std::string>& others,
                        std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const std::size_t equals =
        argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(0, equals);
    if (const auto flag = flags_.find(name); flag != flags_.end()) {
      if (equals != std::string::npos) {
        error = name + " takes no value";
        return false;
      }
      *flag->second = true;
      given_.insert(name);
      continue;
    }
    const auto option = values_.find(name);
    if (option == values_.end()) {
      others.push_back(argument);
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 == arguments.size() || isOption(arguments[i + 1])) {
      // An option in its place is the next option, not its value.
      error = name + " needs a value";
      return false;
    } else {
      value = arguments[++i];
    }
    std::string reason;
    if (!option->second(value, reason)) {
      error = name + ": " + reason;
      return false;
    }
    given_.insert(name);
  }
  return true;
}

OptionParser::Setter number(float& target, double low, double high) {
  return [&target, low, high](const std::string& text, std::string& error) {
    double value = 0;
    if (!parseNumber(text, low, high, value, error)) return false;
    target = float(value);
    return true;
  };
}

OptionParser::Setter whole(int& target, long low, long high) {
  return [&target, low, high](const std::string& text, std::string& error) {
    long value = 0;
    if (!parseWhole(text, low, high, value, error)) return false;
    target = int(value);
    return true;
  };
}

OptionParser::Setter onOrOff(bool& target) {
  return [&target](const std::string& text, std::string& error) {
    if (text != "on" && text != "off") {
      error = quoted(text) + " is neither on nor off";
      return false;
    }
    target = text == "on";
    return true;
  };
}

OptionParser::Setter folderName(std::string& target) {
  return [&target](const std::string& text, std::string& error) {
    if (text.empty()) {
      error = "the folder name is empty";
      return false;
    }
    target = text;
    return true;
  };
}

const char* const kViewOptionsUsage =
    "  --rotation-z DEG    rotation about the scene's Z axis    (default -135)\n"
    "  --rotation-x DEG    rotation about the X axis            (default -60)\n"
    "  --zoom Z            wheel total: each unit brings the scene 0.25 closer, and a\n"
    "                      wheel notch is 2 units               (default 0.25)\n"
    "  --pan-x PX          horizontal pan in pixels             (default 0)\n"
    "  --pan-y PX          vertical pan in pixels, down is +    (default 0)\n"
    "  --width W           picture width, 1 to 8192             (default 480)\n"
    "  --height H          picture height, 1 to 8192            (default 480)\n"
    "  --mipmaps on|off    texture-level filtering              (default on)\n";

void addViewOptions(OptionParser& parser, ViewOptions& view) {
  constexpr double kLimit = 1e6;
  parser.value("--rotation-z", number(view.pose.rotationZ, -kLimit, kLimit));
  parser.value("--rotation-x", number(view.pose.rotationX, -kLimit, kLimit));
  parser.value("--zoom", number(view.pose.zoom, -kLimit, kLimit));
  parser.value("--pan-x", number(view.pose.panX, -kLimit, kLimit));
  parser.value("--pan-y", number(view.pose.panY, -kLimit, kLimit));
  parser.value("--width", whole(view.width, 1, 8192));
  parser.value("--height", whole(view.height, 1, 8192));
  parser.value("--mipmaps", onOrOff(view.mipmaps));
}

const char* const kThreadsUsage =
    "  --threads N         threads that draw the software picture, 1 to 256; the same\n"
    "                      picture from any number (default: every core this process\n"
    "                      may use)\n";

void addThreadsOption(OptionParser& parser, int& threads) {
  threads = usableCores();
  parser.value("--threads", whole(threads, 1, kMostThreads));
}

std::string shortestDecimal(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string viewArguments(const ViewOptions& view) {
  const CameraPose& p = view.pose;
  return "--rotation-z " + shortestDecimal(p.rotationZ) + " --rotation-x " +
         shortestDecimal(p.rotationX) + " --zoom " + shortestDecimal(p.zoom) + " --pan-x " +
         shortestDecimal(p.panX) + " --pan-y " + shortestDecimal(p.panY) + " --width " +
         std::to_string(view.width) + " --height " + std::to_string(view.height) + " --mipmaps " +
         (view.mipmaps ? "on" : "off");
}
