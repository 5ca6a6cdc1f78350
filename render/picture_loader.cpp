#include "render/picture_loader.h"

#include "render/decoded_picture.h"

namespace lumi {

LoadedPicture LoadPicture(GraphicsDevice& device, std::span<const uint8_t> bytes, const PictureOptions& options,
                          std::string& message) {
  std::string error;
  auto decoded = DecodePicture(bytes, error);
  if (!decoded) {
    message = "picture of " + std::to_string(bytes.size()) + " bytes: " + error;
    return {};
  }
  LoadedPicture picture;
  picture.width = decoded->width;
  picture.height = decoded->height;
  for (DecodedFrame& frame : decoded->frames) {
    const bool carriesLevels = frame.levels.size() > 1 || IsCompressed(decoded->format);
    const bool generate = options.mipLevels == 0 && !carriesLevels;
    const uint32_t levels = generate ? 0 : static_cast<uint32_t>(frame.levels.size());
    auto texture =
        device.CreateTexture({decoded->width, decoded->height, levels, decoded->format, kUsageNone, options.pool});
    if (!texture) {
      message = "picture " + std::to_string(decoded->width) + " x " + std::to_string(decoded->height) + ": " +
                device.LastError();
      return {};
    }
    for (uint32_t level = 0; level < frame.levels.size(); ++level) {
      texture->WriteLevel(level, std::move(frame.levels[level]));
    }
    if (generate && texture->Levels() > 1) device.GenerateMipmaps(*texture);
    picture.frames.push_back(std::move(texture));
    picture.delaysMs.push_back(frame.delayMs);
  }
  return picture;
}

}  // namespace lumi
