// What an object of a class this program does not know keeps of its record:
// the class name and version it was stored with and the bytes the reader
// skipped, so that the document is written back as it was found. Each family
// that can hold such an object has a class deriving from its own base and
// this one (a scene object that plays nothing, a backdrop that draws black).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive.h"

namespace lumi {

class UnknownRecord {
 public:
  virtual ~UnknownRecord() = default;

  std::string class_name;  // as stored, in UTF-8
  int version = 0;
  std::vector<uint8_t> bytes;  // everything after the version

 protected:
  // The record: the skipped bytes alone, shown by inspect as a blob.
  void DescribeKept(Archive& ar) { ar.KeptBytes("skipped_bytes", bytes); }
};

// Declares the name and version of such a class as the ones stored.
#define LUMI_UNKNOWN_CLASS                                                  \
 public:                                                                    \
  std::string_view ClassName() const override { return class_name; }       \
  int CurrentVersion() const override { return version; }                  \
  void Describe(Archive& ar) override { DescribeKept(ar); }

}  // namespace lumi
