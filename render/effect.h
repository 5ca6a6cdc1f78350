// An effect program: techniques of passes that set device states and a
// pixel program, driven by technique and parameter names. One effect is
// shared by every caller of the same program, so parameters stay as the
// last caller left them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "render/device.h"
#include "render/effect_source.h"

namespace lumi {

enum EffectBeginFlags : uint32_t {
  kEffectSaveState = 0,  // End puts back every state the passes changed
  kEffectDoNotSaveState = 1,
};

// The tag that opens a compiled Direct3D effect, which cannot run here.
constexpr uint32_t kCompiledEffectTag = 0xFEFF0901;
bool IsCompiledEffect(std::span<const uint8_t> bytes);

class Effect {
 public:
  // Null when the bytes are not a program this player can run or a pass
  // does not compile; message then names the program (and the technique
  // and the compiler's line).
  static std::shared_ptr<Effect> Create(GraphicsDevice& device, std::string_view name, std::span<const uint8_t> bytes,
                                        std::string& message);

  // Each setter fails without effect on an unknown name or a wrong kind.
  bool SetTechnique(std::string_view name);
  bool SetFloat(std::string_view name, float value);
  bool SetFloatArray(std::string_view name, const float* values, size_t count);
  bool SetMatrix(std::string_view name, const Matrix& matrix);
  bool SetTexture(std::string_view name, std::shared_ptr<Texture> texture);

  bool Begin(uint32_t* passes, uint32_t flags);
  bool BeginPass(uint32_t pass);
  bool EndPass();
  bool End();
  void OnLostDevice();
  void OnResetDevice();

  const std::string& Name() const { return name_; }
  std::string_view CurrentTechnique() const { return source_.techniques[technique_].name; }
  // The values a parameter holds now; empty for textures and unknown names.
  std::vector<float> Values(std::string_view name) const;

 private:
  struct Parameter {
    EffectParameter declared;
    std::vector<float> values;
    std::shared_ptr<Texture> texture;
  };
  struct CompiledPass {
    std::shared_ptr<PixelProgram> program;  // null: fixed-function pass
  };
  struct Saved;

  Effect(GraphicsDevice& device, std::string name, EffectSource source);
  Parameter* Find(std::string_view name);
  const Parameter* FindTexture(const std::string& name) const;
  void SaveStates();
  void RestoreStates();

  GraphicsDevice& device_;
  std::string name_;
  EffectSource source_;
  std::vector<Parameter> parameters_;
  std::vector<std::vector<CompiledPass>> compiled_;  // per technique
  std::vector<size_t> constant_parameters_;          // parameter index of program constant i
  size_t technique_ = 0;
  bool begun_ = false, in_pass_ = false, lost_ = false, save_state_ = false;
  std::shared_ptr<Saved> saved_;
};

}  // namespace lumi

namespace lumi {

// The pass loop every drawing service runs: Begin, then for each pass
// BeginPass, the draw, EndPass, and End. False when the effect would not
// begin.
bool RunEffectPasses(Effect& effect, const std::function<void()>& draw);

}  // namespace lumi
