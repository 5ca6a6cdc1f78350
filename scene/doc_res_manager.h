// The document's resource table: copies of every picture, effect program,
// brush mask and frame list the scene uses, keyed as the scene's file links
// name them. This is its stored record; entries are kept in document order.
#pragma once

#include <vector>

#include "archive/archive.h"
#include "archive/blobs.h"
#include "archive/guid.h"
#include "params/file_link.h"

namespace lumi {

struct ResourceFrames {
  ResourceKey key;
  std::vector<DS_ResBlob> frames;
};

struct ResourceDelays {
  ResourceKey key;
  std::vector<float> delays;  // seconds
};

struct MaskRecord {
  GUID guid;
  std::u16string name;
  bool flag = true;
  DS_MemBlob file;
};

struct FrameItem {
  int32_t tag = 0;  // stored beside each item; the player does not use it
  std::vector<uint8_t> bytes;
  float delay = 0;
};

struct ResourceFrameItems {
  ResourceKey key;
  std::vector<FrameItem> items;
};

class DS_DocResManager : public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_DocResManager, 4)

 public:
  void Describe(Archive& ar) override;

  std::vector<ResourceFrames> pictures;      // section 1
  std::vector<ResourceDelays> delays;        // section 2
  std::vector<ResourceFrames> module_files;  // section 3: effect programs and other module files
  std::vector<MaskRecord> masks;             // section 4
  std::vector<ResourceFrameItems> frame_items;  // section 5
};

}  // namespace lumi
