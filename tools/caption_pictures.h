// Caption pictures for authors. The player never lays out text: a caption
// is a picture in the document. Where the authoring tool would render it,
// `pack` renders a "caption" entry of a text object's JSON record (text,
// face, size, colour) with stb_truetype, stores the picture where the
// object finds it and fills the object's text and font fields.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scene/document.h"

namespace lumi::tool {

// A caption's text drawn in its colour over transparency, with a margin of
// an eighth of the size for the shadow's softening.
struct CaptionRaster {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // rows top first
  std::string family;         // the font's family name
  bool bold = false;
};

// Throws InputError naming `path` when the text is empty or the font does
// not read. Lines break at "\n".
CaptionRaster RasterizeCaption(const std::string& text, const std::vector<uint8_t>& font_bytes, float size,
                               uint32_t rgb, const std::string& path);

// The pictures the captions of a scene leave for its resource table.
struct CaptionResources {
  std::vector<MaskRecord> by_id;          // sprite captions, by picture id
  std::vector<ResourceFrames> by_link;    // particle captions, by look image
};

// Renders every "caption" entry of `scene` and removes it, filling the
// object's text and font fields; faces are font files beside the scene or
// in the fonts folder. Throws InputError with the JSON path of a caption it
// cannot render.
CaptionResources RenderCaptions(nlohmann::ordered_json& scene, const std::filesystem::path& base_directory);
// Puts the pictures into the document, each replacing one of its key.
void AddCaptionResources(Document& document, CaptionResources resources);

}  // namespace lumi::tool
