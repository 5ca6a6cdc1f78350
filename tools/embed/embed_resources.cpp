// Packs files into a C++ source that registers them as one module's
// resource table.
//
//   embed_resources OUTPUT.cpp [--module NAME] ID TYPE FILE [ID TYPE FILE...]
//
// TYPE is a number (10 for RT_RCDATA) or a name such as DDS. Without
// --module the table is the executable's own.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry {
  unsigned long id;
  std::string type;
  bool typeIsNumber;
  std::vector<unsigned char> bytes;
};

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

std::string Source(const std::string& moduleName, const std::vector<Entry>& entries) {
  std::ostringstream out;
  out << "// Packed by embed_resources.\n#include \"platform/resource_lookup.h\"\n\nnamespace {\n\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::vector<unsigned char>& bytes = entries[i].bytes;
    out << "const unsigned char kBytes" << i << "[" << (bytes.empty() ? 1 : bytes.size()) << "] = {";
    for (std::size_t b = 0; b < bytes.size(); ++b) out << (b % 24 == 0 ? "\n" : "") << unsigned{bytes[b]} << ",";
    out << "};\n";
  }
  out << "\nconst lumi::EmbeddedResource kEntries[] = {\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    out << "    {" << (e.typeIsNumber ? "nullptr, " + e.type : "u\"" + e.type + "\", 0") << ", " << e.id << ", kBytes"
        << i << ", " << e.bytes.size() << "},\n";
  }
  out << "};\n\nconst lumi::EmbeddedResourceTable kTable{u\"" << moduleName << "\", kEntries, " << entries.size()
      << "};\n\n"
      << "struct Registration {\n  Registration() { lumi::RegisterEmbeddedResources(kTable); }\n} registration;\n\n"
      << "}  // namespace\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Fail("usage: embed_resources OUTPUT.cpp [--module NAME] ID TYPE FILE...");
  const std::string output = args.front();
  std::size_t next = 1;
  std::string moduleName;
  if (args.size() > 2 && args[1] == "--module") {
    moduleName = args[2];
    if (!IsPlainName(moduleName)) return Fail("module name '" + moduleName + "' is not a plain file name");
    next = 3;
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
    std::ifstream file(args[next + 2], std::ios::binary);
    if (!file) return Fail("cannot read '" + args[next + 2] + "'");
    entry.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    entries.push_back(std::move(entry));
  }

  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out << Source(moduleName, entries);
  return out ? 0 : Fail("cannot write '" + output + "'");
}
