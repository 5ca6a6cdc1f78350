#include "scene/doc_res_manager.h"

namespace lumi {
namespace {

// Describes a list of T whose entries `describe` lays out.
template <class T, class Describe>
void Entries(Archive& ar, const char* field, std::vector<T>& list, Describe describe) {
  size_t count = list.size();
  ar.List(field, count, [&](size_t i) {
    if (ar.IsReading()) list.emplace_back();
    ar.Group(nullptr, [&] { describe(list[i]); });
  });
}

void FramesSection(Archive& ar, const char* field, std::vector<ResourceFrames>& section) {
  Entries(ar, field, section, [&](ResourceFrames& entry) {
    KeyFields(ar, entry.key);
    size_t count = entry.frames.size();
    ar.List("frames", count, [&](size_t i) {
      if (ar.IsReading()) entry.frames.emplace_back();
      ar.ResBlob(nullptr, entry.frames[i]);
    });
  });
}

}  // namespace

void DS_DocResManager::Describe(Archive& ar) {
  const int v = ar.version();
  FramesSection(ar, "pictures", pictures);
  Entries(ar, "delays", delays, [&](ResourceDelays& entry) {
    KeyFields(ar, entry.key);
    size_t count = entry.delays.size();
    ar.List("delays", count, [&](size_t i) {
      if (ar.IsReading()) entry.delays.emplace_back();
      ar.Float(nullptr, entry.delays[i]);
    });
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
      size_t count = entry.items.size();
      ar.List("items", count, [&](size_t i) {
        if (ar.IsReading()) entry.items.emplace_back();
        FrameItem& item = entry.items[i];
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
