// The headless context on Windows. WGL has no surfaceless contexts: a
// context needs a window with a pixel format, so this one owns a hidden
// window it never shows. The device draws into framebuffers of its own, so
// the window's pixels (which a hidden window need not have) are never read.
#include "platform/windows_api.h"

#include "platform/gl/gl_context.h"

namespace lumi {
namespace {

constexpr wchar_t kHiddenWindowClass[] = L"LumisaveHeadlessGl";

class WglHeadlessContext : public GlContext {
 public:
  WglHeadlessContext(HWND window, std::unique_ptr<GlContext> context) : window_(window), context_(std::move(context)) {}
  ~WglHeadlessContext() override {
    // The context lets go of the window's device context before the window goes.
    context_.reset();
    DestroyWindow(window_);
  }

  void* GetProcAddress(const char* name) override { return context_->GetProcAddress(name); }
  bool MakeCurrent() override { return context_->MakeCurrent(); }
  void SwapBuffers() override {}
  uint32_t DrawableWidth() const override { return 0; }
  uint32_t DrawableHeight() const override { return 0; }
  bool HasWindow() const override { return false; }

 private:
  HWND window_;
  std::unique_ptr<GlContext> context_;
};

}  // namespace

std::unique_ptr<GlContext> CreateHeadlessGlContext(std::string& error) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW hidden_class{};
  // Each window of the class gets a device context of its own, which the
  // pixel format and the OpenGL context keep.
  hidden_class.style = CS_OWNDC;
  hidden_class.lpfnWndProc = DefWindowProcW;
  hidden_class.hInstance = instance;
  hidden_class.lpszClassName = kHiddenWindowClass;
  RegisterClassW(&hidden_class);  // fails harmlessly when already registered
  HWND window = CreateWindowExW(0, kHiddenWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (!window) {
    error = "creating the hidden OpenGL window failed (Windows error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  std::unique_ptr<GlContext> context = CreateWglContext(window, false, error);
  if (!context) {
    DestroyWindow(window);
    return nullptr;
  }
  return std::make_unique<WglHeadlessContext>(window, std::move(context));
}

}  // namespace lumi
