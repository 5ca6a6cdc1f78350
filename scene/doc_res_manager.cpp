#include "scene/doc_res_manager.h"

namespace lumi {
namespace {

// A list of entries, each one JSON object.
template <class T, class Describe>
void Entries(Archive& ar, const char* field, std::vector<T>& list, Describe describe) {
  ListOf(ar, field, list, [&](T& entry) { ar.Group(nullptr, [&] { describe(entry); }); });
}

void FramesSection(Archive& ar, const char* field, std::vector<ResourceFrames>& section) {
  Entries(ar, field, section, [&](ResourceFrames& entry) {
    KeyFields(ar, entry.key);
    ListOf(ar, "frames", entry.frames, [&](DS_ResBlob& frame) { ar.ResBlob(nullptr, frame); });
  });
}

}  // namespace

void DS_DocResManager::Describe(Archive& ar) {
  const int v = ar.version();
  FramesSection(ar, "pictures", pictures);
  Entries(ar, "delays", delays, [&](ResourceDelays& entry) {
    KeyFields(ar, entry.key);
    ListOf(ar, "delays", entry.delays, [&](float& delay) { ar.Float(nullptr, delay); });
  });
  if (v >= 2) FramesSection(ar, "module_files", module_files);
  if (v >= 3) {
    Entries(ar, "masks", masks, [&](MaskRecord& mask) {
      ar.Guid("guid", mask.guid);
      ar.WString("name", mask.name);
      ar.Bool("flag", mask.flag);
      ar.MemBlob("file", mask.file);
    });
  }
  if (v >= 4) {
    Entries(ar, "frame_items", frame_items, [&](ResourceFrameItems& entry) {
      KeyFields(ar, entry.key);
      ListOf(ar, "items", entry.items, [&](FrameItem& item) {
        ar.Group(nullptr, [&] {
          ar.Long("tag", item.tag);
          ar.Bytes("data", item.bytes);
          ar.Float("delay", item.delay);
        });
      });
    });
  }
}

}  // namespace lumi
