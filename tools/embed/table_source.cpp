#include "tools/embed/table_source.h"

#include <sstream>

namespace lumi::embed {

std::string TableSource(const std::string& moduleName, const std::vector<Entry>& entries) {
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

}  // namespace lumi::embed
