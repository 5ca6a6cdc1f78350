#include "archive/binary_reader.h"

#include <algorithm>

#include "archive/input_error.h"
#include "archive/registry.h"
#include "archive/utf.h"

namespace lumi {
namespace {

// Records nest a few levels deep; far deeper nesting is a hostile document.
constexpr size_t kMaxDepth = 64;

// Going past records that cannot be read is bounded twice: the places tried
// after one record, and all the bytes read again or scanned in one load, a
// few times the document's size. Beyond either the load fails.
constexpr size_t kMostPlacesPerRecord = 4096;
constexpr size_t kWorkPerDocumentByte = 16;
constexpr size_t kWorkAllowance = size_t{64} << 20;

}  // namespace

BinaryReader::BinaryReader(std::span<const uint8_t> bytes, VersionLog* versions)
    : source_(bytes), versions_(versions), work_limit_(bytes.size() * kWorkPerDocumentByte + kWorkAllowance) {}

std::string BinaryReader::Where() const {
  if (frames_.empty()) return "document";
  const Frame& frame = frames_.back();
  std::string where = std::string(frame.class_name) + " record";
  if (frame.block != nullptr) where += std::string(" ") + frame.block + " entry";
  return where;
}

void BinaryReader::Fail(const char* field, const std::string& problem) const {
  std::string where = Where();
  // Name the field with the groups it sits in, as inspect shows it: image.path.
  std::string name;
  for (size_t i = frames_.empty() ? 0 : frames_.back().groups; i < groups_.size(); ++i) {
    if (groups_[i] != nullptr) name += std::string(groups_[i]) + ".";
  }
  if (field != nullptr) name += field;
  if (!name.empty()) where += " field " + name;
  throw InputError(where + " at offset " + std::to_string(source_.offset()) + ": " + problem);
}

std::span<const uint8_t> BinaryReader::Take(const char* field, size_t n) {
  std::span<const uint8_t> out;
  if (!source_.Take(n, out)) {
    Fail(field, "expected " + std::to_string(n) + " bytes, but only " + std::to_string(source_.remaining()) +
                    " remain");
  }
  return out;
}

template <class T>
T BinaryReader::ReadValue(const char* field) {
  T value{};
  if (!source_.Read(value)) {
    Fail(field, "expected " + std::to_string(sizeof(T)) + " bytes, but only " +
                    std::to_string(source_.remaining()) + " remain");
  }
  return value;
}

void BinaryReader::Int(const char* field, int32_t& v) {
  Settle(Expect::Value);
  v = ReadValue<int32_t>(field);
}
void BinaryReader::UInt(const char* field, uint32_t& v) {
  Settle(Expect::Value);
  v = ReadValue<uint32_t>(field);
}
void BinaryReader::Float(const char* field, float& v) {
  Settle(Expect::Value);
  v = ReadValue<float>(field);
}
void BinaryReader::Bool(const char* field, bool& v) {
  Settle(Expect::Value);
  v = ReadValue<uint8_t>(field) != 0;
}
void BinaryReader::Byte(const char* field, uint8_t& v) {
  Settle(Expect::Value);
  v = ReadValue<uint8_t>(field);
}
void BinaryReader::Int64(const char* field, int64_t& v) {
  Settle(Expect::Value);
  v = ReadValue<int64_t>(field);
}

uint32_t BinaryReader::ReadStringLength(const char* field) {
  const uint8_t short_length = ReadValue<uint8_t>(field);
  if (short_length != 0xFF) return short_length;
  const uint16_t medium_length = ReadValue<uint16_t>(field);
  if (medium_length != 0xFFFF) return medium_length;
  return ReadValue<uint32_t>(field);
}

void BinaryReader::WString(const char* field, std::u16string& v) {
  Settle(Expect::String);
  Take(field, 3);  // marker bytes, not examined
  const uint32_t length = ReadStringLength(field);
  if (length > source_.remaining() / 2) {
    Fail(field, "string of " + std::to_string(length) + " characters runs past the end of the document (" +
                    std::to_string(source_.remaining()) + " bytes remain)");
  }
  if (length == 0) return;
  const std::span<const uint8_t> units = Take(field, size_t{length} * 2);
  v.resize(length);
  for (uint32_t i = 0; i < length; ++i) v[i] = static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8));
}

void BinaryReader::Guid(const char* field, GUID& v) {
  std::u16string text = FormatGuid(v);
  WString(field, text);
  v = ParseGuid(text).value_or(GUID{});
}

void BinaryReader::MemBlob(const char* field, DS_MemBlob& v) {
  Settle(Expect::Count);
  const uint32_t count = ReadValue<uint32_t>(field);
  if (count > source_.remaining()) {
    Fail(field, "block of " + std::to_string(count) + " bytes runs past the end of the document (" +
                    std::to_string(source_.remaining()) + " bytes remain)");
  }
  const std::span<const uint8_t> bytes = Take(field, count);
  v.bytes.assign(bytes.begin(), bytes.end());
  WString(field, v.name);
}

void BinaryReader::ResBlob(const char* field, DS_ResBlob& v) {
  Int(field, v.id);
  WString(field, v.module);
  MemBlob(field, v.blob);
}

void BinaryReader::Bytes(const char* field, std::vector<uint8_t>& v) {
  Settle(Expect::Count);
  const int32_t count = ReadValue<int32_t>(field);
  if (count < 0 || static_cast<size_t>(count) > source_.remaining()) {
    Fail(field, "byte count " + std::to_string(count) + " does not fit the " +
                    std::to_string(source_.remaining()) + " bytes that remain");
  }
  const std::span<const uint8_t> bytes = Take(field, static_cast<size_t>(count));
  v.assign(bytes.begin(), bytes.end());
}

void BinaryReader::KeptBytes(const char* field, std::vector<uint8_t>&) {
  Fail(field, "kept bytes carry no length of their own and are only ever written");
}

void BinaryReader::List(const char* field, size_t& count, FunctionRef<void(size_t)> element) {
  Settle(Expect::Count);
  const int32_t stored = ReadValue<int32_t>(field);
  // Every element takes at least one byte, so a count beyond what remains
  // can only be a damaged document; refusing it early also bounds the work.
  if (stored < 0 || static_cast<size_t>(stored) > source_.remaining()) {
    Fail(field, "list of " + std::to_string(stored) + " entries cannot fit in the " +
                    std::to_string(source_.remaining()) + " bytes that remain");
  }
  count = static_cast<size_t>(stored);
  for (size_t i = 0; i < count; ++i) element(i);
}

void BinaryReader::ReadFields(Frame frame, int current_version, const void* self, FunctionRef<void()> fields) {
  if (frames_.size() >= kMaxDepth) Fail(nullptr, "records nested more than " + std::to_string(kMaxDepth) + " deep");
  // Only versions that differ from today's are worth remembering.
  if (versions_ != nullptr && frame.version != current_version) {
    versions_->Note(self, frame.block == nullptr ? frame.class_name : std::string_view(), frame.version);
  }
  frame.groups = groups_.size();
  frames_.push_back(frame);
  fields();
  frames_.pop_back();
  // A whole record read from where a skip went on confirms the way.
  if (unconfirmed_at_ && frame.block == nullptr && frame.record >= *unconfirmed_at_) unconfirmed_at_.reset();
}

void BinaryReader::Record(const char* field, std::string_view class_name, int current_version, const void* self,
                          FunctionRef<void()> fields) {
  Settle(Expect::Name, Family::General, class_name);
  const size_t start = source_.offset();
  std::u16string stored_name;
  WString(field, stored_name);
  // A fixed class's record name is not compared, but once the read has gone
  // past a record it could not read, a wrong name shows a wrong way.
  if (next_choice_ > 0 && stored_name != std::u16string(class_name.begin(), class_name.end())) {
    Fail(field, "expected a " + std::string(class_name) + " record, found " + ToUtf8(stored_name));
  }
  int32_t version = 0;
  Int(field, version);
  ReadFields({class_name, nullptr, version, start}, current_version, self, fields);
}

void BinaryReader::Group(const char* field, FunctionRef<void()> fields) {
  groups_.push_back(field);
  fields();
  groups_.pop_back();
}

void BinaryReader::VersionedFields(const char* field, int current_version, const void* self,
                                   FunctionRef<void()> fields) {
  Settle(Expect::Value);
  int32_t version = 0;
  Long(field, version);
  const std::string_view owner = frames_.empty() ? std::string_view("document") : frames_.back().class_name;
  ReadFields({owner, field ? field : "list", version, source_.offset()}, current_version, self, fields);
}

std::unique_ptr<DS_IOF_Item> BinaryReader::Object(const char* field, DS_IOF_Item* /*existing*/, Family family,
                                                  FunctionRef<bool(const DS_IOF_Item&)> fits) {
  Settle(Expect::Object, family);
  const size_t start = source_.offset();
  std::u16string stored_name;
  WString(field, stored_name);
  int32_t version = 0;
  Int(field, version);
  const std::string name = ToUtf8(stored_name);
  const std::string place = " at offset " + std::to_string(start) + " (a " + std::string(FamilyName(family)) +
                            " record" +
                            (frames_.empty() ? std::string() : " in " + std::string(frames_.back().class_name)) + ")";
  const ClassRegistry::Entry* entry = ClassRegistry::Get(family).Find(name);
  if (entry == nullptr) return SkipUnknown(family, name, version, start, place, fits);
  // A wrong way taken inside this record is undone here, where the record
  // can be made afresh, rather than from the document's start.
  const Checkpoint checkpoint = Save();
  for (;;) {
    try {
      std::unique_ptr<DS_IOF_Item> object = entry->create();
      if (!fits(*object)) throw InputError("wrong class " + name + place + ": not the kind of object stored there");
      // The bases of a record whose own settings are skipped are read with
      // no recovery of their own: one level per record.
      if (next_choice_ < plan_.size() && plan_[next_choice_].record == start) ++recovering_;
      ReadFields({object->ClassName(), nullptr, version, start, true}, object->CurrentVersion(), object.get(),
                 [&] { object->Describe(*this); });
      recovering_ = checkpoint.recovering;
      return object;
    } catch (const ReadAgain& again) {
      if (again.record != start) throw;
      Restore(checkpoint);
    } catch (const InputError& error) {
      GoBack(checkpoint, error);
    }
  }
}

std::unique_ptr<DS_IOF_Item> BinaryReader::SkipUnknown(Family family, const std::string& name, int32_t version,
                                                       size_t start, const std::string& place,
                                                       FunctionRef<bool(const DS_IOF_Item&)> fits) {
  std::unique_ptr<DS_IOF_Item> object = ClassRegistry::Get(family).CreateUnknown();
  auto* unknown = dynamic_cast<UnknownRecord*>(object.get());
  // Only what a writer could have written is read past, and not inside the
  // way on from another skip before a whole record there has read: that way
  // is most likely wrong (an unknown record right at its start is the next
  // record itself).
  const bool refused = unknown == nullptr || !fits(*object) || recovering_ > 0 || !LooksLikeClassName(start, name) ||
                       (unconfirmed_at_ && *unconfirmed_at_ != start);
  if (refused) throw InputError("unknown class " + name + place);
  unknown->class_name = name;
  unknown->version = version;
  if (const Choice* choice = ReplayedChoice(start)) {
    const std::span<const uint8_t> kept = Span(choice->from, choice->at);
    unknown->bytes.assign(kept.begin(), kept.end());
    source_.Seek(choice->at);
    unconfirmed_at_ = choice->at;
    return object;
  }
  const size_t from = source_.offset();
  NewChoice({start, from, from, Expect::Value, Family::General, {}, name, place, true});
  pending_ = Pending{plan_.size() - 1, unknown};
  return object;
}

bool BinaryReader::LooksLikeClassName(size_t start, const std::string& name) const {
  const std::span<const uint8_t> marker = Span(start, start + 3);
  if (marker[0] != 0xFF || marker[1] != 0xFE || marker[2] != 0xFF || name.empty() || name.size() >= 0xFF) return false;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  return letter(name[0]) && std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

void BinaryReader::UnsettledFields(UnreadFields& unread, std::string_view base_class, FunctionRef<void()> own_fields) {
  const Frame frame = frames_.back();  // own_fields may grow frames_
  if (const Choice* choice = ReplayedChoice(frame.record)) {
    const std::span<const uint8_t> kept = Span(choice->from, choice->at);
    unread.kept = true;
    unread.bytes.assign(kept.begin(), kept.end());
    source_.Seek(choice->at);
    return;
  }
  if (!frame.made_by_name || recovering_ > 0) return own_fields();
  // Our layout first: it is right when the base's record follows it.
  const Checkpoint checkpoint = Save();
  bool readable = true;
  try {
    own_fields();
  } catch (const InputError&) {
    if (gave_up_) throw;
    readable = false;
  }
  Choice skip{frame.record, checkpoint.offset, checkpoint.offset, Expect::Name, Family::General, base_class,
              std::string(frame.class_name), " at offset " + std::to_string(frame.record), false};
  if (readable && Fits(skip, source_.offset())) return;
  Restore(checkpoint);
  plan_.resize(next_choice_);
  if (!FirstPlace(skip)) throw InputError(NoPlace(skip));
  NewChoice(std::move(skip));
  throw ReadAgain{frame.record};
}

BinaryReader::Choice* BinaryReader::ReplayedChoice(size_t record) {
  if (next_choice_ >= plan_.size() || plan_[next_choice_].record != record) return nullptr;
  return &plan_[next_choice_++];
}

BinaryReader::Choice& BinaryReader::NewChoice(Choice choice) {
  plan_.resize(next_choice_);
  plan_.push_back(std::move(choice));
  next_choice_ = plan_.size();
  return plan_.back();
}

void BinaryReader::SettlePending(Expect expect, Family family, std::string_view name) {
  const Pending pending = *pending_;
  pending_.reset();
  Choice& choice = plan_[pending.choice];
  choice.expect = expect;
  choice.family = family;
  choice.name = name;
  if (!FirstPlace(choice)) throw InputError(NoPlace(choice));
  const std::span<const uint8_t> kept = Span(choice.from, choice.at);
  pending.record->bytes.assign(kept.begin(), kept.end());
  source_.Seek(choice.at);
  unconfirmed_at_ = choice.at;
}

bool BinaryReader::Fits(const Choice& choice, size_t at) const {
  const std::span<const uint8_t> rest = source_.bytes().subspan(at);
  if (choice.expect == Expect::Value) return true;
  if (choice.expect == Expect::End) return rest.empty();
  if (choice.expect == Expect::Count) {
    if (rest.size() < 4) return false;
    const int32_t count = static_cast<int32_t>(rest[0] | rest[1] << 8 | rest[2] << 16 | uint32_t{rest[3]} << 24);
    return count >= 0 && static_cast<size_t>(count) <= rest.size() - 4;
  }
  // A string: the marker bytes writers put there and a length that fits
  // (class names are short, so one length byte).
  if (rest.size() < 4 || rest[0] != 0xFF || rest[1] != 0xFE || rest[2] != 0xFF) return false;
  const size_t length = rest[3];
  if (choice.expect == Expect::String) return length != 0xFF ? length * 2 <= rest.size() - 4 : rest.size() >= 6;
  if (length == 0 || length == 0xFF || 4 + length * 2 + 4 > rest.size()) return false;
  std::string name(length, '\0');
  for (size_t i = 0; i < length; ++i) {
    if (rest[5 + 2 * i] != 0 || rest[4 + 2 * i] >= 0x80) return false;
    name[i] = static_cast<char>(rest[4 + 2 * i]);
  }
  if (choice.expect == Expect::Name) return name == choice.name;
  return ClassRegistry::Get(choice.family).Find(name) != nullptr;
}

bool BinaryReader::FirstPlace(Choice& choice) {
  if (!Fits(choice, choice.at)) return NextPlace(choice);
  choice.tried = 1;
  return true;
}

bool BinaryReader::NextPlace(Choice& choice) {
  const size_t end = source_.bytes().size();
  while (choice.at < end) {
    ++choice.at;
    if (++work_ > work_limit_) GiveUp(choice);
    if (Fits(choice, choice.at)) {
      if (choice.tried >= kMostPlacesPerRecord) return false;
      ++choice.tried;
      return true;
    }
  }
  return false;
}

BinaryReader::Checkpoint BinaryReader::Save() const {
  return {source_.offset(), frames_.size(), groups_.size(), versions_ ? versions_->Mark() : 0, next_choice_,
          recovering_, unconfirmed_at_};
}

void BinaryReader::Restore(const Checkpoint& checkpoint) {
  if (source_.offset() > checkpoint.offset) work_ += source_.offset() - checkpoint.offset;
  source_.Seek(checkpoint.offset);
  frames_.resize(checkpoint.frames);
  groups_.resize(checkpoint.groups);
  if (versions_ != nullptr) versions_->RollBack(checkpoint.versions);
  next_choice_ = checkpoint.choice;
  recovering_ = checkpoint.recovering;
  unconfirmed_at_ = checkpoint.unconfirmed_at;
  pending_.reset();
}

void BinaryReader::GoBack(const Checkpoint& checkpoint, const InputError& error) {
  if (gave_up_) throw error;
  // Skips the way did not reach are not part of it.
  plan_.resize(std::min(plan_.size(), next_choice_));
  std::optional<std::string> exhausted;
  while (plan_.size() > checkpoint.choice) {
    Choice& choice = plan_.back();
    if (NextPlace(choice)) {
      Restore(checkpoint);
      if (work_ > work_limit_) GiveUp(choice);
      return;
    }
    exhausted = NoPlace(choice);
    plan_.pop_back();
  }
  if (exhausted) throw InputError(*exhausted);
  throw error;
}

void BinaryReader::GiveUp(const Choice& choice) {
  gave_up_ = true;
  throw InputError((choice.unknown_class ? "unknown class " : "") + choice.class_name +
                   (choice.unknown_class ? "" : " record") + choice.place +
                   ": gave up looking for where the document reads on after it (" + std::to_string(work_) +
                   " bytes read again or scanned)");
}

std::string BinaryReader::NoPlace(const Choice& choice) const {
  if (choice.unknown_class) {
    return "unknown class " + choice.class_name + choice.place +
           ": its layout is not known, and no place after it was found from which the document reads on (" +
           std::to_string(choice.tried) + " tried)";
  }
  return choice.class_name + " record" + choice.place + ": its own settings do not read, and no " +
         std::string(choice.name) + " record follows them from which the document reads on";
}

void BinaryReader::ReadWhole(FunctionRef<void()> read) {
  const Checkpoint checkpoint = Save();
  for (;;) {
    try {
      read();
      Settle(Expect::End);
      return;
    } catch (const InputError& error) {
      GoBack(checkpoint, error);
    }
  }
}

std::vector<BinaryReader::Skipped> BinaryReader::SkippedRecords() const {
  std::vector<Skipped> skipped;
  for (const Choice& choice : plan_) skipped.push_back({choice.class_name, choice.unknown_class, choice.at - choice.from});
  return skipped;
}

}  // namespace lumi
