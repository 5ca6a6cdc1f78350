// Reading past records that cannot be read: a record-heavy document of about
// 20 MiB loaded as it is, with one object of an unknown class near its
// start, and with one near its end; and the worst case found, an unknown
// object near the end of a 64 MiB document followed by a long run of zeros
// that each read as an empty list, which fails at the bound on work.
#include <benchmark/benchmark.h>

#include "archive/input_error.h"
#include "backdrop/light_2d.h"
#include "scene/document.h"
#include "scene/unknown_object.h"

namespace lumi {
namespace {

std::unique_ptr<DS_ABObj_Constructor> Unknown(std::vector<uint8_t> bytes) {
  auto unknown = std::make_unique<UnknownSceneObject>();
  unknown->class_name = "DS_SnowGlobe";
  unknown->version = 2;
  unknown->bytes = std::move(bytes);
  return unknown;
}

// Slides with a backdrop whose camera walks a path, until the document
// holds `megabytes` MiB.
Document RecordHeavy(size_t megabytes) {
  Document doc;
  while (SaveDocument(doc).size() < (megabytes << 20)) {
    for (int s = 0; s < 5000; ++s) {
      auto slide = std::make_shared<DS_SlideContainer>();
      slide->name.value = u"Slide";
      auto backdrop = std::make_shared<DS_2D_Light>();
      backdrop->picture.key = {u"C:\\Users\\author\\Pictures\\lake.jpg", s};
      for (int p = 0; p < 20; ++p) {
        backdrop->camera.path.push_back(std::make_shared<DX_CamPathPnt>(Vector3{float(p), float(s), 0}));
      }
      slide->backdrop = backdrop;
      doc.show->slides.push_back(slide);
    }
  }
  return doc;
}

// The own fields and bases of an object a newer tool would store.
std::vector<uint8_t> SomeRecordBytes() {
  std::vector<uint8_t> bytes(64);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  return bytes;
}

const std::vector<uint8_t>& Plain() {
  static const std::vector<uint8_t> bytes = [] {
    Document doc = RecordHeavy(20);
    return SaveDocument(doc);
  }();
  return bytes;
}

std::vector<uint8_t> WithUnknownAt(size_t slide) {
  Document doc = RecordHeavy(20);
  doc.show->slides.at(slide)->objects.push_back(Unknown(SomeRecordBytes()));
  return SaveDocument(doc);
}

void LoadEachRun(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    Document doc = LoadDocument(bytes);
    benchmark::DoNotOptimize(doc.show.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["document_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_Load20MiB(benchmark::State& state) { LoadEachRun(state, Plain()); }
BENCHMARK(BM_Load20MiB)->Unit(benchmark::kMillisecond);

void BM_Load20MiBUnknownNearStart(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = WithUnknownAt(1);
  LoadEachRun(state, bytes);
}
BENCHMARK(BM_Load20MiBUnknownNearStart)->Unit(benchmark::kMillisecond);

// Near the end every wrong place before the right one reads the slides
// before it again.
void BM_Load20MiBUnknownNearEnd(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = [] {
    Document doc = RecordHeavy(20);
    return WithUnknownAt(doc.show->slides.size() - 2);
  }();
  LoadEachRun(state, bytes);
}
BENCHMARK(BM_Load20MiBUnknownNearEnd)->Unit(benchmark::kMillisecond);

// The unknown object is the last of the slide before the last, its bytes
// 16 KiB of zeros (each place reads as an empty list of sounds, then fails at
// the next slide, outside its own), and the resource table is damaged so
// that no place leads on: every place reads the document from its start
// again until the bound on work stops the load.
void BM_Fail64MiBHostile(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = [] {
    Document doc = RecordHeavy(64);
    doc.show->slides.at(doc.show->slides.size() - 2)->objects.push_back(Unknown(std::vector<uint8_t>(16 << 10, 0)));
    std::vector<uint8_t> saved = SaveDocument(doc);
    saved[saved.size() - 30] ^= 0x55;  // inside the resource table's last records
    return saved;
  }();
  for (auto _ : state) {
    try {
      LoadDocument(bytes);
      state.SkipWithError("the hostile document loaded");
    } catch (const InputError& e) {
      benchmark::DoNotOptimize(e.what());
    }
  }
  state.counters["document_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_Fail64MiBHostile)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lumi
