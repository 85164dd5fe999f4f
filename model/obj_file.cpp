#include "model/obj_file.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>

#include "model/model_text.h"
#include "model/warnings.h"

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
    mesh_.path = path;
    mesh_.faceLinesAreLines = true;
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
        mesh_.libraries.push_back(std::move(name));
      return;
    }
    if (isOneOf(k, {"o", "g", "s", "mg"})) return;
    if (isOneOf(k, {"l", "p"})) {
      ++mesh_.linesAndPoints;
      return warn("lines and points (l, p) are not drawn");
    }
    if (isOneOf(k, {"vp", "cstype", "deg", "bmat", "step", "curv", "curv2", "surf", "parm", "trim",
                    "hole", "scrv", "sp", "end", "con"})) {
      return warn("free-form curves and surfaces are not drawn");
    }
    warn("'" + std::string(k) + "' statements are not read");
  }

  ModelMesh finish() {
    checkForwardIndices();
    // Every position has a colour once one has: those after the last coloured one white.
    if (!mesh_.colors.empty()) mesh_.colors.resize(mesh_.positions.size() / 3 * 4, 1.0f);
    for (MeshCorner& c : mesh_.corners)
      c.color = mesh_.colors.empty() ? -1 : c.position;
    return std::move(mesh_);
  }

 private:
  void warn(const std::string& what) { warnOnce(warnings_, mesh_.path + ": " + what); }

  [[noreturn]] void refuse(const Statement& s, const std::string& reason) const {
    refuseAt(mesh_.path, s.line, reason);
  }

  float number(const Statement& s, std::size_t word, const char* what) const {
    return float(readNumber(mesh_.path, s, word, what));
  }

  void position(const Statement& s) {
    const std::size_t n = s.words.size();
    if (n != 3 && n != 4 && n != 6 && n != 7) {
      refuse(s, "v has " + std::to_string(n) +
                    " numbers; it takes x y z, with a weight w or a colour r g b after them");
    }
    for (std::size_t i = 0; i < 3; ++i)
      mesh_.positions.push_back(readNumber(mesh_.path, s, i, i == 0 ? "x" : i == 1 ? "y" : "z"));
    if ((n == 4 || n == 7) && number(s, 3, "w") != 1.0f) warn("position weights are not read");
    if (n >= 6) color(s, n - 3);
  }

  // A position's colour: red, green and blue as display values, as OBJ writers mean them.
  // Positions before the first coloured one are white.
  void color(const Statement& s, std::size_t first) {
    const std::size_t positions = mesh_.positions.size() / 3;
    mesh_.colors.resize((positions - 1) * 4, 1.0f);
    for (std::size_t i = 0; i < 3; ++i)
      mesh_.colors.push_back(number(s, first + i, i == 0 ? "red" : i == 1 ? "green" : "blue"));
    mesh_.colors.push_back(1.0f);
  }

  void texCoord(const Statement& s) {
    if (s.words.empty() || s.words.size() > 3) {
      refuse(s, "vt has " + std::to_string(s.words.size()) + " numbers; it takes u, v and w");
    }
    mesh_.texCoords.push_back(number(s, 0, "u"));
    mesh_.texCoords.push_back(s.words.size() > 1 ? number(s, 1, "v") : 0.0f);
    if (s.words.size() > 2) number(s, 2, "w");
  }

  void normal(const Statement& s) {
    if (s.words.size() != 3) {
      refuse(s, "vn has " + std::to_string(s.words.size()) + " numbers; it takes x y z");
    }
    for (std::size_t i = 0; i < 3; ++i)
      mesh_.normals.push_back(number(s, i, i == 0 ? "x" : i == 1 ? "y" : "z"));
  }

  void useMaterial(const Statement& s) {
    const std::string name(s.rest);
    if (name.empty()) {
      material_ = -1;
      return;
    }
    const auto [at, added] = materialOf_.try_emplace(name, int(mesh_.materialNames.size()));
    if (added) mesh_.materialNames.push_back(name);
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
    c.position = index(s, parts[0], long(mesh_.positions.size() / 3), "position");
    if (count > 1 && !(parts[1].empty() && count == 3)) {
      c.texCoord = index(s, parts[1], long(mesh_.texCoords.size() / 2), "texture coordinate");
    }
    if (count == 3) c.normal = index(s, parts[2], long(mesh_.normals.size() / 3), "normal");
    return c;
  }

  void face(const Statement& s) {
    const std::size_t n = s.words.size();
    if (n < 3) refuse(s, "a face of " + std::to_string(n) + " corners; a face needs 3 or more");
    if (n > std::size_t(kMostCorners)) {
      refuse(s, "a face of " + std::to_string(n) + " corners, more than the " +
                    std::to_string(kMostCorners) + " a face may have");
    }
    addFace(mesh_, int(n), material_, s.line);
    for (std::string_view word : s.words)
      mesh_.corners.push_back(corner(s, word));
  }

  // Indices counted from 1 may name what the file gives only later; once it is all
  // read, each must be there.
  void checkForwardIndices() const {
    const long positions = long(mesh_.positions.size() / 3);
    const long texCoords = long(mesh_.texCoords.size() / 2);
    const long normals = long(mesh_.normals.size() / 3);
    for (const MeshFace& f : mesh_.faces) {
      for (int k = 0; k < f.cornerCount; ++k) {
        const MeshCorner& c = mesh_.corners[f.firstCorner + std::size_t(k)];
        checkIndex(f, c.position, positions, "position", "positions");
        checkIndex(f, c.texCoord, texCoords, "texture coordinate", "texture coordinates");
        checkIndex(f, c.normal, normals, "normal", "normals");
      }
    }
  }

  void checkIndex(const MeshFace& f, long index, long count, const char* what,
                  const char* plural) const {
    if (index < count) return;
    refuseAt(mesh_.path, f.line,
             "a corner refers to " + std::string(what) + " " + std::to_string(index + 1) +
                 ", but the file has " + std::to_string(count) + " " + plural);
  }

  // No file of at most kLargestModelFile bytes holds more of anything.
  static constexpr long long kMostIndex = std::numeric_limits<std::int32_t>::max();
  ModelMesh mesh_;
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
