#include "app/view_setup.h"

namespace {

constexpr float kNarrowTanHalf = 0.4f;

void setUpProjection(MatrixStack& projection, int width, int height) {
  float tanHalfX = kNarrowTanHalf;
  float tanHalfY = kNarrowTanHalf;
  if (width < height) {
    tanHalfY = static_cast<float>(double(kNarrowTanHalf) * height / width);
  } else {
    tanHalfX = static_cast<float>(double(kNarrowTanHalf) * width / height);
  }
  projection.reset();
  projection.perspective(tanHalfX, tanHalfY, 0.1f, 100.0f);
  invertMatrix(projection.current, projection.inverse);
}

// A point of the scene is rotated about Z, then about X, then moved away from the eye.
// Window y grows downwards, hence the sign of the vertical pan.
void setUpCamera(MatrixStack& view, const CameraPose& pose) {
  view.reset();
  view.translate(0, 0, -3.0f);
  view.translate(static_cast<float>(pose.panX * 0.01), static_cast<float>(pose.panY * -0.01),
                 static_cast<float>(pose.zoom * 0.25));
  view.rotateX(pose.rotationX);
  view.rotateZ(pose.rotationZ);
  invertMatrix(view.current, view.inverse);
}

}  // namespace

// A matrix that cannot be inverted keeps the previous inverse in force.
void setupView(RenderContext& context, int width, int height, const CameraPose& pose) {
  setUpProjection(context.projectionStack, width, height);
  setUpCamera(context.viewStack, pose);
}
