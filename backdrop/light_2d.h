// The slide backdrop: the picture layer of a slide and its renderer. It
// places and draws the picture, runs the chain of off-screen targets through
// which image effects read what has been drawn so far, and offers the
// drawing services every other object of the slide draws through.
//
// It draws with the current device and view (render/current_context.h);
// without them it keeps its placement state and camera moving and draws
// nothing, so a document plays the same with or without graphics.
#pragma once

#include <memory>
#include <vector>

#include "archive/archive.h"
#include "params/file_link.h"
#include "render/target_pair.h"
#include "scene/ab_render.h"
#include "scene/camera.h"
#include "scene/resource_access.h"

namespace lumi {

class DS_2D_Light : public DS_ABRender, public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_2D_Light, 3)

 public:
  // The effect chain is tried at this many times the back buffer, then at
  // each smaller factor down to 1: three where a GPU draws (edges the
  // effects bend stay smooth when sampled down), one on a software
  // rasteriser, where nine times the pixels of every chain pass would cost
  // the frame rate; the screen's quality setting can choose either.
  static constexpr uint32_t kSupersampling = 3;
  static uint32_t SupersamplingFor(const GraphicsDevice& device);

  void Describe(Archive& ar) override;

  void PushTarget(uint32_t width, uint32_t height, PlacementMode mode) override;
  void PopTarget() override;
  void DrawMeshWithEffect(const DS_IndexedMesh<VertexPT>& mesh, Effect& effect) override;
  void DrawStripWithEffect(const DS_Frame& geometry, Effect& effect) override;
  void DrawSpriteRange(const ParticleGeomArray& sprites, Effect* effect, uint32_t first, uint32_t count) override;
  void DrawSpritesWithEffect(const ParticleGeomArray& sprites, Effect& effect) override;
  void DrawMeshList(const MeshList& list) override;
  void DrawGlowSprites(const ParticleGeomArray& sprites, const std::shared_ptr<Texture>& glow, int glowMode) override;
  void DrawMeshListTwoSided(const MeshList& list) override;
  void DrawMirrored(MirroredObject& object, int argument) override;
  void NextPass(int& remaining) override;
  std::shared_ptr<Texture> Background() const override { return background_; }
  void CopyBackground() override;
  const DS_Frame& PictureGeometry() const override { return quad_; }
  uint32_t PictureWidth() const override { return picture_width_; }
  uint32_t PictureHeight() const override { return picture_height_; }
  void Load() override;
  void RestoreDevice() override;
  void LoseDevice() override;
  void DrawBorders(bool keep) override;
  void DrawPicture(bool keep) override;
  void UpdateCamera(double time) override;
  void SetTargetQuad(const TargetQuad& quad) override;
  void SetPlacement(PlacementMode mode) override;
  bool IsCameraEnabled() const override { return camera.enabled.value == 1; }
  void DrawScreenRect(const ScreenRect& rect) override;
  void DrawScreenImage(const ScreenImage& image) override;
  void RenderObjects(const RenderList& objects, int& passes) override;
  bool BeginOffscreen() override;
  std::shared_ptr<Texture> FlipTarget() override;
  std::shared_ptr<Texture> EndOffscreen(bool clear) override;
  bool EnableCamera(bool flag) override;
  void Reload() override;

  // Closes an off-screen phase that no effect ended (an effect that was
  // counted but did not draw) and shows what it drew on the screen.
  void FinishOffscreen();
  bool InOffscreenPhase() const { return offscreen_; }
  const TargetPair& Chain() const { return chain_; }
  const TargetQuad& CurrentTargetQuad() const { return target_quad_; }
  PlacementMode ModeInForce() const { return mode_in_force_; }
  const PictureMetrics& Metrics() const { return metrics_; }
  const std::shared_ptr<Texture>& PictureTexture() const { return picture_texture_; }
  float Aspect() const { return aspect_; }
  // Levels saved by PushTarget and BeginOffscreen, for all backdrops.
  static size_t SavedTargetDepth();

  DS_ImageFileLink picture{DS_FileLink3::ModuleKey(u"common_res.dll", 6)};
  DSM_Camera camera;

 protected:
  // Keeps the picture and writes the quad's positions from its size.
  void SetPicture(const SlidePicture& found);
  // What the next reader of the picture is handed: a variant that ends the
  // chain itself hands on the finished scene.
  void SetBackground(std::shared_ptr<Texture> texture) { background_ = std::move(texture); }
  // `texture` over the picture quad (or `part` of it, in picture pixels)
  // through the fixed stages; the target is cleared first unless keep is set.
  void DrawPictureTexture(const std::shared_ptr<Texture>& texture, bool keep, const DS_Frame* part = nullptr);
  // View and projection of the placement, and the world of `matrix`.
  void SetTransforms(GraphicsDevice& device, SceneView& view, const Matrix& matrix);

 private:
  void LoadPictureTexture();
  void WritePicturePositions();
  // Places the picture into the current quad with the mode in force.
  void Place();
  void UpdateMetrics();
  void DrawMeshes(const MeshList& list, bool twoSided);
  void DrawSprites(const ParticleGeomArray& sprites, uint32_t first, uint32_t count);

  DS_SimpleMesh<VertexPT> quad_;
  std::shared_ptr<Texture> picture_texture_;
  uint32_t picture_width_ = 0, picture_height_ = 0;
  float aspect_ = 1;
  std::shared_ptr<Texture> background_;
  PlacementMode placement_ = PlacementMode::Fit;      // the user's choice
  PlacementMode mode_in_force_ = PlacementMode::Fit;  // of the current quad
  PlacementMode back_buffer_mode_ = PlacementMode::Fit;
  TargetPair chain_;
  bool chain_reported_ = false;
  bool offscreen_ = false;
  TargetQuad target_quad_ = TargetQuad::FromRect(0, 0, 0, 0);
  bool push_outstanding_ = false;
  PictureMetrics metrics_;
  std::shared_ptr<VertexBuffer> screen_rect_, screen_image_;
};

}  // namespace lumi
