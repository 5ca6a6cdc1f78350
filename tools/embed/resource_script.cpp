#include "tools/embed/resource_script.h"

#include <sstream>
#include <stdexcept>

#include "archive/utf.h"
#include "host/string_table.h"
#include "tools/embed/dialog_script.h"

namespace lumi::embed {
namespace {

constexpr int kManifestType = 24;  // RT_MANIFEST
constexpr int kProcessManifestId = 1;

// A file name in the script: windres reads it as a quoted string.
std::string QuotedPath(const std::string& path) {
  if (path.find_first_of("\"\\\n") != std::string::npos) {
    throw std::invalid_argument("path '" + path + "' cannot be named in a resource script");
  }
  return '"' + path + '"';
}

// "1.2.3" as the four comma-separated numbers of VERSIONINFO.
std::string VersionNumbers(const std::string& version) {
  std::string numbers;
  int parts = 0;
  std::istringstream in(version);
  for (std::string part; std::getline(in, part, '.');) {
    if (part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(part) > 0xFFFF || ++parts > 4) {
      throw std::invalid_argument("version '" + version + "' is not up to four numbers of 0 to 65535");
    }
    numbers += (numbers.empty() ? "" : ",") + part;
  }
  if (parts == 0) throw std::invalid_argument("the version is empty");
  for (; parts < 4; ++parts) numbers += ",0";
  return numbers;
}

void WriteSaverExtras(std::ostream& out, const SaverExtras& saver) {
  out << "1 ICON " << QuotedPath(saver.iconPath) << "\n";
  out << kProcessManifestId << " " << kManifestType << " " << QuotedPath(saver.manifestPath) << "\n\n";
  out << "STRINGTABLE\nBEGIN\n";
  for (const StringEntry& entry : StringTable()) out << "  " << entry.id << ", " << QuotedText(entry.text) << "\n";
  out << "END\n\n" << DialogTemplates();
  const std::string numbers = VersionNumbers(saver.version);
  const std::string version = QuotedText(FromUtf8(saver.version));
  out << "1 VERSIONINFO\nFILEVERSION " << numbers << "\nPRODUCTVERSION " << numbers
      << "\nFILEOS 0x40004\nFILETYPE 0x1\nBEGIN\n"
         "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904b0\"\n    BEGIN\n"
         "      VALUE \"FileDescription\", \"Lumisave screen saver\"\n"
         "      VALUE \"FileVersion\", "
      << version
      << "\n      VALUE \"InternalName\", \"lumisave\"\n"
         "      VALUE \"OriginalFilename\", \"lumisave.scr\"\n"
         "      VALUE \"ProductName\", \"Lumisave\"\n"
         "      VALUE \"ProductVersion\", "
      << version
      << "\n    END\n  END\n"
         "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n";
}

}  // namespace

std::string QuotedText(std::u16string_view text) {
  std::string quoted = "\"";
  for (const char c : ToUtf8(text)) {
    if (c == '"') {
      quoted += "\"\"";
    } else if (c == '\\') {
      quoted += "\\\\";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

std::string ResourceScript(const std::vector<Entry>& entries, const SaverExtras* saver) {
  std::ostringstream out;
  out << "// Written by embed_resources.\n";
  for (const Entry& entry : entries) out << entry.id << " " << entry.type << " " << QuotedPath(entry.path) << "\n";
  out << "\n";
  if (saver) WriteSaverExtras(out, *saver);
  return out.str();
}

}  // namespace lumi::embed
