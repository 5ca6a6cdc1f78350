// What a test reads off the recording device's draws: the technique each
// used and the textures it bound.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "render/recording_device.h"

namespace lumi::test {

inline std::string TechniqueOf(const RecordedDraw& draw) {
  const PixelProgram* program = draw.state.pixelProgram.get();
  if (program == nullptr) return "";
  // Program names are "program/technique/pass".
  const std::string& name = program->Source().name;
  const size_t first = name.find('/'), last = name.rfind('/');
  return name.substr(first + 1, last - first - 1);
}

inline std::vector<std::string> Techniques(const RecordingDevice& device) {
  std::vector<std::string> used;
  for (const RecordedDraw& draw : device.Draws()) used.push_back(TechniqueOf(draw));
  return used;
}

inline bool Binds(const RecordedDraw& draw, const std::shared_ptr<Texture>& texture) {
  const auto& textures = draw.state.textures;
  return texture && std::find(textures.begin(), textures.end(), texture) != textures.end();
}

}  // namespace lumi::test
