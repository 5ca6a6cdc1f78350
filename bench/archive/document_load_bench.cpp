// Document load speed: a record-heavy document (many slides with camera
// paths) and a blob-heavy one of about 50 MB. Reports bytes per second.
#include <benchmark/benchmark.h>

#include "backdrop/light_2d.h"
#include "scene/document.h"

namespace lumi {
namespace {

// Many small records of every skeleton kind: slides with names, backdrops
// and cameras with a few path points, and resource entries with keys.
std::vector<uint8_t> RecordHeavyDocument() {
  Document doc;
  for (int s = 0; s < 20000; ++s) {
    auto slide = std::make_shared<DS_SlideContainer>();
    slide->name.value = u"Slide " + std::u16string(1, static_cast<char16_t>(u'A' + s % 26));
    auto backdrop = std::make_shared<DS_2D_Light>();
    backdrop->picture.key = {u"C:\\Users\\author\\Pictures\\lake.jpg", 133500000000000000LL + s};
    for (int p = 0; p < 5; ++p) {
      backdrop->camera.path.push_back(std::make_shared<DX_CamPathPnt>(Vector3{float(p), float(s), 0}));
    }
    slide->backdrop = backdrop;
    doc.show->slides.push_back(slide);
    doc.resources->delays.push_back({{u"C:\\Users\\author\\anim.gif", s}, std::vector<float>(20, 0.04f)});
    doc.resources->module_files.push_back({{u"common_res.dll", s}, {{s, u"common_res.dll", {u"", {1, 2, 3, 4}}}}});
  }
  return SaveDocument(doc);
}

std::vector<uint8_t> BlobHeavyDocument() {
  Document doc;
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->backdrop = std::make_shared<DS_2D_Light>();
  doc.show->slides.push_back(slide);
  for (int i = 0; i < 10; ++i) {
    std::vector<uint8_t> picture(5 * 1024 * 1024, static_cast<uint8_t>(i));
    doc.resources->pictures.push_back({{u"C:\\pics\\" + std::u16string(1, u'0' + i) + u".jpg", i}, {{0, u"", {u"p.jpg", picture}}}});
  }
  return SaveDocument(doc);
}

void Load(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    Document doc = LoadDocument(bytes);
    benchmark::DoNotOptimize(doc.show.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["document_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_LoadRecordHeavyDocument(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = RecordHeavyDocument();
  Load(state, bytes);
}
BENCHMARK(BM_LoadRecordHeavyDocument)->Unit(benchmark::kMillisecond);

// The same without freeing the loaded document, which the timing above
// includes: the cost of parsing alone.
void BM_ParseRecordHeavyDocument(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = RecordHeavyDocument();
  for (auto _ : state) {
    auto doc = std::make_unique<Document>(LoadDocument(bytes));
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseRecordHeavyDocument)->Unit(benchmark::kMillisecond);

void BM_LoadBlobHeavyDocument(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = BlobHeavyDocument();
  Load(state, bytes);
}
BENCHMARK(BM_LoadBlobHeavyDocument)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumi
