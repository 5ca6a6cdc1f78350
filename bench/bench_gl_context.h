// The headless OpenGL context every drawing benchmark runs on, made once per
// program; null (with a message) where there is none.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/gl/gl_context.h"

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

}  // namespace lumi
