#include "tests/scene/test_objects.h"

#include "archive/registry.h"
#include "archive/utf.h"

namespace lumi::test {

static const RegisterClass<TestSceneObject> kRegister(Family::General);

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

void TestRenderObject::Render(DS_ABRender&) { Log().push_back("draw " + Name()); }

bool TestRenderObject::NeedsBackground() { return static_cast<TestSceneObject&>(settings()).samples_picture; }

void TestRenderObject::SetEnabled(bool flag) {
  DS_ABObj::SetEnabled(flag);
  Log().push_back((flag ? "enable " : "disable ") + Name());
}

std::unique_ptr<TestSceneObject> MakeObject(const std::string& name, uint32_t identity, bool samples_picture) {
  auto object = std::make_unique<TestSceneObject>();
  object->name = FromUtf8(name);
  object->identity.data1 = identity;
  object->samples_picture = samples_picture;
  return object;
}

}  // namespace lumi::test
