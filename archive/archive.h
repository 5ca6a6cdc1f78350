// One description per class drives four archives. A class states its record
// once, in Describe: its fields in archive order with their encodings, the
// conditions on the record's version, and its base-class subrecord. The
// binary reader and writer, the JSON writer (inspect) and the JSON reader
// (pack) each walk that one description.
//
// Readers fill the described variables; writers read them. Writers and the
// JSON reader always work in a class's current version, so conversions of
// old layouts (branches on version() below the current one) only ever run
// when a binary document is loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "archive/blobs.h"
#include "archive/function_ref.h"
#include "archive/guid.h"

namespace lumi {

class Archive;

// The base of every class stored in documents.
class DS_IOF_Item {
 public:
  virtual ~DS_IOF_Item() = default;
  // The class name records of this class carry and the version written today.
  virtual std::string_view ClassName() const = 0;
  virtual int CurrentVersion() const = 0;
  // The record: own fields, then the base-class subrecord, if any.
  virtual void Describe(Archive& ar) = 0;
};

// Declares the name and current version of a stored class.
#define LUMI_STORED_CLASS(Name, Version)                               \
 public:                                                               \
  static constexpr std::string_view kClassName = #Name;                \
  static constexpr int kVersion = Version;                             \
  std::string_view ClassName() const override { return kClassName; }  \
  int CurrentVersion() const override { return kVersion; }

// The four registries through which class names in a document become objects.
enum class Family { General, Slide, Backdrop, Timeline };

// What a class with unsettled own fields keeps of a document whose fields
// it could not read (see Archive::UnsettledFields).
struct UnreadFields {
  bool kept = false;  // the fields were not readable; `bytes` stands for them
  std::vector<uint8_t> bytes;
};

class Archive {
 public:
  virtual ~Archive() = default;

  // True for the two archives that fill objects (binary and JSON readers).
  virtual bool IsReading() const = 0;
  // The version of the record being described: as stored when reading a
  // binary document, the class's current version otherwise.
  virtual int version() const = 0;

  // Values. `field` names the value in JSON; within a list element it may
  // be null for a bare value. Int and Long are the same four bytes: classes
  // use them for different settings, and keep the distinction here.
  virtual void Int(const char* field, int32_t& v) = 0;
  virtual void Long(const char* field, int32_t& v) { Int(field, v); }
  virtual void UInt(const char* field, uint32_t& v) = 0;
  virtual void Float(const char* field, float& v) = 0;
  // One byte: Bool reads any non-zero byte as true and writes 1; Byte keeps
  // the value as stored, for the one-byte settings that are not plain flags.
  virtual void Bool(const char* field, bool& v) = 0;
  virtual void Byte(const char* field, uint8_t& v) = 0;
  virtual void Int64(const char* field, int64_t& v) = 0;
  // UTF-16 string; reading a zero-length string keeps v as it was.
  virtual void WString(const char* field, std::u16string& v) = 0;
  // A GUID stored as its braced string; an unparsable string reads as zero.
  virtual void Guid(const char* field, GUID& v) = 0;
  virtual void MemBlob(const char* field, DS_MemBlob& v) = 0;
  virtual void ResBlob(const char* field, DS_ResBlob& v) = 0;
  // A byte count (signed 32-bit) followed by that many raw bytes.
  virtual void Bytes(const char* field, std::vector<uint8_t>& v) = 0;
  // Bytes of a record this program could not read, kept as they were found
  // and written back unchanged: no count of their own in the binary form, a
  // blob in JSON. Only writers and the JSON reader meet them; the binary
  // reader fills them while it finds its way past such a record.
  virtual void KeptBytes(const char* field, std::vector<uint8_t>& v) = 0;
  // The own fields of a class whose stored order is not settled, followed by
  // the subrecord of `base_class`. When the document's own fields do not read
  // as `own_fields` describes them, the binary reader keeps their bytes in
  // `unread`, the object keeps its construction defaults, and the base
  // subrecord is read where it is found; writers then give the kept bytes
  // back in place of the fields.
  virtual void UnsettledFields(UnreadFields& unread, std::string_view base_class, FunctionRef<void()> own_fields);

  // A value derived from stored ones (a slider's scaled float), shown beside
  // them by inspect; nothing is stored and readers ignore it.
  virtual void Derived(const char* /*field*/, double /*value*/) {}

  // A count (signed 32-bit) and that many elements; `element` describes
  // element i (when reading, the caller appends it first). On reading,
  // `count` receives the stored count; on writing it gives it.
  virtual void List(const char* field, size_t& count, FunctionRef<void(size_t)> element) = 0;

  // A record of a fixed class (a base-class subrecord or a member object):
  // its class name (ignored on reading), its version, then `fields`.
  // `self` identifies the record for version bookkeeping.
  virtual void Record(const char* field, std::string_view class_name, int current_version, const void* self,
                      FunctionRef<void()> fields) = 0;

  // Values that belong together (a file link's path and number): nothing of
  // their own in the binary form, one JSON object.
  virtual void Group(const char* field, FunctionRef<void()> fields) = 0;

  // A versioned block without a class name (a control point): its version,
  // then `fields`.
  virtual void VersionedFields(const char* field, int current_version, const void* self,
                               FunctionRef<void()> fields) = 0;

  // A record whose class the document names, made through a registry.
  // Reading returns the new object, or fails naming the record's offset when
  // `fits` refuses the class made for that name; writing describes `existing`.
  virtual std::unique_ptr<DS_IOF_Item> Object(const char* field, DS_IOF_Item* existing, Family family,
                                              FunctionRef<bool(const DS_IOF_Item&)> fits) = 0;
  // The same for a field that holds any class of the family.
  std::unique_ptr<DS_IOF_Item> Object(const char* field, DS_IOF_Item* existing, Family family) {
    return Object(field, existing, family, [](const DS_IOF_Item&) { return true; });
  }

  // A record whose values the class cannot take (a layout it does not know)
  // fails the load, naming the class, the field and the byte offset or JSON
  // path.
  [[noreturn]] virtual void Reject(const char* field, const std::string& problem) = 0;
};

// The default for the archives that never scan: writers give back the kept
// bytes or describe the fields; the JSON reader takes whichever it finds.
inline void Archive::UnsettledFields(UnreadFields& unread, std::string_view /*base_class*/,
                                     FunctionRef<void()> own_fields) {
  if (unread.kept) KeptBytes("unreadable_settings", unread.bytes);
  else own_fields();
}

// Fails the load for a record stored in a version older than the first
// whose layout is known: misreading it would garble everything after it.
inline void RejectVersionsBefore(Archive& ar, int first_known) {
  if (ar.version() < first_known) {
    ar.Reject(nullptr, "version " + std::to_string(ar.version()) + " has a layout this program does not know" +
                           " (it reads versions from " + std::to_string(first_known) + ")");
  }
}

// A member stored as a record of its own class.
inline void Member(Archive& ar, const char* field, DS_IOF_Item& member) {
  ar.Record(field, member.ClassName(), member.CurrentVersion(), &member, [&] { member.Describe(ar); });
}

// A base-class subrecord: `fields` is the base's own Describe, called
// non-virtually by the derived class.
inline void BaseRecord(Archive& ar, std::string_view base_class, int base_version, const void* self,
                       FunctionRef<void()> fields) {
  ar.Record("base", base_class, base_version, self, fields);
}

// The subrecord of Base, which declares its name and version with
// LUMI_STORED_CLASS and its record with its own Describe. Base::Describe is
// called non-virtually, so a class that is registered and also a base has
// one description for both uses.
template <class Base, class Self>
void BaseRecordOf(Archive& ar, Self* self) {
  Base* base = self;
  BaseRecord(ar, Base::kClassName, Base::kVersion, base, [&] { base->Base::Describe(ar); });
}

// A count, then the elements; `element(T&)` describes one. Reading replaces
// the list with default-made elements that `element` fills.
template <class T, class Element>
void ListOf(Archive& ar, const char* field, std::vector<T>& list, Element element) {
  if (ar.IsReading()) list.clear();
  size_t count = list.size();
  ar.List(field, count, [&](size_t i) {
    if (ar.IsReading()) list.emplace_back();
    element(list[i]);
  });
}

// A named-class object held by an owning pointer of type Holder<T>.
template <class T, class Holder>
void ObjectField(Archive& ar, const char* field, Holder& holder, Family family) {
  // T may be an interface that stored classes implement beside DS_IOF_Item.
  std::unique_ptr<DS_IOF_Item> made =
      ar.Object(field, dynamic_cast<DS_IOF_Item*>(holder.get()), family, [](const DS_IOF_Item& item) {
        if constexpr (std::is_base_of_v<T, DS_IOF_Item>) return true;
        else return dynamic_cast<const T*>(&item) != nullptr;
      });
  if (!ar.IsReading()) return;
  holder = Holder(dynamic_cast<T*>(made.release()));
}

// A list of objects made through a registry, each in its own holder.
template <class T, class Holder>
void ObjectList(Archive& ar, const char* field, std::vector<Holder>& list, Family family) {
  ListOf(ar, field, list, [&](Holder& holder) { ObjectField<T>(ar, nullptr, holder, family); });
}

}  // namespace lumi
