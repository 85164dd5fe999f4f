#pragma once

#include <deque>

#include "raster/depth_buffer.h"
#include "raster/fragment.h"
#include "raster/frame_state.h"
#include "scene/render_context.h"
#include "tests/support/recording_points.h"

// A software frame of a given size whose points are recorded, with an empty scene.
struct RecordedFrame {
  explicit RecordedFrame(int width = 64, int height = 64) {
    state.points = &points;
    state.frameWidth = width;
    state.frameHeight = height;
    recreateDepthBuffer(state);
    clearDepthBuffer(state);
    band.end = height;
    band.points = &points;
  }

  PolygonTarget target(const Texture* texture = nullptr) {
    return {context, state, band, texture, {0, 0, 0}};
  }

  // A window-space corner with the given carried values; its captured vertex (for the
  // normal) is kept alive by the frame.
  ScreenVertex corner(float x, float y, float z = 0, Color color = {1, 1, 1, 1}) {
    ScreenVertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    v.oneOverW = 1;
    v.color = color;
    v.diffuse = color;
    v.source = &vertices.emplace_back();
    return v;
  }

  RenderContext context;
  FrameState state;
  RecordingPoints points;
  RowBand band;  // every row
  std::deque<Vertex> vertices;
};
