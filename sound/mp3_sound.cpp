#include "archive/registry.h"
#include "sound/sound_objects.h"

namespace lumi {

static const RegisterClass<DS_MP3_Constructor> kRegisterMp3(Family::General);

void DS_MP3_Constructor::Describe(Archive& ar) {
  ar.MemBlob("audio_file", audio_file);
  BaseRecordOf<DS_Sound_Ctrl>(ar, this);
}

}  // namespace lumi
