#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/model_scene.h"
#include "tools/cli/json.h"
#include "tools/history/pixel_history.h"

// Pixels' histories for a person, fragment by fragment, every float as the shortest
// decimal that reads back to it; for a model, each polygon's face in the file and its
// material. With `lighting`, each fragment's highlight too.
std::string historyText(const std::vector<PixelHistory>& pixels, bool lighting,
                        const std::optional<ModelSummary>& model);

// The same for a machine.
Json historyJson(const std::vector<PixelHistory>& pixels, bool lighting,
                 const std::optional<ModelSummary>& model);

// "X,Y": a pixel of a picture `width` x `height`, from its top left; false with the
// reason in `error`.
bool parsePicturePixel(const std::string& text, int width, int height, PicturePixel& pixel,
                       std::string& error);
