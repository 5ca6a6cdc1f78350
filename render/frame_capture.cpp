#include "render/frame_capture.h"

#include <stb_image_write.h>

namespace lumi {

std::optional<RgbaImage> RenderFrames(GraphicsDevice& device, const CaptureOptions& options,
                                      const FrameCallbacks& callbacks, std::string& error) {
  for (uint32_t frame = 0; frame < options.frames; ++frame) {
    if (options.loseDeviceEvery > 0 && frame > 0 && frame % options.loseDeviceEvery == 0) {
      device.LoseDevice();
      if (callbacks.lose) callbacks.lose();
      if (!device.Reset()) {
        error = "frame " + std::to_string(frame) + ": the device could not be reset: " + device.LastError();
        return std::nullopt;
      }
      if (callbacks.restore) callbacks.restore();
    }
    if (!device.BeginScene()) {
      error = "frame " + std::to_string(frame) + ": " + device.LastError();
      return std::nullopt;
    }
    if (callbacks.draw) callbacks.draw(frame);
    device.EndScene();
    device.Present();
  }
  auto image = device.ReadPixels(*device.GetBackBuffer());
  if (!image) error = device.LastError();
  return image;
}

bool WritePng(const RgbaImage& image, const std::string& path, std::string& error) {
  if (image.width == 0 || image.height == 0 || image.pixels.size() != size_t{image.width} * image.height * 4) {
    error = "no picture to write to " + path;
    return false;
  }
  if (!stbi_write_png(path.c_str(), static_cast<int>(image.width), static_cast<int>(image.height), 4,
                      image.pixels.data(), static_cast<int>(image.width * 4))) {
    error = "could not write " + path;
    return false;
  }
  return true;
}

}  // namespace lumi
