#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>

#include "archive/registry.h"
#include "backdrop/variants.h"
#include "render/current_context.h"
#include "scene/resource_access.h"

namespace lumi {

static const RegisterClass<DS_GlassBallLight> kRegisterGlassBallLight(Family::Backdrop);

namespace {

// The stand below the ball, in the ball's units (y up).
constexpr float kStandLeft = -230.4f, kStandRight = 232.9f, kStandBottom = -372.19293f, kStandTop = -185.61412f;

// The clock every glass ball of a render unit shares, so the scene in the
// ball keeps turning from slide to slide; other units keep their own.
FrameClock& UnitClock() {
  static std::map<const GraphicsDevice*, FrameClock> clocks;
  return clocks[CurrentDevice()];
}

// Target pixels (y down) straight to clip space.
Matrix PixelProjection(float width, float height) {
  Matrix m;
  m.m[0][0] = 2 / width;
  m.m[1][1] = -2 / height;
  m.m[3][0] = -1;
  m.m[3][1] = 1;
  return m;
}

std::shared_ptr<Texture> MakeTexture(GraphicsDevice& device, uint32_t side, uint32_t levels, TextureFormat format,
                                     const void* texels, size_t size) {
  std::shared_ptr<Texture> texture = device.CreateTexture({side, side, levels, format, kUsageNone, Pool::Managed});
  if (texture && !texture->WriteLevel(0, texels, size)) texture.reset();
  return texture;
}

}  // namespace

void DS_GlassBallLight::Describe(Archive& ar) {
  LinkField(ar, "highlight_image_1", highlight_image_1);
  LinkField(ar, "highlight_image_2", highlight_image_2);
  LinkField(ar, "stand_image", stand_image);
  LinkField(ar, "background_image", background_image);
  fx::Slider(ar, "speed", speed);
  // Version 1 ran at another speed scale: its whole numbers are mapped onto
  // today's.
  if (ar.version() < 2) speed.Set(2 * speed.value / 3 + 33);
  IntPoint offset = ball_offset.value;
  ar.Group("ball_offset", [&] {
    ar.Int("x", offset.x);
    ar.Int("y", offset.y);
  });
  if (ar.IsReading()) ball_offset.Set(offset);
  UIntField(ar, "ball_size", ball_size, Apply::Set);
  UIntField(ar, "sway_width", sway_width, Apply::Set);
  IntField(ar, "highlight_1_on", highlight_1_on, Apply::Set);
  IntField(ar, "highlight_2_on", highlight_2_on, Apply::Set);
  IntField(ar, "stand_on", stand_on, Apply::Set);
  IntField(ar, "background_flag", background_flag, Apply::Set);
  IntField(ar, "motion_mode", motion_mode, Apply::Set);
  fx::Colour(ar, "top_colour", top_colour);
  fx::Colour(ar, "bottom_colour", bottom_colour);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

// The slopes of a hemisphere of radius 128 over the middle of the square.
std::vector<uint32_t> DS_GlassBallLight::HemisphereBump() {
  const auto height = [](int i, int j) {
    const double radicand = 16384.0 - ((i - 128.0) * (i - 128.0) + (j - 128.0) * (j - 128.0));
    return radicand > 0 ? std::sqrt(radicand) : 0.0;
  };
  constexpr double kScale = 25600 / (std::numbers::pi / 2);
  std::vector<uint32_t> texels(size_t{kBumpSide} * kBumpSide, 0);
  for (int i = 0; i < static_cast<int>(kBumpSide); ++i) {
    for (int j = 0; j + 1 < static_cast<int>(kBumpSide); ++j) {
      const auto u = static_cast<int16_t>(std::atan(height(i, j) - height(i, j + 1)) * kScale);
      const auto v = static_cast<int16_t>(std::atan(height(i, j) - height(i + 1, j)) * kScale);
      texels[size_t(i) * kBumpSide + j] = uint32_t{static_cast<uint16_t>(u)} | uint32_t{static_cast<uint16_t>(v)} << 16;
    }
  }
  return texels;
}

std::vector<uint8_t> DS_GlassBallLight::CircleMask() {
  std::vector<uint8_t> alpha(size_t{kMaskSide} * kMaskSide);
  for (int y = 0; y < static_cast<int>(kMaskSide); ++y) {
    for (int x = 0; x < static_cast<int>(kMaskSide); ++x) {
      const int dx = x - 512, dy = y - 512;
      alpha[size_t(y) * kMaskSide + x] = dx * dx + dy * dy > 258064 ? 255 : 0;
    }
  }
  return alpha;
}

std::vector<uint32_t> DS_GlassBallLight::Gradient(uint32_t top, uint32_t bottom) {
  std::vector<uint32_t> texels(size_t{kGradientSide} * kGradientSide);
  for (uint32_t i = 0; i < kGradientSide; ++i) {
    const float t = static_cast<float>(i) / 255;
    const auto channel = [&](int shift) {
      const auto a = static_cast<float>((top >> shift) & 0xFF), b = static_cast<float>((bottom >> shift) & 0xFF);
      return static_cast<uint32_t>(a + (b - a) * t);
    };
    // COLORREF: red in the low byte.
    const uint32_t colour = Argb(0, channel(0), channel(8), channel(16));
    std::fill_n(texels.begin() + size_t{i} * kGradientSide, kGradientSide, colour);
  }
  return texels;
}

float DS_GlassBallLight::EyeDistance(float sx, float sy) const {
  const float product = sx * sy;
  if (!(std::fabs(product) > 0) || !std::isfinite(product)) return 0;
  return -600 / (static_cast<float>(ball_size.value) * 0.75f / 100 + 0.25f) / product;
}

float DS_GlassBallLight::Sway(double total) {
  const double g = total * 0.5;
  return static_cast<float>(std::fabs(2 * (g - std::floor(g)) - 1) * 2 - 1);
}

double DS_GlassBallLight::SharedTotal() const { return UnitClock().phase; }

// The ball camera sees the ball's radius of 128 units from the eye with a
// vertical field of π/4: the ball keeps that share of the placed picture's
// height, centred on it.
DS_GlassBallLight::Layout DS_GlassBallLight::BallLayout(float target_width, float target_height) const {
  Layout layout{};
  layout.placed = PlacePicture(target_width, target_height, static_cast<float>(PictureWidth()),
                               static_cast<float>(PictureHeight()), ball_mode_);
  const float eye = EyeDistance(1, 1);
  if (eye == 0 || layout.placed.height <= 0 || layout.placed.width <= 0) return layout;
  const float half_height = std::tan(std::numbers::pi_v<float> / 8) * -eye;
  layout.radius = 128 / half_height * layout.placed.height / 2;
  const float unit = layout.radius / kBallHalfSide;
  layout.x = layout.placed.x + layout.placed.width / 2 + static_cast<float>(ball_offset.value.x) * unit;
  layout.y = layout.placed.y + layout.placed.height / 2 - static_cast<float>(ball_offset.value.y) * unit;
  return layout;
}

std::shared_ptr<Texture> DS_GlassBallLight::Picture(const DS_ImageFileLink& link) const {
  const ResourceAccess& resources = DocumentResourceAccess();
  return resources.picture != nullptr ? resources.picture(link.key).texture : nullptr;
}

void DS_GlassBallLight::Load() {
  DS_2D_Light::Load();
  highlight_1_ = Picture(highlight_image_1);
  highlight_2_ = Picture(highlight_image_2);
  stand_ = Picture(stand_image);
  background_ = Picture(background_image);
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  const std::vector<uint32_t> bump = HemisphereBump();
  bump_ = MakeTexture(*device, kBumpSide, 1, TextureFormat::V16U16, bump.data(), bump.size() * 4);
  // White, with the mask's coverage as alpha.
  const std::vector<uint8_t> alpha = CircleMask();
  std::vector<uint32_t> mask(alpha.size());
  std::transform(alpha.begin(), alpha.end(), mask.begin(), [](uint8_t a) { return Argb(a, 255, 255, 255); });
  mask_ = MakeTexture(*device, kMaskSide, 1, TextureFormat::A8R8G8B8, mask.data(), mask.size() * 4);
  const std::vector<uint32_t> gradient = Gradient(top_colour.value, bottom_colour.value);
  gradient_ = MakeTexture(*device, kGradientSide, 0, TextureFormat::A8R8G8B8, gradient.data(), gradient.size() * 4);
  if (gradient_) device->GenerateMipmaps(*gradient_);
}

void DS_GlassBallLight::PushTarget(uint32_t width, uint32_t height, PlacementMode mode) {
  if (mode != PlacementMode::WholeTarget) {
    saved_ball_mode_ = ball_mode_;
    ball_mode_ = mode;
  }
  DS_2D_Light::PushTarget(width, height, mode);
}

void DS_GlassBallLight::PopTarget() {
  ball_mode_ = saved_ball_mode_;
  DS_2D_Light::PopTarget();
}

void DS_GlassBallLight::SetPlacement(PlacementMode mode) {
  ball_mode_ = background_flag.value == 1 ? mode : PlacementMode::Fill;
  saved_ball_mode_ = ball_mode_;
  DS_2D_Light::SetPlacement(mode);
  SetTargetQuad(CurrentTargetQuad());
}

void DS_GlassBallLight::UpdateCamera(double time) {
  DS_2D_Light::UpdateCamera(time);
  if (motion_mode.value == 0) {
    sway_ = 0;
    return;
  }
  // The clamped clock: a slide's time starting again at 0 takes no step,
  // and a stalled timer never more than 0.2 s.
  FrameClock& clock = UnitClock();
  clock.Advance(time, speed.scaled() * 0.0625);
  sway_ = motion_mode.value == 3 ? Sway(clock.phase) * (0.125f + 0.000625f * static_cast<float>(sway_width.value)) : 0;
}

void DS_GlassBallLight::DrawQuad(GraphicsDevice& device, const VertexPT2 (&quad)[4]) {
  if (!quad_) quad_ = device.CreateVertexBuffer(sizeof quad, kBufferWriteOnly | kBufferDynamic, Pool::Managed);
  if (!quad_) return;
  void* data = quad_->Lock(0, 0, kLockDiscard);
  if (data == nullptr) return;
  std::memcpy(data, quad, sizeof quad);
  quad_->Unlock();
  device.SetVertexFormat(VertexFormat::PT2);
  device.SetStreamSource(quad_);
  device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
}

void DS_GlassBallLight::DrawBorders(bool keep) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr) return;
  if (ball_off.value != 0) return DS_2D_Light::DrawBorders(keep);
  device->SetRenderState(RenderState::AlphaBlendEnable, 0);
  const int mode = motion_mode.value;
  if ((mode == 1 || mode == 2) && InOffscreenPhase()) {
    // The scene turns: drawn twice side by side, shifted, into the other
    // texture of the chain.
    const std::shared_ptr<Texture> drawn = FlipTarget();
    const auto w = static_cast<float>(Chain().Width()), h = static_cast<float>(Chain().Height());
    const double f = SharedTotal() * (mode == 1 ? -0.5 : 0.5);
    const auto shift = static_cast<float>(f - std::floor(f));
    for (const float left : {w * shift, w * (shift - 1)}) {
      ScreenImage image;
      image.texture = drawn;
      image.v[0] = {left, h, 0, 1, 0xffffffff, 0, 1};
      image.v[1] = {left, 0, 0, 1, 0xffffffff, 0, 0};
      image.v[2] = {left + w, h, 0, 1, 0xffffffff, 1, 1};
      image.v[3] = {left + w, 0, 0, 1, 0xffffffff, 1, 0};
      DrawScreenImage(image);
    }
    device->SetRenderState(RenderState::AlphaBlendEnable, 0);
  }
  const std::shared_ptr<Texture> scene = EndOffscreen(false);
  if (!scene) return DS_2D_Light::DrawBorders(keep);
  const std::shared_ptr<Texture> target = device->GetRenderTarget();
  const auto tw = static_cast<float>(target->Width()), th = static_cast<float>(target->Height());
  const Layout ball = BallLayout(tw, th);
  // The surroundings: the gradient over the whole target, or the
  // background picture placed as the picture is.
  const bool picture_behind = background_flag.value == 1;
  const std::shared_ptr<Texture>& surroundings = picture_behind ? background_ : gradient_;
  const auto around = [&](float x, float y) -> std::array<float, 2> {
    if (!picture_behind) return {x / tw, y / th};
    return {(x - ball.placed.x) / ball.placed.width, (y - ball.placed.y) / ball.placed.height};
  };
  device->SetTransform(TransformKind::World, Matrix::Identity());
  device->SetTransform(TransformKind::View, Matrix::Identity());
  device->SetTransform(TransformKind::Projection, PixelProjection(tw, th));
  device->SetPixelProgram(nullptr);
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  device->SetTextureStageState(0, StageState::TexCoordIndex, 0);
  device->SetTextureStageState(1, StageState::TexCoordIndex, kTexCoordSet1);
  const auto stage = [&](uint32_t n, TextureOp colour, TextureOp alpha) {
    device->SetTextureStageState(n, StageState::ColorOp, Word(colour));
    device->SetTextureStageState(n, StageState::AlphaOp, Word(alpha));
  };
  // 4. The surroundings over the whole target.
  {
    const auto a = around(0, 0), b = around(tw, th);
    const VertexPT2 whole[4] = {{0, th, 0, a[0], b[1], 0, 0}, {0, 0, 0, a[0], a[1], 0, 0},
                                {tw, th, 0, b[0], b[1], 0, 0}, {tw, 0, 0, b[0], a[1], 0, 0}};
    device->SetTexture(0, surroundings);
    stage(0, TextureOp::SelectArg1, TextureOp::SelectArg1);
    device->SetTextureStageState(0, StageState::ColorArg1, Word(TextureArg::Texture));
    device->SetTextureStageState(0, StageState::AlphaArg1, Word(TextureArg::Texture));
    DrawQuad(*device, whole);
  }
  if (ball.radius > 0) {
    const float left = ball.x - ball.radius, right = ball.x + ball.radius;
    const float top = ball.y - ball.radius, bottom = ball.y + ball.radius;
    const auto scene_at = [&](float x, float y) -> std::array<float, 2> {
      return {(x - ball.placed.x) / ball.placed.width + sway_, (y - ball.placed.y) / ball.placed.height};
    };
    const auto ball_quad = [&](const auto& second) {
      const auto lt = second(left, top), rb = second(right, bottom);
      return std::array<VertexPT2, 4>{VertexPT2{left, bottom, 0, 0, 1, lt[0], rb[1]},
                                      VertexPT2{left, top, 0, 0, 0, lt[0], lt[1]},
                                      VertexPT2{right, bottom, 0, 1, 1, rb[0], rb[1]},
                                      VertexPT2{right, top, 0, 1, 0, rb[0], lt[1]}};
    };
    const auto draw = [&](const std::array<VertexPT2, 4>& quad) {
      const VertexPT2 strip[4] = {quad[0], quad[1], quad[2], quad[3]};
      DrawQuad(*device, strip);
    };
    // 5. The scene seen through the hemisphere.
    device->SetTexture(0, bump_);
    stage(0, TextureOp::BumpEnvMap, TextureOp::SelectArg1);
    device->SetTexture(1, scene);
    device->SetTextureStageState(1, StageState::ColorArg1, Word(TextureArg::Texture));
    stage(1, TextureOp::SelectArg1, TextureOp::Disable);
    draw(ball_quad(scene_at));
    // 6, 7. The highlights over the ball.
    device->SetTexture(1, nullptr);
    stage(1, TextureOp::Disable, TextureOp::Disable);
    device->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(RenderState::SrcBlend, Word(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, Word(Blend::InvSrcAlpha));
    device->SetTextureStageState(0, StageState::ColorArg2, Word(TextureArg::Diffuse));
    stage(0, TextureOp::Modulate, TextureOp::SelectArg1);
    for (const auto& [on, image] : {std::pair{highlight_1_on.value, highlight_1_}, std::pair{highlight_2_on.value, highlight_2_}}) {
      if (on == 0 || !image) continue;
      device->SetTexture(0, image);
      draw(ball_quad(scene_at));
    }
    // 8. Outside the ball's circle the surroundings again, so it looks round.
    device->SetTexture(0, mask_);
    device->SetTexture(1, surroundings);
    stage(1, TextureOp::SelectArg1, TextureOp::SelectArg1);
    device->SetTextureStageState(1, StageState::AlphaArg1, Word(TextureArg::Current));
    draw(ball_quad(around));
    device->SetTexture(1, nullptr);
    stage(1, TextureOp::Disable, TextureOp::Disable);
    device->SetTextureStageState(1, StageState::AlphaArg1, Word(TextureArg::Texture));
    // 9. The stand.
    if (stand_on.value != 0 && stand_) {
      const float unit = ball.radius / kBallHalfSide;
      const float sl = ball.x + kStandLeft * unit, sr = ball.x + kStandRight * unit;
      const float st = ball.y - kStandTop * unit, sb = ball.y - kStandBottom * unit;
      const VertexPT2 quad[4] = {{sl, sb, 0, 0, 1, 0, 0}, {sl, st, 0, 0, 0, 0, 0},
                                 {sr, sb, 0, 1, 1, 0, 0}, {sr, st, 0, 1, 0, 0, 0}};
      device->SetTexture(0, stand_);
      DrawQuad(*device, quad);
    }
  }
  stage(0, TextureOp::SelectArg1, TextureOp::SelectArg1);
  device->SetRenderState(RenderState::AlphaBlendEnable, 0);
  // 10. Bars round a fitted background picture.
  if (picture_behind && ball_mode_ == PlacementMode::Fit && !keep) view->DrawBorderBars(*device);
}

void DS_GlassBallLight::RestoreDevice() {
  DS_2D_Light::RestoreDevice();
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  for (uint32_t sampler = 0; sampler < 2; ++sampler) {
    device->SetSamplerState(sampler, SamplerState::MinFilter, Word(TextureFilter::Linear));
    device->SetSamplerState(sampler, SamplerState::MagFilter, Word(TextureFilter::Linear));
  }
  device->SetSamplerState(0, SamplerState::MipFilter, Word(TextureFilter::Linear));
  device->SetSamplerState(1, SamplerState::AddressU, Word(TextureAddress::Wrap));
  device->SetSamplerState(1, SamplerState::AddressV, Word(TextureAddress::Wrap));
  const std::pair<StageState, float> bump[4] = {{StageState::BumpEnvMat00, 0.2f},
                                                {StageState::BumpEnvMat01, 0},
                                                {StageState::BumpEnvMat10, 0},
                                                {StageState::BumpEnvMat11, 0.25f}};
  for (const auto& [state, value] : bump) device->SetTextureStageState(0, state, FloatBits(value));
  device->SetTextureStageState(1, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(1, StageState::AlphaOp, Word(TextureOp::Disable));
}

}  // namespace lumi
