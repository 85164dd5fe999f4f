// The software pipeline's output, bit for bit: a digest of every point (x, y and the
// float bits of its colour) and of where every span opens and closes, over a fixed set
// of poses, compared with digests recorded from an earlier, plainly written pipeline.
// Any change of a single bit anywhere fails, and the message names the pose.
//
// To record the table again after a deliberate change of the output, run
//   QUADRELLE_PRINT_DIGESTS=1 build/release/tests/raster_test --gtest_filter='PointStream*'
// and paste what it prints below.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/view_setup.h"
#include "app/viewer_scene.h"
#include "raster/software_frame.h"
#include "tests/support/built_scenes.h"
#include "tests/support/digest_points.h"

namespace {

enum class Scene {
  Demo,   // the viewer's scene
  Lit,    // lighting on; the ring square untextured, with a specular colour
  Holed,  // the tile square with a square hole: a second ring of previous links
};

void addHole(Polygon& polygon) {
  const float corners[4][2] = {
      {-0.85f, -0.25f}, {-0.35f, -0.25f}, {-0.35f, 0.25f}, {-0.85f, 0.25f}};
  const int first = int(polygon.vertices.size());
  for (int k = 0; k < 4; ++k) {
    Vertex v;
    v.position = {corners[k][0], corners[k][1], 0, 1};
    v.normal = {0, 0, 1};
    v.s = corners[k][0] + 1.1f;
    v.t = corners[k][1] + 0.5f;
    v.previous = first + (k + 3) % 4;
    polygon.vertices.push_back(v);
  }
}

RenderContext& sceneOf(Scene scene) {
  return builtScene("guard " + std::to_string(int(scene)), [scene](RenderContext& context) {
    buildViewerScene(context);
    if (scene == Scene::Lit) {
      context.lighting = true;
      Mesh& rings = context.meshes[1];
      rings.texture = nullptr;
      rings.specular = {0.5f, 0.4f, 0.3f, 1};
      for (Mesh& mesh : context.meshes)
        mesh.shininess = 5;
    }
    if (scene == Scene::Holed) addHole(context.meshes[0].polygons[0]);
    context.useOpenGL = false;
  });
}

struct GuardPose {
  const char* name;
  Scene scene;
  int width;
  int height;
  CameraPose pose;
  bool mipmaps;
  std::uint64_t digest;
};

constexpr CameraPose at(float rotationZ, float rotationX, float zoom = 0.25f, float panX = 0,
                        float panY = 0) {
  return {rotationZ, rotationX, zoom, panX, panY};
}
constexpr CameraPose kInitial = at(-135, -60);

// clang-format off
const GuardPose kPoses[] = {
    {"initial 480x480", Scene::Demo, 480, 480, kInitial, true, 0x7012b79aabfd95f5},
    {"initial 480x480 nearest", Scene::Demo, 480, 480, kInitial, false, 0xbb51017ba888a4c9},
    {"initial 1x1", Scene::Demo, 1, 1, kInitial, true, 0x62ced73f18fdbc25},
    {"initial 2x7", Scene::Demo, 2, 7, kInitial, true, 0x12bae9e3e73b5fe9},
    {"initial 3x1 nearest", Scene::Demo, 3, 1, kInitial, false, 0xa24db93920450d95},
    {"initial 16x16", Scene::Demo, 16, 16, kInitial, true, 0x6c048549aaf09db1},
    {"initial 97x61", Scene::Demo, 97, 61, kInitial, true, 0xad0d9fe57170726a},
    {"initial 320x240", Scene::Demo, 320, 240, kInitial, true, 0x0c6f4b04181c2061},
    {"initial 640x480", Scene::Demo, 640, 480, kInitial, true, 0x03f98e047a7a08b1},
    {"initial 480x640", Scene::Demo, 480, 640, kInitial, true, 0x3f4fcf09b7de8809},
    {"initial 1280x720", Scene::Demo, 1280, 720, kInitial, true, 0xacc11f2786da1da5},
    {"initial 1920x1080", Scene::Demo, 1920, 1080, kInitial, true, 0xa7c37e92d988bb1e},
    {"initial 1920x1080 nearest", Scene::Demo, 1920, 1080, kInitial, false, 0xc3eb0c52602920ba},
    {"minified", Scene::Demo, 480, 480, at(-135, -60, -15.75f), true, 0xb4f3ce64a306cdab},
    {"minified far nearest", Scene::Demo, 480, 480, at(-135, -60, -23.75f), false, 0x0c58bf97eaffe455},
    {"minified 1280x720", Scene::Demo, 1280, 720, at(-120, -70, -8), true, 0x554529e71a7cecc3},
    {"magnified", Scene::Demo, 480, 480, at(-135, -60, 8.25f), true, 0xda0753f90cd28606},
    {"magnified nearest", Scene::Demo, 640, 480, at(-135, -60, 10), false, 0x867e0ccf366a4d65},
    {"magnified 1920x1080", Scene::Demo, 1920, 1080, at(-135, -60, 10.5f), true, 0x39b4c0443f41effb},
    {"face-on magnified", Scene::Demo, 480, 480, at(0, 0, 6), true, 0x34699c0e271e2379},
    {"face-on", Scene::Demo, 480, 480, at(180, 0), true, 0xc9c7036b520f849b},
    {"edge-on", Scene::Demo, 480, 480, at(-135, -90), true, 0xcbf29ce484222325},
    {"nearly edge-on", Scene::Demo, 640, 480, at(-135, -89.5f), true, 0x43a5f61d99372d51},
    {"nearly edge-on from below", Scene::Demo, 480, 480, at(-90, 89.8f), true, 0xfa487a1eef94b047},
    {"nearly edge-on nearest", Scene::Demo, 320, 240, at(-135, -88), false, 0xe3c6494bc6035f84},
    {"through the tiles", Scene::Demo, 480, 480, at(-135, -60, 12.25f, -42, 21), true, 0xedd9f3c22e4b4f0c},
    {"through the tiles, turned, nearest", Scene::Demo, 480, 480, at(-160, -70, 11, -42, 21), false, 0x116bf4e95e168243},
    {"through, looking ahead", Scene::Demo, 480, 480, at(-135, -80, 11.5f), true, 0x92f775d185b4eeba},
    {"through 1920x1080", Scene::Demo, 1920, 1080, at(-100, -80, 12.25f), true, 0x5765d7c69eb6b669},
    {"crossing the eye plane", Scene::Demo, 480, 480, at(-135, -70, 11.9f), true, 0xedb9328183b35781},
    {"behind the eye", Scene::Demo, 480, 480, at(-135, -60, 40), true, 0xcbf29ce484222325},
    {"panned right", Scene::Demo, 480, 480, at(-135, -60, 0.25f, 150, 0), true, 0x1597f0062e6c4985},
    {"panned left and down", Scene::Demo, 640, 480, at(-135, -60, 0.25f, -150, 120), true, 0x3cf6caaf6c8b310e},
    {"panned half out", Scene::Demo, 480, 480, at(-135, -60, 0.25f, 100, 0), true, 0xe1fe1af0896360c6},
    {"panned up nearest", Scene::Demo, 1280, 720, at(-135, -60, 0.25f, 0, -80), false, 0x2670cf285395f7dd},
    {"rotated", Scene::Demo, 480, 480, at(-100, -40), true, 0x1071c9ec207e160c},
    {"underside", Scene::Demo, 480, 480, at(30, -120), true, 0xc934c3457ef08722},
    {"odd pose, odd size", Scene::Demo, 97, 301, at(45.5f, -33.3f, 3.7f, 17.25f, -9.5f), true, 0x811b6059b9dde2b1},
    {"lit", Scene::Lit, 480, 480, kInitial, true, 0x5e0a399402ede489},
    {"lit magnified", Scene::Lit, 640, 480, at(-135, -60, 8), true, 0x6380bc4b164dc828},
    {"lit through the rings", Scene::Lit, 480, 480, at(45, -60, 12.25f, -42, 21), true, 0x6ae7d6dcda0262ed},
    {"lit nearly edge-on nearest", Scene::Lit, 480, 480, at(-135, -85), false, 0x642d495518b7ed4a},
    {"holed", Scene::Holed, 480, 480, kInitial, true, 0x8f43f1ebc499939d},
    {"holed rotated nearest", Scene::Holed, 640, 480, at(-100, -40), false, 0xa273804e39cb61ea},
    {"holed minified", Scene::Holed, 480, 480, at(-135, -60, -10), true, 0xedc9f261f429d84c},
};
// clang-format on

DigestPoints render(const GuardPose& p, FragmentPath path) {
  RenderContext& context = sceneOf(p.scene);
  context.useMipmaps = p.mipmaps;
  DigestPoints points;
  FrameState frame;
  frame.points = &points;
  frame.fragmentPath = path;
  setupView(context, p.width, p.height, p.pose);
  renderSoftwareFrame(context, p.width, p.height, frame);
  return points;
}

// Both fragment paths: the plain one as it is written, the fast one as the viewer runs.
TEST(PointStream, EveryPoseGivesItsRecordedDigest) {
  const bool printing = std::getenv("QUADRELLE_PRINT_DIGESTS") != nullptr;
  for (const GuardPose& p : kPoses) {
    for (const FragmentPath path : {FragmentPath::Fast, FragmentPath::Plain}) {
      const char* pathName = path == FragmentPath::Fast ? "fast" : "plain";
      const DigestPoints points = render(p, path);
      if (printing) {
        std::printf("%s (%s): 0x%016llx (%ld points)\n", p.name, pathName,
                    static_cast<unsigned long long>(points.digest), points.points);
        continue;
      }
      EXPECT_EQ(points.digest, p.digest)
          << "the point stream of pose \"" << p.name << "\" changed on the " << pathName
          << " path (" << points.points << " points)";
    }
  }
}

}  // namespace
