// The tests' headless context on Linux: surfaceless EGL. Mesa's shader cache
// is where ctest points it, in the build tree, or else off, so test runs leave
// nothing in the user's cache folder.
#include <cstdlib>

#include "platform/gl/gl_context.h"
#include "tests/render/gl_test_support.h"

namespace lumi::test {

std::unique_ptr<GlContext> CreateTestGlContext(std::string& error) {
  if (!std::getenv("MESA_SHADER_CACHE_DIR")) setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
  return CreateHeadlessGlContext(error);
}

}  // namespace lumi::test
