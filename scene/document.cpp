#include "scene/document.h"

#include <set>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/json_reader.h"
#include "scene/notices.h"

namespace lumi {
namespace {

// The layout after the signature, shared by all four archives.
void DescribeDocument(Archive& ar, Document& document) {
  Member(ar, "show", *document.show);
  Member(ar, "resources", *document.resources);
}

// One notice for each class whose records the load went past.
void NoteSkippedRecords(const std::vector<BinaryReader::Skipped>& skipped) {
  std::set<std::string> noted;
  for (const BinaryReader::Skipped& record : skipped) {
    if (!noted.insert(record.class_name).second) continue;
    AddNoticeOnce(record.class_name + (record.unknown_class ? ": layout not known, " + std::to_string(record.bytes) +
                                                                  " bytes skipped"
                                                            : ": own settings not readable, defaults used"));
  }
}

}  // namespace

Document LoadDocument(std::span<const uint8_t> bytes) {
  Document document;
  BinaryReader reader(bytes, &document.stored_versions);
  reader.ReadWhole([&] {
    // Each try starts from fresh objects; the version log keeps its place.
    document.show = std::make_unique<DS_SlideShow_Light>();
    document.resources = std::make_unique<DS_DocResManager>();
    document.signature.clear();
    reader.WString("signature", document.signature);
    DescribeDocument(reader, document);
  });
  document.trailing_bytes = reader.remaining();
  NoteSkippedRecords(reader.SkippedRecords());
  return document;
}

std::vector<uint8_t> SaveDocument(Document& document) {
  BinaryWriter writer;
  writer.WString("signature", document.signature);
  DescribeDocument(writer, document);
  return writer.Release();
}

nlohmann::ordered_json DocumentToJson(Document& document, std::optional<BlobExtraction> extraction) {
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  JsonWriter writer(json, &document.stored_versions, std::move(extraction));
  writer.WString("signature", document.signature);
  DescribeDocument(writer, document);
  if (document.trailing_bytes != 0) json["trailing_bytes"] = document.trailing_bytes;
  return json;
}

Document DocumentFromJson(const nlohmann::ordered_json& json, const std::filesystem::path& base_directory) {
  Document document;
  JsonReader reader(json, base_directory);
  reader.ReadObjectFields(nullptr, 0, [&] {
    reader.WString("signature", document.signature);
    DescribeDocument(reader, document);
    reader.Derived("trailing_bytes", 0);
  });
  return document;
}

}  // namespace lumi
