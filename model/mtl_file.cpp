#include "model/mtl_file.h"

#include "model/model_files.h"
#include "model/model_text.h"
#include "model/warnings.h"

namespace {

// map_Kd's options, each with the most words it takes after it.
int optionWords(std::string_view option) {
  if (option == "-o" || option == "-s" || option == "-t") return 3;
  if (option == "-mm") return 2;
  for (const char* one :
       {"-blendu", "-blendv", "-cc", "-clamp", "-bm", "-boost", "-texres", "-imfchan", "-type"}) {
    if (option == one) return 1;
  }
  return -1;
}

bool isNumber(std::string_view word) {
  return decimalNumber(word).has_value();
}

class MtlReader {
 public:
  MtlReader(const std::string& path, std::vector<std::string>& warnings)
      : path_(path), folder_(folderOf(path)), warnings_(warnings) {}

  void take(const Statement& s) {
    const std::string_view k = s.keyword;
    if (k == "newmtl") {
      ModelMaterial& added = materials_.emplace_back();
      added.name = std::string(s.rest);
      added.folder = folder_;
      return;
    }
    if (materials_.empty()) {
      refuseAt(path_, s.line, std::string(k) + " comes before any newmtl");
    }
    ModelMaterial& m = materials_.back();
    if (k == "Kd") return color(s, m.diffuse);
    if (k == "Ks") return color(s, m.specular);
    if (k == "Ka") {
      Color unused;
      return color(s, unused);
    }
    if (k == "Ns") {
      if (s.words.size() != 1) refuseAt(path_, s.line, "Ns takes one number");
      m.shininess = readNumber(path_, s, 0, "exponent");
      return;
    }
    if (k == "map_Kd") return texture(s, m);
  }

  std::vector<ModelMaterial> finish() { return std::move(materials_); }

 private:
  void warn(const std::string& what) { warnOnce(warnings_, path_ + ": " + what); }

  void color(const Statement& s, Color& color) {
    if (!s.words.empty() && (s.words[0] == "spectral" || s.words[0] == "xyz")) {
      return warn("spectral and CIE XYZ colors are not read");
    }
    if (s.words.size() != 1 && s.words.size() != 3) {
      refuseAt(path_, s.line,
               std::string(s.keyword) + " has " + std::to_string(s.words.size()) +
                   " numbers; it takes one (grey) or three (red, green, blue)");
    }
    const double r = readNumber(path_, s, 0, "red");
    const bool grey = s.words.size() == 1;
    const double g = grey ? r : readNumber(path_, s, 1, "green");
    const double b = grey ? r : readNumber(path_, s, 2, "blue");
    color = {float(r), float(g), float(b), 1};
  }

  // map_Kd [options] file. Of the options, -clamp is read: on, the texture takes its edge
  // texels past [0, 1]; off (the default), it repeats.
  void texture(const Statement& s, ModelMaterial& m) {
    std::size_t at = 0;
    m.wrapS = m.wrapT = TextureWrap::Repeat;
    // An option's words run to the most it takes or the first that is not a number; the
    // last word is always the file's.
    while (at < s.words.size() && optionWords(s.words[at]) >= 0) {
      const std::string_view option = s.words[at++];
      const int most = optionWords(option);
      if (option == "-clamp" && at + 1 < s.words.size()) {
        const bool on = s.words[at] == "on";
        if (!on && s.words[at] != "off") refuseAt(path_, s.line, "-clamp takes on or off");
        m.wrapS = m.wrapT = on ? TextureWrap::ClampToEdge : TextureWrap::Repeat;
        ++at;
        continue;
      }
      warn("map_Kd's options other than -clamp are not read");
      for (int taken = 0; taken < most && at + 1 < s.words.size(); ++taken, ++at) {
        if (most > 1 && !isNumber(s.words[at])) break;
      }
    }
    if (at >= s.words.size()) refuseAt(path_, s.line, "map_Kd names no file");
    const std::size_t start = std::size_t(s.words[at].data() - s.rest.data());
    m.texture = std::string(s.rest.substr(start));
  }

  std::string path_;
  std::string folder_;
  std::vector<std::string>& warnings_;
  std::vector<ModelMaterial> materials_;
};

}  // namespace

std::vector<ModelMaterial> readMtlText(const std::string& path, std::string_view text,
                                       std::vector<std::string>& warnings) {
  MtlReader reader(path, warnings);
  readStatements(path, text, "material library", [&](const Statement& s) { reader.take(s); });
  return reader.finish();
}
