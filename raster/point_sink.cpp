#include "raster/point_sink.h"

#include "raster/polygon_target.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"

void PipelineObserver::fragmentSeen(const FragmentSeen& f) {
  if (!f.outcome.passed) {
    lostDepthTest(f.x, f.y);
  } else if (f.target->texture != nullptr) {
    pointLevel(f.x, f.y, sampledLevel(*f.target->texture->levels, f.outcome.level));
  }
}
