#include <GL/glcorearb.h>

#include "platform/gl/gl_context.h"

namespace lumi {

RendererNames ReadRendererNames(GlContext& context) {
  RendererNames names;
  if (!context.MakeCurrent()) return names;
  // glGetString is OpenGL 1.0: every loader finds it.
  const auto get = reinterpret_cast<PFNGLGETSTRINGPROC>(context.GetProcAddress("glGetString"));
  if (get == nullptr) return names;
  const auto text = [get](GLenum name) {
    const GLubyte* value = get(name);
    return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
  };
  names.vendor = text(GL_VENDOR);
  names.renderer = text(GL_RENDERER);
  return names;
}

}  // namespace lumi
