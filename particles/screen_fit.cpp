#include "particles/screen_fit.h"

#include "render/current_context.h"

namespace lumi {

bool HasScreen() {
  const BackBufferSize size = CurrentBackBufferSize();
  return size.width > 0 && size.height > 0;
}

Vector3 ScreenCentre() {
  const BackBufferSize size = CurrentBackBufferSize();
  return {static_cast<float>(size.width) / 2, static_cast<float>(size.height) / 2, 0};
}

void FitToScreen(MediaQuad& area, float share) {
  const BackBufferSize size = CurrentBackBufferSize();
  area.Build(share * static_cast<float>(size.width), share * static_cast<float>(size.height), ScreenCentre());
}

}  // namespace lumi
