// What the image-effect benchmarks share: one slide of a 1920 x 1200
// photograph with an effect painted all over it, played through the slide
// player on the headless device, against the same slide without the effect
// in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>

#include "effects/fx_constructor.h"
#include "scene/document.h"

namespace lumi::bench {

// The slide with `effect` (none: the plain picture) over a full mask.
std::unique_ptr<Document> MakeEffectDocument(std::unique_ptr<DS_FX_Constructor> effect);

// Times frames of the slide with the effect against frames without it,
// alternating, and reports both, their ratio and "pass_ratio": the effect's
// pass alone over the plain frame's one textured full-screen pass, and
// "cpu_ratio": their ratio in processor time of all threads, steadier than
// the wall clock when others share the machine.
// `layers` is how many times the effect frame fills the screen's area
// (picture and passes); the chain frame adds its large target.
void Compare(benchmark::State& state, uint32_t width, uint32_t height, std::unique_ptr<DS_FX_Constructor> effect,
             double layers, double chain_pixels = 0);

// The processor time per frame the effect adds to moving and drawing the
// slide (the device's work not waited for), in microseconds.
void CompareProcessorTime(benchmark::State& state, std::unique_ptr<DS_FX_Constructor> effect);

}  // namespace lumi::bench
