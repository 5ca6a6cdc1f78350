// An OpenGL 3.3 core context on a Win32 window through WGL. The core
// context needs wglCreateContextAttribsARB, which only a current context of
// the old kind can hand out, so a throw-away window and context come first.
#include "platform/windows_api.h"
// wglext.h uses the GL types without declaring them.
#include <GL/glcorearb.h>
#include <GL/wglext.h>

#include "platform/gl/gl_context.h"

namespace lumi {
namespace {

constexpr wchar_t kProbeClass[] = L"LumisaveGlProbe";

std::string WindowsError(const char* what) {
  return std::string(what) + " failed (Windows error " + std::to_string(GetLastError()) + ")";
}

// A double-buffered 32-bit colour format with depth and stencil, set on the
// window's device context (a window takes a pixel format once).
bool SetPixelFormatOn(HDC dc, std::string& error) {
  PIXELFORMATDESCRIPTOR wanted{};
  wanted.nSize = sizeof wanted;
  wanted.nVersion = 1;
  wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  wanted.iPixelType = PFD_TYPE_RGBA;
  wanted.cColorBits = 32;
  wanted.cDepthBits = 24;
  wanted.cStencilBits = 8;
  wanted.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(dc, &wanted);
  if (format == 0) {
    error = WindowsError("ChoosePixelFormat");
    return false;
  }
  PIXELFORMATDESCRIPTOR chosen{};
  DescribePixelFormat(dc, format, sizeof chosen, &chosen);
  if (!SetPixelFormat(dc, format, &chosen)) {
    error = WindowsError("SetPixelFormat");
    return false;
  }
  return true;
}

// The WGL extensions, read through an old-style context on a hidden window.
struct WglExtensions {
  PFNWGLCREATECONTEXTATTRIBSARBPROC create_context_attribs = nullptr;
  PFNWGLSWAPINTERVALEXTPROC swap_interval = nullptr;
};

bool LoadWglExtensions(WglExtensions& extensions, std::string& error) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW probe_class{};
  probe_class.lpfnWndProc = DefWindowProcW;
  probe_class.hInstance = instance;
  probe_class.lpszClassName = kProbeClass;
  RegisterClassW(&probe_class);  // fails harmlessly when already registered
  HWND window = CreateWindowExW(0, kProbeClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 16, 16, nullptr, nullptr, instance,
                                nullptr);
  if (!window) {
    error = WindowsError("creating the OpenGL probe window");
    return false;
  }
  HDC dc = GetDC(window);
  HGLRC context = SetPixelFormatOn(dc, error) ? wglCreateContext(dc) : nullptr;
  if (context && wglMakeCurrent(dc, context)) {
    extensions.create_context_attribs = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    extensions.swap_interval =
        reinterpret_cast<PFNWGLSWAPINTERVALEXTPROC>(reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    wglMakeCurrent(nullptr, nullptr);
  } else if (error.empty()) {
    error = WindowsError("creating the OpenGL probe context");
  }
  if (context) wglDeleteContext(context);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  if (!extensions.create_context_attribs && error.empty()) {
    // Microsoft's "GDI Generic" renderer stops at OpenGL 1.1.
    error = "the OpenGL driver offers no wglCreateContextAttribsARB (OpenGL 1.1 only)";
  }
  return extensions.create_context_attribs != nullptr;
}

class WglWindowContext : public GlContext {
 public:
  WglWindowContext(HWND window, HDC dc, HGLRC context)
      : window_(window), dc_(dc), context_(context), opengl32_(GetModuleHandleW(L"opengl32.dll")) {}
  ~WglWindowContext() override {
    if (wglGetCurrentContext() == context_) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context_);
    ReleaseDC(window_, dc_);
  }

  // wglGetProcAddress knows only what came after OpenGL 1.1 (and some
  // drivers answer 1, 2, 3 or -1 for "no"); opengl32 exports the rest.
  void* GetProcAddress(const char* name) override {
    void* address = reinterpret_cast<void*>(wglGetProcAddress(name));
    const auto value = reinterpret_cast<std::intptr_t>(address);
    if (value >= -1 && value <= 3) address = reinterpret_cast<void*>(::GetProcAddress(opengl32_, name));
    return address;
  }
  bool MakeCurrent() override { return wglMakeCurrent(dc_, context_) != FALSE; }
  void SwapBuffers() override { ::SwapBuffers(dc_); }
  uint32_t DrawableWidth() const override { return static_cast<uint32_t>(Client().right); }
  uint32_t DrawableHeight() const override { return static_cast<uint32_t>(Client().bottom); }
  bool HasWindow() const override { return true; }

 private:
  RECT Client() const {
    RECT client{};
    if (!GetClientRect(window_, &client)) return RECT{};
    return client;
  }

  HWND window_;
  HDC dc_;
  HGLRC context_;
  HMODULE opengl32_;
};

}  // namespace

std::unique_ptr<GlContext> CreateWglContext(void* hwnd, bool vsync, std::string& error) {
  WglExtensions extensions;
  if (!LoadWglExtensions(extensions, error)) return nullptr;
  const auto window = static_cast<HWND>(hwnd);
  HDC dc = GetDC(window);
  if (!dc) {
    error = WindowsError("GetDC");
    return nullptr;
  }
  const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB, 3, WGL_CONTEXT_MINOR_VERSION_ARB, 3,
                            WGL_CONTEXT_PROFILE_MASK_ARB, WGL_CONTEXT_CORE_PROFILE_BIT_ARB, 0};
  HGLRC context = SetPixelFormatOn(dc, error) ? extensions.create_context_attribs(dc, nullptr, attributes) : nullptr;
  if (!context) {
    if (error.empty()) error = WindowsError("creating an OpenGL 3.3 core context");
    ReleaseDC(window, dc);
    return nullptr;
  }
  auto result = std::make_unique<WglWindowContext>(window, dc, context);
  if (!result->MakeCurrent()) {
    error = WindowsError("making the OpenGL context current");
    return nullptr;
  }
  // Vsync is a wish: drivers without the extension draw without it.
  if (extensions.swap_interval) extensions.swap_interval(vsync ? 1 : 0);
  return result;
}

}  // namespace lumi
