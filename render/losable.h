// Objects that hold default-pool device resources and must let them go
// when the device is lost and make them again when it is restored. They
// register with the current document's resources, which drive both.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lumi {

class VRN_LosableObj;

class LosableRegistry {
 public:
  virtual ~LosableRegistry() = default;
  virtual void Register(const std::string& name, VRN_LosableObj* object) = 0;
  virtual void Unregister(const std::string& name) = 0;
};

// A registry as the document resources keep one: every object by name,
// lost or restored together in the order they registered.
class LosableTable : public LosableRegistry {
 public:
  LosableTable() = default;
  LosableTable(const LosableTable&) = delete;
  LosableTable& operator=(const LosableTable&) = delete;
  // Objects that outlive the table (render objects outlive their
  // document's resources) are left with no registry to leave.
  ~LosableTable() override;
  void Register(const std::string& name, VRN_LosableObj* object) override;
  void Unregister(const std::string& name) override;
  void LoseAll();
  void RestoreAll();
  size_t Size() const { return objects_.size(); }

 private:
  std::vector<std::pair<std::string, VRN_LosableObj*>> objects_;
};

// The registry of the current thread's document, or null.
LosableRegistry* CurrentLosableRegistry();
void SetCurrentLosableRegistry(LosableRegistry* registry);

// A new GUID in its braced registry text form.
std::string NewGuidText();

class VRN_LosableObj {
 public:
  // Registers under a new GUID with the current thread's registry, if any.
  VRN_LosableObj();
  virtual ~VRN_LosableObj();
  VRN_LosableObj(const VRN_LosableObj&) = delete;
  VRN_LosableObj& operator=(const VRN_LosableObj&) = delete;

  virtual void Lose() = 0;
  virtual void Restore() = 0;

  const std::string& Name() const { return name_; }

 private:
  friend class LosableTable;
  std::string name_;
  LosableRegistry* registry_;
};

}  // namespace lumi
