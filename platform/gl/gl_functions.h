// The OpenGL 3.3 core entry points the device uses, loaded through the
// context's get-proc-address so the same code serves EGL, SDL and WGL.
#pragma once

#include <GL/glcorearb.h>

#include <string>

namespace lumi {

#define LUMI_GL_FUNCTIONS(X)                                     \
  X(PFNGLGETSTRINGPROC, GetString)                               \
  X(PFNGLGETSTRINGIPROC, GetStringi)                             \
  X(PFNGLGETINTEGERVPROC, GetIntegerv)                           \
  X(PFNGLGETERRORPROC, GetError)                                 \
  X(PFNGLVIEWPORTPROC, Viewport)                                 \
  X(PFNGLCLEARPROC, Clear)                                       \
  X(PFNGLCLEARCOLORPROC, ClearColor)                             \
  X(PFNGLCLEARDEPTHPROC, ClearDepth)                             \
  X(PFNGLCLEARSTENCILPROC, ClearStencil)                         \
  X(PFNGLENABLEPROC, Enable)                                     \
  X(PFNGLDISABLEPROC, Disable)                                   \
  X(PFNGLBLENDFUNCPROC, BlendFunc)                               \
  X(PFNGLBLENDEQUATIONPROC, BlendEquation)                       \
  X(PFNGLCULLFACEPROC, CullFace)                                 \
  X(PFNGLFRONTFACEPROC, FrontFace)                               \
  X(PFNGLDEPTHFUNCPROC, DepthFunc)                               \
  X(PFNGLDEPTHMASKPROC, DepthMask)                               \
  X(PFNGLCOLORMASKPROC, ColorMask)                               \
  X(PFNGLPIXELSTOREIPROC, PixelStorei)                           \
  X(PFNGLGENTEXTURESPROC, GenTextures)                           \
  X(PFNGLDELETETEXTURESPROC, DeleteTextures)                     \
  X(PFNGLBINDTEXTUREPROC, BindTexture)                           \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                       \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D)                             \
  X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                       \
  X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, CompressedTexImage2D)         \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri)                       \
  X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap)                     \
  X(PFNGLGENSAMPLERSPROC, GenSamplers)                           \
  X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                     \
  X(PFNGLBINDSAMPLERPROC, BindSampler)                           \
  X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)               \
  X(PFNGLGENBUFFERSPROC, GenBuffers)                             \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                       \
  X(PFNGLBINDBUFFERPROC, BindBuffer)                             \
  X(PFNGLBUFFERDATAPROC, BufferData)                             \
  X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                       \
  X(PFNGLMAPBUFFERRANGEPROC, MapBufferRange)                     \
  X(PFNGLUNMAPBUFFERPROC, UnmapBuffer)                           \
  X(PFNGLFENCESYNCPROC, FenceSync)                               \
  X(PFNGLCLIENTWAITSYNCPROC, ClientWaitSync)                     \
  X(PFNGLDELETESYNCPROC, DeleteSync)                             \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                   \
  X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)             \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                   \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)   \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray) \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)           \
  X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                     \
  X(PFNGLCREATESHADERPROC, CreateShader)                         \
  X(PFNGLSHADERSOURCEPROC, ShaderSource)                         \
  X(PFNGLCOMPILESHADERPROC, CompileShader)                       \
  X(PFNGLGETSHADERIVPROC, GetShaderiv)                           \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                 \
  X(PFNGLDELETESHADERPROC, DeleteShader)                         \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram)                       \
  X(PFNGLATTACHSHADERPROC, AttachShader)                         \
  X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)             \
  X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)         \
  X(PFNGLLINKPROGRAMPROC, LinkProgram)                           \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                         \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)               \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                       \
  X(PFNGLUSEPROGRAMPROC, UseProgram)                             \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)             \
  X(PFNGLUNIFORM1IPROC, Uniform1i)                               \
  X(PFNGLUNIFORM1FVPROC, Uniform1fv)                             \
  X(PFNGLUNIFORM2FVPROC, Uniform2fv)                             \
  X(PFNGLUNIFORM3FVPROC, Uniform3fv)                             \
  X(PFNGLUNIFORM4FVPROC, Uniform4fv)                             \
  X(PFNGLUNIFORMMATRIX2FVPROC, UniformMatrix2fv)                 \
  X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                 \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                   \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)             \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                   \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)         \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)   \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)     \
  X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                 \
  X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)           \
  X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                 \
  X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)           \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                   \
  X(PFNGLREADPIXELSPROC, ReadPixels)                             \
  X(PFNGLDRAWARRAYSPROC, DrawArrays)                             \
  X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)     \
  X(PFNGLFINISHPROC, Finish)                                     \
  X(PFNGLFLUSHPROC, Flush)

using GlProcLoader = void* (*)(const char* name, void* user);

struct GlFunctions {
#define LUMI_GL_DECLARE(type, name) type name = nullptr;
  LUMI_GL_FUNCTIONS(LUMI_GL_DECLARE)
#undef LUMI_GL_DECLARE

  // Loads every entry point; on failure names the first one missing.
  bool Load(GlProcLoader loader, void* user, std::string& error);
  bool HasExtension(const char* name) const;
};

}  // namespace lumi
