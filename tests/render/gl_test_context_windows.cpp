// The tests' headless context on Windows: a hidden window's WGL context.
// Under Wine, Mesa reads the Unix environment, not the Windows one, so its
// shader cache is turned off by scripts/build-windows.sh, which starts Wine.
#include "platform/gl/gl_context.h"
#include "tests/render/gl_test_support.h"

namespace lumi::test {

std::unique_ptr<GlContext> CreateTestGlContext(std::string& error) { return CreateHeadlessGlContext(error); }

}  // namespace lumi::test
