#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/gl/gl_context.h"
#include "platform/gl/resident_drivers.h"

namespace lumi {

namespace {

class EglHeadlessContext : public GlContext {
 public:
  EglHeadlessContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
  ~EglHeadlessContext() override {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    // Joins the driver's rasteriser threads, which must not outlive the
    // context: a leak checker at exit stops and scans every thread.
    eglTerminate(display_);
    eglReleaseThread();
  }

  void* GetProcAddress(const char* name) override { return reinterpret_cast<void*>(eglGetProcAddress(name)); }
  bool MakeCurrent() override { return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE; }
  void SwapBuffers() override {}
  uint32_t DrawableWidth() const override { return 0; }
  uint32_t DrawableHeight() const override { return 0; }
  bool HasWindow() const override { return false; }

 private:
  EGLDisplay display_;
  EGLContext context_;
};

std::string EglError(const char* what) {
  char text[96];
  std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", what, static_cast<unsigned>(eglGetError()));
  return text;
}

}  // namespace

std::unique_ptr<GlContext> CreateHeadlessGlContext(std::string& error) {
  auto get_platform_display =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!get_platform_display) {
    error = "EGL lacks eglGetPlatformDisplayEXT";
    return nullptr;
  }
  EGLDisplay display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
    error = EglError("opening the surfaceless EGL display");
    return nullptr;
  }
  KeepGlDriversResident();
  // Without an explicit surface type no configuration matches.
  const EGLint config_attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, config_attributes, &config, 1, &count) || count == 0 || !eglBindAPI(EGL_OPENGL_API)) {
    error = EglError("choosing an EGL configuration");
    eglTerminate(display);
    return nullptr;
  }
  const EGLint context_attributes[] = {
      EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
      EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, context_attributes);
  if (context == EGL_NO_CONTEXT) {
    error = EglError("creating an OpenGL 3.3 core context");
    eglTerminate(display);
    return nullptr;
  }
  auto result = std::make_unique<EglHeadlessContext>(display, context);
  if (!result->MakeCurrent()) {
    error = EglError("making the headless context current");
    return nullptr;
  }
  return result;
}

}  // namespace lumi
