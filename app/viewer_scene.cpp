#include "app/viewer_scene.h"

#include "raster/texture_levels.h"
#include "scene/demo_scene.h"

void buildViewerScene(RenderContext& context) {
  setupScene(context);
  prepareTextureLevels(context);
}
