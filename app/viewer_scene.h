#pragma once

#include "scene/render_context.h"

// The viewer's scene, ready for either renderer: the demo scene, and the reduced
// texture levels that the software pipeline samples.
void buildViewerScene(RenderContext& context);
