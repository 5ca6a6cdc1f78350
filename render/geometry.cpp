#include "render/geometry.h"

namespace lumi {

bool ParticleGeomArray::StepSheet(const SpriteSource& source) {
  if (source.SheetFrames() == 0) return false;
  return sheet.Step(source.Clock(), source.SheetFramesPerSecond(),
                    [&] { return source.NextSheetFrame(sheet.Frame()); });
}

bool ParticleGeomArray::BuildSprites(const SpriteSource& source) {
  if (records.size() != source.ParticleCount() || records.size() != spriteCount) return false;
  VertexPCT* out = Lock();
  if (!out) return false;
  const bool flipV = source.FlipVertical(), flipH = source.FlipHorizontal();
  for (const SpriteRecord& record : records) {
    SpriteRecord sprite = record;
    if (source.SheetFrames() > 0) {
      sheet.URange(source.SheetFrames(), false, sprite.ua, sprite.ub);
    } else if (imageFrames) {
      sprite.ua = 0;
      sprite.ub = frameUScale;
      sprite.va = 0;
      sprite.vb = frameVScale;
    }
    BuildSpriteQuad(sprite, source.ColorOf(record.colorIndex), flipV, flipH, out);
    out += 4;
  }
  Unlock();
  return true;
}

bool GridMesh::Create(GraphicsDevice& device, uint32_t gridColumns, uint32_t gridRows) {
  if (gridColumns == 0 || gridRows == 0 || (gridColumns + 1) * (gridRows + 1) > 65536) return false;
  if (!CreateVertices(device, (gridColumns + 1) * (gridRows + 1))) return false;
  const std::vector<uint16_t> indices = GridIndices(gridColumns, gridRows);
  if (!CreateIndices(device, indices)) return false;
  columns = gridColumns;
  rows = gridRows;
  return true;
}

bool GridMesh::SetCorners(const GridCorner& c0, const GridCorner& c1, const GridCorner& c2, const GridCorner& c3) {
  if (columns == 0) return false;
  const std::vector<VertexPT> vertices = GridVertices(columns, rows, c0, c1, c2, c3);
  return Write(vertices);
}

}  // namespace lumi
