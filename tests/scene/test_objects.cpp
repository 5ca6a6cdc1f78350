#include "tests/scene/test_objects.h"

#include "archive/registry.h"
#include "archive/utf.h"
#include "render/current_context.h"

namespace lumi::test {

static const RegisterClass<TestSceneObject> kRegisterTestSceneObject(Family::General);

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

void TestSceneObject::Describe(Archive& ar) {
  ar.Bool("samples_picture", samples_picture);
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
}

void TestSceneObject::OnRestart() { ++restarts; }

std::unique_ptr<VRN_RenderObj> TestSceneObject::CreateRenderObject() const {
  return std::make_unique<TestRenderObject>(std::make_unique<TestSceneObject>(*this));
}

std::string TestRenderObject::Name() const { return ToUtf8(settings().name); }

std::vector<Vector3>& Parallaxes() {
  static std::vector<Vector3> shifts;
  return shifts;
}

void TestRenderObject::Render(DS_ABRender&) {
  Log().push_back("draw " + Name());
  if (const SceneView* view = CurrentSceneView()) {
    const Matrix& shift = view->parallax;
    Parallaxes().push_back({shift.m[3][0], shift.m[3][1], shift.m[3][2]});
  }
}

bool TestRenderObject::NeedsBackground() { return static_cast<TestSceneObject&>(settings()).samples_picture; }

void TestRenderObject::SetEnabled(bool flag) {
  DS_ABObj::SetEnabled(flag);
  Log().push_back((flag ? "enable " : "disable ") + Name());
}

void RecordingBackdrop::Load() {
  Log().push_back("prepare");
  DS_2D_Light::Load();
}

void RecordingBackdrop::SetTargetQuad(const TargetQuad& quad) {
  Log().push_back("place " + std::to_string(static_cast<int>(quad.v[3].x - quad.v[1].x)));
  DS_2D_Light::SetTargetQuad(quad);
}

bool RecordingBackdrop::EnableCamera(bool flag) {
  Log().push_back("slide start");
  return DS_2D_Light::EnableCamera(flag);
}

void RecordingBackdrop::RestoreDevice() {
  Log().push_back("backdrop restart");
  DS_2D_Light::RestoreDevice();
}

void RecordingBackdrop::LoseDevice() {
  Log().push_back("release");
  DS_2D_Light::LoseDevice();
}

void RecordingBackdrop::UpdateCamera(double time) {
  last_frame_move = time;
  DS_2D_Light::UpdateCamera(time);
}

bool RecordingBackdrop::BeginOffscreen() {
  Log().push_back("offscreen");
  return DS_2D_Light::BeginOffscreen();
}

void RecordingBackdrop::DrawPicture(bool keep) {
  Log().push_back("picture");
  DS_2D_Light::DrawPicture(keep);
}

void RecordingBackdrop::NextPass(int& remaining) {
  Log().push_back("background " + std::to_string(remaining));
  DS_2D_Light::NextPass(remaining);
}

void RecordingBackdrop::DrawBorders(bool keep) {
  Log().push_back("finish");
  DS_2D_Light::DrawBorders(keep);
}

void RecordingBackdrop::DrawScreenRect(const ScreenRect& rect) {
  Log().push_back("overlay " + std::to_string(rect.v[0].color >> 24));
  DS_2D_Light::DrawScreenRect(rect);
}

std::unique_ptr<TestSceneObject> MakeObject(const std::string& name, uint32_t identity, bool samples_picture) {
  auto object = std::make_unique<TestSceneObject>();
  object->name = FromUtf8(name);
  object->identity.data1 = identity;
  object->samples_picture = samples_picture;
  return object;
}

}  // namespace lumi::test
