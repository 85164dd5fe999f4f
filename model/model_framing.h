#pragma once

#include "math/vec3.h"
#include "tools/model/obj_file.h"

// Where a model lies, and how it is moved into the view: centred on the origin and
// scaled until its bounds fit a sphere of radius 1. That keeps all of it in view from
// any turn at the viewer's starting distance (the built-in squares reach 1.1 from the
// centre).
struct ModelFraming {
  Vec3 low;          // the least x, y and z of the positions its faces use
  Vec3 high;         // and the greatest
  Vec3 offset;       // added to every position first: minus the centre of the bounds
  double scale = 1;  // then every coordinate is multiplied by this

  // (position + offset) x scale, in double, rounded to float once.
  Vec3 place(float x, float y, float z) const;
};

ModelFraming frameModel(const ObjFile& file);
