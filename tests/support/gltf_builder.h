#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A glTF file being written: its JSON and its one buffer, "model.bin".
struct Gltf {
  using json = nlohmann::json;

  json doc = {{"asset", {{"version", "2.0"}}}, {"scenes", {{{"nodes", {0}}}}},
              {"nodes", {{{"mesh", 0}}}},      {"meshes", {{{"primitives", json::array()}}}},
              {"bufferViews", json::array()},  {"accessors", json::array()}};
  std::string bin;

  template <typename T>
  int accessor(const std::vector<T>& values, const char* type, int componentType) {
    const std::size_t offset = bin.size();
    bin.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
    bin.append((4 - bin.size() % 4) % 4, '\0');
    doc["bufferViews"].push_back(
        {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", values.size() * sizeof(T)}});
    const std::size_t width = std::string(type) == "SCALAR" ? 1 : type[3] - '0';
    doc["accessors"].push_back({{"bufferView", doc["bufferViews"].size() - 1},
                                {"componentType", componentType},
                                {"count", values.size() / width},
                                {"type", type}});
    return int(doc["accessors"].size() - 1);
  }
  int positions(const std::vector<float>& xyz) { return accessor(xyz, "VEC3", 5126); }
  void primitive(json p) { doc["meshes"][0]["primitives"].push_back(std::move(p)); }

  std::string text() const {
    json out = doc;
    out["buffers"] = {{{"uri", "model.bin"}, {"byteLength", bin.size()}}};
    return out.dump();
  }
  // The same model as one GLB file, the buffer in its binary chunk.
  std::string glb() const {
    json out = doc;
    out["buffers"] = {{{"byteLength", bin.size()}}};
    std::string text = out.dump();
    text.append((4 - text.size() % 4) % 4, ' ');
    const auto word = [](std::uint32_t v) { return std::string(reinterpret_cast<char*>(&v), 4); };
    return "glTF" + word(2) + word(std::uint32_t(12 + 8 + text.size() + 8 + bin.size())) +
           word(std::uint32_t(text.size())) + "JSON" + text + word(std::uint32_t(bin.size())) +
           std::string("BIN\0", 4) + bin;
  }
};
