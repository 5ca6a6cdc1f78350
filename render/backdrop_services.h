// The slide's backdrop as everything else sees it. The backdrop owns the
// slide picture and its camera and is the slide's renderer: the slide show
// drives it through the lifecycle and frame operations below, and every
// render object and off-screen surface puts its geometry on the target only
// through its drawing services, which apply the scene view, camera and
// parallax. Nothing else sets placement transforms on the device.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/geometry.h"
#include "render/mesh_record.h"
#include "render/scene_view.h"

namespace lumi {

class Effect;
class VRN_RenderObj;
using RenderList = std::vector<std::shared_ptr<VRN_RenderObj>>;

// One mesh drawn once for each of its nodes, each with its own world
// matrix. A node whose `frontSide` is set is drawn first with
// counter-clockwise culling, otherwise with clockwise culling; a blended
// list draws every node a second time with the other culling. No texture
// draws white; no mesh draws nothing.
struct MeshDraw {
  Matrix world;
  bool frontSide = true;
};

struct MeshList {
  const MeshRecord* mesh = nullptr;
  std::shared_ptr<Texture> texture;
  bool blend = false;
  std::vector<MeshDraw> draws;
};

// A screen-aligned rectangle in window pixels, corners in strip order.
struct ScreenRect {
  VertexScreenPC v[4];
};

struct ScreenImage {
  VertexScreenPCT v[4];
  std::shared_ptr<Texture> texture;
};

// An object that draws itself mirrored: it sets its buffers, texture and
// states, and says how many vertices and triangles its indexed draw uses.
class MirroredObject {
 public:
  virtual ~MirroredObject() = default;
  struct IndexedDraw {
    uint32_t vertexCount = 0;
    uint32_t primitiveCount = 0;
  };
  virtual IndexedDraw PrepareMirroredDraw(GraphicsDevice& device, int argument) = 0;
};

class DS_ABRender {
 public:
  virtual ~DS_ABRender() = default;

  // Placement stack: draw into a private target of this size with the
  // picture placed by `mode`; PopTarget returns to the saved level.
  virtual void PushTarget(uint32_t width, uint32_t height, PlacementMode mode) = 0;
  virtual void PopTarget() = 0;

  // Drawing services.
  virtual void DrawMeshWithEffect(const DS_IndexedMesh<VertexPT>& mesh, Effect& effect) = 0;
  virtual void DrawStripWithEffect(const DS_Frame& geometry, Effect& effect) = 0;
  // `count` sprites from `first`; without an effect, alpha blended with
  // texture × diffuse.
  virtual void DrawSpriteRange(const ParticleGeomArray& sprites, Effect* effect, uint32_t first, uint32_t count) = 0;
  virtual void DrawSpritesWithEffect(const ParticleGeomArray& sprites, Effect& effect) = 0;
  // Blends when the list asks for it; ends with culling and blending off.
  virtual void DrawMeshList(const MeshList& list) = 0;
  // The sprites with their current frame, then with the glow texture if any;
  // glow mode 1 adds the glow.
  virtual void DrawGlowSprites(const ParticleGeomArray& sprites, const std::shared_ptr<Texture>& glow,
                               int glowMode) = 0;
  // Blended, colour and alpha from the texture alone, every node drawn
  // with counter-clockwise and then clockwise culling.
  virtual void DrawMeshListTwoSided(const MeshList& list) = 0;
  virtual void DrawMirrored(MirroredObject& object, int argument) = 0;

  // The effect chain: `remaining` counts the readers of the picture still to
  // come; the last one draws onto the screen.
  virtual void NextPass(int& remaining) = 0;
  // The picture as drawn so far.
  virtual std::shared_ptr<Texture> Background() const = 0;
  // Copies Background opaquely over the picture quad through the fixed
  // stages: how a chain pass with nothing to draw hands the picture on.
  virtual void CopyBackground() = 0;
  virtual const DS_Frame& PictureGeometry() const = 0;
  virtual uint32_t PictureWidth() const = 0;
  virtual uint32_t PictureHeight() const = 0;

  // Lifecycle.
  virtual void Load() = 0;
  virtual void RestoreDevice() = 0;
  virtual void LoseDevice() = 0;

  // The frame.
  virtual void DrawBorders(bool keep) = 0;
  virtual void DrawPicture(bool keep) = 0;
  virtual void UpdateCamera(double time) = 0;
  virtual void SetTargetQuad(const TargetQuad& quad) = 0;
  virtual void SetPlacement(PlacementMode mode) = 0;

  // Fixed answers that variants may change.
  virtual int VariantValue() const { return 0; }
  virtual int VariantCount() const { return 0; }
  virtual bool VariantFlag() const { return false; }
  virtual bool VariantDefaultOn() const { return true; }

  virtual bool IsCameraEnabled() const = 0;
  virtual void DrawScreenRect(const ScreenRect& rect) = 0;
  virtual void DrawScreenImage(const ScreenImage& image) = 0;
  // Every enabled object from the last to the first, each shifted for its
  // depth and given the picture drawn so far if it reads it.
  virtual void RenderObjects(const RenderList& objects, int& passes) = 0;
  // Adds the picture areas objects may use; false when there are none.
  virtual bool ReportArea(std::vector<PlacedRect>& /*areas*/) { return false; }
  virtual bool BeginOffscreen() = 0;
  virtual std::shared_ptr<Texture> FlipTarget() = 0;
  virtual std::shared_ptr<Texture> EndOffscreen(bool clear) = 0;
  // Returns whether the camera had been enabled.
  virtual bool EnableCamera(bool flag) = 0;
  // Variants that draw through the effect chain themselves answer true.
  virtual bool NeedsOffscreen() const { return false; }
  virtual void Reload() = 0;
};

}  // namespace lumi
