#include "model/obj_file.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <map>

#include "model/model_files.h"
#include "model/model_text.h"

namespace {

bool isOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (word == w) return true;
  return false;
}

bool endsWithMtl(std::string_view word) {
  if (word.size() < 4) return false;
  const std::string_view end = word.substr(word.size() - 4);
  return end.size() == 4 && end[0] == '.' && (end[1] | 0x20) == 'm' && (end[2] | 0x20) == 't' &&
         (end[3] | 0x20) == 'l';
}

// The libraries of one mtllib statement. Several may follow one keyword, and a name may
// hold spaces: words are joined until one ends in ".mtl".
std::vector<std::string> libraryNames(const Statement& statement) {
  std::vector<std::string> names;
  std::string name;
  for (std::string_view word : statement.words) {
    if (!name.empty()) name += ' ';
    name += word;
    if (endsWithMtl(word)) names.push_back(std::move(name)), name.clear();
  }
  if (!name.empty()) names.push_back(std::move(name));
  return names;
}

class ObjReader {
 public:
  ObjReader(const std::string& path, std::vector<std::string>& warnings) : warnings_(warnings) {
    file_.path = path;
  }

  void take(const Statement& s) {
    const std::string_view k = s.keyword;
    if (k == "v") return position(s);
    if (k == "vt") return texCoord(s);
    if (k == "vn") return normal(s);
    if (k == "f" || k == "fo") return face(s);
    if (k == "usemtl") return useMaterial(s);
    if (k == "mtllib") {
      for (std::string& name : libraryNames(s))
        file_.libraries.push_back(std::move(name));
      return;
    }
    if (isOneOf(k, {"o", "g", "s", "mg"})) return;
    if (isOneOf(k, {"l", "p"})) return warn("lines and points (l, p) are not drawn");
    if (isOneOf(k, {"vp", "cstype", "deg", "bmat", "step", "curv", "curv2", "surf", "parm", "trim",
                    "hole", "scrv", "sp", "end", "con"})) {
      return warn("free-form curves and surfaces are not drawn");
    }
    warn("'" + std::string(k) + "' statements are not read");
  }

  ModelMesh finish() {
    checkForwardIndices();
    return std::move(file_);
  }

 private:
  void warn(const std::string& what) { warnOnce(warnings_, file_.path + ": " + what); }

  [[noreturn]] void refuse(const Statement& s, const std::string& reason) const {
    refuseAt(file_.path, s.line, reason);
  }

  double number(const Statement& s, std::size_t word, const char* what) const {
    return readNumber(file_.path, s, word, what);
  }

  float asFloat(const Statement& s, std::size_t word, const char* what) const {
    const double value = number(s, word, what);
    if (std::fabs(value) > FLT_MAX) {
      refuse(s, std::string(s.keyword) + "'s " + what + " " + quotedWord(s.words[word]) +
                    " is beyond a float's range");
    }
    return float(value);
  }

  void position(const Statement& s) {
    const std::size_t n = s.words.size();
    if (n != 3 && n != 4 && n != 6 && n != 7) {
      refuse(s, "v has " + std::to_string(n) +
                    " numbers; it takes x y z, with a weight w or a colour r g b after them");
    }
    file_.positions.push_back(number(s, 0, "x"));
    file_.positions.push_back(number(s, 1, "y"));
    file_.positions.push_back(number(s, 2, "z"));
    for (std::size_t i = 3; i < n; ++i)
      number(s, i, i == 3 && (n == 4 || n == 7) ? "w" : "colour");
    if ((n == 4 || n == 7) && number(s, 3, "w") != 1.0) warn("position weights are not read");
    if (n >= 6) warn("vertex colours are not read");
  }

  void texCoord(const Statement& s) {
    if (s.words.empty() || s.words.size() > 3) {
      refuse(s, "vt has " + std::to_string(s.words.size()) + " numbers; it takes u, v and w");
    }
    file_.texCoords.push_back(asFloat(s, 0, "u"));
    file_.texCoords.push_back(s.words.size() > 1 ? asFloat(s, 1, "v") : 0.0f);
    if (s.words.size() > 2) asFloat(s, 2, "w");
  }

  void normal(const Statement& s) {
    if (s.words.size() != 3) {
      refuse(s, "vn has " + std::to_string(s.words.size()) + " numbers; it takes x y z");
    }
    for (std::size_t i = 0; i < 3; ++i)
      file_.normals.push_back(asFloat(s, i, i == 0 ? "x" : i == 1 ? "y" : "z"));
  }

  void useMaterial(const Statement& s) {
    const std::string name(s.rest);
    if (name.empty()) {
      material_ = -1;
      return;
    }
    const auto [at, added] = materialOf_.try_emplace(name, int(file_.materialNames.size()));
    if (added) file_.materialNames.push_back(name);
    material_ = at->second;
  }

  // One index of a corner, as the file wrote it: counted from 1, or back from the last
  // one read when negative. `count` is how many the file has read so far.
  long index(const Statement& s, std::string_view text, long count, const char* what) const {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool digits = !text.empty() && (text[0] == '-' || (text[0] >= '0' && text[0] <= '9'));
    if (!digits || end != text.data() + text.size()) {
      refuse(s, "a corner's " + std::string(what) + " index " + quotedWord(text) +
                    " is not a whole number");
    }
    if (error == std::errc::result_out_of_range || value > kMostIndex || value < -kMostIndex) {
      refuse(s, "a corner refers to " + std::string(what) + " " + std::string(text) +
                    ", beyond any file");
    }
    if (value == 0) refuse(s, "a corner refers to " + std::string(what) + " 0; OBJ counts from 1");
    if (value < 0 && -value > count) {
      refuse(s, "a corner refers to " + std::string(what) + " " + std::string(text) + ", but " +
                    std::to_string(count) + " come before it");
    }
    return value < 0 ? long(count + value) : long(value - 1);
  }

  MeshCorner corner(const Statement& s, std::string_view word) const {
    std::string_view parts[3];
    int count = 0;
    for (std::size_t start = 0;; ++count) {
      const std::size_t slash = word.find('/', start);
      if (count == 3) refuse(s, "a corner " + quotedWord(word) + " has more than three parts");
      parts[count] = word.substr(start, slash - start);
      if (slash == std::string_view::npos) break;
      start = slash + 1;
    }
    ++count;
    MeshCorner c;
    c.position = index(s, parts[0], long(file_.positions.size() / 3), "position");
    if (count > 1 && !(parts[1].empty() && count == 3)) {
      c.texCoord = index(s, parts[1], long(file_.texCoords.size() / 2), "texture coordinate");
    }
    if (count == 3) c.normal = index(s, parts[2], long(file_.normals.size() / 3), "normal");
    return c;
  }

  void face(const Statement& s) {
    const std::size_t n = s.words.size();
    if (n < 3) refuse(s, "a face of " + std::to_string(n) + " corners; a face needs 3 or more");
    if (n > std::size_t(kMostCorners)) {
      refuse(s, "a face of " + std::to_string(n) + " corners, more than the " +
                    std::to_string(kMostCorners) + " a face may have");
    }
    file_.faces.push_back({file_.corners.size(), int(n), material_, s.line});
    for (std::string_view word : s.words)
      file_.corners.push_back(corner(s, word));
  }

  // Indices counted from 1 may name what the file gives only later; once it is all
  // read, each must be there.
  void checkForwardIndices() const {
    const long positions = long(file_.positions.size() / 3);
    const long texCoords = long(file_.texCoords.size() / 2);
    const long normals = long(file_.normals.size() / 3);
    for (const MeshFace& f : file_.faces) {
      for (int k = 0; k < f.cornerCount; ++k) {
        const MeshCorner& c = file_.corners[f.firstCorner + std::size_t(k)];
        checkIndex(f, c.position, positions, "position", "positions");
        checkIndex(f, c.texCoord, texCoords, "texture coordinate", "texture coordinates");
        checkIndex(f, c.normal, normals, "normal", "normals");
      }
    }
  }

  void checkIndex(const MeshFace& f, long index, long count, const char* what,
                  const char* plural) const {
    if (index < count) return;
    refuseAt(file_.path, f.line,
             "a corner refers to " + std::string(what) + " " + std::to_string(index + 1) +
                 ", but the file has " + std::to_string(count) + " " + plural);
  }

  static constexpr long long kMostIndex = 1LL << 40;
  ModelMesh file_;
  std::vector<std::string>& warnings_;
  std::map<std::string, int> materialOf_;
  int material_ = -1;
};

}  // namespace

ModelMesh readObjText(const std::string& path, std::string_view text,
                      std::vector<std::string>& warnings) {
  ObjReader reader(path, warnings);
  readStatements(path, text, "Wavefront OBJ", [&](const Statement& s) { reader.take(s); });
  return reader.finish();
}
