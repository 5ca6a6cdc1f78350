// Reads records from a document's bytes. Every read is bounded by the bytes
// that remain; a document that runs short or asks for more than it holds
// fails the whole load with an InputError that names the record, the field
// and the byte offset.
//
// Records carry no length, yet a record this program cannot read need not
// stop the load (see archive/README.md): the reader finds where the document
// reads on after it, keeps its bytes, and goes back to try the next place
// when the way it took later leads nowhere. A document that reads normally
// never pays for this.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/byte_source.h"
#include "archive/input_error.h"
#include "archive/unknown_record.h"
#include "archive/version_log.h"

namespace lumi {

class BinaryReader final : public Archive {
 public:
  explicit BinaryReader(std::span<const uint8_t> bytes, VersionLog* versions = nullptr);

  bool IsReading() const override { return true; }
  int version() const override { return frames_.empty() ? 0 : frames_.back().version; }

  void Int(const char* field, int32_t& v) override;
  void UInt(const char* field, uint32_t& v) override;
  void Float(const char* field, float& v) override;
  void Bool(const char* field, bool& v) override;
  void Byte(const char* field, uint8_t& v) override;
  void Int64(const char* field, int64_t& v) override;
  void WString(const char* field, std::u16string& v) override;
  void Guid(const char* field, GUID& v) override;
  void MemBlob(const char* field, DS_MemBlob& v) override;
  void ResBlob(const char* field, DS_ResBlob& v) override;
  void Bytes(const char* field, std::vector<uint8_t>& v) override;
  void KeptBytes(const char* field, std::vector<uint8_t>& v) override;
  void UnsettledFields(UnreadFields& unread, std::string_view base_class, FunctionRef<void()> own_fields) override;
  void List(const char* field, size_t& count, FunctionRef<void(size_t)> element) override;
  void Record(const char* field, std::string_view class_name, int current_version, const void* self,
              FunctionRef<void()> fields) override;
  void Group(const char* field, FunctionRef<void()> fields) override;
  void VersionedFields(const char* field, int current_version, const void* self,
                       FunctionRef<void()> fields) override;
  using Archive::Object;
  std::unique_ptr<DS_IOF_Item> Object(const char* field, DS_IOF_Item* existing, Family family,
                                      FunctionRef<bool(const DS_IOF_Item&)> fits) override;
  [[noreturn]] void Reject(const char* field, const std::string& problem) override { Fail(field, problem); }

  // Runs `read`, which fills fresh objects from the start each time it is
  // called, until the whole document reads: a wrong way taken past a record
  // that could not be read is undone and the next one tried.
  void ReadWhole(FunctionRef<void()> read);

  // The records the last read went past, in document order.
  struct Skipped {
    std::string class_name;
    bool unknown_class;  // else: own settings of a known class
    size_t bytes;
  };
  std::vector<Skipped> SkippedRecords() const;

  size_t offset() const { return source_.offset(); }
  size_t remaining() const { return source_.remaining(); }

 private:
  // The record being read. Names point at static class names, so entering
  // a record allocates nothing.
  struct Frame {
    std::string_view class_name;
    const char* block;  // set for a versioned block inside the record
    int version;
    size_t record = 0;          // offset of the record's class name
    bool made_by_name = false;  // an object record, which can be made afresh
    size_t groups = 0;          // groups_ entries open when the record began
  };

  // What must stand where reading goes on after a skipped record: the
  // first read that follows it decides, so wrong places are cheap to refuse.
  enum class Expect { Value, Count, String, Name, Object, End };

  // A record read past: an object of an unknown class, or the own fields of
  // a class whose stored order is not settled.
  struct Choice {
    size_t record;  // where its class name begins
    size_t from;    // where its skipped bytes begin
    size_t at;      // where reading goes on now
    Expect expect = Expect::Value;
    Family family = Family::General;  // for Expect::Object
    std::string_view name;            // for Expect::Name (a static class name)
    std::string class_name;
    std::string place;  // " at offset N (a ... record in ...)", for messages
    bool unknown_class;
    size_t tried = 0;
  };

  // Enough to go back to a point of the read and take it up again.
  struct Checkpoint {
    size_t offset, frames, groups, versions, choice, recovering;
    std::optional<size_t> unconfirmed_at;
  };

  // Thrown to the object record whose own fields were unreadable: it is made
  // afresh and read again with its settings skipped.
  struct ReadAgain {
    size_t record;
  };

  [[noreturn]] void Fail(const char* field, const std::string& problem) const;
  std::span<const uint8_t> Take(const char* field, size_t n);
  template <class T>
  T ReadValue(const char* field);
  uint32_t ReadStringLength(const char* field);
  void ReadFields(Frame frame, int current_version, const void* self, FunctionRef<void()> fields);
  std::string Where() const;

  // Recovery.
  std::unique_ptr<DS_IOF_Item> SkipUnknown(Family family, const std::string& name, int32_t version, size_t start,
                                           const std::string& place, FunctionRef<bool(const DS_IOF_Item&)> fits);
  bool LooksLikeClassName(size_t start, const std::string& name) const;
  Choice* ReplayedChoice(size_t record);
  Choice& NewChoice(Choice choice);
  // Ends a skip left open by the record before, at the first place where
  // `expect` can stand.
  void Settle(Expect expect, Family family = Family::General, std::string_view name = {}) {
    if (pending_) SettlePending(expect, family, name);
  }
  void SettlePending(Expect expect, Family family, std::string_view name);
  bool Fits(const Choice& choice, size_t at) const;
  // The first place from `at` on, or the next after it, that fits; false
  // when there is none or the record has had its share of places.
  bool FirstPlace(Choice& choice);
  bool NextPlace(Choice& choice);
  Checkpoint Save() const;
  void Restore(const Checkpoint& checkpoint);
  // Goes back to `checkpoint` with the next place for the latest record
  // skipped since it, or throws: `error` when nothing was skipped, else
  // why no place was found.
  void GoBack(const Checkpoint& checkpoint, const InputError& error);
  std::string NoPlace(const Choice& choice) const;
  [[noreturn]] void GiveUp(const Choice& choice);
  std::span<const uint8_t> Span(size_t from, size_t to) const { return source_.bytes().subspan(from, to - from); }

  ByteSource source_;
  VersionLog* versions_;
  std::vector<Frame> frames_;
  std::vector<const char*> groups_;  // named groups being read, for messages

  std::vector<Choice> plan_;  // records skipped on the way being read, in order
  size_t next_choice_ = 0;    // the next of them the way meets again
  struct Pending {
    size_t choice;
    UnknownRecord* record;
  };
  std::optional<Pending> pending_;  // a skip whose end the next read decides
  size_t recovering_ = 0;           // bases of unsettled records being read
  // Where the latest skip went on, until a whole record from there has read.
  std::optional<size_t> unconfirmed_at_;
  size_t work_ = 0;                 // bytes read again and scanned
  size_t work_limit_;
  bool gave_up_ = false;
};

}  // namespace lumi
