// Sound objects: scene constructors whose playing is a sound, on while their
// timeline is on. Each render object plays through a copy of its
// constructor (the player), started when the object is made.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/blobs.h"
#include "params/file_link.h"
#include "scene/render_obj.h"
#include "scene/render_obj_data.h"
#include "sound/media_graph.h"
#include "sound/sound_buffer.h"
#include "sound/temp_sound_file.h"

namespace lumi {

class DS_Sound_Ctrl : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_Sound_Ctrl, 3)

 public:
  // Bits of the timing flags a started sound sets.
  static constexpr int kStartedFlags = 0x2 | 0x4 | 0x8;

  // Volume and balance, then the constructor's record. Versions 1 and 2
  // stored a timeline kind and two durations of their own, which replace the
  // timeline the constructor's record brought, so they are applied after it.
  void Describe(Archive& ar) override;
  // A random timeline of `other` stays on for the sound's length.
  bool CopyTo(VRN_RenderObjData& other, int unused) override;
  // A DS_Sound playing a started copy of this constructor.
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  // Loads the sound and learns its length.
  virtual void StartSound() = 0;
  virtual void StopSound() = 0;
  // Every frame while the render object is active: starts, restarts or
  // stops playing as the timeline says.
  virtual void UpdateSound(double time) = 0;
  virtual std::unique_ptr<DS_Sound_Ctrl> CloneSound() const = 0;

  MediaParamT<unsigned int> volume{100};  // percent
  MediaParamT<unsigned int> balance{50};  // 0 left, 50 centre, 100 right
  int32_t length_hundredths = 0;          // known once the sound is started

 protected:
  // The length, and the timing's default durations: none, the length, none.
  void SetLength(int32_t hundredths);
  // The timeline's state (VRN_Timing::State).
  int TimelineState() const { return timing.current().GetState(); }
};

// The render object of a sound: it stops its player when disabled (its slide
// ends) and lets it follow the timeline while enabled.
class DS_Sound final : public DS_ABObj {
 public:
  explicit DS_Sound(std::unique_ptr<DS_Sound_Ctrl> player);

  void Render(DS_ABRender& /*backdrop*/) override {}
  void SetEnabled(bool flag) override;
  void FrameMove(double local_time) override;

 private:
  DS_Sound_Ctrl& player_;
};

class DS_WAV_Constructor : public DS_Sound_Ctrl {
  LUMI_STORED_CLASS(DS_WAV_Constructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_WAV_Constructor)

 public:
  // Bit 0x1 of the timing flags, which the objects the reader makes carry.
  static constexpr int kReaderMadeFlag = 0x1;

  DS_WAV_Constructor() { timing.flags |= kReaderMadeFlag; }

  void Describe(Archive& ar) override;
  void StartSound() override;
  void StopSound() override;
  // Loops on a continuous timeline, plays once each time another turns on;
  // a loop stops when its timeline turns off.
  void UpdateSound(double time) override;
  std::unique_ptr<DS_Sound_Ctrl> CloneSound() const override { return std::make_unique<DS_WAV_Constructor>(*this); }

  DS_FileLink3 wave_file;
  std::shared_ptr<SoundBuffer> sound_buffer;  // copies share it

 private:
  void LoadWave();
};

class DS_MP3_Constructor : public DS_Sound_Ctrl {
  LUMI_STORED_CLASS(DS_MP3_Constructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_MP3_Constructor)

 public:
  void Describe(Archive& ar) override;
  // Writes the file, opens it and learns its whole seconds.
  void StartSound() override;
  void StopSound() override;
  // Plays from the start whenever it is stopped and the timeline is on;
  // stops when the timeline turns off.
  void UpdateSound(double time) override;
  std::unique_ptr<DS_Sound_Ctrl> CloneSound() const override { return std::make_unique<DS_MP3_Constructor>(*this); }

  DS_MemBlob audio_file;  // the file's bytes (may be empty) and its stored path

  // The object's own file and graph; a copy starts without them. The graph
  // goes first, since it reads the file.
  struct Playback {
    Playback() = default;
    Playback(const Playback& /*other*/) {}
    Playback& operator=(const Playback& /*other*/) { return *this; }
    std::unique_ptr<TempSoundFile> file;
    std::unique_ptr<MediaGraph> graph;
  } playback;
};

}  // namespace lumi
