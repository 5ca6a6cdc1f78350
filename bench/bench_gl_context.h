// The headless OpenGL context every drawing benchmark runs on, made once per
// program; null (with a message) where there is none.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/gl/gl_context.h"
#include "render/device.h"

namespace lumi {

inline GlContext* BenchGlContext() {
  static std::unique_ptr<GlContext> context = [] {
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    std::string error;
    auto made = CreateHeadlessGlContext(error);
    if (!made) std::fprintf(stderr, "no headless OpenGL: %s\n", error.c_str());
    return made;
  }();
  return context.get();
}

// A measured span in milliseconds, as the drawing benchmarks report it.
inline double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Milliseconds a frame of draw() over a cleared target, over `frames`
// frames after one left out (the first pays for compiling and uploads).
inline double ClearedFrameMilliseconds(GraphicsDevice& device, int frames, const std::function<void()>& draw) {
  double total = 0;
  for (int k = 0; k <= frames; ++k) {
    const auto start = std::chrono::steady_clock::now();
    device.BeginScene();
    device.Clear(kClearTarget, 0xFF000000, 1, 0);
    draw();
    device.EndScene();
    device.Finish();
    if (k > 0) total += Milliseconds(std::chrono::steady_clock::now() - start);
  }
  return total / frames;
}

}  // namespace lumi
