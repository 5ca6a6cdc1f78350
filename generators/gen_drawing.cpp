#include "generators/gen_drawing.h"

#include "generators/particle_generators.h"
#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "scene/resource_access.h"

namespace lumi {

const char* CompositeTechnique(int blend_mode) {
  switch (blend_mode) {
    case 1: return "Blend_ScreenTex";
    case 2: return "Blend_ColorDodgeTex";
    case 3: return "Blend_SumTex";
    default: return "CommonTex";
  }
}

bool GenSpriteArray::Reserve(size_t count) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return false;
  if (!batches.Reserve(*device, count)) return false;
  batches.SetTexture(texture);
  return true;
}

void GenDrawing::Load(const DS_TexParticleGenerator& generator, std::string_view program_class) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  const ResourceAccess& access = DocumentResourceAccess();
  pictures_.clear();
  for (const DS_ImageFileLink& image : generator.images.value.images) {
    if (image.key.IsEmpty() || access.frames == nullptr) continue;
    PictureFrames frames = access.frames(image.key);
    if (frames.textures.empty() || !frames.textures.front()) continue;
    GenPicture& picture = pictures_.emplace_back();
    picture.texture = frames.textures.front();
    picture.width = frames.width;
    picture.height = frames.height;
    if (frames.textures.size() > 1) {
      picture.frames = std::move(frames.textures);
      picture.delays = std::move(frames.delays);
    }
  }
  if (pictures_.empty()) pictures_.push_back({WhiteSpriteTexture(*device), {}, {}, 0, 0});
  program_.reset();
  if (!generator.effect.key.IsEmpty() && access.class_effect != nullptr) {
    program_ = access.class_effect(generator.effect.key, program_class);
  }
  loaded_ = true;
}

GenSpriteArray& GenDrawing::Array(size_t i) {
  if (arrays_.size() <= i) arrays_.resize(i + 1);
  return arrays_[i];
}

void GenDrawing::UseArrays(size_t count) { used_ = std::min(count, arrays_.size()); }

void GenDrawing::DrawArrays(DS_ABRender& backdrop, Effect* effect) {
  for (size_t a = 0; a < used_; ++a) {
    GenSpriteArray& array = arrays_[a];
    if (effect != nullptr) effect->SetTexture("Texture1", array.texture);
    size_t left = array.quad_count;
    for (const ParticleGeomArray& batch : array.batches.Batches()) {
      if (left == 0) break;
      const auto n = static_cast<uint32_t>(std::min<size_t>(left, batch.spriteCount));
      backdrop.DrawSpriteRange(batch, effect, 0, n);
      left -= n;
    }
  }
}

bool GenDrawing::Compose(DS_ABRender& backdrop, const Techniques& techniques) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return false;
  if (!target_) target_ = std::make_unique<VRN_PrerenderSurface>(*device);
  const BackBufferSize size = CurrentBackBufferSize();
  if (target_->width != size.width || target_->height != size.height || !target_->Target()) {
    target_->width = size.width;
    target_->height = size.height;
    target_->Restore();
  }
  // Without its surface the sprites would land on the target itself.
  if (!target_->Target()) return false;
  Effect& effect = *program_;
  effect.SetTechnique(techniques.mask);
  target_->BeginDraw(backdrop);
  DrawArrays(backdrop, &effect);
  std::shared_ptr<Texture> sprites = target_->EndDraw(backdrop);

  // The target holds the picture placed over its whole texture: drawn back
  // over the picture quad, every sprite lands where it was drawn.
  effect.SetTechnique(techniques.composite);
  if (techniques.reads_background) {
    effect.SetTexture("Texture1", backdrop.Background());
    effect.SetTexture("Texture2", std::move(sprites));
  } else {
    effect.SetTexture("Texture1", std::move(sprites));
  }
  backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), effect);
  return true;
}

void GenDrawing::Draw(DS_ABRender& backdrop, const Techniques& techniques) {
  if (program_ && Compose(backdrop, techniques)) return;
  if (techniques.reads_background) backdrop.CopyBackground();
  DrawArrays(backdrop, nullptr);
}

}  // namespace lumi
