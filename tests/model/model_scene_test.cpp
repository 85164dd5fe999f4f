// Models from OBJ files, as the companion programs bring them into a scene: read
// strictly, through the capture operations face by face, with what they name looked up
// only where the model may look, and refused with one line when they cannot be drawn.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "model/model_scene.h"
#include "model/scene_file_error.h"
#include "tests/support/model_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kModels = QUADRELLE_SOURCE_DIR "/tests/data/models/";

TEST(ObjScene, CapturesTheBoxFaceByFaceWithItsMaterials) {
  RenderContext context;
  std::vector<std::string> warnings;
  const ModelSummary model = loadModelScene(kModels + "box.obj", {}, context, warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(model.polygons, 6);
  EXPECT_EQ(model.textures, 4);
  EXPECT_EQ(context.lights.size(), 2u) << "the built-in scene's lights";
  // One mesh a material, in the order the file uses them; no face is triangulated.
  ASSERT_EQ(context.meshes.size(), 6u);
  for (const Mesh& mesh : context.meshes) {
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].vertices.size(), 4u);
  }
  EXPECT_EQ(context.meshes[0].diffuse, (Color{0.8f, 0.8f, 0.8f, 1})) << "no material: light grey";
  const int components[] = {1, 2, 3, 4};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(context.meshes[1 + i].texture->components, components[i]);
  const Mesh& shiny = context.meshes[5];
  EXPECT_EQ(shiny.texture, nullptr);
  EXPECT_EQ(shiny.specular, (Color{0.6f, 0.6f, 0.6f, 1}));
  EXPECT_EQ(shiny.shininess, 30);
  // Row 0 of a texture is the picture's bottom row: grey.png runs from black at the top
  // to white at the bottom.
  const Texture& grey = *context.meshes[1].texture;
  EXPECT_EQ(grey.width, 6);
  EXPECT_EQ(grey.height, 5);
  EXPECT_GT(grey.texel(0, 0, 0), grey.texel(0, 4, 0));
  // The box, 2 x 1 x 1.5 around the origin, is scaled to fit a sphere of radius 1.
  EXPECT_DOUBLE_EQ(model.framing.scale, 1 / std::hypot(1.0, 0.5, 0.75));
  // Vertex 1, (-1, -0.5, -0.75): the file's y is up, the scene's z, and its z comes
  // towards the viewer, the scene's -y.
  const Vertex& corner = context.meshes[5].polygons[0].vertices[1];
  EXPECT_EQ(corner.position.x, float(-1 * model.framing.scale));
  EXPECT_EQ(corner.position.y, float(0.75 * model.framing.scale));
  EXPECT_EQ(corner.position.z, float(-0.5 * model.framing.scale));
  // The shiny face's corners have no normal and no texture coordinates: its own normal,
  // pointing out of the box along -x, and (0, 0).
  EXPECT_EQ(corner.normal, (Vec3{-1, 0, 0}));
  EXPECT_EQ(corner.s, 0.0f);
  // The first face's corners name a normal of their own, (0, 0, -1), turned as the
  // positions are.
  EXPECT_EQ(context.meshes[0].polygons[0].vertices[0].normal, (Vec3{0, 1, 0}));
}

// The first bytes of a PNG that says it is width x height: all that is read before the
// size is judged.
std::string pngHeader(unsigned width, unsigned height) {
  std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  for (unsigned value : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes += char((value >> shift) & 0xff);
  return bytes + std::string("\x08\x02\0\0\0\0\0\0\0", 9);
}

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

std::string faceOf(int corners) {
  std::string text;
  for (int i = 0; i < corners; ++i)
    text += "v " + std::to_string(std::cos(i * 0.001)) + " " + std::to_string(std::sin(i * 0.001)) +
            " 0\n";
  text += "f";
  for (int i = 1; i <= corners; ++i)
    text += " " + std::to_string(i);
  return text + "\n";
}

TEST(ObjScene, RefusesWhatCannotBeReadExactlyWithOneLineNamingFileLineAndText) {
  ModelFolder folder;
  folder.write("model/big.mtl", "newmtl m\nKd 0.2 abc 0.9\n");
  folder.write("model/ns.mtl", "newmtl m\nNs inf\n");
  const std::string corners = faceOf(kMostCorners + 1);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"", "no faces to draw"},
      {"v nan 0 0\n", "line 1: v's x 'nan' is not a number"},
      {"v 0 0 abc\n", "line 1: v's z 'abc' is not a number"},
      {"v 1,5 0 0\n", "'1,5' is not a number"},
      {"v 3.1+e2 0 0\n", "'3.1+e2' is not a number"},
      {"v 0x10 0 0\n", "'0x10' is not a number"},
      {"v 1e999 0 0\n", "'1e999' is beyond a float's range"},
      {"v 1e39 0 0\n", "'1e39' is beyond a float's range"},
      {"v +-1 0 0\n", "'+-1' is not a number"},
      {"v 1 0\n", "line 1: v has 2 numbers"},
      {kTriangle + "vt 0 1e39\n", "line 4: vt's v '1e39' is beyond a float's range"},
      {kTriangle + "vn 0 0 -inf\n", "line 4: vn's z '-inf' is not a number"},
      {kTriangle + "f\n", "line 4: a face of 0 corners"},
      {kTriangle + "f 1 2\n", "line 4: a face of 2 corners"},
      {kTriangle + "f 1 2 4\n", "line 4: a corner refers to position 4, but the file has 3"},
      {kTriangle + "f 1 2 99999999999\n", "refers to position 99999999999, beyond any file"},
      {kTriangle + "f 1 2 2147483647\n", "refers to position 2147483647, but the file has 3"},
      {kTriangle + "f -1 -2 -4\n", "refers to position -4, but 3 come before it"},
      {kTriangle + "f 1/1 2 3\n", "refers to texture coordinate 1, but the file has 0"},
      {kTriangle + "f 0 1 2\n", "refers to position 0; OBJ counts from 1"},
      {corners, "a face of 4097 corners, more than the 4096"},
      {"mtllib big.mtl\n" + kTriangle + "f 1 2 3\n", "big.mtl: line 2: Kd's green 'abc'"},
      {"mtllib ns.mtl\n" + kTriangle + "f 1 2 3\n", "ns.mtl: line 2: Ns's exponent 'inf'"},
      {"\xff\xfe"
       "v\0",
       "is UTF-16 text, not a Wavefront OBJ file"},
      {"solid cube\n  facet normal 0 0 1\n", "the last facet has no endfacet"},
      {"{\"scenes\": []}", "is a JSON file"},
      {"<?xml version=\"1.0\"?>\n<COLLADA version=\"1.4.1\">",
       "is a COLLADA file, not a Wavefront"},
      {"ply\nformat ascii 1.0\n", "the header has no end_header"},
  };
  int i = 0;
  for (const auto& [text, reason] : refused) {
    const std::string path = folder.write("model/" + std::to_string(i++) + ".obj", text);
    const auto loaded = load(path);
    // The file at fault first: the model, or its material library.
    EXPECT_EQ(loaded->refusal.rfind(folder.path("model/").string(), 0), 0u) << loaded->refusal;
    EXPECT_NE(loaded->refusal.find(reason), std::string::npos) << loaded->refusal;
    EXPECT_EQ(loaded->refusal.find('\n'), std::string::npos) << loaded->refusal;
  }
}

// What a model is drawn without, each said once, and what is read as it is meant.
TEST(ObjScene, DrawsWithoutWhatIsMissingOrNotAllowedAndSaysSoOnce) {
  ModelFolder folder;
  folder.write("outside.png", onePixelPng());
  folder.write("model/a.mtl",
               "newmtl bad\nmap_Kd bad.png\nnewmtl gone\nmap_Kd gone.jpg\n"
               "newmtl out\nmap_Kd ../outside.png\nnewmtl wide\nmap_Kd wide.png\n"
               "newmtl edge\nmap_Kd edge.png\n"
               "newmtl budget\nmap_Kd budget.png\nnewmtl over\nmap_Kd over.png\n");
  folder.write("model/bad.png", "\x89PNG\r\n\x1a\n truncated");
  folder.write("model/wide.png", pngHeader(16385, 1));
  folder.write("model/edge.png", pngHeader(16384, 1));
  folder.write("model/budget.png", pngHeader(4096, 4096));
  folder.write("model/over.png", pngHeader(4096, 4097));
  ASSERT_EQ(mkfifo(folder.path("model/fifo.mtl").c_str(), 0600), 0);
  std::string faces;
  for (const char* m :
       {"bad", "gone", "nowhere", "nowhere", "out", "wide", "edge", "budget", "over"})
    faces += std::string("usemtl ") + m + "\nf 1 2 3\n";
  const std::string path = folder.write(
      "model/model.obj", "mtllib a.mtl absent.mtl\nmtllib fifo.mtl\n" + kTriangle + faces);
  const auto loaded = load(path);
  ASSERT_EQ(loaded->refusal, "");
  EXPECT_EQ(loaded->model.textures, 0);
  const std::string all = allOf(loaded->warnings);
  for (const char* said :
       {"'absent.mtl' not found", "fifo.mtl' is a pipe", "'bad.png' does not decode",
        "'gone.jpg' not found", "material 'nowhere' is in no library",
        "'../outside.png' lies outside the model's folder",
        "is 16385 x 1, larger than 16384 on a side", "edge.png' does not decode",
        "budget.png' does not decode",
        "is 4096 x 4097: 16781312 texels, more than the 16777216 left"})
    EXPECT_NE(all.find(said), std::string::npos) << said << " in:\n" << all;
  EXPECT_EQ(all.find("nowhere"), all.rfind("nowhere")) << "said once:\n" << all;

  // With outside files allowed, the texture outside is read; a second texture then
  // leaves one texel less of the budget.
  const std::string next =
      folder.write("model/next.obj",
                   "mtllib a.mtl\n" + kTriangle + "usemtl out\nf 1 2 3\nusemtl budget\nf 1 2 3\n");
  const auto allowed = load(next, true);
  EXPECT_EQ(allowed->model.textures, 1) << allOf(allowed->warnings);
  EXPECT_NE(
      allOf(allowed->warnings).find("is 4096 x 4096: 16777216 texels, more than the 16777215 left"),
      std::string::npos)
      << allOf(allowed->warnings);
}

// A 2 x 1 picture, a red texel and a blue one, in the formats told by their content.
std::string twoTexelTga() {
  // Uncompressed colour (type 2), 24 bits, rows from the bottom: blue, green, red.
  std::string bytes("\0\0\x02\0\0\0\0\0\0\0\0\0\x02\0\x01\0\x18\0", 18);
  return bytes + std::string("\0\0\xff\xff\0\0", 6);
}
std::string twoTexelBmp() {
  std::string bytes("BM\x3e\0\0\0\0\0\0\0\x36\0\0\0", 14);
  bytes += std::string("\x28\0\0\0\x02\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x08\0\0\0", 24);
  bytes += std::string(16, '\0');
  return bytes + std::string("\0\0\xff\xff\0\0\0\0", 8);  // a row padded to 4 bytes
}

TEST(ObjScene, TexturesAreToldByTheirContentWhateverTheirName) {
  ModelFolder folder;
  folder.write("model/red.jpg", twoTexelTga());
  folder.write("model/red.png", twoTexelBmp());
  folder.write("model/m.mtl", "newmtl tga\nmap_Kd red.jpg\nnewmtl bmp\nmap_Kd red.png\n");
  const auto loaded = load(folder.write(
      "model/m.obj", "mtllib m.mtl\n" + kTriangle + "usemtl tga\nf 1 2 3\nusemtl bmp\nf 1 2 3\n"));
  ASSERT_EQ(loaded->model.textures, 2) << allOf(loaded->warnings);
  for (const Mesh& mesh : loaded->context.meshes) {
    EXPECT_EQ(mesh.texture->texel(0, 0, 0), 1.0f);
    EXPECT_EQ(mesh.texture->texel(1, 0, 2), 1.0f);
    EXPECT_EQ(mesh.texture->texel(1, 0, 0), 0.0f);
  }
}

// Little-endian bytes of 32-bit floats and integers, for binary STL and PLY files.
std::string bytesOf(std::initializer_list<float> values) {
  std::string bytes;
  for (float v : values)
    bytes.append(reinterpret_cast<const char*>(&v), 4);
  return bytes;
}

std::string binaryStl(float corner) {
  std::string bytes = std::string("solid, but binary").append(63, ' ');
  bytes += std::string("\x01\0\0\0", 4) + bytesOf({0, 0, 1, 0, 0, 0, 1, 0, 0, 0, corner, 0});
  return bytes + std::string(2, '\0');
}

const std::string kPlyHeader =
    "ply\nformat binary_little_endian 1.0\nelement vertex 3\nproperty float x\n"
    "property float y\nproperty float z\nproperty float nx\nproperty float ny\n"
    "property float nz\nproperty float s\nproperty float t\nelement face 1\n"
    "property list uchar int vertex_indices\nend_header\n";

std::string plyTriangle(int lastIndex) {
  return kPlyHeader +
         bytesOf({0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 1}) +
         std::string("\x03\0\0\0\0\x01\0\0\0", 9) + char(lastIndex) + std::string(3, '\0');
}

// STL and PLY files are told by their content, whatever their names, and read as
// strictly as OBJ files.
TEST(ModelFiles, StlAndPlyAreReadByContentAndStrictly) {
  ModelFolder folder;
  const auto stl = load(folder.write("model/a.obj", binaryStl(1)));
  ASSERT_EQ(stl->refusal, "") << "a binary STL whose header starts with 'solid'";
  EXPECT_EQ(stl->context.meshes[0].polygons[0].vertices[0].normal, (Vec3{0, -1, 0})) << "y up";
  const auto ascii =
      load(folder.write("model/b.stl",
                        "solid x\nfacet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                        "vertex 0 1 0\nendloop\nendfacet\nendsolid x\n"));
  EXPECT_EQ(ascii->model.polygons, 1) << ascii->refusal;
  const auto ply = load(folder.write("model/c.ply", plyTriangle(2)));
  ASSERT_EQ(ply->refusal, "");
  const Vertex& corner = ply->context.meshes[0].polygons[0].vertices[2];
  EXPECT_EQ(corner.normal, (Vec3{0, -1, 0}));
  EXPECT_EQ(corner.t, 1.0f);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {plyTriangle(3), "face 1 names vertex 3, but the file has 3"},
      {kPlyHeader, "ends before the elements its header gives"},
      {plyTriangle(2) + "x", "holds more than its header gives"},
      {"ply\nformat ascii 1.0\nelement vertex 99999999\nend_header\n", "count larger than"},
      {binaryStl(std::nanf("")), "triangle 1 has a number that is not finite"},
      {"solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\n"
       "endfacet\n",
       "line 7: a facet of 2 vertices"},
  };
  int i = 0;
  for (const auto& [bytes, reason] : refused) {
    const auto loaded = load(folder.write("model/bad" + std::to_string(i++), bytes));
    EXPECT_NE(loaded->refusal.find(reason), std::string::npos) << reason << ": " << loaded->refusal;
  }
}

TEST(ObjScene, AFaceOfTheMostCornersIsDrawnWhole) {
  ModelFolder folder;
  const auto loaded = load(folder.write("model/most.obj", faceOf(kMostCorners)));
  ASSERT_EQ(loaded->refusal, "");
  EXPECT_EQ(loaded->context.meshes[0].polygons[0].vertices.size(), std::size_t(kMostCorners));
}

TEST(ObjScene, ReadsNamesCommentsContinuationsAndGreysAsTheFormatMeansThem) {
  ModelFolder folder;
  folder.write(
      "model/my mats.mtl",
      "newmtl Hard Shiny Plastic\nKd 0.6\nnewmtl textured\nmap_Kd -s 1 1 1 C:\\My Models\\T.PNG\n");
  folder.write("model/t.png", onePixelPng());
  const std::string path = folder.write(
      "model/names.obj",
      "\xef\xbb\xbfmtllib my mats.mtl\r\nv 0 0 1000000\nv 0.01 0 1000000\nv 0 0.01 \\\n"
      "1000000\nusemtl Hard Shiny Plastic\nf 1 2 3 # a comment\nusemtl textured\nf 3 2 1\n");
  const auto loaded = load(path);
  ASSERT_EQ(loaded->refusal, "");
  ASSERT_EQ(loaded->context.meshes.size(), 2u) << allOf(loaded->warnings);
  EXPECT_EQ(loaded->context.meshes[0].diffuse, (Color{0.6f, 0.6f, 0.6f, 1}));
  EXPECT_EQ(loaded->model.textures, 1) << allOf(loaded->warnings);
  // Three corners 0.01 apart at a million keep their shape: framed in double.
  const std::vector<Vertex>& v = loaded->context.meshes[0].polygons[0].vertices;
  EXPECT_FLOAT_EQ(v[1].position.x - v[0].position.x, v[2].position.z - v[0].position.z);
  EXPECT_GT(v[1].position.x - v[0].position.x, 1.0f);
}

}  // namespace
