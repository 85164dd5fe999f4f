#include "model/gltf_document.h"

#include <nlohmann/json.hpp>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "model/byte_order.h"
#include "model/model_budgets.h"
#include "model/model_text.h"
#include "model/scene_file_error.h"

namespace {

using Json = nlohmann::json;

// Deeper than any glTF file's own structure (about 8) with room for extras.
constexpr int kDeepestJson = 64;

// How deeply the arrays and objects of JSON text nest.
int nestingDepth(std::string_view json) {
  int depth = 0, deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

std::uint32_t word(std::string_view bytes, std::size_t at) {
  return std::uint32_t(numberAt(reinterpret_cast<const unsigned char*>(bytes.data()) + at, 4));
}

constexpr std::uint32_t kJsonChunk = 0x4E4F534A;    // "JSON"
constexpr std::uint32_t kBinaryChunk = 0x004E4942;  // "BIN\0"

// A GLB file: a 12-byte header (magic, version, length), then chunks of a length, a
// type and the bytes, the first JSON and the second, where there is one, BIN.
void splitContainer(const Refusal& refusal, std::string_view bytes, std::string_view& json,
                    std::string_view& binary) {
  refusal.require(bytes.size() >= 20, "is a GLB file cut short before its first chunk");
  const std::uint32_t version = word(bytes, 4);
  if (version == 1) refusal.refuse("is a glTF 1.0 binary file; only glTF 2.0 is read");
  refusal.require(version == 2, "is a GLB file of version " + std::to_string(version) +
                                    "; only glTF 2.0 is read");
  const std::uint64_t length = word(bytes, 8);
  refusal.require(length == bytes.size(), "is a GLB file whose header gives " +
                                              std::to_string(length) + " bytes, but it has " +
                                              std::to_string(bytes.size()));
  std::size_t at = 12;
  for (int chunk = 0; at < bytes.size(); ++chunk) {
    refusal.require(bytes.size() - at >= 8, "is a GLB file cut short in a chunk's header");
    const std::uint64_t chunkLength = word(bytes, at);
    const std::uint32_t type = word(bytes, at + 4);
    at += 8;
    refusal.require(chunkLength <= bytes.size() - at,
                    "is a GLB file whose chunk " + std::to_string(chunk) + " reaches past its end");
    const std::string_view content = bytes.substr(at, chunkLength);
    at += chunkLength;
    if (chunk == 0) {
      refusal.require(type == kJsonChunk, "is a GLB file whose first chunk is not JSON");
      json = content;
    } else if (chunk == 1 && type == kBinaryChunk) {
      binary = content;
    }
  }
}

// Where the JSON string that opens at `quote` closes, or npos.
std::size_t stringEnd(std::string_view text, std::size_t quote) {
  for (std::size_t i = quote + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      return i;
    }
  }
  return std::string_view::npos;
}

// The JSON with every string that starts with "data:" replaced by "data:#n".
std::string withoutDataUris(std::string_view json, std::vector<std::string_view>& dataUris) {
  std::string out;
  std::size_t copied = 0;
  for (std::size_t i = json.find('"'); i != std::string_view::npos; i = json.find('"', i + 1)) {
    const std::size_t end = stringEnd(json, i);
    if (end == std::string_view::npos) break;  // the parser says what is wrong
    if (json.compare(i + 1, 5, "data:") == 0) {
      out.append(json.substr(copied, i + 1 - copied));
      out += "data:#" + std::to_string(dataUris.size());
      dataUris.push_back(json.substr(i + 1, end - i - 1));
      copied = end;
    }
    i = end;
  }
  out.append(json.substr(copied));
  return out;
}

// The fields of the JSON, each read as the type glTF gives it; anything else is refused
// with the field's place.
class Fields {
 public:
  explicit Fields(const Refusal& refusal) : refusal_(refusal) {}

  const Json* member(const Json& object, const char* key) const {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
  }

  const Json& object(const Json& value, const std::string& where) const {
    refusal_.require(value.is_object(), where + " is not an object");
    return value;
  }

  // An array of objects or of anything, absent as empty.
  const Json& array(const Json& object, const char* key, const std::string& where) const {
    static const Json empty = Json::array();
    const Json* value = member(object, key);
    if (value == nullptr) return empty;
    refusal_.require(value->is_array(), where + key + " is not an array");
    return *value;
  }

  std::uint64_t whole(const Json& object, const char* key, const std::string& where,
                      std::uint64_t absent) const {
    const Json* value = member(object, key);
    if (value == nullptr) return absent;
    refusal_.require(value->is_number_unsigned() || (value->is_number_integer() && *value >= 0),
                     where + key + " is not a whole number of 0 or more");
    return value->get<std::uint64_t>();
  }

  // An index into one of the file's lists: a whole number below 2^31.
  int index(const Json& object, const char* key, const std::string& where, int absent = -1) const {
    const Json* value = member(object, key);
    return value == nullptr ? absent : indexValue(*value, where + key);
  }

  int indexValue(const Json& value, const std::string& where) const {
    const bool whole = value.is_number_unsigned() || (value.is_number_integer() && value >= 0);
    refusal_.require(whole && value.get<std::uint64_t>() < (1u << 31), where + " is not an index");
    return value.get<int>();
  }

  int integer(const Json& object, const char* key, const std::string& where, int absent) const {
    const Json* value = member(object, key);
    if (value == nullptr) return absent;
    refusal_.require(value->is_number_integer() && *value >= std::numeric_limits<int>::min() &&
                         *value <= std::numeric_limits<int>::max(),
                     where + key + " is not a whole number");
    return value->get<int>();
  }

  bool boolean(const Json& object, const char* key, const std::string& where) const {
    const Json* value = member(object, key);
    if (value == nullptr) return false;
    refusal_.require(value->is_boolean(), where + key + " is not true or false");
    return value->get<bool>();
  }

  std::string text(const Json& object, const char* key, const std::string& where) const {
    const Json* value = member(object, key);
    if (value == nullptr) return "";
    refusal_.require(value->is_string(), where + key + " is not a string");
    return value->get<std::string>();
  }

  // Numbers within a float's range, as every colour, factor and coordinate must be; none
  // where the field is absent.
  std::vector<double> numbers(const Json& object, const char* key, const std::string& where,
                              std::size_t count) const {
    std::vector<double> out;
    if (member(object, key) == nullptr) return out;
    const Json& values = array(object, key, where);
    refusal_.require(values.size() == count,
                     where + key + " does not have " + std::to_string(count) + " numbers");
    for (const Json& v : values) {
      const double d = v.is_number() ? v.get<double>() : NAN;
      refusal_.require(std::isfinite(d) && std::fabs(d) <= FLT_MAX,
                       where + key + " holds a value that is not a number within a float's range");
      out.push_back(d);
    }
    return out;
  }

  std::vector<int> indices(const Json& object, const char* key, const std::string& where) const {
    std::vector<int> out;
    const Json& values = array(object, key, where);
    for (std::size_t i = 0; i < values.size(); ++i)
      out.push_back(indexValue(values[i], where + key + "[" + std::to_string(i) + "]"));
    return out;
  }

  const Refusal& refusal() const { return refusal_; }

 private:
  const Refusal& refusal_;
};

std::string at(const char* list, std::size_t i) {
  return std::string(list) + "[" + std::to_string(i) + "].";
}

// The value of a hexadecimal digit, or -1.
int hexDigit(char c) {
  int value = 0;
  const auto [end, error] = std::from_chars(&c, &c + 1, value, 16);
  return error == std::errc() && end == &c + 1 ? value : -1;
}

// A uri as the file gives it: a data URI by the number withoutDataUris gave it, anything
// else percent-decoded. A string that spells "data:" only through JSON escapes was not
// taken out, and is refused rather than read as some number.
GltfSource sourceOf(const Fields& f, const Json& object, const std::string& where) {
  GltfSource source;
  const std::string uri = f.text(object, "uri", where);
  if (uri.rfind("data:", 0) == 0) {
    const long long number = uri.rfind("data:#", 0) == 0
                                 ? wholeNumber(std::string_view(uri).substr(6)).value_or(-1)
                                 : -1;
    f.refusal().require(number >= 0 && number <= std::numeric_limits<int>::max(),
                        where + "uri is a data URI written with escapes, which is not read");
    source.dataUri = int(number);
    return source;
  }
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && hexDigit(uri[i + 1]) >= 0 &&
        hexDigit(uri[i + 2]) >= 0) {
      source.uri += char(hexDigit(uri[i + 1]) * 16 + hexDigit(uri[i + 2]));
      i += 2;
    } else {
      source.uri += uri[i];
    }
  }
  return source;
}

int widthOf(const std::string& type) {
  if (type == "SCALAR") return 1;
  if (type == "VEC2") return 2;
  if (type == "VEC3") return 3;
  if (type == "VEC4") return 4;
  return 0;
}

GltfPlace placeOf(const Fields& f, const Json& object, const std::string& where) {
  return {f.index(object, "bufferView", where), f.whole(object, "byteOffset", where, 0)};
}

GltfAccessor accessorOf(const Fields& f, const Json& a, const std::string& where) {
  GltfAccessor accessor;
  accessor.place = placeOf(f, a, where);
  accessor.componentType = f.integer(a, "componentType", where, 0);
  accessor.normalized = f.boolean(a, "normalized", where);
  accessor.count = f.whole(a, "count", where, 0);
  accessor.type = f.text(a, "type", where);
  accessor.width = widthOf(accessor.type);
  if (const Json* sparse = f.member(a, "sparse")) {
    const std::string in = where + "sparse.";
    f.object(*sparse, where + "sparse");
    GltfSparse s;
    s.count = f.whole(*sparse, "count", in, 0);
    const Json* indices = f.member(*sparse, "indices");
    const Json* values = f.member(*sparse, "values");
    f.refusal().require(indices != nullptr && values != nullptr,
                        where + "sparse lacks its indices or its values");
    f.object(*indices, in + "indices");
    f.object(*values, in + "values");
    s.indices = placeOf(f, *indices, in + "indices.");
    s.indexType = f.integer(*indices, "componentType", in + "indices.", 0);
    s.values = placeOf(f, *values, in + "values.");
    accessor.sparse = s;
  }
  return accessor;
}

GltfPrimitive primitiveOf(const Fields& f, const Json& p, const std::string& where) {
  GltfPrimitive primitive;
  if (const Json* attributes = f.member(p, "attributes")) {
    f.object(*attributes, where + "attributes");
    for (const auto& [name, value] : attributes->items())
      primitive.attributes[name] = f.indexValue(value, where + "attributes." + name);
  }
  primitive.indices = f.index(p, "indices", where);
  primitive.material = f.index(p, "material", where);
  primitive.mode = f.integer(p, "mode", where, gltf::kTriangles);
  primitive.hasTargets = !f.array(p, "targets", where).empty();
  return primitive;
}

GltfMaterial materialOf(const Fields& f, const Json& m, const std::string& where) {
  GltfMaterial material;
  if (const Json* pbr = f.member(m, "pbrMetallicRoughness")) {
    const std::string in = where + "pbrMetallicRoughness.";
    f.object(*pbr, where + "pbrMetallicRoughness");
    const std::vector<double> factor = f.numbers(*pbr, "baseColorFactor", in, 4);
    if (!factor.empty()) std::copy(factor.begin(), factor.end(), material.baseColorFactor.begin());
    if (const Json* texture = f.member(*pbr, "baseColorTexture")) {
      f.object(*texture, in + "baseColorTexture");
      material.baseColorTexture = {f.index(*texture, "index", in + "baseColorTexture."),
                                   f.index(*texture, "texCoord", in + "baseColorTexture.", 0)};
    }
  }
  const std::vector<double> emissive = f.numbers(m, "emissiveFactor", where, 3);
  if (!emissive.empty())
    std::copy(emissive.begin(), emissive.end(), material.emissiveFactor.begin());
  return material;
}

GltfNode nodeOf(const Fields& f, const Json& n, const std::string& where) {
  GltfNode node;
  node.children = f.indices(n, "children", where);
  node.mesh = f.index(n, "mesh", where);
  node.hasSkin = f.member(n, "skin") != nullptr;
  node.matrix = f.numbers(n, "matrix", where, 16);
  node.translation = f.numbers(n, "translation", where, 3);
  node.rotation = f.numbers(n, "rotation", where, 4);
  node.scale = f.numbers(n, "scale", where, 3);
  return node;
}

// Each element of the list `key`, an object, read by `read` with its place.
template <typename T, typename Read>
std::vector<T> listOf(const Fields& f, const Json& root, const char* key, Read read) {
  std::vector<T> out;
  const Json& list = f.array(root, key, "");
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string where = at(key, i);
    f.object(list[i], where.substr(0, where.size() - 1));
    out.push_back(read(list[i], where));
  }
  return out;
}

// The version the asset names: 2.x is read; anything else is named and refused.
void checkVersion(const Fields& f, const Json& root) {
  const Json* asset = f.member(root, "asset");
  const Refusal& refusal = f.refusal();
  refusal.require(asset != nullptr && asset->is_object(),
                  "has no \"asset\" object, which every glTF 2.0 file has; a glTF 1.0 file "
                  "perhaps, which is not read");
  const std::string version = f.text(*asset, "version", "asset.");
  refusal.require(!version.empty(), "gives no asset.version");
  if (version.rfind("2.", 0) != 0) {
    refusal.refuse("is glTF " + quotedName(version) + "; only glTF 2.0 is read");
  }
  const std::string least = f.text(*asset, "minVersion", "asset.");
  refusal.require(least.empty() || least == "2.0",
                  "needs a reader of glTF " + quotedName(least) + "; only glTF 2.0 is read");
}

Json parsed(const Refusal& refusal, const std::string& json) {
  refusal.require(nestingDepth(json) <= kDeepestJson,
                  "its JSON nests more than " + std::to_string(kDeepestJson) + " deep");
  try {
    return Json::parse(json);
  } catch (const Json::exception& e) {
    std::string what = e.what();
    const std::size_t bracket = what.find("] ");
    if (bracket != std::string::npos) what = what.substr(bracket + 2);
    refusal.refuse("is not JSON that can be read: " + what);
  }
}

}  // namespace

GltfText splitGltf(const std::string& path, std::string_view bytes) {
  const Refusal refusal(path + ": ");
  GltfText text;
  std::string_view json = bytes;
  if (bytes.substr(0, 4) == "glTF") splitContainer(refusal, bytes, json, text.binaryChunk);
  if (json.substr(0, 3) == "\xEF\xBB\xBF") json.remove_prefix(3);
  text.json = withoutDataUris(json, text.dataUris);
  refusal.require(text.json.size() <= kLargestGltfJson, "has more than " +
                                                            std::to_string(kLargestGltfJson >> 20) +
                                                            " MiB of JSON besides its data URIs");
  return text;
}

GltfDocument readGltfDocument(const std::string& path, const GltfText& text) {
  const Refusal refusal(path + ": ");
  const Json root = parsed(refusal, text.json);
  const Fields f(refusal);
  refusal.require(root.is_object(), "is JSON, but not an object, as a glTF file is");
  checkVersion(f, root);
  std::vector<std::string> required;
  for (const Json& name : f.array(root, "extensionsRequired", "")) {
    refusal.require(name.is_string(), "extensionsRequired holds a value that is not a name");
    required.push_back(name.get<std::string>());
  }
  if (!required.empty()) {
    std::string names;
    for (const std::string& name : required) {
      if (!names.empty()) names += ", ";
      names += quotedName(name);
    }
    refusal.refuse("requires the extension" + std::string(required.size() > 1 ? "s " : " ") +
                   names + ", which " + (required.size() > 1 ? "are" : "is") + " not read");
  }
  GltfDocument d;
  for (const Json& name : f.array(root, "extensionsUsed", "")) {
    refusal.require(name.is_string(), "extensionsUsed holds a value that is not a name");
    d.extensionsUsed.push_back(name.get<std::string>());
  }
  d.scene = f.index(root, "scene", "");
  d.scenes = listOf<GltfScene>(f, root, "scenes", [&](const Json& s, const std::string& where) {
    return GltfScene{f.indices(s, "nodes", where)};
  });
  d.nodes = listOf<GltfNode>(f, root, "nodes", [&](const Json& n, const std::string& where) {
    return nodeOf(f, n, where);
  });
  d.meshes = listOf<GltfMesh>(f, root, "meshes", [&](const Json& m, const std::string& where) {
    GltfMesh mesh;
    const Json& primitives = f.array(m, "primitives", where);
    for (std::size_t i = 0; i < primitives.size(); ++i) {
      const std::string in = where + "primitives[" + std::to_string(i) + "]";
      mesh.primitives.push_back(primitiveOf(f, f.object(primitives[i], in), in + "."));
    }
    return mesh;
  });
  d.accessors = listOf<GltfAccessor>(
      f, root, "accessors",
      [&](const Json& a, const std::string& w) { return accessorOf(f, a, w); });
  d.bufferViews =
      listOf<GltfBufferView>(f, root, "bufferViews", [&](const Json& v, const std::string& where) {
        GltfBufferView view;
        view.buffer = f.index(v, "buffer", where);
        view.byteOffset = f.whole(v, "byteOffset", where, 0);
        view.byteLength = f.whole(v, "byteLength", where, 0);
        view.byteStride = f.whole(v, "byteStride", where, 0);
        return view;
      });
  d.buffers = listOf<GltfBuffer>(f, root, "buffers", [&](const Json& b, const std::string& where) {
    return GltfBuffer{sourceOf(f, b, where), f.whole(b, "byteLength", where, 0)};
  });
  d.images = listOf<GltfImage>(f, root, "images", [&](const Json& i, const std::string& where) {
    return GltfImage{sourceOf(f, i, where), f.index(i, "bufferView", where)};
  });
  d.textures = listOf<GltfTexture>(f, root, "textures", [&](const Json& t, const std::string& w) {
    return GltfTexture{f.index(t, "source", w), f.index(t, "sampler", w)};
  });
  d.samplers = listOf<GltfSampler>(f, root, "samplers", [&](const Json& s, const std::string& w) {
    return GltfSampler{f.integer(s, "wrapS", w, gltf::kRepeat),
                       f.integer(s, "wrapT", w, gltf::kRepeat)};
  });
  d.materials = listOf<GltfMaterial>(
      f, root, "materials",
      [&](const Json& m, const std::string& w) { return materialOf(f, m, w); });
  return d;
}

std::optional<std::string> decodeDataUri(std::string_view text, std::string& problem) {
  const std::size_t comma = text.find(',');
  const std::string_view head = text.substr(0, comma);
  if (comma == std::string_view::npos || head.size() < 7 ||
      head.substr(head.size() - 7) != ";base64") {
    problem = "is a data URI that is not base64";
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve((text.size() - comma) / 4 * 3);
  std::uint32_t bits = 0;
  int count = 0;
  int padding = 0;
  for (std::size_t i = comma + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size() && text[i + 1] == '/') c = text[++i];  // JSON's "\/"
    int value = -1;
    if (c >= 'A' && c <= 'Z') value = c - 'A';
    if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
    if (c >= '0' && c <= '9') value = c - '0' + 52;
    if (c == '+') value = 62;
    if (c == '/') value = 63;
    if (c == '=' && count % 4 >= 2) {
      ++padding;
      value = 0;
    }
    if (value < 0 || (padding > 0 && c != '=')) {
      problem = "is a data URI whose base64 holds " + quotedName(std::string(1, c));
      return std::nullopt;
    }
    bits = (bits << 6) | std::uint32_t(value);
    if (++count % 4 == 0) {
      const char three[3] = {char(bits >> 16), char(bits >> 8), char(bits)};
      bytes.append(three, std::size_t(3 - padding));
      bits = 0;
    }
  }
  if (count % 4 != 0) {
    problem = "is a data URI whose base64 ends part way through a group";
    return std::nullopt;
  }
  return bytes;
}
