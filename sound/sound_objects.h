// Sound objects: scene constructors whose playing is a sound, on while their
// timeline is on. These are their stored settings; until sound output is
// built they play inert.
#pragma once

#include <cstdint>

#include "archive/blobs.h"
#include "params/file_link.h"
#include "scene/render_obj_data.h"

namespace lumi {

class DS_Sound_Ctrl : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_Sound_Ctrl, 3)

 public:
  // Volume and balance, then the constructor's record. Versions 1 and 2
  // stored a timeline kind and two durations of their own, which replace the
  // timeline the constructor's record brought, so they are applied after it.
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> volume{100};  // percent
  MediaParamT<unsigned int> balance{50};  // 0 left, 50 centre, 100 right
  int32_t length_hundredths = 0;          // known once the sound is started
};

class DS_WAV_Constructor : public DS_Sound_Ctrl {
  LUMI_STORED_CLASS(DS_WAV_Constructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_WAV_Constructor)

 public:
  // Bit 0x1 of the timing flags, which the objects the reader makes carry.
  static constexpr int kReaderMadeFlag = 0x1;

  DS_WAV_Constructor() { timing.flags |= kReaderMadeFlag; }

  void Describe(Archive& ar) override;

  DS_FileLink3 wave_file;
};

class DS_MP3_Constructor : public DS_Sound_Ctrl {
  LUMI_STORED_CLASS(DS_MP3_Constructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_MP3_Constructor)

 public:
  void Describe(Archive& ar) override;

  DS_MemBlob audio_file;  // the file's bytes (may be empty) and its stored path
};

}  // namespace lumi
