#include "model/stl_file.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "model/byte_order.h"
#include "model/model_text.h"
#include "model/scene_file_error.h"

namespace {

constexpr std::size_t kHeader = 84;
constexpr std::size_t kTriangle = 50;

std::uint32_t littleEndian32(std::string_view bytes, std::size_t at) {
  return std::uint32_t(numberAt(reinterpret_cast<const unsigned char*>(bytes.data()) + at, 4));
}

bool isBinaryStl(std::string_view bytes) {
  return bytes.size() >= kHeader &&
         bytes.size() == kHeader + kTriangle * std::uint64_t(littleEndian32(bytes, 80));
}

// A face of three corners: positions from `first` on, and its normal where the file
// gives one that is not zero.
void addFacet(ModelMesh& model, long line, const float normal[3]) {
  const auto first = std::int32_t(model.positions.size() / 3 - 3);
  const bool given = normal[0] != 0 || normal[1] != 0 || normal[2] != 0;
  if (given) model.normals.insert(model.normals.end(), normal, normal + 3);
  const auto n = given ? std::int32_t(model.normals.size() / 3 - 1) : -1;
  addFace(model, 3, -1, line);
  for (std::int32_t k = 0; k < 3; ++k)
    model.corners.push_back({first + k, -1, n, -1});
}

ModelMesh readBinary(const std::string& path, std::string_view bytes) {
  ModelMesh model;
  model.path = path;
  const std::size_t count = littleEndian32(bytes, 80);
  // The count is known to agree with the file's size, and is weighed against the budget
  // before room is made for it.
  requireRoomForCorners(model, std::int64_t(count) * 3);
  model.positions.reserve(count * 9);
  model.faces.reserve(count);
  model.corners.reserve(count * 3);
  for (std::size_t t = 0; t < count; ++t) {
    float values[12];
    for (std::size_t i = 0; i < 12; ++i)
      values[i] = std::bit_cast<float>(littleEndian32(bytes, kHeader + t * kTriangle + 4 * i));
    for (float v : values) {
      if (!std::isfinite(v)) {
        throw SceneFileError(path + ": triangle " + std::to_string(t + 1) +
                             " has a number that is not finite");
      }
    }
    for (int i = 3; i < 12; ++i)
      model.positions.push_back(values[i]);
    addFacet(model, long(t + 1), values);
  }
  return model;
}

// ASCII STL, statement by statement: facet normal, outer loop, three vertices, endloop,
// endfacet, within solid ... endsolid.
class AsciiStl {
 public:
  explicit AsciiStl(const std::string& path) {
    model_.path = path;
    model_.faceLinesAreLines = true;
  }

  void take(const Statement& s) {
    const std::string_view k = s.keyword;
    if (k == "solid" || k == "endsolid" || k == "outer" || k == "endloop") return;
    if (k == "facet") return facet(s);
    if (k == "vertex") return vertex(s);
    if (k == "endfacet") return endFacet(s);
    refuseAt(model_.path, s.line, "'" + std::string(k) + "' is not an STL statement");
  }

  ModelMesh finish() {
    if (inFacet_) throw SceneFileError(model_.path + ": the last facet has no endfacet");
    return std::move(model_);
  }

 private:
  float number(const Statement& s, std::size_t word, const char* what) const {
    return float(readNumber(model_.path, s, word, what));
  }

  void facet(const Statement& s) {
    if (inFacet_) refuseAt(model_.path, s.line, "a facet begins inside another");
    if (s.words.size() != 4 || s.words[0] != "normal") {
      refuseAt(model_.path, s.line, "a facet takes 'normal' and three numbers");
    }
    for (std::size_t i = 0; i < 3; ++i)
      normal_[i] = number(s, i + 1, "the normal");
    inFacet_ = true;
    corners_ = 0;
    line_ = s.line;
  }

  void vertex(const Statement& s) {
    if (!inFacet_) refuseAt(model_.path, s.line, "a vertex outside a facet");
    if (s.words.size() != 3) refuseAt(model_.path, s.line, "a vertex takes three numbers");
    if (++corners_ > 3) refuseAt(model_.path, s.line, "a facet of more than three vertices");
    for (std::size_t i = 0; i < 3; ++i)
      model_.positions.push_back(number(s, i, "a coordinate"));
  }

  void endFacet(const Statement& s) {
    if (!inFacet_ || corners_ != 3) {
      refuseAt(model_.path, s.line, "a facet of " + std::to_string(corners_) + " vertices");
    }
    inFacet_ = false;
    addFacet(model_, line_, normal_);
  }

  ModelMesh model_;
  float normal_[3] = {};
  bool inFacet_ = false;
  int corners_ = 0;
  long line_ = 0;
};

}  // namespace

std::string binaryStlMismatch(std::string_view bytes) {
  if (bytes.size() < kHeader || bytes.substr(0, 4096).find('\0') == std::string_view::npos) {
    return "";
  }
  const std::uint64_t count = littleEndian32(bytes, 80);
  return "is binary and of no format read here; as a binary STL file, its header gives " +
         std::to_string(count) + " triangles, which take " +
         std::to_string(kHeader + kTriangle * count) + " bytes, but it has " +
         std::to_string(bytes.size());
}

bool isStl(std::string_view bytes) {
  if (isBinaryStl(bytes)) return true;
  return bytes.substr(0, 5) == "solid" && bytes.substr(0, 4096).find("facet") != bytes.npos;
}

ModelMesh readStl(const std::string& path, std::string_view bytes) {
  ModelMesh model;
  if (isBinaryStl(bytes)) {
    model = readBinary(path, bytes);
  } else {
    AsciiStl reader(path);
    readStatements(path, bytes, "STL", [&](const Statement& s) { reader.take(s); });
    model = reader.finish();
  }
  return model;
}
