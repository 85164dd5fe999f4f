#include "raster/pixel_lighting.h"

#include <cmath>

namespace {

// The inverse of the viewport mapping and of the projection and view, with the
// division by w that turns the homogeneous result into a point. False for a point at
// infinity.
bool sceneSpacePosition(const RenderContext& context, int frameWidth, int frameHeight, Vec3 window,
                        Vec3& position) {
  const float nx = static_cast<float>((window.x / double(frameWidth)) * 2.0 - 1.0);
  const float ny = static_cast<float>((window.y / double(frameHeight)) * 2.0 - 1.0);
  const Vec4 eyeSpace = context.projectionStack.inverseTransform({nx, ny, window.z, 1.0f});
  const Vec4 p = context.viewStack.inverseTransform(eyeSpace);
  if (p.w == 0.0f) return false;
  position = Vec3{p.x, p.y, p.z} / p.w;
  return true;
}

// The highlight, with `seen` told every term as it is worked out: pixelSpecular's and
// highlightTerms' one formula.
template <typename Seen>
Color specularSum(const RenderContext& context, int frameWidth, int frameHeight, Vec3 eye,
                  Vec3 windowPosition, Vec3 normal, float shininess, Color specular, Seen seen) {
  Color result{0, 0, 0, 0};
  Vec3 n = normal;
  Vec3 position;
  if (!tryNormalize(n)) return result;
  if (!sceneSpacePosition(context, frameWidth, frameHeight, windowPosition, position)) {
    return result;
  }
  Vec3 toViewer = eye - position;
  if (!tryNormalize(toViewer)) return result;
  seen.surface(n, position, toViewer);
  for (const Light& light : context.lights) {
    Vec3 toLight = light.position - position;
    if (!tryNormalize(toLight)) continue;
    Vec3 half = toLight + toViewer;
    if (!tryNormalize(half)) continue;
    // Not clamped at 0: an odd shininess turns a negative dot product negative, and a
    // shininess of 0 gives 1.
    const float nDotH = dot(n, half);
    const float k = static_cast<float>(std::pow(double(nDotH), double(shininess)));
    seen.light(toLight, half, nDotH, k);
    result = {static_cast<float>(result.x + double(k) * specular.x),
              static_cast<float>(result.y + double(k) * specular.y),
              static_cast<float>(result.z + double(k) * specular.z),
              static_cast<float>(result.w + double(k) * specular.w)};
  }
  return result;
}

struct Unseen {
  void surface(Vec3, Vec3, Vec3) {}
  void light(Vec3, Vec3, float, float) {}
};

struct Recorded {
  HighlightTerms& terms;
  void surface(Vec3 n, Vec3 position, Vec3 toViewer) {
    terms.lit = true;
    terms.normal = n;
    terms.position = position;
    terms.toViewer = toViewer;
  }
  void light(Vec3 toLight, Vec3 half, float nDotH, float k) {
    terms.lights.push_back({toLight, half, nDotH, k});
  }
};

}  // namespace

Color pixelSpecular(const RenderContext& context, int frameWidth, int frameHeight, Vec3 eye,
                    Vec3 windowPosition, Vec3 normal, float shininess, Color specular) {
  return specularSum(context, frameWidth, frameHeight, eye, windowPosition, normal, shininess,
                     specular, Unseen{});
}

HighlightTerms highlightTerms(const RenderContext& context, int frameWidth, int frameHeight,
                              Vec3 eye, Vec3 windowPosition, Vec3 normal, float shininess,
                              Color specular) {
  HighlightTerms terms;
  terms.result = specularSum(context, frameWidth, frameHeight, eye, windowPosition, normal,
                             shininess, specular, Recorded{terms});
  return terms;
}
