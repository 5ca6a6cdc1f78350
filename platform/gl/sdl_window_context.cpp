#include <SDL.h>

#include "platform/gl/gl_context.h"
#include "platform/gl/resident_drivers.h"

namespace lumi {

namespace {

class SdlWindowContext : public GlContext {
 public:
  // With `owns_window` the window and SDL's video go with the context.
  SdlWindowContext(SDL_Window* window, SDL_GLContext context, bool owns_window)
      : window_(window), context_(context), owns_window_(owns_window) {}
  ~SdlWindowContext() override {
    SDL_GL_DeleteContext(context_);
    if (!owns_window_) return;
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void* GetProcAddress(const char* name) override { return SDL_GL_GetProcAddress(name); }
  bool MakeCurrent() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }
  void SwapBuffers() override { SDL_GL_SwapWindow(window_); }
  uint32_t DrawableWidth() const override { return Size().first; }
  uint32_t DrawableHeight() const override { return Size().second; }
  bool HasWindow() const override { return true; }

 private:
  std::pair<uint32_t, uint32_t> Size() const {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    return {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  }

  SDL_Window* window_;
  SDL_GLContext context_;
  bool owns_window_;
};

void RequestCoreProfile() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

}  // namespace

std::unique_ptr<GlContext> CreateSdlGlContext(void* sdl_window, bool vsync, std::string& error) {
  auto* window = static_cast<SDL_Window*>(sdl_window);
  RequestCoreProfile();
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    error = std::string("SDL could not create an OpenGL 3.3 core context: ") + SDL_GetError();
    return nullptr;
  }
  KeepGlDriversResident();
  // Vsync is a wish: some drivers refuse it, and drawing works without.
  SDL_GL_SetSwapInterval(vsync ? 1 : 0);
  return std::make_unique<SdlWindowContext>(window, context, false);
}

std::unique_ptr<GlContext> CreateSdlWindowGlContext(const WindowOptions& options, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("SDL could not start its video: ") + SDL_GetError();
    return nullptr;
  }
  RequestCoreProfile();
  const int x = options.x < 0 ? SDL_WINDOWPOS_CENTERED : options.x;
  const int y = options.y < 0 ? SDL_WINDOWPOS_CENTERED : options.y;
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
  if (options.borderless) flags |= SDL_WINDOW_BORDERLESS;
  SDL_Window* window = SDL_CreateWindow(options.title.c_str(), x, y, static_cast<int>(options.width),
                                        static_cast<int>(options.height), flags);
  if (!window) {
    error = std::string("SDL could not open a window: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    error = std::string("SDL could not create an OpenGL 3.3 core context: ") + SDL_GetError();
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  KeepGlDriversResident();
  // Vsync is a wish: some drivers refuse it, and drawing works without.
  SDL_GL_SetSwapInterval(options.vsync ? 1 : 0);
  return std::make_unique<SdlWindowContext>(window, context, true);
}

}  // namespace lumi
