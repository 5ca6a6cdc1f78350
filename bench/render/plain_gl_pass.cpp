#include "bench/render/plain_gl_pass.h"

#include <vector>

#include "platform/gl/gl_context.h"
#include "platform/gl/gl_functions.h"

namespace lumi {

namespace {

const char kVertex[] = R"(#version 330 core
layout(location = 0) in vec2 position;
uniform mat4 transform;
out vec2 coord;
void main() { coord = position * 0.5 + 0.5; gl_Position = vec4(position, 0.0, 1.0) * transform; }
)";

const char kFragment[] = R"(#version 330 core
in vec2 coord;
out vec4 colour;
uniform sampler2D picture;
void main() { colour = texture(picture, coord); }
)";

class Pass : public PlainGlPass {
 public:
  Pass(const GlFunctions& gl, uint32_t width, uint32_t height) : gl_(gl), width_(width), height_(height) {}
  ~Pass() override {
    gl_.DeleteProgram(program_);
    gl_.DeleteBuffers(1, &buffer_);
    gl_.DeleteVertexArrays(1, &vertex_array_);
    gl_.DeleteTextures(1, &texture_);
    gl_.DeleteTextures(1, &small_);
    gl_.DeleteTextures(1, &target_);
    gl_.DeleteFramebuffers(1, &framebuffer_);
  }

  bool Build(uint32_t textureSize, std::string& error) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertex), fragment = Compile(GL_FRAGMENT_SHADER, kFragment);
    program_ = gl_.CreateProgram();
    gl_.AttachShader(program_, vertex);
    gl_.AttachShader(program_, fragment);
    gl_.LinkProgram(program_);
    gl_.DeleteShader(vertex);
    gl_.DeleteShader(fragment);
    GLint linked = 0;
    gl_.GetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (!linked) {
      error = "the plain pass does not link";
      return false;
    }
    const float strip[8] = {-1, -1, -1, 1, 1, -1, 1, 1};
    gl_.GenVertexArrays(1, &vertex_array_);
    gl_.BindVertexArray(vertex_array_);
    gl_.GenBuffers(1, &buffer_);
    gl_.BindBuffer(GL_ARRAY_BUFFER, buffer_);
    gl_.BufferData(GL_ARRAY_BUFFER, sizeof strip, strip, GL_STATIC_DRAW);
    gl_.EnableVertexAttribArray(0);
    gl_.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    std::vector<uint8_t> pixels(size_t{textureSize} * textureSize * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    gl_.GenTextures(1, &texture_);
    gl_.BindTexture(GL_TEXTURE_2D, texture_);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(textureSize), static_cast<GLsizei>(textureSize), 0,
                   GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl_.GenTextures(1, &small_);
    gl_.BindTexture(GL_TEXTURE_2D, small_);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 8, 8, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    transform_ = gl_.GetUniformLocation(program_, "transform");
    gl_.UseProgram(program_);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    gl_.UniformMatrix4fv(transform_, 1, GL_TRUE, identity);
    gl_.GenTextures(1, &target_);
    gl_.BindTexture(GL_TEXTURE_2D, target_);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, nullptr);
    gl_.GenFramebuffers(1, &framebuffer_);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target_, 0);
    return true;
  }

  void Draw() override {
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.Viewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    gl_.Disable(GL_BLEND);
    gl_.Disable(GL_DEPTH_TEST);
    gl_.Disable(GL_CULL_FACE);
    gl_.UseProgram(program_);
    gl_.BindVertexArray(vertex_array_);
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindTexture(GL_TEXTURE_2D, texture_);
    gl_.BindSampler(0, 0);
    gl_.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  }

  void DrawSmall(uint32_t count) override {
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.Enable(GL_BLEND);
    gl_.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl_.UseProgram(program_);
    gl_.BindVertexArray(vertex_array_);
    gl_.ActiveTexture(GL_TEXTURE0);
    const float scale = 2.0f / static_cast<float>(width_);
    for (uint32_t i = 0; i < count; ++i) {
      if (i % 10 == 0) gl_.BindTexture(GL_TEXTURE_2D, (i / 10) % 2 ? small_ : texture_);
      const float transform[16] = {scale, 0,     0, -1 + scale * static_cast<float>(i % 128) * 2,
                                   0,     scale, 0, -1 + scale * static_cast<float>(i / 128) * 2,
                                   0,     0,     1, 0,
                                   0,     0,     0, 1};
      gl_.UniformMatrix4fv(transform_, 1, GL_TRUE, transform);
      gl_.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    gl_.UniformMatrix4fv(transform_, 1, GL_TRUE, identity);
  }

  void Finish() override { gl_.Finish(); }

 private:
  GLuint Compile(GLenum kind, const char* text) {
    const GLuint shader = gl_.CreateShader(kind);
    gl_.ShaderSource(shader, 1, &text, nullptr);
    gl_.CompileShader(shader);
    return shader;
  }

  const GlFunctions& gl_;
  uint32_t width_, height_;
  GLuint program_ = 0, buffer_ = 0, vertex_array_ = 0, texture_ = 0, small_ = 0, target_ = 0, framebuffer_ = 0;
  GLint transform_ = -1;
};

void* Load(const char* name, void* user) { return static_cast<GlContext*>(user)->GetProcAddress(name); }

}  // namespace

std::unique_ptr<PlainGlPass> CreatePlainGlPass(GlContext& context, uint32_t width, uint32_t height,
                                               uint32_t textureSize, std::string& error) {
  static GlFunctions gl;
  if (!context.MakeCurrent() || !gl.Load(Load, &context, error)) return nullptr;
  auto pass = std::make_unique<Pass>(gl, width, height);
  if (!pass->Build(textureSize, error)) return nullptr;
  return pass;
}

}  // namespace lumi
