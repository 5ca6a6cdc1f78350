// inspect: print a document (bare, or inside a Windows executable) as JSON.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "archive/document_source.h"
#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/pe_module.h"
#include "scene/document.h"
#include "tools/command.h"

namespace lumi::tool::dump_command {
namespace {

constexpr char kUsageText[] =
    "Usage: lumisave-tool inspect FILE [--extract DIR] [-o OUT.json]\n"
    "Print the document in FILE (a document, or a .scr that carries one) as JSON:\n"
    "the signature, then every record with its class, stored version and fields.\n"
    "Blobs are shown as byte count, SHA-256 and name.\n\n"
    "  --extract DIR   write every blob to a file in DIR and name the file in the JSON\n"
    "                  (the result can be edited and rebuilt with 'pack')\n"
    "  -o OUT.json     write the JSON to OUT.json instead of standard output;\n"
    "                  blob files are then named relative to OUT.json's folder\n\n"
    "For a .scr, the ids of its \"DDS\" resources (the document and the pictures\n"
    "the saver draws with) are listed on standard error.\n\n"
    "On standard output blob files are named as DIR was given. 'pack' looks for a\n"
    "file relative to the JSON's folder, then relative to the working directory.\n";

// The ids of an executable's "DDS" resources, so that a build can check
// what its saver carries; nothing for a bare document.
void ListExecutableResources(const std::string& file) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(file);
  if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return;
  const PeModule module(std::move(bytes), file);
  std::string ids;
  for (const PeResourceName& id : module.ResourceIds(PeResourceName(std::u16string_view(kDocumentResourceType)))) {
    ids += (ids.empty() ? "" : ", ") + id.ToString();
  }
  std::fprintf(stderr, "lumisave-tool inspect: %s carries resources \"DDS\" %s\n", file.c_str(), ids.c_str());
}

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const auto extract = args.Option("--extract");
  const auto output = args.Option("-o", "--output");
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one FILE"};

  Document document = LoadDocument(ReadDocumentFile(files[0]));
  ListExecutableResources(files[0]);
  if (document.trailing_bytes != 0) {
    std::fprintf(stderr, "lumisave-tool inspect: warning: %zu bytes after the resource table were not read\n",
                 document.trailing_bytes);
  }
  std::optional<BlobExtraction> extraction;
  if (extract) {
    std::error_code ec;
    std::filesystem::create_directories(*extract, ec);
    if (ec) throw InputError(*extract + ": cannot create directory (" + ec.message() + ")");
    extraction = BlobExtraction{std::filesystem::u8path(*extract), std::nullopt};
    if (output) extraction->relative_to = std::filesystem::absolute(*output).parent_path();
  }
  const std::string text = DocumentToJson(document, extraction).dump(2) + "\n";
  if (output) {
    WriteFileBytes(*output, AsBytes(text));
  } else {
    std::cout << text;
  }
  return kSuccess;
}

const RegisterCommand kRegister({"inspect", "print a document as JSON", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::dump_command
