#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/camera_pose.h"

// A command line of options, each "--name value" or "--name=value", or a flag "--name".
class OptionParser {
 public:
  // Takes an option's value; false with the reason in `error` (without the name).
  using Setter = std::function<bool(const std::string& value, std::string& error)>;

  void value(const std::string& name, Setter set) { values_[name] = std::move(set); }
  void flag(const std::string& name, bool& target) { flags_[name] = &target; }

  // Takes every argument in turn; false, with the reason in `error`, at the first that
  // is not an option of the parser or whose value cannot be taken. An option whose
  // value is missing, or is another option of the parser, needs a value.
  bool parse(const std::vector<std::string>& arguments, std::string& error);

  // The same, but arguments that are not options of the parser go to `others`, in order.
  bool take(const std::vector<std::string>& arguments, std::vector<std::string>& others,
            std::string& error);

  // Whether the command line gave this option.
  bool given(const std::string& name) const { return given_.count(name) > 0; }

 private:
  bool isOption(const std::string& argument) const;

  std::map<std::string, Setter> values_;
  std::map<std::string, bool*> flags_;
  std::set<std::string> given_;
};

// Setters for the kinds of values the tools take.
OptionParser::Setter number(float& target, double low, double high);
OptionParser::Setter whole(int& target, long low, long high);
OptionParser::Setter onOrOff(bool& target);
OptionParser::Setter folderName(std::string& target);

// What the tools draw: the viewer's camera, the picture's size and the filtering, as
// the viewer would show them in a window of that size.
struct ViewOptions {
  CameraPose pose;
  int width = 480;
  int height = 480;
  bool mipmaps = true;
};

// --rotation-z, --rotation-x, --zoom, --pan-x, --pan-y, --width, --height and
// --mipmaps, and the lines of usage that describe them.
void addViewOptions(OptionParser& parser, ViewOptions& view);
extern const char* const kViewOptionsUsage;

// --threads N: how many threads draw a software frame, 1 to kMostThreads; by default,
// every core the process may run on (its CPU affinity). Every number draws the same
// picture, to the bit.
inline constexpr int kMostThreads = 256;
void addThreadsOption(OptionParser& parser, int& threads);
extern const char* const kThreadsUsage;

// The options that give this view, each number with the digits that read back to the
// same float.
std::string viewArguments(const ViewOptions& view);

// The shortest decimal that reads back to the same float.
std::string shortestDecimal(float value);
