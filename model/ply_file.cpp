#include "model/ply_file.h"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "model/byte_order.h"
#include "model/model_text.h"
#include "model/scene_file_error.h"
#include "model/warnings.h"

namespace {

enum class Encoding { Ascii, LittleEndian, BigEndian };

// A scalar type of PLY: its size in bytes, and whether it is a float and signed.
struct Scalar {
  int size = 0;
  bool isFloat = false;
  bool isSigned = false;
};

std::optional<Scalar> scalarNamed(std::string_view name) {
  if (name == "char" || name == "int8") return Scalar{1, false, true};
  if (name == "uchar" || name == "uint8") return Scalar{1, false, false};
  if (name == "short" || name == "int16") return Scalar{2, false, true};
  if (name == "ushort" || name == "uint16") return Scalar{2, false, false};
  if (name == "int" || name == "int32") return Scalar{4, false, true};
  if (name == "uint" || name == "uint32") return Scalar{4, false, false};
  if (name == "float" || name == "float32") return Scalar{4, true, true};
  if (name == "double" || name == "float64") return Scalar{8, true, true};
  return std::nullopt;
}

struct Property {
  std::string name;
  Scalar type;
  bool isList = false;
  Scalar countType;
};

struct Element {
  std::string name;
  std::uint64_t count = 0;
  std::vector<Property> properties;
};

std::vector<std::string_view> wordsOf(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t\r", at);
    if (at == std::string_view::npos) return words;
    const std::size_t end = line.find_first_of(" \t\r", at);
    words.push_back(line.substr(at, end - at));
    if (end == std::string_view::npos) return words;
    at = end;
  }
}

// Reads the values of the body one after another, in the file's encoding.
class Body {
 public:
  Body(const std::string& path, std::string_view bytes, Encoding encoding)
      : path_(path), bytes_(bytes), encoding_(encoding) {}

  double next(const Scalar& type) {
    return encoding_ == Encoding::Ascii ? nextWord(type) : nextBytes(type);
  }
  // What is left after the last element: blanks in ASCII, nothing in binary.
  bool finished() const {
    if (encoding_ != Encoding::Ascii) return at_ == bytes_.size();
    return bytes_.find_first_not_of(" \t\r\n", at_) == std::string_view::npos;
  }
  std::size_t left() const { return bytes_.size() - at_; }

 private:
  [[noreturn]] void refuse(const std::string& reason) const {
    throw SceneFileError(path_ + ": " + reason);
  }

  double nextBytes(const Scalar& type) {
    if (left() < std::size_t(type.size)) refuse("ends before the elements its header gives");
    const std::uint64_t bits = numberAt(reinterpret_cast<const unsigned char*>(bytes_.data()) + at_,
                                        type.size, encoding_ == Encoding::BigEndian);
    at_ += std::size_t(type.size);
    if (type.isFloat) {
      const double value = type.size == 4 ? double(std::bit_cast<float>(std::uint32_t(bits)))
                                          : std::bit_cast<double>(bits);
      if (!withinFloatRange(value)) refuse("a number is not within a float's range");
      return value;
    }
    if (!type.isSigned) return double(bits);
    const int shift = 64 - 8 * type.size;
    return double(std::int64_t(bits << shift) >> shift);
  }

  double nextWord(const Scalar& type) {
    const std::size_t start = bytes_.find_first_not_of(" \t\r\n", at_);
    if (start == std::string_view::npos) refuse("ends before the elements its header gives");
    std::size_t end = bytes_.find_first_of(" \t\r\n", start);
    if (end == std::string_view::npos) end = bytes_.size();
    at_ = end;
    const std::string_view word = bytes_.substr(start, end - start);
    double value = 0;
    bool whole = false;
    if (type.isFloat) {
      const std::optional<double> number = decimalNumber(word);
      whole = number && withinFloatRange(*number);
      value = number.value_or(0);
    } else {
      const std::optional<long long> integer = wholeNumber(word);
      const double bound = std::ldexp(1.0, 8 * type.size - (type.isSigned ? 1 : 0));
      value = double(integer.value_or(0));
      whole = integer && value < bound && value >= (type.isSigned ? -bound : 0.0);
    }
    if (!whole) refuse(quotedWord(word) + " is not a number of its property's type");
    return value;
  }

  const std::string& path_;
  std::string_view bytes_;
  Encoding encoding_;
  std::size_t at_ = 0;
};

struct Header {
  Encoding encoding = Encoding::Ascii;
  std::vector<Element> elements;
  std::size_t bodyStart = 0;
};

Header readHeader(const std::string& path, std::string_view bytes,
                  std::vector<std::string>& warnings) {
  Header header;
  std::size_t at = 0;
  bool formatSeen = false;
  for (long line = 1;; ++line) {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos)
      throw SceneFileError(path + ": the header has no end_header");
    const std::vector<std::string_view> w = wordsOf(bytes.substr(at, end - at));
    at = end + 1;
    auto refuse = [&](const std::string& reason) {
      throw SceneFileError(path + ": header line " + std::to_string(line) + ": " + reason);
    };
    if (w.empty() || w[0] == "comment" || w[0] == "obj_info" || (line == 1 && w[0] == "ply")) {
      continue;
    }
    if (w[0] == "end_header") break;
    if (w[0] == "format") {
      if (w.size() != 3 || w[2] != "1.0") refuse("a format other than 1.0");
      if (w[1] == "ascii")
        header.encoding = Encoding::Ascii;
      else if (w[1] == "binary_little_endian")
        header.encoding = Encoding::LittleEndian;
      else if (w[1] == "binary_big_endian")
        header.encoding = Encoding::BigEndian;
      else
        refuse("the format '" + std::string(w[1]) + "' is not PLY's");
      formatSeen = true;
    } else if (w[0] == "element") {
      std::uint64_t count = 0;
      const auto [stop, error] =
          w.size() == 3 ? std::from_chars(w[2].data(), w[2].data() + w[2].size(), count)
                        : std::from_chars_result{nullptr, std::errc::invalid_argument};
      if (error != std::errc() || stop != w[2].data() + w[2].size()) {
        refuse("an element takes a name and a count");
      }
      // Every element takes a byte at least, so a count beyond the file is a lie.
      if (count > bytes.size()) refuse("an element count larger than the file");
      header.elements.push_back({std::string(w[1]), count, {}});
    } else if (w[0] == "property") {
      if (header.elements.empty()) refuse("a property before any element");
      const bool list = w.size() > 1 && w[1] == "list";
      if (w.size() != (list ? 5u : 3u)) {
        refuse("a property takes a type and a name, or 'list', two types and a name");
      }
      const auto type = scalarNamed(w[list ? 3 : 1]);
      const auto countType = list ? scalarNamed(w[2]) : Scalar{};
      if (!type || !countType || (list && countType->isFloat)) {
        refuse("a property of a type PLY does not have");
      }
      header.elements.back().properties.push_back({std::string(w.back()), *type, list, *countType});
    } else {
      // Some writers put a line of their own in the header ("Created by Blender3D 247"),
      // which other readers pass over too. The body is read strictly.
      warnOnce(warnings, path +
                             ": header lines that are not PLY statements are passed over "
                             "(the first: line " +
                             std::to_string(line) + ")");
    }
  }
  if (!formatSeen) throw SceneFileError(path + ": the header gives no format");
  header.bodyStart = at;
  return header;
}

int indexOf(const Element& e, std::initializer_list<const char*> names) {
  for (const char* name : names)
    for (std::size_t i = 0; i < e.properties.size(); ++i)
      if (e.properties[i].name == name && !e.properties[i].isList) return int(i);
  return -1;
}

// A colour channel as the file gives it: an integer type from 0 to its largest value,
// a float from 0 to 1; display values either way.
float channel(double value, const Scalar& type) {
  if (type.isFloat) return float(value);
  return float(value / (std::ldexp(1.0, 8 * type.size - (type.isSigned ? 1 : 0)) - 1));
}

void readVertices(const std::string& path, const Element& e, Body& body, ModelMesh& model) {
  const int x = indexOf(e, {"x"});
  const int y = indexOf(e, {"y"});
  const int z = indexOf(e, {"z"});
  if (x < 0 || y < 0 || z < 0) throw SceneFileError(path + ": its vertices have no x, y and z");
  const int n[3] = {indexOf(e, {"nx"}), indexOf(e, {"ny"}), indexOf(e, {"nz"})};
  const int st[2] = {indexOf(e, {"u", "s", "texture_u", "texture_s"}),
                     indexOf(e, {"v", "t", "texture_v", "texture_t"})};
  const int rgba[4] = {indexOf(e, {"red", "diffuse_red"}), indexOf(e, {"green", "diffuse_green"}),
                       indexOf(e, {"blue", "diffuse_blue"}), indexOf(e, {"alpha"})};
  const bool normals = n[0] >= 0 && n[1] >= 0 && n[2] >= 0;
  const bool texCoords = st[0] >= 0 && st[1] >= 0;
  const bool colors = rgba[0] >= 0 && rgba[1] >= 0 && rgba[2] >= 0;
  std::vector<double> values(e.properties.size());
  for (std::uint64_t v = 0; v < e.count; ++v) {
    for (std::size_t i = 0; i < e.properties.size(); ++i) {
      const Property& p = e.properties[i];
      if (p.isList) {
        const double count = body.next(p.countType);
        if (count < 0 || count > double(body.left()))
          throw SceneFileError(path + ": a list longer than the file");
        for (double k = 0; k < count; ++k)
          body.next(p.type);
      } else {
        values[i] = body.next(p.type);
      }
    }
    for (int axis : {x, y, z})
      model.positions.push_back(values[std::size_t(axis)]);
    for (int i = 0; normals && i < 3; ++i)
      model.normals.push_back(float(values[std::size_t(n[i])]));
    for (int i = 0; texCoords && i < 2; ++i)
      model.texCoords.push_back(float(values[std::size_t(st[i])]));
    for (int i = 0; colors && i < 4; ++i) {
      const std::size_t at = std::size_t(rgba[i]);
      model.colors.push_back(rgba[i] < 0 ? 1.0f : channel(values[at], e.properties[at].type));
    }
  }
}

void readFaces(const std::string& path, const Element& e, Body& body, ModelMesh& model) {
  int corners = -1;
  for (std::size_t i = 0; i < e.properties.size(); ++i)
    if (e.properties[i].isList &&
        (e.properties[i].name == "vertex_indices" || e.properties[i].name == "vertex_index")) {
      corners = int(i);
    }
  if (corners < 0) throw SceneFileError(path + ": its faces have no vertex_indices");
  for (std::uint64_t f = 0; f < e.count; ++f) {
    for (std::size_t i = 0; i < e.properties.size(); ++i) {
      const Property& p = e.properties[i];
      const double count = p.isList ? body.next(p.countType) : 1;
      if (int(i) == corners && (count < 3 || count > kMostCorners)) {
        throw SceneFileError(path + ": face " + std::to_string(f + 1) + " has " +
                             std::to_string(long(count)) + " corners; a face takes 3 to " +
                             std::to_string(kMostCorners));
      }
      if (count < 0 || count > double(body.left()))
        throw SceneFileError(path + ": a list longer than the file");
      if (int(i) == corners) addFace(model, int(count), -1, long(f + 1));
      for (double k = 0; k < count; ++k) {
        const double value = body.next(p.type);
        if (int(i) != corners) continue;
        if (value < 0 || value != std::floor(value)) {
          throw SceneFileError(path + ": face " + std::to_string(f + 1) + " names vertex " +
                               std::to_string(value));
        }
        model.corners.push_back({std::int32_t(std::min(value, 2147483647.0)), -1, -1, -1});
      }
    }
  }
}

}  // namespace

bool isPly(std::string_view bytes) {
  return bytes.substr(0, 4) == "ply\n" || bytes.substr(0, 5) == "ply\r\n";
}

ModelMesh readPly(const std::string& path, std::string_view bytes,
                  std::vector<std::string>& warnings) {
  const Header header = readHeader(path, bytes, warnings);
  Body body(path, bytes.substr(header.bodyStart), header.encoding);
  ModelMesh model;
  model.path = path;
  bool verticesSeen = false;
  for (const Element& e : header.elements) {
    if (e.name == "vertex" && !verticesSeen) {
      readVertices(path, e, body, model);
      verticesSeen = true;
    } else if (e.name == "face") {
      readFaces(path, e, body, model);
    } else {
      for (std::uint64_t k = 0; k < e.count; ++k)
        for (const Property& p : e.properties) {
          const double count = p.isList ? body.next(p.countType) : 1;
          if (count < 0 || count > double(body.left()))
            throw SceneFileError(path + ": a list longer than the file");
          for (double i = 0; i < count; ++i)
            body.next(p.type);
        }
    }
  }
  if (!body.finished()) throw SceneFileError(path + ": holds more than its header gives");
  const long vertices = long(model.positions.size() / 3);
  const bool normals = !model.normals.empty();
  const bool texCoords = !model.texCoords.empty();
  const bool colors = !model.colors.empty();
  for (MeshFace& face : model.faces) {
    for (int k = 0; k < face.cornerCount; ++k) {
      MeshCorner& c = model.corners[face.firstCorner + std::size_t(k)];
      if (c.position >= vertices) {
        throw SceneFileError(path + ": face " + std::to_string(face.line) + " names vertex " +
                             std::to_string(c.position) + ", but the file has " +
                             std::to_string(vertices));
      }
      c.normal = normals ? c.position : -1;
      c.texCoord = texCoords ? c.position : -1;
      c.color = colors ? c.position : -1;
    }
  }
  return model;
}
