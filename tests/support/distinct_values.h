// Fills every value a class describes with a different number, as if read
// from a document, so that a write and a read back show any value that one
// direction misses: a field read but not written, written twice, or read
// into the wrong member. Lists get two elements (none where the class
// refuses stored elements); a named object gets the first registered class
// of its family that fits.
#pragma once

#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/registry.h"

namespace lumi::test {

class DistinctValues final : public Archive {
 public:
  bool IsReading() const override { return true; }
  int version() const override { return versions_.empty() ? 0 : versions_.back(); }

  void Int(const char*, int32_t& v) override { v = static_cast<int32_t>(Next()); }
  void UInt(const char*, uint32_t& v) override { v = Next(); }
  void Float(const char*, float& v) override { v = static_cast<float>(Next()) + 0.5f; }
  void Bool(const char*, bool& v) override { v = Next() % 2 == 1; }
  void Byte(const char*, uint8_t& v) override { v = static_cast<uint8_t>(Next()); }
  void Int64(const char*, int64_t& v) override { v = int64_t{Next()} * 1000003; }
  void WString(const char*, std::u16string& v) override { v = Text(); }
  void Guid(const char*, GUID& v) override {
    v = GUID{};
    v.data1 = Next();
  }
  void MemBlob(const char*, DS_MemBlob& v) override {
    v.name = Text();
    v.bytes = {static_cast<uint8_t>(Next())};
  }
  void ResBlob(const char* field, DS_ResBlob& v) override {
    Int(field, v.id);
    v.module = Text();
    MemBlob(field, v.blob);
  }
  void Bytes(const char*, std::vector<uint8_t>& v) override { v = {static_cast<uint8_t>(Next())}; }
  void KeptBytes(const char*, std::vector<uint8_t>&) override {}
  void List(const char*, size_t& count, FunctionRef<void(size_t)> element) override {
    count = 2;
    for (size_t i = 0; i < count; ++i) {
      try {
        element(i);
      } catch (const Refused&) {
        count = i;  // the class stores no such elements
        return;
      }
    }
  }
  void Record(const char*, std::string_view, int current_version, const void*, FunctionRef<void()> fields) override {
    versions_.push_back(current_version);
    fields();
    versions_.pop_back();
  }
  void Group(const char*, FunctionRef<void()> fields) override { fields(); }
  void VersionedFields(const char* field, int current_version, const void* self, FunctionRef<void()> fields) override {
    Record(field, {}, current_version, self, fields);
  }
  std::unique_ptr<DS_IOF_Item> Object(const char*, DS_IOF_Item*, Family family,
                                      FunctionRef<bool(const DS_IOF_Item&)> fits) override {
    for (const std::string& name : ClassRegistry::Get(family).Names()) {
      std::unique_ptr<DS_IOF_Item> made = CreateDefault(family, name);
      if (!fits(*made)) continue;
      Record(nullptr, made->ClassName(), made->CurrentVersion(), made.get(), [&] { made->Describe(*this); });
      return made;
    }
    return nullptr;
  }
  [[noreturn]] void Reject(const char*, const std::string&) override { throw Refused{}; }

 private:
  struct Refused {};

  uint32_t Next() { return ++counter_; }
  std::u16string Text() {
    const std::string digits = std::to_string(Next());
    return u"text " + std::u16string(digits.begin(), digits.end());
  }

  uint32_t counter_ = 0;
  std::vector<int> versions_;
};

}  // namespace lumi::test
