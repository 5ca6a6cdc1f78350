#include "platform/gl/gl_functions.h"

#include <cstring>

namespace lumi {

bool GlFunctions::Load(GlProcLoader loader, void* user, std::string& error) {
#define LUMI_GL_LOAD(type, name)                           \
  name = reinterpret_cast<type>(loader("gl" #name, user)); \
  if (!name) {                                             \
    error = "the OpenGL driver lacks gl" #name;            \
    return false;                                          \
  }
  LUMI_GL_FUNCTIONS(LUMI_GL_LOAD)
#undef LUMI_GL_LOAD
  return true;
}

bool GlFunctions::HasExtension(const char* name) const {
  GLint count = 0;
  GetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const auto* extension = reinterpret_cast<const char*>(GetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    if (extension && std::strcmp(extension, name) == 0) return true;
  }
  return false;
}

}  // namespace lumi
