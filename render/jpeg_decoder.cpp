#include "render/jpeg_decoder.h"

#include <turbojpeg.h>

#include <limits>

namespace lumi {

bool DecodeJpegBgra(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height, std::vector<uint8_t>& bgra,
                    std::string& error) {
  if (size > std::numeric_limits<unsigned long>::max()) {
    error = "JPEG data too large";
    return false;
  }
  tjhandle handle = tjInitDecompress();
  if (!handle) {
    error = "TurboJPEG could not start";
    return false;
  }
  int w = 0, h = 0, subsampling = 0, colorspace = 0;
  bool ok = tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &w, &h, &subsampling, &colorspace) == 0;
  if (!ok) {
    error = std::string("not a readable JPEG: ") + tjGetErrorStr2(handle);
  } else if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
    error = "JPEG size " + std::to_string(w) + " x " + std::to_string(h) + " is out of range";
    ok = false;
  } else {
    bgra.assign(size_t(w) * size_t(h) * 4, 0);
    ok = tjDecompress2(handle, data, static_cast<unsigned long>(size), bgra.data(), w, 0, h, TJPF_BGRA,
                       TJFLAG_ACCURATEDCT) == 0;
    // Warnings (a truncated scan) still leave a usable picture.
    if (!ok && tjGetErrorCode(handle) == TJERR_WARNING) ok = true;
    if (!ok) error = std::string("JPEG decoding failed: ") + tjGetErrorStr2(handle);
    width = static_cast<uint32_t>(w);
    height = static_cast<uint32_t>(h);
  }
  tjDestroy(handle);
  return ok;
}

}  // namespace lumi
