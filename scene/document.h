// A whole scene document: the signature string, the slide show and the
// resource table, read from and written to the binary form and JSON.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "archive/json_writer.h"
#include "archive/version_log.h"
#include "scene/doc_res_manager.h"
#include "scene/slide_show.h"

namespace lumi {

struct Document {
  std::u16string signature = u"KSV v 4.0.0";
  std::unique_ptr<DS_SlideShow_Light> show = std::make_unique<DS_SlideShow_Light>();
  std::unique_ptr<DS_DocResManager> resources = std::make_unique<DS_DocResManager>();

  // Bytes found after the resource table (none in a sound document).
  size_t trailing_bytes = 0;
  // The versions records had in the file, for inspection.
  VersionLog stored_versions;
};

// More bytes than this after the resource table, and more than the document
// itself, are refused.
inline constexpr size_t kMaxTrailingBytes = 64 * 1024;

// Throws InputError naming the record, field and offset of the first fault,
// or saying the bytes are no document.
Document LoadDocument(std::span<const uint8_t> bytes);
// Every record in its current version.
std::vector<uint8_t> SaveDocument(Document& document);

nlohmann::ordered_json DocumentToJson(Document& document, std::optional<BlobExtraction> extraction);
// Blob files named in the JSON are read relative to `base_directory`.
Document DocumentFromJson(const nlohmann::ordered_json& json, const std::filesystem::path& base_directory);

}  // namespace lumi
