#pragma once

#include <array>

#include "math/vec3.h"
#include "model/model_mesh.h"

// Where a model lies, and how it is moved into the view: centred on the origin and
// scaled until its bounds fit a sphere of radius 1. That keeps all of it in view from
// any turn at the viewer's starting distance (the built-in squares reach 1.1 from the
// centre). Everything is in double, and a position is rounded to float once, after
// framing: a model far from the origin keeps its shape.
struct ModelFraming {
  using Point = std::array<double, 3>;
  Point low{};       // the least x, y and z of the positions its faces use
  Point high{};      // and the greatest
  Point offset{};    // added to every position first: minus the centre of the bounds
  double scale = 1;  // then every coordinate is multiplied by this
  char up = 'z';     // the model's axis that becomes the scene's +z, its up

  // (position + offset) x scale, turned so that `up` points up, rounded to float.
  Vec3 place(const double* position) const;
  // A direction turned the same way.
  Vec3 turn(Vec3 direction) const;
  bool isOnePoint() const { return low == high; }
};

// Frames the model with its axis `up` ('x', 'y' or 'z') turned to the scene's +z, by a
// rotation: y up turns (x, y, z) into (x, -z, y), x up into (y, z, x). Throws
// SceneFileError when the bounds are too large for a double to hold their size.
ModelFraming frameModel(const ModelMesh& mesh, char up);
