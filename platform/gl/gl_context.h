// An OpenGL 3.3 core context the device draws with: a headless one for
// tests and tools, or a window's. Linux has EGL and SDL2, Windows WGL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/renderer_answer.h"

namespace lumi {

class GlContext {
 public:
  virtual ~GlContext() = default;
  virtual void* GetProcAddress(const char* name) = 0;
  virtual bool MakeCurrent() = 0;
  // Shows what was drawn into the window's framebuffer; nothing headless.
  virtual void SwapBuffers() = 0;
  // Size of the window's framebuffer, 0 x 0 when there is none.
  virtual uint32_t DrawableWidth() const = 0;
  virtual uint32_t DrawableHeight() const = 0;
  virtual bool HasWindow() const = 0;
};

// A surfaceless EGL context on the Mesa platform: needs neither a display
// server nor a GPU. Null with the reason in error when unavailable.
std::unique_ptr<GlContext> CreateHeadlessGlContext(std::string& error);

// The names of the renderer behind a context, made current here.
RendererNames ReadRendererNames(GlContext& context);

struct WindowOptions {
  std::string title = "lumisave";
  int x = -1, y = -1;  // -1 centres
  uint32_t width = 800, height = 600;
  bool borderless = false;
  bool vsync = true;
};

// An SDL2 window with its own context.
std::unique_ptr<GlContext> CreateSdlWindowGlContext(const WindowOptions& options, std::string& error);
// A context drawing into an SDL2 window (an SDL_Window*) that someone else
// owns and that outlives the context.
std::unique_ptr<GlContext> CreateSdlGlContext(void* sdl_window, bool vsync, std::string& error);

// Windows: a context drawing into a Win32 window (an HWND) that outlives
// it, with a pixel format set on the window. Null with the reason in error,
// among them a driver that cannot give OpenGL 3.3 core.
std::unique_ptr<GlContext> CreateWglContext(void* hwnd, bool vsync, std::string& error);

}  // namespace lumi
