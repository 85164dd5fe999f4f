// What each reader makes of a small file, against the answer worked out by hand: where
// glTF's nodes put a point, what its accessors hold, what its colours show as, what OBJ
// and PLY mean by their indices, colours and byte orders.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/display_colors.h"
#include "model/model_scene.h"
#include "model/model_text.h"
#include "model/scene_file_error.h"
#include "tests/support/gltf_builder.h"
#include "tests/support/model_folder.h"

namespace {

using nlohmann::json;

// A model read from memory, as its file holds it: placed in double, not yet framed. The
// other files it may name are in `others`, by name.
struct Read {
  ModelMesh mesh;
  std::string refusal;
  std::vector<std::string> warnings;
};

Read readBytes(const std::string& name, const std::string& bytes,
               std::map<std::string, std::string> others = {}) {
  Read read;
  MemoryModelFiles files(std::move(others));
  try {
    read.mesh = readModelBytes(name, bytes, files, read.warnings);
  } catch (const SceneFileError& e) {
    read.refusal = e.what();
  }
  return read;
}

Read readGltf(const Gltf& g, std::map<std::string, std::string> others = {}) {
  others["model.bin"] = g.bin;
  return readBytes("m.gltf", g.text(), std::move(others));
}

// Point (1, 0, 0) of a triangle, its first vertex, under each node's placement.
TEST(GltfKnownAnswers, NodesPlaceTranslationRotationAndScaleInThatOrder) {
  Gltf g;
  g.primitive({{"attributes", {{"POSITION", g.positions({1, 0, 0, 0, 0, 0, 0, 1, 0})}}}});
  const double half = std::sqrt(0.5);
  g.doc["nodes"] = {{{"mesh", 0}, {"translation", {5, 0, 0}}, {"scale", {-1, 1, 1}}},
                    {{"mesh", 0}, {"rotation", {0, 0, half, half}}},
                    {{"mesh", 0},
                     {"translation", {5, 0, 0}},
                     {"rotation", {0, 0, half, half}},
                     {"scale", {2, 1, 1}}},
                    {{"mesh", 0}, {"matrix", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1}}},
                    {{"translation", {0, 0, 3}}, {"children", {5}}},
                    {{"mesh", 0}, {"scale", {2, 2, 2}}}};
  g.doc["scenes"][0]["nodes"] = {0, 1, 2, 3, 4};
  const Read read = readGltf(g);
  ASSERT_EQ(read.refusal, "");
  const std::vector<std::array<double, 3>> expected = {
      {4, 0, 0},  // mirrored in x, then moved by 5
      {0, 1, 0},  // a quarter turn about z, counter-clockwise
      {5, 2, 0},  // scaled to (2, 0, 0), turned to (0, 2, 0), moved to (5, 2, 0)
      {8, 8, 9},  // the matrix's last column is its translation
      {2, 0, 3},  // the child's scale, then the parent's translation
  };
  ASSERT_EQ(read.mesh.positions.size(), expected.size() * 9);
  for (std::size_t node = 0; node < expected.size(); ++node)
    for (std::size_t axis = 0; axis < 3; ++axis)
      EXPECT_NEAR(read.mesh.positions[node * 9 + axis], expected[node][axis], 1e-15)
          << "node " << node << " axis " << axis;
}

// A material whose texture, a real picture, is sampled with TEXCOORD_`set`.
void texturedWith(Gltf& g, int set) {
  g.doc["images"] = {{{"uri", "t.png"}}};
  g.doc["textures"] = {{{"source", 0}}};
  g.doc["materials"] = {
      {{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}, {"texCoord", set}}}}}}};
  g.doc["meshes"][0]["primitives"][0]["material"] = 0;
}

TEST(GltfKnownAnswers, AttributesAreReadAsTheirAccessorsSay) {
  Gltf g;
  // Positions and normals interleaved, 24 bytes a vertex.
  const std::vector<float> interleaved = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
  g.accessor(interleaved, "VEC3", 5126);
  g.doc["bufferViews"][0]["byteStride"] = 24;
  g.doc["accessors"][0]["count"] = 3;
  g.doc["accessors"].push_back({{"bufferView", 0},
                                {"byteOffset", 12},
                                {"componentType", 5126},
                                {"count", 3},
                                {"type", "VEC3"}});
  const int set0 = g.accessor(std::vector<std::uint8_t>{51, 0, 0, 0, 0, 0}, "VEC2", 5121);
  const int set1 =
      g.accessor(std::vector<std::uint16_t>{0, 65535, 16384, 16384, 65535, 0}, "VEC2", 5123);
  for (int set : {set0, set1})
    g.doc["accessors"][set]["normalized"] = true;
  g.primitive({{"attributes",
                {{"POSITION", 0}, {"NORMAL", 1}, {"TEXCOORD_0", set0}, {"TEXCOORD_1", set1}}}});
  texturedWith(g, 1);
  const Read read = readGltf(g, {{"t.png", onePixelPng()}});
  ASSERT_EQ(read.refusal, "");
  EXPECT_EQ(read.mesh.normals, (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(read.mesh.positions, (std::vector<double>{0, 0, 0, 1, 0, 0, 0, 1, 0}));
  // TEXCOORD_1, as the texture asks: u/65535, and t = 1 - v/65535 (v runs down).
  const float quarter = float(16384 / 65535.0);
  EXPECT_EQ(read.mesh.texCoords,
            (std::vector<float>{0, 0, quarter, float(1 - double(quarter)), 1, 1}));
  // Set 0 holds 51 / 255 = 0.2, read when the texture asks for it.
  texturedWith(g, 0);
  EXPECT_EQ(readGltf(g, {{"t.png", onePixelPng()}}).mesh.texCoords.front(), 0.2f);
}

TEST(GltfKnownAnswers, SparseAccessorsOverwriteTheirBaseAtTheirIndices) {
  Gltf g;
  const int indices = g.accessor(std::vector<std::uint8_t>{0, 2, 0, 0}, "SCALAR", 5121);
  const int values = g.accessor(std::vector<float>{1, 2, 3, 4, 5, 6}, "VEC3", 5126);
  const auto viewOf = [&](int accessor) { return g.doc["accessors"][accessor]["bufferView"]; };
  g.doc["accessors"].push_back(
      {{"componentType", 5126},
       {"count", 3},
       {"type", "VEC3"},
       {"sparse",
        {{"count", 2},
         {"indices", {{"bufferView", viewOf(indices)}, {"componentType", 5121}}},
         {"values", {{"bufferView", viewOf(values)}}}}}});
  const int sparse = int(g.doc["accessors"].size()) - 1;
  g.primitive({{"attributes", {{"POSITION", sparse}}}});
  const Read read = readGltf(g);
  ASSERT_EQ(read.refusal, "");
  EXPECT_EQ(read.mesh.positions, (std::vector<double>{1, 2, 3, 0, 0, 0, 4, 5, 6}))
      << "zeros where no value lands";
  // An index past the elements, and indices that do not increase.
  for (const auto& [bytes, fault] :
       {std::pair{std::vector<std::uint8_t>{0, 3}, "index 3, past"},
        {std::vector<std::uint8_t>{2, 0}, "not above the one before"}}) {
    Gltf bad = g;
    bad.bin.replace(0, 2, reinterpret_cast<const char*>(bytes.data()), 2);
    const Read refused = readGltf(bad);
    EXPECT_NE(refused.refusal.find(fault), std::string::npos) << refused.refusal;
  }
}

TEST(GltfKnownAnswers, ColoursAreLinearAndShownAsDisplayValues) {
  // A linear 0.16 shows as 111 of 255, 0.85 as 237.
  EXPECT_EQ(int(displayValue(0.16) * 255 + 0.5), 111);
  EXPECT_EQ(int(displayValue(0.85) * 255 + 0.5), 237);
  EXPECT_NEAR(linearValue(displayValue(0.3)), 0.3, 1e-12);

  ModelFolder folder;
  Gltf g;
  const int points = g.positions({0, 0, 0, 1, 0, 0, 0, 1, 0});
  const int colors =
      g.accessor(std::vector<float>{0.5f, 0, 1, 0.5f, 0, 1, 0.5f, 0, 1}, "VEC3", 5126);
  const int st = g.accessor(std::vector<float>{0, 0, 1, 0, 0, 1}, "VEC2", 5126);
  g.primitive({{"attributes", {{"POSITION", points}, {"COLOR_0", colors}}}, {"material", 0}});
  g.primitive({{"attributes", {{"POSITION", points}, {"TEXCOORD_0", st}}}, {"material", 1}});
  g.doc["images"] = {{{"uri", "t.png"}}};
  g.doc["textures"] = {{{"source", 0}}};
  g.doc["materials"] = {
      {{"pbrMetallicRoughness", {{"baseColorFactor", {1, 1, 1, 1}}}},
       {"emissiveFactor", {0.5, 0, 0}}},
      {{"pbrMetallicRoughness",
        {{"baseColorFactor", {1, 0, 0, 1}}, {"baseColorTexture", {{"index", 0}}}}}}};
  folder.write("model/model.bin", g.bin);
  folder.write("model/t.png", onePixelPng());
  const auto loaded = load(folder.write("model/m.gltf", g.text()));
  ASSERT_EQ(loaded->refusal, "");
  const Mesh& colored = loaded->context.meshes[0];
  EXPECT_TRUE(colored.vertexColors);
  EXPECT_EQ(colored.polygons[0].vertices[0].color, (Color{float(displayValue(0.5)), 0, 1, 1}));
  EXPECT_EQ(colored.emission, (Color{float(displayValue(0.5)), 0, 0, 0}));
  // A red factor times a grey texture (128 of 255): red only.
  const Texture& tinted = *loaded->context.meshes[1].texture;
  EXPECT_NEAR(tinted.texel(0, 0, 0), 128 / 255.0, 1e-6);
  EXPECT_EQ(tinted.texel(0, 0, 1), 0.0f);
  EXPECT_EQ(tinted.texel(0, 0, 2), 0.0f);
  EXPECT_EQ(tinted.wrapS, TextureWrap::Repeat) << "glTF's default sampler";
}

TEST(GltfKnownAnswers, SamplersWrapAsTheySayAndTheDefaultSceneIsTheFilesChoice) {
  Gltf g;
  g.primitive({{"attributes",
                {{"POSITION", g.positions({0, 0, 0, 1, 0, 0, 0, 1, 0})},
                 {"TEXCOORD_0", g.accessor(std::vector<float>{0, 0, 2, 0, 0, 2}, "VEC2", 5126)}}}});
  texturedWith(g, 0);
  g.doc["samplers"] = {{{"wrapS", 33071}, {"wrapT", 33648}}};
  g.doc["textures"][0]["sampler"] = 0;
  // Scene 1 is the default: its one node places the mesh at x + 10.
  g.doc["nodes"].push_back({{"mesh", 0}, {"translation", {10, 0, 0}}});
  g.doc["scenes"].push_back({{"nodes", {1}}});
  g.doc["scene"] = 1;
  ModelFolder folder;
  folder.write("model/model.bin", g.bin);
  folder.write("model/t.png", onePixelPng());
  const auto loaded = load(folder.write("model/m.gltf", g.text()));
  ASSERT_EQ(loaded->refusal, "");
  const Texture& texture = *loaded->context.meshes[0].texture;
  EXPECT_EQ(texture.wrapS, TextureWrap::ClampToEdge);
  EXPECT_EQ(texture.wrapT, TextureWrap::MirroredRepeat);
  EXPECT_EQ(loaded->model.framing.low[0], 10) << "scene 1's node, not scene 0's";
  g.doc["samplers"][0]["wrapS"] = 9729;
  folder.write("model/bad.gltf", g.text());
  EXPECT_NE(load(folder.path("model/bad.gltf"))->refusal.find("samplers[0].wrapS is 9729"),
            std::string::npos);
}

TEST(ModelKnownAnswers, ObjAndPlyMeanWhatTheirFormatsSay) {
  // OBJ: -4, -3, -2 count back from the last position read, the fourth.
  const Read back = readBytes("m.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nf -4 -3 -2\n");
  ASSERT_EQ(back.refusal, "");
  ASSERT_EQ(back.mesh.corners.size(), 3u);
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(back.mesh.corners[std::size_t(k)].position, k);
  // OBJ colours after x y z, display values; a position without one is white.
  const Read colored = readBytes("m.obj", "v 0 0 0 1 0 0.5\nv 1 0 0\nv 0 1 0 0 1 0\nf 1 2 3\n");
  ASSERT_EQ(colored.refusal, "");
  EXPECT_EQ(colored.mesh.colors, (std::vector<float>{1, 0, 0.5f, 1, 1, 1, 1, 1, 0, 1, 0, 1}));
  EXPECT_EQ(colored.mesh.corners[2].color, 2);
  // PLY, big endian, with 8-bit colours, and a line of its writer's own in the header.
  std::string ply =
      "ply\nformat binary_big_endian 1.0\nCreated by Blender3D 247\nelement vertex 3\n"
      "property float x\nproperty float y\nproperty float z\nproperty uchar red\n"
      "property uchar green\nproperty uchar blue\nelement face 1\n"
      "property list uchar int vertex_indices\nend_header\n";
  const auto bigEndian = [](float v) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    return std::string{char(bits >> 24), char(bits >> 16), char(bits >> 8), char(bits)};
  };
  for (float v : {0.5f, -2.0f, 3.0f})
    ply += bigEndian(v);
  ply += std::string("\xff\x00\x80", 3);
  for (int k = 0; k < 2; ++k)
    ply += bigEndian(float(k)) + bigEndian(1) + bigEndian(0) + std::string(3, '\0');
  ply += std::string("\x03\0\0\0\0\0\0\0\x01\0\0\0\x02", 13);
  const Read p = readBytes("m.ply", ply);
  ASSERT_EQ(p.refusal, "");
  EXPECT_EQ(p.mesh.positions[0], 0.5);
  EXPECT_EQ(p.mesh.positions[1], -2.0);
  EXPECT_EQ(p.mesh.colors[1], 0.0f);
  EXPECT_EQ(p.mesh.colors[2], float(128 / 255.0));
  EXPECT_EQ(p.mesh.corners[1].position, 1);
  EXPECT_EQ(p.warnings.size(), 1u) << "the header's own line, said once";
}

// Every text reader takes numbers by one grammar.
TEST(ModelKnownAnswers, OneGrammarOfNumbers) {
  const std::vector<std::pair<const char*, std::optional<double>>> words = {
      {"1", 1},      {"-.5", -0.5},         {"+2.", 2},  {"1e-3", 0.001},
      {"1e-400", 0}, {"+-1", std::nullopt}, {"1,5", {}}, {"0x10", {}},
      {"inf", {}},   {"nan", {}},           {".e1", {}}, {"3.1+e2", {}},
      {"1e", {}},    {"--1", {}},           {"", {}},    {"1.5.2", {}}};
  for (const auto& [word, value] : words)
    EXPECT_EQ(decimalNumber(word), value) << word;
  EXPECT_FALSE(withinFloatRange(1e39));
  EXPECT_TRUE(withinFloatRange(3.4e38));
  EXPECT_EQ(wholeNumber("+-1"), std::nullopt);
  EXPECT_EQ(wholeNumber("+7"), 7);
}

TEST(ModelKnownAnswers, AModelOfOnePointIsFramedAtScaleOne) {
  ModelFolder folder;
  const auto loaded = load(folder.write("model/p.obj", "v 2 2 2\nf 1 1 1\n"));
  ASSERT_EQ(loaded->refusal, "");
  EXPECT_EQ(loaded->model.framing.scale, 1);
  EXPECT_NE(allOf(loaded->warnings).find("all its positions are one point"), std::string::npos);
}

}  // namespace
