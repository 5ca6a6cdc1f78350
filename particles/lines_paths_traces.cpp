// The records of the lines, the paths and the traces.
#include "archive/registry.h"
#include "params/param_archive.h"
#include "particles/line_systems.h"
#include "particles/path_systems.h"

namespace lumi {

static const RegisterClass<VRN_GrovingLine> kRegisterGrovingLine(Family::General);
static const RegisterClass<VRN_SlidingLine> kRegisterSlidingLine(Family::General);
static const RegisterClass<VRN_ShootingLine> kRegisterShootingLine(Family::General);
static const RegisterClass<VRN_Tears> kRegisterTears(Family::General);
static const RegisterClass<VRN_WavingLine> kRegisterWavingLine(Family::General);
static const RegisterClass<VRN_ParticlePath> kRegisterParticlePath(Family::General);
static const RegisterClass<VRN_ParticleTrace> kRegisterParticleTrace(Family::General);
static const RegisterClass<VRN_SigleObjectPath> kRegisterSingleObjectPath(Family::General);

void VRN_LineCtrl::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  PointList(ar, "path", path.points);
  IntField(ar, "head_on", head_on, Apply::Set);
  LookField(ar, "line_look", line_look);
  ar.Float("head_side", head_side);
  ar.Float("head_ahead", head_ahead);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_StaticLineCtrl::Describe(Archive& ar) {
  SliderField(ar, "line_width", line_width, Apply::Set);
  RampField(ar, "width_ramp", width_ramp);
  RampField(ar, "alpha_ramp", alpha_ramp);
  BaseRecordOf<VRN_LineCtrl>(ar, this);
}

void VRN_GrovingLine::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  RampField(ar, "head_width_ramp", head_width_ramp);
  RampField(ar, "head_alpha_ramp", head_alpha_ramp);
  IntField(ar, "retract", retract, Apply::Set);
  BaseRecordOf<VRN_StaticLineCtrl>(ar, this);
}

void VRN_SlidingLine::Describe(Archive& ar) {
  UIntField(ar, "slide_length", slide_length, Apply::Set);
  IntField(ar, "ping_pong", ping_pong, Apply::Set);
  BaseRecordOf<VRN_StaticLineCtrl>(ar, this);
}

void VRN_ShootingLine::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  PointList(ar, "path", path.points);
  LookField(ar, "line_look", line_look);
  UnnamedFields unnamed(ar);
  for (float& v : first_floats) unnamed.Float(v);
  unnamed.UInts(raws);
  unnamed.Int(integer);
  for (float& v : last_floats) unnamed.Float(v);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_Tears::Describe(Archive& ar) { BaseRecordOf<VRN_ShootingLine>(ar, this); }

void DS_StraightLine::Describe(Archive& ar) {
  UnnamedFields unnamed(ar);
  for (Vector3& end : ends) unnamed.Vector(end);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_WavingLine::Describe(Archive& ar) {
  UnnamedFields unnamed(ar);
  unnamed.UInts(first_raws);
  LookField(ar, "line_look", line_look);
  unnamed.UInts(last_raws);
  unnamed.Int(integer);
  for (float& v : floats) unnamed.Float(v);
  BaseRecordOf<DS_StraightLine>(ar, this);
}

void VRN_ParticlePathCtrl::Describe(Archive& ar) {
  // The points only: this record stores no smoothing switch.
  PointList(ar, "path", path.points);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_SigleObjectPath::Describe(Archive& ar) {
  ar.UnsettledFields(unread, VRN_ParticlePathCtrl::kClassName, [&] {
    UIntField(ar, "size", size, Apply::Set);
    LongField(ar, "orientation", orientation, Apply::Set);
    UIntField(ar, "walk_speed", walk_speed, Apply::Set);
  });
  BaseRecordOf<VRN_ParticlePathCtrl>(ar, this);
}

void VRN_ParticlePath::Describe(Archive& ar) {
  PointList(ar, "path", path.points);
  UnnamedFields unnamed(ar);
  unnamed.UInts(first_raws);
  unnamed.Int(integer);
  unnamed.UInts(last_raws);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_ParticleTrace::Describe(Archive& ar) {
  PointList(ar, "path", path.points);
  UIntField(ar, "drop_count", drop_count, Apply::Set);
  UIntField(ar, "lifetime", lifetime, Apply::Set);
  UIntField(ar, "scatter", scatter, Apply::Set);
  UIntField(ar, "drop_speed", drop_speed, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

}  // namespace lumi
