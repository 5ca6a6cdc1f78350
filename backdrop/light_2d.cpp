#include "backdrop/light_2d.h"

#include <algorithm>
#include <cstring>

#include "archive/registry.h"
#include "render/current_context.h"
#include "platform/renderer_answer.h"
#include "platform/resource_lookup.h"
#include "render/effect.h"
#include "scene/render_obj.h"
#include "scene/resource_access.h"

namespace lumi {

static const RegisterClass<DS_2D_Light> kRegister2DLight(Family::Backdrop);

namespace {

// One stack of saved placements for every backdrop: each level keeps its
// quad and the mode placed with it.
struct SavedTarget {
  TargetQuad quad;
  PlacementMode mode;
};

std::vector<SavedTarget>& SavedTargets() {
  static std::vector<SavedTarget> stack;
  return stack;
}

constexpr uint32_t kOpaqueBlack = 0xff000000;

void SetBlending(GraphicsDevice& device, bool on) { device.SetRenderState(RenderState::AlphaBlendEnable, on ? 1 : 0); }

void SetStage0(GraphicsDevice& device, TextureOp color, TextureOp alpha) {
  device.SetTextureStageState(0, StageState::ColorOp, Word(color));
  device.SetTextureStageState(0, StageState::AlphaOp, Word(alpha));
}

// Unsigned objects depth in percent; the picture's own plane is 100.
unsigned int DepthOf(const VRN_RenderObj& object) {
  const auto* scene_object = dynamic_cast<const DS_ABObj*>(&object);
  return scene_object != nullptr ? scene_object->settings().depth.value : 100;
}

template <typename Vertex>
bool WriteBuffer(GraphicsDevice& device, std::shared_ptr<VertexBuffer>& buffer, const Vertex (&vertices)[4]) {
  if (!buffer) buffer = device.CreateVertexBuffer(sizeof vertices, kBufferWriteOnly | kBufferDynamic, Pool::Managed);
  if (!buffer) return false;
  void* data = buffer->Lock(0, 0, kLockDiscard);
  if (data == nullptr) return false;
  std::memcpy(data, vertices, sizeof vertices);
  return buffer->Unlock();
}

}  // namespace

void DS_2D_Light::Describe(Archive& ar) {
  if (ar.version() >= 2) LinkField(ar, "picture", picture);
  if (ar.version() >= 3) Member(ar, "camera", camera);
}

size_t DS_2D_Light::SavedTargetDepth() { return SavedTargets().size(); }

// Placement.

void DS_2D_Light::Place() {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  const BackBufferSize back_buffer = CurrentBackBufferSize();
  if (device == nullptr || view == nullptr) {
    camera.SetPictureSize(picture_width_, picture_height_);
    return;
  }
  camera.Place(*device, *view, target_quad_, picture_width_, picture_height_, mode_in_force_, false,
               static_cast<float>(back_buffer.width), static_cast<float>(back_buffer.height));
}

void DS_2D_Light::UpdateMetrics() {
  const BackBufferSize back_buffer = CurrentBackBufferSize();
  metrics_ = ComputePictureMetrics(target_quad_, static_cast<float>(picture_width_),
                                   static_cast<float>(picture_height_), static_cast<float>(back_buffer.width),
                                   static_cast<float>(back_buffer.height));
  if (const ResourceAccess& resources = DocumentResourceAccess(); resources.metrics != nullptr) {
    resources.metrics() = metrics_;
  }
}

void DS_2D_Light::PushTarget(uint32_t width, uint32_t height, PlacementMode mode) {
  SavedTargets().push_back({target_quad_, mode_in_force_});
  push_outstanding_ = true;
  target_quad_ = TargetQuad::FromRect(0, 0, static_cast<float>(width), static_cast<float>(height));
  mode_in_force_ = mode;
  Place();
}

void DS_2D_Light::PopTarget() {
  std::vector<SavedTarget>& stack = SavedTargets();
  if (stack.empty()) return;
  target_quad_ = stack.back().quad;
  mode_in_force_ = stack.back().mode;
  stack.pop_back();
  if (stack.empty()) push_outstanding_ = false;
  Place();
}

void DS_2D_Light::SetTargetQuad(const TargetQuad& quad) {
  if (!push_outstanding_) {
    target_quad_ = quad;
    mode_in_force_ = placement_;
  }
  Place();
  UpdateMetrics();
}

void DS_2D_Light::SetPlacement(PlacementMode mode) {
  placement_ = mode;
  if (SceneView* view = CurrentSceneView()) view->pictureSetting = mode;
  if (!push_outstanding_) mode_in_force_ = mode;
  Place();
  UpdateMetrics();
}

bool DS_2D_Light::EnableCamera(bool flag) {
  const bool was_enabled = camera.enabled.value == 1;
  camera.enabled.Set(flag ? 1 : 0);
  camera.SetPictureSize(picture_width_, picture_height_);
  camera.Restart();
  if (SceneView* view = CurrentSceneView()) placement_ = view->pictureSetting;
  if (!push_outstanding_) mode_in_force_ = placement_;
  Place();
  return was_enabled;
}

void DS_2D_Light::UpdateCamera(double time) {
  const CameraPose pose = camera.Update(time);
  if (SceneView* view = CurrentSceneView()) {
    view->SetCamera(static_cast<float>(picture_width_), static_cast<float>(picture_height_), pose.centre, pose.zoom,
                    pose.active);
  }
}

// The picture.

void DS_2D_Light::LoadPictureTexture() {
  // A picture the resources cannot supply leaves size 0: a black slide.
  const ResourceAccess& resources = DocumentResourceAccess();
  SetPicture(resources.picture != nullptr ? resources.picture(picture.key) : SlidePicture{});
}

void DS_2D_Light::SetPicture(const SlidePicture& found) {
  picture_texture_ = found.texture;
  picture_width_ = found.width;
  picture_height_ = found.height;
  aspect_ = found.aspect;
  WritePicturePositions();
}

void DS_2D_Light::WritePicturePositions() {
  const auto w = static_cast<float>(picture_width_), h = static_cast<float>(picture_height_);
  const VertexPT strip[4] = {{0, h, 0, 0, 1}, {0, 0, 0, 0, 0}, {w, h, 0, 1, 1}, {w, 0, 0, 1, 0}};
  quad_.Write(strip);
}

void DS_2D_Light::Load() {
  if (GraphicsDevice* device = CurrentDevice()) {
    quad_.primitiveType = PrimitiveType::TriangleStrip;
    quad_.primitiveCount = 2;
    quad_.CreateVertices(*device, 4);
  }
  LoadPictureTexture();
}

void DS_2D_Light::Reload() {
  LoadPictureTexture();
  camera.SetScreen(picture_width_, picture_height_);
  SetTargetQuad(target_quad_);
}

void DS_2D_Light::RestoreDevice() {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr) return;
  device->SetRenderState(RenderState::ZEnable, 0);
  device->SetRenderState(RenderState::ZWriteEnable, 0);
  device->SetRenderState(RenderState::Lighting, 0);
  device->SetSamplerState(0, SamplerState::MinFilter, Word(TextureFilter::Linear));
  device->SetSamplerState(0, SamplerState::MagFilter, Word(TextureFilter::Linear));
  device->SetSamplerState(0, SamplerState::AddressU, Word(TextureAddress::Mirror));
  device->SetSamplerState(0, SamplerState::AddressV, Word(TextureAddress::Mirror));
  device->SetTextureStageState(0, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(0, StageState::ColorArg2, Word(TextureArg::Diffuse));
  device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::SelectArg1));
  device->SetTextureStageState(1, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(1, StageState::ColorOp, Word(TextureOp::Disable));
  device->SetRenderState(RenderState::SrcBlend, Word(Blend::SrcAlpha));
  device->SetRenderState(RenderState::DestBlend, Word(Blend::InvSrcAlpha));
  if (const ResourceAccess& resources = DocumentResourceAccess(); resources.restore != nullptr) resources.restore();
  if (chain_.Current()) return;  // this slide's chain is still there
  const BackBufferSize size = CurrentBackBufferSize();
  for (uint32_t factor = SupersamplingFor(*device); factor >= 1; --factor) {
    if (chain_.Create(*device, size.width * factor, size.height * factor)) return;
  }
  if (!chain_reported_) {
    ReportResourceMessage("no off-screen target can be made at " + std::to_string(size.width) + "x" + std::to_string(size.height) +
             " or more; image effects draw without the picture behind them");
    chain_reported_ = true;
  }
}

uint32_t DS_2D_Light::SupersamplingFor(const GraphicsDevice& device) {
  switch (device.Quality()) {
    case RenderQuality::Best:
      return kSupersampling;
    case RenderQuality::Fastest:
      return 1;
    case RenderQuality::Automatic:
      break;
  }
  return IsSoftwareRenderer(device.RendererName()) ? 1 : kSupersampling;
}

void DS_2D_Light::LoseDevice() {
  chain_.Release();
  background_.reset();
  offscreen_ = false;
}

// The frame.

void DS_2D_Light::SetTransforms(GraphicsDevice& device, SceneView& view, const Matrix& matrix) {
  device.SetTransform(TransformKind::View, view.View());
  device.SetTransform(TransformKind::Projection, view.Projection());
  device.SetTransform(TransformKind::World, view.WorldTransform(matrix));
}

void DS_2D_Light::DrawBorders(bool keep) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (keep || device == nullptr || view == nullptr) return;
  view->DrawBorderBars(*device);
}

void DS_2D_Light::DrawPictureTexture(const std::shared_ptr<Texture>& texture, bool keep, const DS_Frame* part) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr) return;
  view->SetParallax({});
  SetTransforms(*device, *view, quad_.matrix);
  if (!keep) device->Clear(kClearTarget | kClearZBuffer, 0x00000000, 1, 0);
  const DS_Frame& drawn = part != nullptr ? *part : quad_;
  if (!drawn.vertexBuffer || picture_width_ == 0 || picture_height_ == 0) return;
  device->SetPixelProgram(nullptr);
  device->SetTexture(0, texture);
  device->SetVertexFormat(VertexFormat::PT);
  device->SetStreamSource(drawn.vertexBuffer);
  device->DrawPrimitive(drawn.primitiveType, 0, drawn.primitiveCount);
}

void DS_2D_Light::DrawPicture(bool keep) { DrawPictureTexture(picture_texture_, keep); }

void DS_2D_Light::CopyBackground() {
  if (GraphicsDevice* device = CurrentDevice()) SetBlending(*device, false);
  DrawPictureTexture(background_, true);
}

void DS_2D_Light::RenderObjects(const RenderList& objects, int& passes) {
  SceneView* view = CurrentSceneView();
  const Vector3 pan = view != nullptr ? view->cameraPan : Vector3{};
  background_ = picture_texture_;
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
    VRN_RenderObj& object = **it;
    if (object.enabled) {
      if (view != nullptr) view->SetParallax(pan * DepthFactor(DepthOf(object)));
      object.RenderWithBackground(*this, passes);
    }
    background_ = picture_texture_;
  }
  if (view != nullptr) view->SetParallax({});
  // A counted reader that did not draw (disabled meanwhile) would leave the
  // frame in the chain. A variant's own pass is left for its DrawBorders.
  if (!NeedsOffscreen()) FinishOffscreen();
}

// The effect chain.

bool DS_2D_Light::BeginOffscreen() {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || !chain_.Current()) return false;
  back_buffer_mode_ = view->pictureSetting;
  chain_.BeginDraw(*device);
  PushTarget(chain_.Width(), chain_.Height(), PlacementMode::WholeTarget);
  offscreen_ = true;
  return true;
}

std::shared_ptr<Texture> DS_2D_Light::FlipTarget() {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr || !offscreen_) return nullptr;
  return chain_.Flip(*device);
}

std::shared_ptr<Texture> DS_2D_Light::EndOffscreen(bool clear) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr || !offscreen_) return nullptr;
  offscreen_ = false;
  chain_.EndDraw(*device);
  if (clear) device->Clear(kClearTarget | kClearZBuffer, kOpaqueBlack, 1, 0);
  PopTarget();
  return chain_.Current();
}

void DS_2D_Light::NextPass(int& remaining) {
  --remaining;
  if (!offscreen_) {
    // No chain this frame: effects read the picture itself.
    background_ = picture_texture_;
    return;
  }
  background_ = remaining <= 0 ? EndOffscreen(false) : FlipTarget();
}

void DS_2D_Light::FinishOffscreen() {
  if (!offscreen_) return;
  const std::shared_ptr<Texture> drawn = EndOffscreen(false);
  DrawPictureTexture(drawn, false);
}

// Drawing services.

void DS_2D_Light::DrawStripWithEffect(const DS_Frame& geometry, Effect& effect) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || !geometry.vertexBuffer) return;
  SetTransforms(*device, *view, geometry.matrix);
  device->SetVertexFormat(VertexFormat::PT);
  device->SetStreamSource(geometry.vertexBuffer);
  RunEffectPasses(effect, [&] { device->DrawPrimitive(geometry.primitiveType, 0, geometry.primitiveCount); });
}

void DS_2D_Light::DrawMeshWithEffect(const DS_IndexedMesh<VertexPT>& mesh, Effect& effect) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || !mesh.vertexBuffer || !mesh.indexBuffer) return;
  SetTransforms(*device, *view, mesh.matrix);
  device->SetVertexFormat(VertexFormat::PT);
  device->SetStreamSource(mesh.vertexBuffer);
  device->SetIndices(mesh.indexBuffer);
  RunEffectPasses(effect, [&] {
    device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, mesh.vertexCount, 0, mesh.primitiveCount);
  });
}

void DS_2D_Light::DrawSprites(const ParticleGeomArray& sprites, uint32_t first, uint32_t count) {
  GraphicsDevice& device = *CurrentDevice();
  device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, sprites.vertexCount, first * 6, count * 2);
}

void DS_2D_Light::DrawSpriteRange(const ParticleGeomArray& sprites, Effect* effect, uint32_t first, uint32_t count) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || !sprites.vertexBuffer || !sprites.indexBuffer) return;
  if (first >= sprites.spriteCount) return;
  count = std::min(count, sprites.spriteCount - first);
  SetTransforms(*device, *view, sprites.matrix);
  device->SetVertexFormat(VertexFormat::PCT);
  device->SetStreamSource(sprites.vertexBuffer);
  device->SetIndices(sprites.indexBuffer);
  if (effect != nullptr) {
    RunEffectPasses(*effect, [&] { DrawSprites(sprites, first, count); });
    return;
  }
  device->SetPixelProgram(nullptr);
  SetBlending(*device, true);
  device->SetRenderState(RenderState::SrcBlend, Word(Blend::SrcAlpha));
  device->SetRenderState(RenderState::DestBlend, Word(Blend::InvSrcAlpha));
  device->SetTextureStageState(0, StageState::AlphaArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(0, StageState::AlphaArg2, Word(TextureArg::Diffuse));
  SetStage0(*device, TextureOp::Modulate, TextureOp::Modulate);
  device->SetTexture(0, sprites.texture);
  DrawSprites(sprites, first, count);
}

void DS_2D_Light::DrawSpritesWithEffect(const ParticleGeomArray& sprites, Effect& effect) {
  DrawSpriteRange(sprites, &effect, 0, sprites.spriteCount);
}

void DS_2D_Light::DrawMeshes(const MeshList& list, bool twoSided) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || list.draws.empty()) return;
  const MeshRecord* mesh = list.mesh;
  if (mesh == nullptr || !mesh->vertices || !mesh->indices || mesh->triangleCount == 0) return;
  const bool blend = twoSided || list.blend;
  SetBlending(*device, blend);
  // The fixed state, whatever an earlier draw left: unlit, colour and alpha
  // from the texture alone (white where there is none).
  device->SetRenderState(RenderState::Lighting, 0);
  device->SetPixelProgram(nullptr);
  device->SetTextureStageState(0, StageState::ColorArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(0, StageState::AlphaArg1, Word(TextureArg::Texture));
  SetStage0(*device, TextureOp::SelectArg1, TextureOp::SelectArg1);
  device->SetTexture(0, list.texture);
  device->SetVertexFormat(VertexFormat::PNT);
  device->SetStreamSource(mesh->vertices);
  device->SetIndices(mesh->indices);
  const auto draw = [&](const MeshDraw& node, bool counterClockwise) {
    device->SetRenderState(RenderState::CullMode, Word(counterClockwise ? Cull::CCW : Cull::CW));
    SetTransforms(*device, *view, node.world);
    device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, mesh->vertexCount, 0, mesh->triangleCount);
  };
  if (twoSided) {
    for (const MeshDraw& node : list.draws) {
      draw(node, true);
      draw(node, false);
    }
  } else {
    for (const MeshDraw& node : list.draws) draw(node, node.frontSide);
    // Blended meshes show their far sides through their near ones.
    if (blend) {
      for (const MeshDraw& node : list.draws) draw(node, !node.frontSide);
    }
  }
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  SetBlending(*device, false);
}

void DS_2D_Light::DrawMeshList(const MeshList& list) { DrawMeshes(list, false); }

void DS_2D_Light::DrawMeshListTwoSided(const MeshList& list) { DrawMeshes(list, true); }

void DS_2D_Light::DrawGlowSprites(const ParticleGeomArray& sprites, const std::shared_ptr<Texture>& glow, int glowMode) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr || !sprites.vertexBuffer || !sprites.indexBuffer) return;
  SetTransforms(*device, *view, sprites.matrix);
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  // The fixed stages, whatever program or blend an earlier draw left.
  device->SetPixelProgram(nullptr);
  SetBlending(*device, true);
  device->SetRenderState(RenderState::SrcBlend, Word(Blend::SrcAlpha));
  device->SetTextureStageState(0, StageState::AlphaArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(0, StageState::AlphaArg2, Word(TextureArg::Diffuse));
  SetStage0(*device, TextureOp::Modulate, TextureOp::Modulate);
  // Mode 1 adds: the sprites themselves when there is no glow picture.
  const bool additive = !glow && glowMode == 1;
  device->SetRenderState(RenderState::DestBlend, Word(additive ? Blend::One : Blend::InvSrcAlpha));
  device->SetVertexFormat(VertexFormat::PCT);
  device->SetStreamSource(sprites.vertexBuffer);
  device->SetIndices(sprites.indexBuffer);
  device->SetTexture(0, sprites.texture);
  DrawSprites(sprites, 0, sprites.spriteCount);
  if (glow) {
    device->SetTextureStageState(0, StageState::ColorOp, Word(TextureOp::SelectArg1));
    device->SetTexture(0, glow);
    if (glowMode == 1) device->SetRenderState(RenderState::DestBlend, Word(Blend::One));
    DrawSprites(sprites, 0, sprites.spriteCount);
  }
  SetBlending(*device, false);
  device->SetRenderState(RenderState::DestBlend, Word(Blend::InvSrcAlpha));
}

void DS_2D_Light::DrawMirrored(MirroredObject& object, int argument) {
  GraphicsDevice* device = CurrentDevice();
  SceneView* view = CurrentSceneView();
  if (device == nullptr || view == nullptr) return;
  const MirroredObject::IndexedDraw draw = object.PrepareMirroredDraw(*device, argument);
  device->SetSamplerState(0, SamplerState::AddressU, Word(TextureAddress::Mirror));
  device->SetSamplerState(0, SamplerState::AddressV, Word(TextureAddress::Mirror));
  SetBlending(*device, true);
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  device->SetRenderState(RenderState::ZEnable, 0);
  device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, draw.vertexCount, 0, draw.primitiveCount);
  SetBlending(*device, false);
}

void DS_2D_Light::DrawScreenRect(const ScreenRect& rect) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr || !WriteBuffer(*device, screen_rect_, rect.v)) return;
  SetBlending(*device, true);
  // The corners may come in either winding.
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  device->SetPixelProgram(nullptr);
  SetStage0(*device, TextureOp::SelectArg2, TextureOp::SelectArg2);
  device->SetTextureStageState(0, StageState::AlphaArg2, Word(TextureArg::Diffuse));
  device->SetVertexFormat(VertexFormat::ScreenPC);
  device->SetStreamSource(screen_rect_);
  device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
  SetStage0(*device, TextureOp::SelectArg1, TextureOp::SelectArg1);
  SetBlending(*device, false);
}

void DS_2D_Light::DrawScreenImage(const ScreenImage& image) {
  GraphicsDevice* device = CurrentDevice();
  if (device == nullptr || !WriteBuffer(*device, screen_image_, image.v)) return;
  SetBlending(*device, true);
  device->SetRenderState(RenderState::CullMode, Word(Cull::None));
  device->SetRenderState(RenderState::SrcBlend, Word(Blend::SrcAlpha));
  device->SetRenderState(RenderState::DestBlend, Word(Blend::InvSrcAlpha));
  device->SetRenderState(RenderState::ZEnable, 0);
  device->SetPixelProgram(nullptr);
  device->SetTextureStageState(0, StageState::AlphaArg1, Word(TextureArg::Texture));
  device->SetTextureStageState(0, StageState::AlphaArg2, Word(TextureArg::Diffuse));
  device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::Modulate));
  device->SetTexture(0, image.texture);
  device->SetVertexFormat(VertexFormat::ScreenPCT);
  device->SetStreamSource(screen_image_);
  device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
  device->SetTextureStageState(0, StageState::AlphaOp, Word(TextureOp::SelectArg1));
  SetBlending(*device, false);
}

}  // namespace lumi
