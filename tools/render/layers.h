#pragma once

#include <string>

#include "raster/frame_state.h"
#include "tools/imaging/image.h"
#include "tools/imaging/legend.h"
#include "tools/render/layer_points.h"

// A picture of the pipeline's inside, pixel for pixel with the rendered picture (rows
// from the top), and the legend that reads it.
struct Layer {
  std::string file;
  Image picture;
  Image legend;
};

// The depth buffer: near dark to far light between the nearest and the farthest depth
// in the frame, which the legend gives; pale blue where nothing was drawn.
Layer depthLayer(const FrameState& frame);

// The level each point was sampled at, on a continuous scale from 0 to the whole level
// above the coarsest sampled, with a dark line where it crosses a whole level. Level 0
// is also the nearest texel of a magnified pixel, and of every pixel with mipmapping
// off.
Layer levelLayer(const LayerPoints& points, bool mipmaps);

// Every span in a colour of its own, where it walked (a pixel keeps the last span's).
Layer spansLayer(const LayerPoints& points);

// Depth complexity: how many fragments each pixel got, drawn or lost to the depth test,
// from 1 to 8 and more.
Layer overdrawLayer(const LayerPoints& points);

// The edges of every polygon in window space, and their corners, over a faint copy of
// the picture.
Layer edgesLayer(const LayerPoints& points);
