// The picture position render and bench draw with: the one --position
// names, else the one the saver would read from the user's settings; and
// the quality --quality names, else automatic.
#pragma once

#include <optional>
#include <string>

#include "render/device.h"
#include "render/scene_view.h"

namespace lumi::tool {

// Without `asked`, says on standard error which position the settings gave
// and where they came from. Throws UsageError for an unknown name.
PlacementMode ChosenPicturePosition(const std::optional<std::string>& asked, const char* command);
// Throws UsageError for an unknown name.
RenderQuality ChosenQuality(const std::optional<std::string>& asked);

}  // namespace lumi::tool
