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
  LUMI_STORED_CLASS(VRN_RenderObjData, 1)

 public:
  // The identity and the timing; derived classes store it as their base
  // subrecord.
  void Describe(Archive& ar) override;

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
};

class DS_ABObj_Constructor : public VRN_RenderObjData {
  LUMI_STORED_CLASS(DS_ABObj_Constructor, 4)

 public:
  // What GetKind answers for an ordinary scene object.
  static constexpr int kSceneObjectKind = 3;

  DS_ABObj_Constructor() { keep_identity = true; }

  // The name, the depth and the older timelines, then the data's subrecord;
  // every concrete constructor ends its record with this one.
  void Describe(Archive& ar) override;
  // A copy of the whole object; LUMI_CONSTRUCTOR_CLONE writes it.
  virtual std::unique_ptr<DS_ABObj_Constructor> Clone() const = 0;

  // Text links answer whether the point is over them; others do not care.
  virtual int OnMouseMove(int /*x*/, int /*y*/) { return 0; }
  virtual bool OnClick(int /*x*/, int /*y*/) { return false; }
  virtual int GetKind() const { return kSceneObjectKind; }
  // Sprite constructors name the picture they draw.
  virtual void CollectImageLinks(std::vector<DS_ImageFileLink*>& /*links*/) {}
  // A new render object playing a copy of this constructor. Classes whose
  // behaviour is not built play inert: their timeline runs and they draw,
  // sample and play nothing (the first of each class leaves a notice).
  virtual std::unique_ptr<VRN_RenderObj> CreateRenderObject() const;
  // Image effects start a fresh brush.
  virtual void RenewResources() {}
  virtual bool UsesSharedBounds() const { return true; }

  MediaParamT<unsigned int> depth{100};  // percent; 100 is the plane of the picture
  std::u16string name;
};

// Written in the body of every concrete constructor class.
#define LUMI_CONSTRUCTOR_CLONE(Name)                                   \
 public:                                                               \
  std::unique_ptr<DS_ABObj_Constructor> Clone() const override {       \
    return std::make_unique<Name>(*this);                              \
  }

}  // namespace lumi
