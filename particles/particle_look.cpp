#include "particles/particle_look.h"

#include "params/param_archive.h"

namespace lumi {

void RampField(Archive& ar, const char* field, ScaleRamp& ramp) {
  ar.Group(field, [&] {
    SliderField(ar, "in_end", ramp.in_end, Apply::Set);
    SliderField(ar, "out_start", ramp.out_start, Apply::Set);
    SliderField(ar, "start_scale", ramp.start_scale, Apply::Set);
    SliderField(ar, "end_scale", ramp.end_scale, Apply::Set);
  });
}

namespace {

// Amplitude, frequency, then the mode.
void OscillationField(Archive& ar, const char* field, OscillationSetting& wave) {
  ar.Group(field, [&] {
    SliderField(ar, "amplitude", wave.amplitude, Apply::Set);
    SliderField(ar, "frequency", wave.frequency, Apply::Set);
    IntField(ar, "mode", wave.mode, Apply::Set);
  });
}

}  // namespace

void LookField(Archive& ar, const char* field, ParticleLook& look) {
  ar.VersionedFields(field, ParticleLook::kVersion, &look, [&] {
    const int v = ar.version();
    StringField(ar, "name", look, Apply::Set);
    RejectVersionsBefore(ar, ParticleLook::kFirstKnownVersion);
    NamedLinkField(ar, "textures", look.textures);
    LinkField(ar, "effect", look.effect);
    SliderField(ar, "texture_clock", look.texture_clock, Apply::Set);
    IntField(ar, "texture_reverse", look.texture_reverse, Apply::Set);
    IntField(ar, "flip_v", look.flip_v, Apply::Set);
    IntField(ar, "flip_u", look.flip_u, Apply::Set);
    UIntField(ar, "size", look.size, Apply::Set);
    UIntField(ar, "colour", look.colour, Apply::Set);
    SliderField(ar, "colour_transparency", look.colour.opacity, Apply::Set);
    // The two ramps are stored in pieces, so their members are named flat.
    SliderField(ar, "size_ramp_in_end", look.size_ramp.in_end, Apply::Set);
    SliderField(ar, "size_ramp_out_start", look.size_ramp.out_start, Apply::Set);
    SliderField(ar, "alpha_ramp_in_end", look.alpha_ramp.in_end, Apply::Set);
    SliderField(ar, "alpha_ramp_out_start", look.alpha_ramp.out_start, Apply::Set);
    SliderField(ar, "size_jitter", look.size_jitter, Apply::Set);
    SliderField(ar, "alpha_jitter", look.alpha_jitter, Apply::Set);
    IntField(ar, "spin_direction", look.spin_direction, Apply::Set);
    SliderField(ar, "spin_clock", look.spin_clock, Apply::Set);
    SliderField(ar, "spin_jitter", look.spin_jitter, Apply::Set);
    IntField(ar, "blend_mode", look.blend_mode, Apply::Set);
    SliderField(ar, "size_ramp_start_scale", look.size_ramp.start_scale, Apply::Set);
    SliderField(ar, "size_ramp_end_scale", look.size_ramp.end_scale, Apply::Set);
    SliderField(ar, "alpha_ramp_start_scale", look.alpha_ramp.start_scale, Apply::Set);
    ar.UInt("alpha_ramp_start_scale_copy", look.alpha_start_scale_copy);
    IntField(ar, "orientation", look.orientation, Apply::Set);
    UIntField(ar, "start_angle", look.start_angle, Apply::Set);
    UIntField(ar, "start_angle_jitter", look.start_angle_jitter, Apply::Set);
    IntField(ar, "glow_mode", look.glow_mode, Apply::Set);
    UIntField(ar, "glow_surface_setting", look.glow_surface_setting, Apply::Set);
    UIntField(ar, "glow_colour", look.glow_colour, Apply::Set);
    SliderField(ar, "glow_brightness", look.glow_brightness, Apply::Set);
    IntField(ar, "glow_blur", look.glow_blur, Apply::Set);
    LinkField(ar, "value_1", look.unused_effect);
    if (v >= 8) {
      OscillationField(ar, "alpha_wave", look.alpha_wave);
      OscillationField(ar, "size_wave", look.size_wave);
    }
    if (v >= 9) {
      ar.Int("look_flags", look.look_flags);
      IntField(ar, "gravity_mode", look.gravity_mode, Apply::Set);
      SliderField(ar, "gravity", look.gravity, Apply::Set);
      SliderField(ar, "air_resistance", look.air_resistance, Apply::Set);
    }
    if (v >= 10) {
      OscillationField(ar, "wobble_forward", look.wobble_forward);
      OscillationField(ar, "wobble_sideways", look.wobble_sideways);
    }
  });
}

}  // namespace lumi
