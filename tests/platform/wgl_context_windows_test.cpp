// The WGL context on a window of our own. A machine without a display or
// without OpenGL 3.3 skips, unless LUMI_REQUIRE_GL is set (the Windows test
// stage sets it where it runs under a virtual X server with Mesa).
#include "platform/windows_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/gl/gl_context.h"
#include "platform/gl/gl_functions.h"

namespace lumi {
namespace {

bool GlRequired() { return std::getenv("LUMI_REQUIRE_GL") != nullptr; }

bool LoadFunctions(GlFunctions& gl, GlContext& context, std::string& error) {
  return gl.Load([](const char* name, void* user) { return static_cast<GlContext*>(user)->GetProcAddress(name); },
                 &context, error);
}

class WindowOfOurOwn {
 public:
  WindowOfOurOwn() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"LumisaveWglTest";
    RegisterClassW(&window_class);
    // A popup: titled windows have a minimum width.
    window_ = CreateWindowExW(0, L"LumisaveWglTest", L"wgl test", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    // Pixels of a window that is not shown need not exist.
    if (window_) ShowWindow(window_, SW_SHOWNOACTIVATE);
  }
  ~WindowOfOurOwn() {
    if (window_) DestroyWindow(window_);
  }
  WindowOfOurOwn(const WindowOfOurOwn&) = delete;
  WindowOfOurOwn& operator=(const WindowOfOurOwn&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

TEST(WglContext, DrawsWithOpenGl33CoreThroughOurLoader) {
  WindowOfOurOwn window;
  if (!window.Get()) {
    ASSERT_FALSE(GlRequired()) << "no window could be made";
    GTEST_SKIP() << "no window system";
  }
  std::string error;
  const std::unique_ptr<GlContext> context = CreateWglContext(window.Get(), false, error);
  if (!context) {
    EXPECT_FALSE(error.empty());
    ASSERT_FALSE(GlRequired()) << error;
    GTEST_SKIP() << error;
  }
  EXPECT_TRUE(context->HasWindow());
  EXPECT_EQ(context->DrawableWidth(), 64u);
  EXPECT_EQ(context->DrawableHeight(), 48u);

  // Clear and ReadPixels are OpenGL 1.1: opengl32's own exports.
  GlFunctions gl;
  ASSERT_TRUE(LoadFunctions(gl, *context, error)) << error;
  GLint major = 0, minor = 0, profile = 0;
  gl.GetIntegerv(GL_MAJOR_VERSION, &major);
  gl.GetIntegerv(GL_MINOR_VERSION, &minor);
  gl.GetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
  EXPECT_GE(major * 10 + minor, 33);
  EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
  gl.ClearColor(1.0f, 0.5f, 0.0f, 1.0f);
  gl.Clear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  gl.ReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_NEAR(pixel[1], 128, 1);
  EXPECT_EQ(pixel[2], 0);
  context->SwapBuffers();
}

// Tools and tests draw without a window of their own: the context brings a
// hidden one, and two of them live side by side (the window class is
// registered once).
TEST(WglContext, HeadlessContextsNeedNoWindowOfTheirs) {
  std::string error;
  const std::unique_ptr<GlContext> first = CreateHeadlessGlContext(error);
  if (!first) {
    EXPECT_FALSE(error.empty());
    ASSERT_FALSE(GlRequired()) << error;
    GTEST_SKIP() << error;
  }
  const std::unique_ptr<GlContext> second = CreateHeadlessGlContext(error);
  ASSERT_TRUE(second) << error;
  for (GlContext* context : {first.get(), second.get()}) {
    EXPECT_FALSE(context->HasWindow());
    EXPECT_EQ(context->DrawableWidth(), 0u);
    ASSERT_TRUE(context->MakeCurrent());
    GlFunctions gl;
    ASSERT_TRUE(LoadFunctions(gl, *context, error)) << error;
    GLint profile = 0;
    gl.GetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
  }
}

}  // namespace
}  // namespace lumi
