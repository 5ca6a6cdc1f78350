#include "platform/renderer_answer.h"

#include "archive/utf.h"

namespace lumi {
namespace {

// Two differently seeded 64-bit FNV-1a hashes of the names.
std::array<std::uint8_t, 16> IdentityOf(const std::string& text) {
  std::array<std::uint8_t, 16> identity{};
  for (int half = 0; half < 2; ++half) {
    std::uint64_t hash = half == 0 ? 0xcbf29ce484222325ull : 0x84222325cbf29ce4ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    for (int i = 0; i < 8; ++i) identity[static_cast<std::size_t>(half * 8 + i)] = static_cast<std::uint8_t>(hash >> (8 * i));
  }
  return identity;
}

}  // namespace

bool IsUsableRenderer(const RendererNames& names) {
  return !names.renderer.empty() && names.renderer != "GDI Generic";
}

bool IsSoftwareRenderer(const std::string& renderer) {
  return renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos ||
         renderer.find("Software Rasterizer") != std::string::npos;
}

AdapterAnswer RendererAdapter(const RendererNames& names, int monitor) {
  AdapterAnswer adapter;
  adapter.monitor = monitor;
  adapter.description = FromUtf8(names.renderer);
  adapter.software = IsSoftwareRenderer(names.renderer);
  adapter.identifier = IdentityOf(names.vendor + "\n" + names.renderer);
  return adapter;
}

}  // namespace lumi
