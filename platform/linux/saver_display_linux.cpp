#include "platform/linux/saver_display_linux.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/utf.h"
#include "platform/gl/gl_context.h"
#include "platform/text_raster.h"
#include "render/gl/gl_device.h"

// After our headers: Xlib defines macros (None, Bool, Status) that clash
// with names there.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace lumi {
namespace {

using Clock = std::chrono::steady_clock;

// The face of the error box's message, as fonts-dejavu-core installs it.
constexpr char kMessageFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// The message's largest and smallest size in pixels, and its margin.
constexpr float kMessagePixels = 15, kSmallestMessagePixels = 8;
constexpr int kMessageMargin = 4;

// X errors are expected whenever a host destroys the window we draw into;
// they are counted, never fatal.
std::atomic<unsigned> g_xErrors{0};

int OnXError(Display*, XErrorEvent*) {
  ++g_xErrors;
  return 0;
}

std::u16string Utf16(const char* text) { return FromUtf8(text != nullptr ? text : ""); }

// The context of a window inside a foreign one has no window once that
// window is gone, so the device stops presenting into it: Mesa's software
// path stalls for seconds drawing into a destroyed window. The device asks
// just before each frame's presentation.
class ChildWindowContext final : public GlContext {
 public:
  ChildWindowContext(std::unique_ptr<GlContext> context, std::function<bool()> window_stands)
      : context_(std::move(context)), window_stands_(std::move(window_stands)) {}
  void* GetProcAddress(const char* name) override { return context_->GetProcAddress(name); }
  bool MakeCurrent() override { return context_->MakeCurrent(); }
  void SwapBuffers() override { context_->SwapBuffers(); }
  uint32_t DrawableWidth() const override { return context_->DrawableWidth(); }
  uint32_t DrawableHeight() const override { return context_->DrawableHeight(); }
  bool HasWindow() const override { return context_->HasWindow() && window_stands_(); }

 private:
  std::unique_ptr<GlContext> context_;
  std::function<bool()> window_stands_;
};

class X11SaverDisplay final : public SaverDisplay, public EventSource {
 public:
  X11SaverDisplay(LinuxSaverPlatform& platform, Display* x) : platform_(platform), x_(x) {
    wake_event_ = SDL_RegisterEvents(1);
    platform_.SetEventSource(this);
  }

  ~X11SaverDisplay() override {
    platform_.SetEventSource(nullptr);
    for (auto& [id, window] : windows_) {
      window.context.reset();
      SDL_DestroyWindow(window.sdl);
      if (window.parent != 0) XDestroyWindow(x_, window.xid);
    }
    if (font_ != nullptr) XFreeFont(x_, font_);
    if (wake_fd_ >= 0) close(wake_fd_);
    XCloseDisplay(x_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  std::vector<MonitorAnswer> Monitors() override {
    std::vector<MonitorAnswer> monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
      SDL_Rect bounds{};
      SDL_GetDisplayBounds(i, &bounds);
      SDL_DisplayMode mode{};
      SDL_GetCurrentDisplayMode(i, &mode);
      MonitorAnswer monitor;
      monitor.adapter_name = Utf16(Renderer().renderer.c_str());
      monitor.monitor_name = Utf16(SDL_GetDisplayName(i));
      monitor.bounds = {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
      monitor.refresh_hz = mode.refresh_rate;
      monitors.push_back(std::move(monitor));
    }
    return monitors;
  }

  std::vector<AdapterAnswer> Adapters() override {
    std::vector<AdapterAnswer> adapters;
    const RendererNames& renderer = Renderer();
    // Without a renderer nothing can draw: no adapter is usable.
    if (!IsUsableRenderer(renderer)) return adapters;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
      AdapterAnswer adapter = RendererAdapter(renderer, i);
      SDL_DisplayMode current{};
      SDL_GetCurrentDisplayMode(i, &current);
      adapter.desktop = {static_cast<std::uint32_t>(current.w), static_cast<std::uint32_t>(current.h)};
      const int modes = SDL_GetNumDisplayModes(i);
      for (int m = 0; m < modes; ++m) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(i, m, &mode) == 0) {
          adapter.modes.push_back({static_cast<std::uint32_t>(mode.w), static_cast<std::uint32_t>(mode.h)});
        }
      }
      // Some servers list no modes: the current one is always there.
      if (adapter.modes.empty()) adapter.modes.push_back(adapter.desktop);
      adapters.push_back(std::move(adapter));
    }
    return adapters;
  }

  PlatformWindow CreateSaverWindow(const SaverWindowRequest& request) override {
    const std::string title = ToUtf8(request.title);
    WindowRecord record;
    if (request.kind == SaverWindowKind::Child) {
      record.parent = static_cast<::Window>(request.parent);
      XWindowAttributes parent{};
      const unsigned errors = g_xErrors;
      if (!XGetWindowAttributes(x_, record.parent, &parent) || g_xErrors != errors) return 0;
      // The screen's own visual, not the parent's: xscreensaver hands its GL
      // programs a window of a 32-bit visual, which no context of SDL's
      // matches, and every frame would be lost.
      const int screen = DefaultScreen(x_);
      XSetWindowAttributes attributes{};
      attributes.background_pixel = BlackPixel(x_, screen);
      attributes.border_pixel = BlackPixel(x_, screen);
      attributes.colormap = DefaultColormap(x_, screen);
      record.xid = XCreateWindow(x_, record.parent, 0, 0, static_cast<unsigned>(std::max(parent.width, 1)),
                                 static_cast<unsigned>(std::max(parent.height, 1)), 0, DefaultDepth(x_, screen),
                                 InputOutput, DefaultVisual(x_, screen), CWBackPixel | CWBorderPixel | CWColormap,
                                 &attributes);
      // The foreign window's size and end are ours to follow.
      XSelectInput(x_, record.parent, StructureNotifyMask);
      XMapWindow(x_, record.xid);
      XSync(x_, False);
      if (g_xErrors != errors) return 0;
      record.sdl = SDL_CreateWindowFrom(reinterpret_cast<void*>(record.xid));
    } else {
      const bool full = request.kind == SaverWindowKind::FullScreen;
      Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
      if (full) flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR;
      const WindowRect& r = request.rect;
      record.sdl = SDL_CreateWindow(title.c_str(), r.left, r.top, r.Width(), r.Height(), flags);
      if (record.sdl != nullptr && full) SDL_ShowCursor(SDL_DISABLE);
      if (record.sdl != nullptr) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(record.sdl, &info)) record.xid = info.info.x11.window;
      }
    }
    if (record.sdl == nullptr || record.xid == 0) {
      std::fprintf(stderr, "%s: no window: %s\n", title.c_str(), SDL_GetError());
      if (record.sdl != nullptr) SDL_DestroyWindow(record.sdl);
      return 0;
    }
    // Black until something draws, whatever the server shows by default.
    XSetWindowBackground(x_, record.xid, BlackPixel(x_, DefaultScreen(x_)));
    XClearWindow(x_, record.xid);
    XFlush(x_);
    // A window that appears under a still pointer reports one motion there;
    // that is not a move of the user's.
    SDL_GetGlobalMouseState(&record.pointer_x, &record.pointer_y);
    const auto id = static_cast<PlatformWindow>(record.xid);
    windows_.emplace(id, std::move(record));
    return id;
  }

  WindowRect ClientRect(PlatformWindow window) override {
    XWindowAttributes attributes{};
    const unsigned errors = g_xErrors;
    if (!XGetWindowAttributes(x_, static_cast<::Window>(window), &attributes) || g_xErrors != errors) return {};
    return {0, 0, attributes.width, attributes.height};
  }

  WindowRect DesktopRect(PlatformWindow window) override {
    const WindowRect client = ClientRect(window);
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(x_, static_cast<::Window>(window), DefaultRootWindow(x_), 0, 0, &x, &y, &child);
    return {x, y, x + client.Width(), y + client.Height()};
  }

  void InvalidateWindow(PlatformWindow window) override { platform_.PostMessage({window, kMessagePaint, 0, 0}); }

  std::unique_ptr<GraphicsDevice> CreateDevice(PlatformWindow window, std::uint32_t width, std::uint32_t height,
                                               std::string& error) override {
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
      error = "not a window of ours";
      return nullptr;
    }
    WindowRecord& record = found->second;
    record.context.reset();
    record.context = CreateSdlGlContext(record.sdl, true, error);
    if (!record.context) return nullptr;
    if (record.parent != 0) {
      // A round trip first, so that the end of the foreign window is heard
      // if it came before this frame's presentation.
      record.context = std::make_unique<ChildWindowContext>(std::move(record.context), [this, window] {
        XSync(x_, False);
        ReadForeignEvents();
        const auto found = windows_.find(window);
        return found != windows_.end() && !found->second.parent_gone;
      });
    }
    return CreateGlDevice(*record.context, width, height, error);
  }

  void PaintErrorBox(PlatformWindow window, WindowRect box, std::u16string_view text) override {
    const WindowRect client = ClientRect(window);
    if (client.Width() <= 0) return;
    const auto xid = static_cast<::Window>(window);
    GC gc = XCreateGC(x_, xid, 0, nullptr);
    const int screen = DefaultScreen(x_);
    XSetForeground(x_, gc, BlackPixel(x_, screen));
    // Black around the box, so the box itself never flickers.
    const auto fill = [&](int left, int top, int right, int bottom) {
      if (right > left && bottom > top) {
        XFillRectangle(x_, xid, gc, left, top, static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top));
      }
    };
    fill(0, 0, client.right, box.top);
    fill(0, box.bottom, client.right, client.bottom);
    fill(0, box.top, box.left, box.bottom);
    fill(box.right, box.top, client.right, box.bottom);
    if (box.Width() > 0 && box.Height() > 0) {
      XSetForeground(x_, gc, WhitePixel(x_, screen));
      fill(box.left, box.top, box.right, box.bottom);
      XSetForeground(x_, gc, BlackPixel(x_, screen));
      XDrawRectangle(x_, xid, gc, box.left, box.top, static_cast<unsigned>(box.Width() - 1),
                     static_cast<unsigned>(box.Height() - 1));
      if (!DrawMessage(xid, gc, box, text)) DrawWrappedText(xid, gc, box, text);
    }
    XFreeGC(x_, gc);
    XFlush(x_);
  }

  void WaitForEvents(Clock::time_point deadline) override {
    // Rounded up: a wait cut short of the deadline would only come back.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int timeout = static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
    if (!TakeEvents() && timeout > 0) {
      if (Display* sdl_x = SdlDisplay()) {
        // Asleep until either connection or another thread speaks; both
        // queues were emptied just now and XPending sends what is unsent.
        pollfd watched[] = {{ConnectionNumber(sdl_x), POLLIN, 0}, {ConnectionNumber(x_), POLLIN, 0},
                            {wake_fd_, POLLIN, 0}};
        if (XPending(sdl_x) == 0 && XPending(x_) == 0) poll(watched, wake_fd_ >= 0 ? 3 : 2, timeout);
        std::uint64_t count = 0;
        if ((watched[2].revents & POLLIN) != 0 && read(wake_fd_, &count, sizeof count) < 0) count = 0;
      } else {
        SDL_Event event;
        waiting_ = true;
        if (SDL_WaitEventTimeout(&event, timeout) == 1) Translate(event);
        waiting_ = false;
      }
      TakeEvents();
    }
    if (focus_lost_) {
      focus_lost_ = false;
      // Focus that moved to another of our windows stays with us.
      if (SDL_GetKeyboardFocus() == nullptr) platform_.PostMessage({main_window(), kMessageActivateApp, 0, 0});
    }
  }

  // Our own thread never waits while it posts; others wake the wait.
  void Wake() override {
    if (std::this_thread::get_id() == owner_) return;
    const std::uint64_t one = 1;
    if (wake_fd_ >= 0 && write(wake_fd_, &one, sizeof one) == static_cast<ssize_t>(sizeof one)) return;
    if (!waiting_) return;
    SDL_Event event{};
    event.type = wake_event_;
    SDL_PushEvent(&event);
  }

 private:
  struct WindowRecord {
    SDL_Window* sdl = nullptr;
    ::Window xid = 0;
    ::Window parent = 0;  // the foreign window of a child
    bool parent_gone = false;
    std::unique_ptr<GlContext> context;
    int pointer_x = 0, pointer_y = 0;
    bool moved = false;
  };

  PlatformWindow main_window() const { return windows_.empty() ? 0 : windows_.begin()->first; }

  // The renderer's names, read once from a hidden window's context.
  const RendererNames& Renderer() {
    if (renderer_) return *renderer_;
    renderer_.emplace();
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) return *renderer_;
    std::string error;
    if (std::unique_ptr<GlContext> context = CreateSdlGlContext(window, false, error)) {
      renderer_ = ReadRendererNames(*context);
    } else {
      std::fprintf(stderr, "lumisave: %s\n", error.c_str());
    }
    SDL_DestroyWindow(window);
    return *renderer_;
  }

  WindowRecord* FindSdl(Uint32 sdl_id) {
    SDL_Window* sdl = SDL_GetWindowFromID(sdl_id);
    for (auto& [id, record] : windows_) {
      if (record.sdl == sdl) return &record;
    }
    return nullptr;
  }

  void Post(const WindowRecord& record, std::uint32_t message, std::uintptr_t wparam = 0, std::intptr_t lparam = 0) {
    platform_.PostMessage({static_cast<PlatformWindow>(record.xid), message, wparam, lparam});
  }

  // Input inside a foreign window is its owner's (xscreensaver grabs it and
  // ends us with a signal): only our own windows report it.
  WindowRecord* FindInputWindow(Uint32 sdl_id) {
    WindowRecord* record = FindSdl(sdl_id);
    return record != nullptr && record->parent == 0 ? record : nullptr;
  }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_MOUSEMOTION:
        if (WindowRecord* record = FindInputWindow(event.motion.windowID)) {
          if (!record->moved) {
            record->moved = true;
            int x = 0, y = 0;
            SDL_GetWindowPosition(record->sdl, &x, &y);
            if (x + event.motion.x == record->pointer_x && y + event.motion.y == record->pointer_y) break;
          }
          Post(*record, kMessageMouseMove, 0, PackMousePosition(event.motion.x, event.motion.y));
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (WindowRecord* record = FindInputWindow(event.button.windowID)) {
          // The wheel is not a button here: SDL reports it apart.
          if (event.button.button == SDL_BUTTON_LEFT) Post(*record, kMessageLeftButtonDown);
          if (event.button.button == SDL_BUTTON_MIDDLE) Post(*record, kMessageMiddleButtonDown);
          if (event.button.button == SDL_BUTTON_RIGHT) Post(*record, kMessageRightButtonDown);
        }
        break;
      case SDL_KEYDOWN:
        if (WindowRecord* record = FindInputWindow(event.key.windowID)) {
          Post(*record, kMessageKeyDown, static_cast<std::uintptr_t>(event.key.keysym.sym));
        }
        break;
      case SDL_WINDOWEVENT:
        if (WindowRecord* record = FindSdl(event.window.windowID)) {
          switch (event.window.event) {
            case SDL_WINDOWEVENT_FOCUS_LOST:
              if (record->parent == 0) focus_lost_ = true;
              break;
            case SDL_WINDOWEVENT_CLOSE:
              Post(*record, kMessageSysCommand, kCommandClose);
              break;
            case SDL_WINDOWEVENT_EXPOSED:
              Post(*record, kMessagePaint);
              break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
              Post(*record, kMessageSize);
              break;
            default:
              break;
          }
        }
        break;
      default:
        break;
    }
  }

  // One pump, then what it queued (each SDL_PollEvent would read the
  // connection again: a dozen reads every wake), and the foreign windows'
  // news; whether anything came.
  bool TakeEvents() {
    SDL_PumpEvents();
    bool any = false;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
      Translate(event);
      any = true;
    }
    return ReadForeignEvents() || any;
  }

  // SDL's own connection, from any of our windows; null before the first.
  Display* SdlDisplay() {
    if (sdl_x_ != nullptr || windows_.empty()) return sdl_x_;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(windows_.begin()->second.sdl, &info) && info.subsystem == SDL_SYSWM_X11) {
      sdl_x_ = info.info.x11.display;
    }
    return sdl_x_;
  }

  // Changes of the foreign windows our children live in; whether any event
  // was read.
  bool ReadForeignEvents() {
    bool any = false;
    while (XPending(x_) > 0) {
      XEvent event;
      XNextEvent(x_, &event);
      any = true;
      for (auto& [id, record] : windows_) {
        if (record.parent == 0) continue;
        if (event.type == ConfigureNotify && event.xconfigure.window == record.parent) {
          const int width = std::max(event.xconfigure.width, 1), height = std::max(event.xconfigure.height, 1);
          int old_width = 0, old_height = 0;
          SDL_GetWindowSize(record.sdl, &old_width, &old_height);
          if (width == old_width && height == old_height) continue;  // moved, not resized
          // Through SDL, which keeps the drawable's size for the context.
          SDL_SetWindowSize(record.sdl, width, height);
          Post(record, kMessageSize);
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == record.parent) {
          // Our child went with it.
          record.parent_gone = true;
          Post(record, kMessageDestroy);
        }
      }
    }
    return any;
  }

  // The message in a real face, black on the white box, centred, at the
  // largest size up to kMessagePixels at which all of it fits. False
  // without the face or on a display without colour channels (SDL gives a
  // GL window of a direct-colour visual a straight ramp, as true colour has).
  bool DrawMessage(::Window xid, GC gc, const WindowRect& box, std::u16string_view text) {
    if (!face_tried_) {
      face_tried_ = true;
      try {
        face_ = TextFace::FromBytes(ReadFileBytes(kMessageFont, 64 << 20));
      } catch (const InputError&) {
      }
    }
    XWindowAttributes attributes;
    if (!face_ || XGetWindowAttributes(x_, xid, &attributes) == 0 ||
        (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor)) {
      return false;
    }
    // Inside the box's frame.
    const int width = box.Width() - 2, height = box.Height() - 2;
    if (width <= 0 || height <= 0) return true;
    const std::u32string points = CodePoints(text);
    const auto room = static_cast<float>(std::max(width - 2 * kMessageMargin, 1));
    float pixels = kMessagePixels;
    std::vector<std::u32string> lines = face_->Wrap(points, pixels, room);
    while (pixels > kSmallestMessagePixels &&
           face_->LineHeight(pixels) * static_cast<float>(lines.size()) > static_cast<float>(height - 2 * kMessageMargin)) {
      lines = face_->Wrap(points, --pixels, room);
    }
    Coverage coverage(width, height);
    const float line_height = face_->LineHeight(pixels);
    float baseline = (static_cast<float>(height) - line_height * static_cast<float>(lines.size())) / 2 + face_->Ascent(pixels);
    for (const std::u32string& line : lines) {
      face_->Draw(line, pixels, (static_cast<float>(width) - face_->Width(line, pixels)) / 2, baseline, coverage);
      baseline += line_height;
    }
    PutInk(xid, gc, attributes, box.left + 1, box.top + 1, coverage);
    return true;
  }

  // Coverage as black ink on white, in the window's own pixel format.
  void PutInk(::Window xid, GC gc, const XWindowAttributes& attributes, int left, int top, const Coverage& ink) {
    XImage* image = XCreateImage(x_, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(ink.width), static_cast<unsigned>(ink.height), 32, 0);
    if (image == nullptr) return;
    // XDestroyImage frees the pixels with free().
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * ink.height));
    if (image->data == nullptr) {
      XDestroyImage(image);
      return;
    }
    const Visual& visual = *attributes.visual;
    const unsigned long colours = visual.red_mask | visual.green_mask | visual.blue_mask;
    // A 32-bit visual's other bits are alpha: opaque.
    const unsigned long all = attributes.depth >= 32 ? 0xFFFFFFFFul : (1ul << attributes.depth) - 1;
    const auto channel = [](unsigned long mask, unsigned long grey) {
      const unsigned long top_value = (1ul << std::popcount(mask)) - 1;
      return ((grey * top_value + 127) / 255) << std::countr_zero(mask);
    };
    unsigned long pixel_of[256];
    for (unsigned long level = 0; level < 256; ++level) {
      const unsigned long grey = 255 - level;
      pixel_of[level] = (all & ~colours) | channel(visual.red_mask, grey) | channel(visual.green_mask, grey) |
                        channel(visual.blue_mask, grey);
    }
    for (int y = 0; y < ink.height; ++y) {
      for (int x = 0; x < ink.width; ++x) {
        XPutPixel(image, x, y, pixel_of[ink.levels[static_cast<std::size_t>(y) * ink.width + x]]);
      }
    }
    XPutImage(x_, xid, gc, image, 0, 0, left, top, static_cast<unsigned>(ink.width), static_cast<unsigned>(ink.height));
    XDestroyImage(image);
  }

  // The X core font's, where there is no face to draw with.
  void DrawWrappedText(::Window xid, GC gc, const WindowRect& box, std::u16string_view text) {
    if (font_ == nullptr) font_ = XLoadQueryFont(x_, "fixed");
    if (font_ == nullptr) return;
    XSetFont(x_, gc, font_->fid);
    std::string latin;
    for (char16_t c : text) latin += c < 0x100 ? static_cast<char>(c) : '?';
    const auto width = [this](const std::string& s) { return XTextWidth(font_, s.data(), static_cast<int>(s.size())); };
    const int room = std::max(box.Width() - 8, 1);
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start < latin.size()) {
      const std::size_t blank = latin.find(' ', start);
      const std::string word = latin.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
      start = blank == std::string::npos ? latin.size() : blank + 1;
      if (word.empty()) continue;
      const std::string longer = line.empty() ? word : line + " " + word;
      if (!line.empty() && width(longer) > room) {
        lines.push_back(line);
        line = word;
      } else {
        line = longer;
      }
    }
    if (!line.empty()) lines.push_back(line);
    const int line_height = font_->ascent + font_->descent;
    const int total = line_height * static_cast<int>(lines.size());
    int y = (box.top + box.bottom - total) / 2 + font_->ascent;
    for (const std::string& l : lines) {
      const int x = box.left + (box.Width() - width(l)) / 2;
      XDrawString(x_, xid, gc, x, y, l.data(), static_cast<int>(l.size()));
      y += line_height;
    }
  }

  LinuxSaverPlatform& platform_;
  Display* x_;
  Uint32 wake_event_ = 0;
  // Other threads' posts wake the wait through this counter.
  int wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  std::thread::id owner_ = std::this_thread::get_id();
  Display* sdl_x_ = nullptr;
  std::atomic<bool> waiting_{false};
  bool focus_lost_ = false;
  std::map<PlatformWindow, WindowRecord> windows_;
  std::optional<RendererNames> renderer_;
  XFontStruct* font_ = nullptr;
  std::unique_ptr<TextFace> face_;
  bool face_tried_ = false;
};

}  // namespace

std::unique_ptr<SaverDisplay> OpenX11SaverDisplay(LinuxSaverPlatform& platform, std::string& error) {
  // SIGTERM and SIGINT are the platform's: SDL would make them a close
  // request, which full screen swallows.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return nullptr;
  }
  Display* x = XOpenDisplay(nullptr);
  if (x == nullptr) {
    error = "cannot open the X display";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  XSetErrorHandler(OnXError);
  return std::make_unique<X11SaverDisplay>(platform, x);
}

}  // namespace lumi
