// Every bound a model file meets, at its value and one past it; what a file names is
// read once and only where it is drawn; and a model's own files are found beside it,
// never beside a folder whose name merely starts like its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/gltf_file.h"
#include "model/memory_left.h"
#include "model/model_scene.h"
#include "model/mtl_file.h"
#include "model/scene_file_error.h"
#include "tests/support/gltf_builder.h"
#include "tests/support/model_folder.h"

namespace {

using nlohmann::json;

// Files from memory, with how often each name was asked for.
class CountedFiles : public MemoryModelFiles {
 public:
  using MemoryModelFiles::MemoryModelFiles;
  std::optional<ModelFile> find(const std::string& written, const std::vector<std::string>& folders,
                                std::size_t largest, std::vector<std::string>& warnings) override {
    ++asked[written];
    return MemoryModelFiles::find(written, folders, largest, warnings);
  }
  std::map<std::string, int> asked;
};

std::string refusalOf(const Gltf& g, const std::string& text) {
  CountedFiles files({{"model.bin", g.bin}});
  std::vector<std::string> warnings;
  try {
    readModelBytes("m.gltf", text, files, warnings);
  } catch (const SceneFileError& e) {
    return e.what();
  }
  return "";
}

std::string refusalOf(const Gltf& g) {
  return refusalOf(g, g.text());
}

TEST(ModelLimits, AnAccessorMayEndItsViewExactlyButNotOneBytePast) {
  Gltf g;
  // Two positions interleaved with padding, 16 bytes apart: the second ends at byte 28.
  g.accessor(std::vector<float>{0, 0, 0, 9, 1, 0, 0}, "SCALAR", 5126);
  g.doc["bufferViews"][0]["byteStride"] = 16;
  g.doc["bufferViews"][0]["byteLength"] = 28;
  g.doc["accessors"][0] = {
      {"bufferView", 0}, {"componentType", 5126}, {"count", 2}, {"type", "VEC3"}};
  g.primitive({{"attributes", {{"POSITION", 0}}}, {"mode", 6}});
  EXPECT_EQ(refusalOf(g), "m.gltf: no faces to draw") << "read whole, and two points are no face";
  g.doc["bufferViews"][0]["byteLength"] = 27;
  EXPECT_NE(refusalOf(g).find("reaches past its buffer view's 27 bytes"), std::string::npos);
}

// One primitive placed at node after node: its vertices, and its indices whether its
// triangles are kept or not, count at every placement.
Gltf placedAt(int nodes, std::uint64_t vertices, std::uint64_t indices) {
  Gltf g;
  // Without a buffer view an accessor holds zeros: the cost is all in the count.
  g.doc["accessors"] = {{{"componentType", 5126}, {"count", vertices}, {"type", "VEC3"}},
                        {{"componentType", 5125}, {"count", indices}, {"type", "SCALAR"}}};
  g.primitive({{"attributes", {{"POSITION", 0}}}, {"indices", 1}});
  g.doc["nodes"] = json::array();
  g.doc["scenes"][0]["nodes"] = json::array();
  for (int i = 0; i < nodes; ++i) {
    g.doc["nodes"].push_back({{"mesh", 0}});
    g.doc["scenes"][0]["nodes"].push_back(i);
  }
  return g;
}

TEST(ModelLimits, GltfVerticesAndIndicesAreChargedAtEveryPlacement) {
  // 2^16 vertices at 64 nodes are the 4,194,304 a glTF model may place; 65 are one
  // placement too many. Every index is 0, so no triangle is kept.
  EXPECT_EQ(refusalOf(placedAt(64, 1 << 16, 3)), "m.gltf: no faces to draw");
  EXPECT_NE(refusalOf(placedAt(65, 1 << 16, 3)).find("places more than 4194304 vertices"),
            std::string::npos);
  // 3 x 2^20 indices, all 0 and so no triangle, at 4 nodes are the 12,582,912 a model
  // may read; at 5 they are too many.
  EXPECT_EQ(refusalOf(placedAt(4, 1, 3 << 20)), "m.gltf: no faces to draw");
  EXPECT_NE(refusalOf(placedAt(5, 1, 3 << 20)).find("reads more than 12582912 indices"),
            std::string::npos);
  // A count no budget lets through is refused before anything is allocated for it.
  EXPECT_NE(refusalOf(placedAt(1, 1 << 24, 3)).find("too large"), std::string::npos);
  EXPECT_NE(refusalOf(placedAt(1, (1 << 24) + 1, 3)).find("more than the 16777216 read"),
            std::string::npos);
}

TEST(ModelLimits, TheCornerBudgetHoldsForEveryFormat) {
  ModelMesh mesh;
  mesh.path = "m";
  mesh.corners.resize(std::size_t(kMostModelCorners - 3));
  addFace(mesh, 3, -1, 1);
  mesh.corners.resize(mesh.corners.size() + 3);
  try {
    addFace(mesh, 3, -1, 2);
    FAIL() << "one face past the budget";
  } catch (const SceneFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "m: too large: it has more than 12582912 face corners, the most a model may have");
  }
}

// A PLY face of `corners` corners, in ASCII.
std::string plyFace(int corners) {
  std::string ply = "ply\nformat ascii 1.0\nelement vertex " + std::to_string(corners) +
                    "\nproperty float x\nproperty float y\nproperty float z\nelement face 1\n"
                    "property list ushort int vertex_indices\nend_header\n";
  for (int i = 0; i < corners; ++i)
    ply += std::to_string(std::cos(i * 0.001)) + " " + std::to_string(std::sin(i * 0.001)) + " 0\n";
  ply += std::to_string(corners);
  for (int i = 0; i < corners; ++i)
    ply += " " + std::to_string(i);
  return ply + "\n";
}

TEST(ModelLimits, FacesFilesAndPicturesAtTheirLimitsAndOnePast) {
  ModelFolder folder;
  EXPECT_EQ(load(folder.write("model/most.ply", plyFace(kMostCorners)))->refusal, "");
  EXPECT_NE(load(folder.write("model/past.ply", plyFace(kMostCorners + 1)))
                ->refusal.find("face 1 has 4097 corners; a face takes 3 to 4096"),
            std::string::npos);
  // A binary STL of one triangle is 134 bytes; one byte more is no STL file.
  std::string stl = std::string(80, ' ') + std::string("\x01\0\0\0", 4) + std::string(50, '\0');
  EXPECT_EQ(load(folder.write("model/one.stl", stl))->refusal, "");
  EXPECT_NE(
      load(folder.write("model/off.stl", stl + '\0'))
          ->refusal.find("its header gives 1 triangles, which take 134 bytes, but it has 135"),
      std::string::npos);
  // A material library of exactly the largest size is read; one byte more is not.
  std::string mtl = "newmtl m\nKd 1 0 0\n";
  mtl += "#" + std::string(kLargestMtlFile - mtl.size() - 2, 'x') + "\n";
  folder.write("model/most.mtl", mtl);
  folder.write("model/past.mtl", mtl + " ");
  const std::string faces = "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl m\nf 1 2 3\n";
  const auto most = load(folder.write("model/most.obj", "mtllib most.mtl\n" + faces));
  EXPECT_EQ(most->context.meshes[0].diffuse, (Color{1, 0, 0, 1})) << allOf(most->warnings);
  const auto past = load(folder.write("model/past.obj", "mtllib past.mtl\n" + faces));
  EXPECT_NE(allOf(past->warnings).find("is larger than 16 MiB"), std::string::npos);
}

TEST(ModelLimits, WhatAFileNamesIsReadOnceAndOnlyWhereItIsDrawn) {
  Gltf g;
  g.primitive({{"attributes", {{"POSITION", g.positions({0, 0, 0, 1, 0, 0, 0, 1, 0})}}},
               {"indices", g.accessor(std::vector<std::uint16_t>{0, 1, 2}, "SCALAR", 5123)}});
  // Three buffers name one file; the positions' view lies in the second, the indices'
  // in the third.
  g.doc["bufferViews"][0]["buffer"] = 1;
  g.doc["bufferViews"][1]["buffer"] = 2;
  g.doc["images"] = {{{"uri", "unused.png"}}};
  g.doc["textures"] = {{{"source", 0}}};
  g.doc["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}};
  json doc = g.doc;
  doc["buffers"] = json::array();
  for (int i = 0; i < 3; ++i)
    doc["buffers"].push_back({{"uri", "model.bin"}, {"byteLength", g.bin.size()}});
  CountedFiles files({{"model.bin", g.bin}, {"unused.png", onePixelPng()}});
  std::vector<std::string> warnings;
  const ModelMesh mesh = readModelBytes("m.gltf", doc.dump(), files, warnings);
  EXPECT_EQ(mesh.faces.size(), 1u);
  EXPECT_EQ(files.asked["model.bin"], 1);
  EXPECT_EQ(files.asked.count("unused.png"), 0u) << "no drawn material uses it";
}

TEST(ModelLimits, AModelsOwnFilesLieBesideItsFileAndNotInASiblingFolder) {
  ModelFolder folder;
  folder.write("m2/t.png", onePixelPng());
  folder.write("m/m.mtl", "newmtl a\nmap_Kd ../m2/t.png\n");
  const auto sibling =
      load(folder.write("m/m.obj", "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl a\nf 1 2 3\n"));
  EXPECT_EQ(sibling->model.textures, 0);
  EXPECT_NE(allOf(sibling->warnings).find("'../m2/t.png' lies outside"), std::string::npos);
  // Through a link, the model's library and texture are found beside the file it names.
  folder.write("real/t.png", onePixelPng());
  folder.write("real/m.mtl", "newmtl a\nmap_Kd t.png\n");
  folder.write("real/m.obj", "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl a\nf 1 2 3\n");
  ASSERT_EQ(symlink(folder.path("real/m.obj").c_str(), folder.path("link.obj").c_str()), 0);
  const auto linked = load(folder.path("link.obj").string());
  EXPECT_EQ(linked->model.textures, 1) << allOf(linked->warnings);
}

// A model that needs more memory than is left is refused before the allocation, with
// the figures; this machine has a few bytes to spare, and no machine 2^62.
TEST(ModelLimits, MemoryThatIsNotThereIsRefusedBeforeItIsAsked) {
  const std::optional<std::uint64_t> left = memoryLeft();
  ASSERT_TRUE(left.has_value()) << "/proc/meminfo says what is available";
  EXPECT_NO_THROW(requireMemoryFor("m.obj", 1, "its scene"));
  try {
    requireMemoryFor("m.obj", std::uint64_t(1) << 62, "its scene");
    FAIL() << "2^62 bytes";
  } catch (const SceneFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("m.obj: too large to hold in memory: its scene needs "
                                          "about 4398046511104 MB, and ",
                                          0),
              0u)
        << e.what();
  }
}

}  // namespace
