// A stored class that uses every kind of value the archives know, with a
// base record and an older layout, for the archive tests.
#pragma once

#include <memory>
#include <vector>

#include "archive/archive.h"

namespace lumi::test {

struct WidgetBase {
  int32_t base_value = 7;
  void Describe(Archive& ar) { ar.Long("base_value", base_value); }
};

class Widget : public DS_IOF_Item, public WidgetBase {
  LUMI_STORED_CLASS(TestWidget, 2)

 public:
  void Describe(Archive& ar) override {
    ar.Int("count", count);
    ar.UInt("slider", slider);
    ar.Derived("slider_scaled", slider * 0.01);
    // Version 1 stored the ratio as a percentage.
    if (ar.version() >= 2) {
      ar.Float("ratio", ratio);
    } else {
      uint32_t percent = 0;
      ar.UInt("ratio_percent", percent);
      ratio = static_cast<float>(percent) / 100.0f;
    }
    ar.Bool("flag", flag);
    ar.Int64("stamp", stamp);
    ar.WString("name", name);
    ar.Guid("identity", identity);
    ar.Group("pair", [&] {
      ar.Float("first", pair[0]);
      ar.Float("second", pair[1]);
    });
    ar.MemBlob("blob", blob);
    ar.ResBlob("resource", resource);
    ar.Bytes("raw", raw);
    size_t n = samples.size();
    ar.List("samples", n, [&](size_t i) {
      if (ar.IsReading()) samples.emplace_back();
      ar.Float(nullptr, samples[i]);
    });
    ar.VersionedFields("point", 1, &point, [&] {
      ar.Float("x", point);
      if (ar.version() > 0) ar.UInt("extra", point_extra);
    });
    ObjectList<Widget>(ar, "children", children, Family::General);
    BaseRecord(ar, "TestWidgetBase", 1, static_cast<WidgetBase*>(this), [&] { WidgetBase::Describe(ar); });
  }

  int32_t count = 0;
  uint32_t slider = 0;
  float ratio = 0;
  bool flag = false;
  int64_t stamp = 0;
  std::u16string name;
  GUID identity;
  float pair[2] = {0, 0};
  DS_MemBlob blob;
  DS_ResBlob resource;
  std::vector<uint8_t> raw;
  std::vector<float> samples;
  float point = 0;
  uint32_t point_extra = 100;
  std::vector<std::unique_ptr<Widget>> children;
};

}  // namespace lumi::test
