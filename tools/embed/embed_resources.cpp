// Packs files into a module's resources: a C++ source that registers them
// as one module's resource table, or, for a Windows program's own
// resources, a script for windres.
//
//   embed_resources OUTPUT.cpp [--module NAME] ID TYPE FILE [ID TYPE FILE...]
//   embed_resources OUTPUT.rc --resource-script [--saver VERSION MANIFEST ICON] ID TYPE FILE...
//
// TYPE is a number (10 for RT_RCDATA) or a name such as DDS. Without
// --module the table is the executable's own. --saver adds the screen
// saver's icon (drawn into the file ICON), string table, version and
// manifest to the script.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/embed/resource_script.h"
#include "tools/embed/saver_icon.h"
#include "tools/embed/table_source.h"

namespace {

using lumi::embed::Entry;

bool ParseNumber(const std::string& text, unsigned long limit, unsigned long& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) return false;
  value = std::stoul(text);
  return value <= limit;
}

bool IsPlainName(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == '.' || c == '-';
    if (!plain) return false;
  }
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "embed_resources: %s\n", message.c_str());
  return 1;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    return Fail("usage: embed_resources OUTPUT.cpp [--module NAME] ID TYPE FILE... | "
                "OUTPUT.rc --resource-script [--saver VERSION MANIFEST ICON] ID TYPE FILE...");
  }
  const std::string output = args.front();
  std::size_t next = 1;
  std::string moduleName;
  bool script = false;
  std::optional<lumi::embed::SaverExtras> saver;
  if (args.size() > 2 && args[1] == "--module") {
    moduleName = args[2];
    if (!IsPlainName(moduleName)) return Fail("module name '" + moduleName + "' is not a plain file name");
    next = 3;
  } else if (args.size() > 1 && args[1] == "--resource-script") {
    script = true;
    next = 2;
    if (args.size() > 5 && args[2] == "--saver") {
      saver = lumi::embed::SaverExtras{args[3], args[5], args[4]};
      next = 6;
    }
  }
  if ((args.size() - next) % 3 != 0) return Fail("entries come as ID TYPE FILE triples");

  std::vector<Entry> entries;
  for (; next < args.size(); next += 3) {
    Entry entry;
    if (!ParseNumber(args[next], 0xFFFF, entry.id)) return Fail("resource id '" + args[next] + "' is not 0 to 65535");
    entry.type = args[next + 1];
    unsigned long typeNumber = 0;
    entry.typeIsNumber = ParseNumber(entry.type, 0xFFFF, typeNumber);
    if (!entry.typeIsNumber && !IsPlainName(entry.type)) return Fail("resource type '" + entry.type + "' is not valid");
    entry.path = args[next + 2];
    std::ifstream file(entry.path, std::ios::binary);
    if (!file) return Fail("cannot read '" + entry.path + "'");
    // The script names the file; only the table carries the bytes.
    if (!script) entry.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    entries.push_back(std::move(entry));
  }

  if (!script) {
    return WriteFile(output, lumi::embed::TableSource(moduleName, entries)) ? 0 : Fail("cannot write '" + output + "'");
  }
  if (saver) {
    const std::vector<unsigned char> icon = lumi::embed::SaverIcon();
    if (!WriteFile(saver->iconPath, std::string(icon.begin(), icon.end()))) {
      return Fail("cannot write '" + saver->iconPath + "'");
    }
  }
  try {
    return WriteFile(output, lumi::embed::ResourceScript(entries, saver ? &*saver : nullptr))
               ? 0
               : Fail("cannot write '" + output + "'");
  } catch (const std::logic_error& error) {
    // A path or version the script cannot hold, or a dialog text without its place.
    return Fail(error.what());
  }
}
