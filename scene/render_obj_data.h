// The document side of a scene object: its settings, name, identity and
// timing. A constructor never draws; when its slide is prepared it makes a
// render object that owns a private copy of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "params/file_link.h"
#include "params/typed_param.h"
#include "timing/smart_timing.h"

namespace lumi {

class VRN_RenderObj;

class VRN_RenderObjData : public DS_IOF_Item {
 public:
  static constexpr int kDataVersion = 1;

  // Sound constructors copy their settings into `other`; the rest do not.
  virtual bool CopyTo(VRN_RenderObjData& /*other*/, int /*unused*/) { return false; }
  // The object's slide starts again.
  virtual void OnRestart() {}
  // Particle generators make their particle object here as well.
  virtual void MakeRenderObject() {}

  VRN_SmartTiming timing;
  GUID identity;
  // When false, every render object made from this data gets a fresh identity.
  bool keep_identity = false;

 protected:
  // The identity and the timing, as this base's subrecord.
  void DataBase(Archive& ar);
};

class DS_ABObj_Constructor : public VRN_RenderObjData {
 public:
  static constexpr int kConstructorVersion = 4;
  // What GetKind answers for an ordinary scene object.
  static constexpr int kSceneObjectKind = 3;

  DS_ABObj_Constructor() { keep_identity = true; }

  // Text links answer whether the point is over them; others do not care.
  virtual int OnMouseMove(int /*x*/, int /*y*/) { return 0; }
  virtual bool OnClick(int /*x*/, int /*y*/) { return false; }
  virtual int GetKind() const { return kSceneObjectKind; }
  // Sprite constructors name the picture they draw.
  virtual void CollectImageLinks(std::vector<DS_ImageFileLink*>& /*links*/) {}
  // A new render object playing a copy of this constructor.
  virtual std::unique_ptr<VRN_RenderObj> CreateRenderObject() const = 0;
  // Image effects start a fresh brush.
  virtual void RenewResources() {}
  virtual bool UsesSharedBounds() const { return true; }

  MediaParamT<unsigned int> depth{100};  // percent; 100 is the plane of the picture
  std::u16string name;

 protected:
  // This base's subrecord, which every concrete constructor ends with.
  void ConstructorBase(Archive& ar);
};

}  // namespace lumi
