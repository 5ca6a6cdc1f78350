#include <stb_image.h>

#include <cstring>

#include "render/decoded_picture.h"
#include "render/jpeg_decoder.h"

namespace lumi {

namespace {

constexpr int kMaxPictureSize = 16384;
// A few header bytes can claim any size up to kMaxPictureSize each way; decoding
// then asks for gigabytes. 64 megapixels (256 MB decoded) is far above any
// photograph a slide shows.
constexpr int64_t kMaxPixels = int64_t{64} << 20;
// Every frame of a GIF is decoded at once: keep hostile sizes from asking
// for gigabytes.
constexpr int kMaxGifSize = 4096;

bool StartsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

// A plain pointer loop: the sanitizer builds run this unoptimised over
// every test picture, where element access through the vector costs ten
// times as much.
void RgbaToBgra(std::vector<uint8_t>& pixels) {
  uint8_t* const end = pixels.data() + pixels.size() / 4 * 4;
  for (uint8_t* pixel = pixels.data(); pixel != end; pixel += 4) {
    const uint8_t red = pixel[0];
    pixel[0] = pixel[2];
    pixel[2] = red;
  }
}

std::optional<DecodedPicture> Single(uint32_t width, uint32_t height, std::vector<uint8_t> bgra) {
  DecodedPicture picture{TextureFormat::A8R8G8B8, width, height, {}};
  picture.frames.push_back({{std::move(bgra)}, 0});
  return picture;
}

std::optional<DecodedPicture> DecodeWithStb(std::span<const uint8_t> bytes, std::string& error) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
    error = "picture too large";
    return std::nullopt;
  }
  const int length = static_cast<int>(bytes.size());
  int width = 0, height = 0, components = 0;
  if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &components)) {
    error = std::string("not a picture this player reads (") + stbi_failure_reason() + ")";
    return std::nullopt;
  }
  if (width <= 0 || height <= 0 || width > kMaxPictureSize || height > kMaxPictureSize ||
      int64_t{width} * height > kMaxPixels) {
    error = "picture size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range";
    return std::nullopt;
  }
  if (StartsWith(bytes, "GIF8")) {
    if (width > kMaxGifSize || height > kMaxGifSize) {
      error = "animated picture size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range";
      return std::nullopt;
    }
    int* delays = nullptr;
    int frames = 0;
    stbi_uc* pixels =
        stbi_load_gif_from_memory(bytes.data(), length, &delays, &width, &height, &frames, &components, 4);
    if (!pixels || frames <= 0) {
      stbi_image_free(delays);
      error = std::string("GIF does not decode (") + stbi_failure_reason() + ")";
      return std::nullopt;
    }
    DecodedPicture picture{TextureFormat::A8R8G8B8, static_cast<uint32_t>(width), static_cast<uint32_t>(height), {}};
    const size_t frameBytes = size_t(width) * size_t(height) * 4;
    for (int i = 0; i < frames; ++i) {
      std::vector<uint8_t> frame(pixels + frameBytes * i, pixels + frameBytes * (i + 1));
      RgbaToBgra(frame);
      picture.frames.push_back({{std::move(frame)}, delays ? static_cast<uint32_t>(std::max(delays[i], 0)) : 0});
    }
    stbi_image_free(pixels);
    stbi_image_free(delays);
    return picture;
  }
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), length, &width, &height, &components, 4);
  if (!pixels) {
    error = std::string("picture does not decode (") + stbi_failure_reason() + ")";
    return std::nullopt;
  }
  std::vector<uint8_t> bgra(pixels, pixels + size_t(width) * size_t(height) * 4);
  stbi_image_free(pixels);
  RgbaToBgra(bgra);
  return Single(static_cast<uint32_t>(width), static_cast<uint32_t>(height), std::move(bgra));
}

}  // namespace

std::optional<DecodedPicture> DecodePicture(std::span<const uint8_t> bytes, std::string& error) {
  if (bytes.empty()) {
    error = "the picture is empty";
    return std::nullopt;
  }
  if (StartsWith(bytes, "DDS ")) return ReadDds(bytes, error);
#ifdef LUMI_TURBOJPEG
  if (StartsWith(bytes, "\xFF\xD8\xFF")) {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> bgra;
    std::string jpegError;
    if (DecodeJpegBgra(bytes.data(), bytes.size(), width, height, bgra, jpegError)) {
      return Single(width, height, std::move(bgra));
    }
    // A few unusual files TurboJPEG refuses still decode the slow way.
    if (auto picture = DecodeWithStb(bytes, error)) return picture;
    error = jpegError;
    return std::nullopt;
  }
#endif
  return DecodeWithStb(bytes, error);
}

}  // namespace lumi
