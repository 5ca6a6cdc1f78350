// Colours of scene settings: a COLORREF (0x00BBGGRR) with an opacity slider,
// and a colour given as hue, saturation and brightness.
#pragma once

#include <array>
#include <cstdint>

#include "archive/archive.h"
#include "params/typed_param.h"

namespace lumi {

// The colour and its transparency percentage, turned into an alpha byte:
// 255 at 0 %, 0 at 100 %. The owner stores the two in its own order.
class SmartCOLORREF : public MediaParamT<uint32_t> {
 public:
  explicit SmartCOLORREF(uint32_t colour = 0x00FFFFFF) : MediaParamT<uint32_t>(colour) {}

  uint8_t alpha() const { return opacity.scaled(); }

  UINTSclaleTo<unsigned char> opacity{0, -2.55f, 255.0f};
};

// Hue (degrees), saturation and brightness (percent), watched by the colour
// itself so that red, green, blue and alpha follow every change.
class SmartColorHSB : public MediaControl {
 public:
  SmartColorHSB();
  SmartColorHSB(const SmartColorHSB& other);
  SmartColorHSB& operator=(const SmartColorHSB& other);
  ~SmartColorHSB() override;

  void OnChange(MediaControl* source) override;

  MediaParamT<unsigned int> hue, saturation, brightness;
  float red = 0, green = 0, blue = 0, alpha = 1.0f;

 private:
  void Watch();
};

// A COLORREF (red in the low byte) as red, green and blue from 0 to 1.
inline std::array<float, 3> ColourFloats(uint32_t colour) {
  return {static_cast<float>(colour & 0xFF) / 255, static_cast<float>((colour >> 8) & 0xFF) / 255,
          static_cast<float>((colour >> 16) & 0xFF) / 255};
}

// Hue, saturation and brightness as whole numbers, then the four colour
// floats, all stored without notification: the stored floats stay in force
// until one of the three values changes.
void HsbField(Archive& ar, const char* field, SmartColorHSB& colour);

}  // namespace lumi
