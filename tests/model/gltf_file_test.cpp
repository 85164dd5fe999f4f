// glTF models as the companion programs read them: every index, accessor and node
// checked before a byte is read, placed in double, and drawn with what they name found
// only where the model may look.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "model/display_colors.h"
#include "tests/support/gltf_builder.h"
#include "tests/support/model_folder.h"

namespace {

using nlohmann::json;

const std::string kModels = QUADRELLE_SOURCE_DIR "/tests/data/models/";

// One triangle in the xy plane, turning counter-clockwise seen from +z, with texture
// coordinates.
Gltf triangle() {
  Gltf g;
  g.primitive({{"attributes",
                {{"POSITION", g.positions({0, 0, 0, 1, 0, 0, 0, 1, 0})},
                 {"TEXCOORD_0", g.accessor(std::vector<float>{0, 0, 1, 0, 0, 1}, "VEC2", 5126)}}},
               {"indices", g.accessor(std::vector<std::uint16_t>{0, 1, 2}, "SCALAR", 5123)}});
  return g;
}

// The triangle's material takes its picture from image 0.
void textured(Gltf& g) {
  g.doc["textures"] = {{{"source", 0}}};
  g.doc["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}};
  g.doc["meshes"][0]["primitives"][0]["material"] = 0;
}

std::unique_ptr<Loaded> loadGltf(const ModelFolder& folder, const Gltf& g,
                                 const std::string& name = "model/m.gltf") {
  folder.write("model/model.bin", g.bin);
  return load(folder.write(name, g.text()));
}

// The house's two forms are drawn alike end to end (compare's test); here, what both
// bring, and where the nodes put the roof.
TEST(GltfFiles, TheHouseFromGltfAndGlbBringsEveryPartPlacedByItsNodes) {
  for (const std::string form : {"gltf", "glb"}) {
    const auto house = load(kModels + "house." + form);
    ASSERT_EQ(house->refusal, "");
    EXPECT_EQ(allOf(house->warnings), "");
    EXPECT_EQ(house->model.polygons, 18) << "12 of the walls, 4 of the roof's fan, 2 of the strip";
    ASSERT_EQ(house->model.textures, 1);
    EXPECT_EQ(house->context.meshes[0].texture->width, 32);
    // The roof's factor, linear (0.7, 0.15, 0.1), as display values.
    EXPECT_EQ(
        house->context.meshes[1].diffuse,
        (Color{float(displayValue(0.7)), float(displayValue(0.15)), float(displayValue(0.1)), 1}));
    // The roof's apex, (0, 0.5, 0) in its mesh, is lifted 0.8 by the roof's matrix and
    // turned about y by the house's rotation, which leaves it where it is; it is the
    // fan's centre.
    const double apex[] = {0, 1.3, 0};
    const Vec3 top = house->model.framing.place(apex);
    const Vec4 centre = house->context.meshes[1].polygons[0].vertices[2].position;
    EXPECT_EQ((Vec3{centre.x, centre.y, centre.z}), top);
  }
}

// Nodes place points by their matrices and normals by the inverse transpose; a mirroring
// node keeps faces turned the way they were; strips alternate and fans turn one way.
TEST(GltfFiles, PlacesNormalsAndKeepsEveryTriangleTurnedOneWay) {
  ModelFolder folder;
  Gltf g;
  const int strip = g.positions({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 2, 0});
  g.primitive({{"attributes", {{"POSITION", strip}}}, {"mode", 5}});
  g.primitive({{"attributes", {{"POSITION", strip}}},
               {"indices", g.accessor(std::vector<std::uint8_t>{0, 1, 3, 2}, "SCALAR", 5121)},
               {"mode", 6}});
  const std::vector<float> slanted = {0.6f, 0.8f, 0, 0.6f, 0.8f, 0, 0.6f, 0.8f, 0};
  g.primitive({{"attributes",
                {{"POSITION", g.positions({0, 0, 0, 1, 0, 0, 0, 1, 0})},
                 {"NORMAL", g.positions(slanted)}}}});
  g.doc["nodes"] = {{{"children", {1, 2}}},
                    {{"mesh", 0}, {"scale", {2, 1, 1}}},
                    {{"mesh", 0}, {"scale", {-1, 1, 1}}, {"translation", {5, 0, 0}}}};
  const auto loaded = loadGltf(folder, g);
  ASSERT_EQ(loaded->refusal, "");
  const auto& polygons = loaded->context.meshes[0].polygons;
  ASSERT_EQ(polygons.size(), 2 * (3 + 2 + 1u));
  for (std::size_t p = 0; p < polygons.size(); ++p) {
    const Vec3 n = polygons[p].vertices[0].normal;
    if (p % 6 < 5) {
      // A strip's and a fan's triangles, mirrored or not, all face the file's +z, the
      // scene's -y (y up).
      EXPECT_EQ(n, (Vec3{0, -1, 0})) << "triangle " << p;
    } else {
      // (0.6, 0.8, 0) under a scale of (2, 1, 1) is (0.3, 0.8, 0); under (-1, 1, 1),
      // (-0.6, 0.8, 0): the file's y is the scene's z.
      const double x = p < 6 ? 0.3 : -0.6;
      EXPECT_NEAR(n.x * 0.8 - n.z * x, 0, 1e-6) << n.x << " " << n.z;
      EXPECT_GT(n.z, 0);
    }
  }
}

TEST(GltfFiles, RefusesWhatCannotBeReadWithOneLineNamingTheFault) {
  ModelFolder folder;
  const std::vector<std::pair<std::function<void(Gltf&)>, std::string>> faults = {
      {[](Gltf& g) { g.doc["accessors"][2]["count"] = 4; }, "reaches past its buffer view"},
      {[](Gltf& g) { g.doc["bufferViews"][0]["byteLength"] = 100; }, "reaches past its buffer's"},
      {[](Gltf& g) {
         g.doc["meshes"][0]["primitives"][0]["indices"] =
             g.accessor(std::vector<std::uint16_t>{0, 1, 3}, "SCALAR", 5123);
       },
       "index 3 is past its 3 vertices"},
      {[](Gltf& g) {
         const float inf = std::numeric_limits<float>::infinity();
         g.doc["meshes"][0]["primitives"][0]["attributes"]["POSITION"] =
             g.positions({0, 0, 0, 1, inf, 0, 0, 1, 0});
       },
       "holds a number that is not finite"},
      {[](Gltf& g) { g.doc["nodes"][0]["children"] = {0}; }, "node 0 is reached twice"},
      {[](Gltf& g) { g.doc["extensionsRequired"] = {"KHR_draco_mesh_compression"}; },
       "requires the extension 'KHR_draco_mesh_compression', which is not read"},
      {[](Gltf& g) { g.doc["asset"]["version"] = "1.0"; }, "is glTF '1.0'; only glTF 2.0"},
      {[](Gltf& g) { g.doc["asset"]["version"] = "3.0"; }, "is glTF '3.0'; only glTF 2.0"},
      {[](Gltf& g) { g.doc.erase("asset"); }, "has no \"asset\" object"},
      {[](Gltf& g) { g.doc["meshes"][0]["primitives"] = 7; },
       "meshes[0].primitives is not an array"},
      {[](Gltf& g) { g.doc["nodes"][0]["mesh"] = -1; }, "nodes[0].mesh is not an index"},
      {[](Gltf& g) { g.doc["bufferViews"][0]["buffer"] = 1; }, "buffer 1, but the file has 1"},
      {[](Gltf& g) { g.doc["meshes"][0]["primitives"][0]["mode"] = 1; },
       "holds only lines and points, which are not drawn"},
      {[](Gltf& g) {
         json deep = json::array();
         for (int i = 0; i < 100; ++i)
           deep = json::array({deep});
         g.doc["extras"] = deep;
       },
       "nests more than 64 deep"},
  };
  for (std::size_t i = 0; i < faults.size(); ++i) {
    Gltf g = triangle();
    faults[i].first(g);
    const std::string path = folder.write("model/" + std::to_string(i) + ".gltf", g.text());
    folder.write("model/model.bin", g.bin);
    const auto loaded = load(path);
    EXPECT_EQ(loaded->refusal.rfind(path + ": ", 0), 0u) << i << ": " << loaded->refusal;
    EXPECT_NE(loaded->refusal.find(faults[i].second), std::string::npos) << loaded->refusal;
    EXPECT_EQ(loaded->refusal.find('\n'), std::string::npos) << loaded->refusal;
  }
  // A buffer that is not there; a GLB cut short; a picture in a GLB whose buffer view
  // reaches past the buffer, read only because a material uses it.
  Gltf g = triangle();
  std::filesystem::remove(folder.path("model/model.bin"));
  EXPECT_NE(load(folder.write("model/a.gltf", g.text()))->refusal.find("buffer 'model.bin' not"),
            std::string::npos);
  // A name is quoted whole, a NUL in it too.
  json named = g.doc;
  named["buffers"] = {{{"uri", "mo%00del.bin"}, {"byteLength", g.bin.size()}}};
  EXPECT_NE(load(folder.write("model/nul.gltf", named.dump()))
                ->refusal.find("buffer 'mo\\x00del.bin' names no file: it holds a NUL byte"),
            std::string::npos);
  // A data URI spelt with escapes is not taken for the data URI of another number.
  for (const char* escaped : {"\\u0064ata:#x", "\\u0064ata:#0junk"}) {
    std::string text = g.text();
    const std::size_t uri = text.find("\"model.bin\"");
    ASSERT_NE(uri, std::string::npos);
    text.replace(uri + 1, 9, escaped);
    EXPECT_NE(load(folder.write("model/escaped.gltf", text))
                  ->refusal.find("buffers[0].uri is a data URI written with escapes"),
              std::string::npos)
        << escaped;
  }
  const std::string glb = g.glb();
  EXPECT_NE(load(folder.write("model/b.glb", glb.substr(0, glb.size() - 8)))
                ->refusal.find("header gives"),
            std::string::npos);
  g.doc["bufferViews"].push_back({{"buffer", 0}, {"byteLength", 4000}});
  g.doc["images"] = {{{"bufferView", g.doc["bufferViews"].size() - 1}}};
  EXPECT_EQ(load(folder.write("model/c.glb", g.glb()))->refusal, "") << "no material uses it";
  textured(g);
  EXPECT_NE(load(folder.write("model/d.glb", g.glb()))->refusal.find("image 0's buffer view"),
            std::string::npos);
}

// What a model names but cannot have is a warning, once, and the model is drawn.
TEST(GltfFiles, DrawsWithoutWhatIsMissingOrNotReadAndSaysSo) {
  ModelFolder folder;
  folder.write("outside.png", onePixelPng());
  Gltf g = triangle();
  g.primitive({{"attributes", {{"POSITION", 0}}}, {"mode", 1}});
  g.doc["extensionsUsed"] = {"KHR_materials_emissive_strength"};
  g.doc["images"] = {{{"uri", "absent.png"}}, {{"uri", "../outside.png"}}};
  g.doc["textures"] = {{{"source", 0}}, {{"source", 1}}};
  g.doc["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}},
                        {{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 1}}}}}}};
  g.doc["meshes"][0]["primitives"][0]["material"] = 0;
  g.doc["meshes"].push_back(g.doc["meshes"][0]);
  g.doc["meshes"][1]["primitives"][0]["material"] = 1;
  g.doc["nodes"] = {{{"mesh", 0}}, {{"mesh", 1}}};
  g.doc["scenes"][0]["nodes"] = {0, 1};
  const auto loaded = loadGltf(folder, g);
  ASSERT_EQ(loaded->refusal, "");
  EXPECT_EQ(loaded->model.polygons, 2);
  EXPECT_EQ(loaded->model.textures, 0);
  const std::string all = allOf(loaded->warnings);
  for (const char* said : {"points and lines are not drawn\n",
                           "the extension 'KHR_materials_emissive_strength' is ignored\n",
                           "'absent.png' not found", "'../outside.png' lies outside"})
    EXPECT_NE(all.find(said), std::string::npos) << said << " in\n" << all;
}

}  // namespace
