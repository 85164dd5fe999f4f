// Models from OBJ files, as the companion programs bring them into a scene: through the
// capture operations, face by face, and refused with one line when they cannot be
// drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"
#include "tools/model/obj_scene.h"
#include "tools/model/scene_file_error.h"

namespace {

const std::string kModels = QUADRELLE_SOURCE_DIR "/tests/data/models/";

TEST(ObjScene, CapturesTheBoxFaceByFaceWithItsMaterials) {
  RenderContext context;
  std::vector<std::string> warnings;
  const ModelSummary model = loadObjScene(kModels + "box.obj", context, warnings);
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
  const Vertex& corner = context.meshes[5].polygons[0].vertices[1];  // vertex 1: (-1, -0.5, -0.75)
  EXPECT_EQ(corner.position.x, float(-1 * model.framing.scale));
  // The shiny face's corners have no normal and no texture coordinates: its own normal,
  // pointing out of the box along -x, and (0, 0).
  EXPECT_EQ(corner.normal, (Vec3{-1, 0, 0}));
  EXPECT_EQ(corner.s, 0.0f);
  // The first face's corners name a normal of their own.
  EXPECT_EQ(context.meshes[0].polygons[0].vertices[0].normal, (Vec3{0, 0, -1}));
}

std::string write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// A PNG that says it is 20000 x 8 pixels: its header is all the size check reads.
std::string oversizePng() {
  const unsigned char bytes[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0,
                                 13,   'I', 'H', 'D', 'R',  0,    0,    0x4e, 0x20, 0, 0,
                                 0,    8,   8,   2,   0,    0,    0,    0,    0,    0, 0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(ObjScene, RefusesWhatCannotBeDrawnWithOneLineNamingTheFile) {
  ScratchFolder scratch("quadrelle-obj");
  const std::filesystem::path& folder = scratch.path();
  std::filesystem::create_directories(folder);
  write(folder / "huge.png", oversizePng());
  const std::map<std::string, std::pair<std::string, std::string>> bad = {
      {"empty", {"", "no faces to draw"}},
      {"random bytes", {"\x89\x01\xff\xfe garbage \x7f\n\x02", "no faces to draw"}},
      {"no faces", {"v 0 0 0\nv 1 0 0\nv 0 1 0\n", "no faces to draw"}},
      {"index out of range", {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n", "refers to position 9"}},
      {"two corners", {"v 0 0 0\nv 1 0 0\nf 1 2\n", "fewer than 3 corners"}},
      {"zero index", {"v 0 0 0\nf 0 1 2\n", "line 2: a face names corner 0"}},
      {"not finite", {"v 1e999 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "not a finite number"}},
      {"huge texture",
       {"mtllib huge.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl m\nf 1 2 3\n", "larger than 16384"}},
  };
  write(folder / "huge.mtl", "newmtl m\nmap_Kd huge.png\n");
  for (const auto& [name, file] : bad) {
    const std::string path = write(folder / (name + ".obj"), file.first);
    RenderContext context;
    std::vector<std::string> warnings;
    try {
      loadObjScene(path, context, warnings);
      ADD_FAILURE() << name << " was not refused";
    } catch (const SceneFileError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
      EXPECT_NE(message.find(file.second), std::string::npos) << name << ": " << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
  }
  RenderContext context;
  std::vector<std::string> warnings;
  EXPECT_THROW(loadObjScene((folder / "absent.obj").string(), context, warnings), SceneFileError);
}

// A material library, a material or a texture that is missing or does not decode: the
// model is drawn without it, and each is named in a warning.
TEST(ObjScene, DrawsWithoutWhatIsMissingAndSaysWhat) {
  ScratchFolder scratch("quadrelle-obj");
  const std::filesystem::path& folder = scratch.path();
  std::filesystem::create_directories(folder);
  write(folder / "a.mtl", "newmtl bad\nmap_Kd bad.png\nnewmtl gone\nmap_Kd gone.jpg\n");
  write(folder / "bad.png", "\x89PNG\r\n\x1a\n truncated");
  const std::string path =
      write(folder / "model.obj",
            "mtllib a.mtl\nmtllib absent.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
            "usemtl bad\nf 1 2 3\nusemtl gone\nf 3 2 1\nusemtl nowhere\nf 1 3 2\n");
  RenderContext context;
  std::vector<std::string> warnings;
  const ModelSummary model = loadObjScene(path, context, warnings);
  EXPECT_EQ(model.polygons, 3);
  EXPECT_EQ(model.textures, 0);
  std::string all;
  for (const std::string& w : warnings)
    all += w + "\n";
  for (const char* named : {"absent.mtl", "bad.png", "gone.jpg", "nowhere"})
    EXPECT_NE(all.find(named), std::string::npos) << named << " in:\n" << all;
}

}  // namespace
