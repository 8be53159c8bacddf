// Cost of one trial frequency (assembly + determinant) and of the largest run.

#include <benchmark/benchmark.h>

#include <vector>

#include "characteristic.h"
#include "continuous_comparison.h"
#include "continuous_shaft.h"
#include "frequency_count.h"
#include "opred.h"
#include "results_summary.h"
#include "results_tables.h"
#include "sob.h"
#include "stiffness_map.h"

namespace {

using namespace vp;

// A uniform shaft of length 1 (EI = 1, mass 1 per length) in KM sections and KZ
// equal spans, on 10 supports with stiffnesses growing with the variant.
TShaftModel LargeShaft(int KM, int KZ, int KW, int KP) {
  TShaftModel m;
  m.N = 10;
  m.KM = KM;
  m.KZ = KZ;
  m.KW = KW;
  m.KP = KP;
  for (int j = 1; j <= KZ; ++j) m.SpanEnd[j] = KM * j / KZ;
  for (int s = 1; s <= m.N; ++s) {
    m.SupportSection[s] = KM * s / (m.N + 1);
    for (int v = 1; v <= KW; ++v) m.SupportStiffness[s][v] = 10.0 * v * v;
  }
  for (int i = 1; i <= KM; ++i) {
    m.SectionLength[i] = 1.0 / KM;
    m.SectionMass[i] = 1.0 / KM;
    m.SectionEI[i] = 1;
  }
  m.ComputeSectionX();
  return m;
}

// From 1 in steps of 5 up to 6000, which holds 20 frequencies of every variant.
TSearchParams LargeRunParams() {
  TSearchParams P{};
  P[kStart] = 1;
  P[kStep] = 5;
  P[kUpper] = 6000;
  P[kDetEps] = 1e-10;
  P[kFreqEps] = 1e-6;
  P[kStepDivisor] = 3;
  P[kReportFactor] = 100;
  return P;
}

void BM_Trial(benchmark::State& state) {
  const TShaftModel model = LargeShaft(200, static_cast<int>(state.range(0)), 1, 1);
  const ShaftLayout layout(model, 1);
  const int n = layout.n();
  std::vector<double> a(n * n);
  double omega = 10;
  for (auto _ : state) {
    layout.Assemble(omega, MatrixView{a.data(), n});
    double mantissa;
    int exponent;
    OPRED(a.data(), n, 8, mantissa, exponent, n, 2);
    benchmark::DoNotOptimize(mantissa);
    omega += 1e-3;
  }
}
BENCHMARK(BM_Trial)->Arg(6)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_LargestRun(benchmark::State& state) {
  const TShaftModel model = LargeShaft(200, 20, 20, 20);
  long frequencies = 0;
  for (auto _ : state) {
    ResultsTables tables;
    TNewFormModel newForm;
    ResultsWriter writer(tables, newForm, model, false, nullptr, '.');
    const SolverContext ctx{model, writer};
    TSearchParams P = LargeRunParams();
    for (int v = 1; v <= model.KW; ++v) {
      P[kStart] = 1;
      benchmark::DoNotOptimize(SOB(P, v, ctx));
    }
    frequencies = tables.StringGrid1.ColCount() - 1;
  }
  state.counters["frequencies_of_last_variant"] = static_cast<double>(frequencies);
}
BENCHMARK(BM_LargestRun)->Unit(benchmark::kMillisecond);

// One variant of the largest run: the sweep, then the count of the natural
// frequencies its range holds (beside it, to compare their costs).
void BM_SweepOfOneVariant(benchmark::State& state) {
  const TShaftModel model = LargeShaft(200, 20, 1, 20);
  for (auto _ : state) {
    ResultsTables tables;
    TNewFormModel newForm;
    ResultsWriter writer(tables, newForm, model, false, nullptr, '.');
    TSearchParams P = LargeRunParams();
    int v = 1;
    benchmark::DoNotOptimize(SOB(P, v, SolverContext{model, writer}));
  }
}
BENCHMARK(BM_SweepOfOneVariant)->Unit(benchmark::kMillisecond);

void BM_CompletenessCheckOfOneVariant(benchmark::State& state) {
  const TShaftModel model = LargeShaft(200, 20, 1, 20);
  // Found frequencies as a careful sweep gives them; with one left out the
  // check also isolates the missing one by bisection.
  const bool withMiss = state.range(0) != 0;
  FrequencyCounter counter(model, 1);
  std::vector<double> found;
  for (int index = 0; found.size() < 20; ++index) {
    double a = 1, b = 6000;
    for (int step = 0; step < 60; ++step) {
      const double mid = 0.5 * (a + b);
      (counter.CountBelow(mid) > index ? b : a) = mid;
    }
    if (a > 1) found.push_back(b);
  }
  const double end = found.back();
  if (withMiss) found.erase(found.begin() + 5);
  for (auto _ : state) benchmark::DoNotOptimize(CheckCompleteness(model, 1, {1, end, 0.5, 1e-6}, found));
}
BENCHMARK(BM_CompletenessCheckOfOneVariant)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The continuous shaft's first 20 frequencies of every variant of the largest
// run (beside BM_LargestRun, which finds the lumped ones).
void BM_ContinuousFrequenciesOfLargestRun(benchmark::State& state) {
  const TShaftModel model = LargeShaft(200, 20, 20, 20);
  long found = 0;
  for (auto _ : state) {
    found = 0;
    for (int v = 1; v <= model.KW; ++v) found += static_cast<long>(ContinuousShaft(model, v).Frequencies(1, model.KP).size());
  }
  state.counters["frequencies"] = static_cast<double>(found);
}
BENCHMARK(BM_ContinuousFrequenciesOfLargestRun)->Unit(benchmark::kMillisecond);

// What the run adds to BM_LargestRun after each variant's sweep: its
// continuous shaft's frequencies in [F1, FK] and those of the found
// frequencies' ordinals (CompareWithContinuous); FK of the run (6000, about
// 24 continuous frequencies per variant) or as no bound (1E9: the first 100).
void BM_ContinuousComparisonOfLargestRun(benchmark::State& state) {
  const double FK = static_cast<double>(state.range(0));
  const TShaftModel model = LargeShaft(200, 20, 20, 20);
  ResultsSummary summary;
  SummaryRecorder recorder(summary);
  TSearchParams P = LargeRunParams();
  for (int v = 1; v <= model.KW; ++v) {
    P[kStart] = 1;
    benchmark::DoNotOptimize(SOB(P, v, SolverContext{model, recorder}));
    VariantResult& result = summary.Variant(v);
    std::vector<double> found;
    for (const ModeData& mode : result.modes) found.push_back(mode.omega);
    result.completeness = CheckCompleteness(model, v, {1, P[kStart], P[kStep], P[kFreqEps]}, found);
  }
  long paired = 0;
  for (auto _ : state) {
    paired = 0;
    for (VariantResult& result : summary.variants) {
      CompareWithContinuous(ContinuousShaft(model, result.variant), 1, FK, result);
      for (const auto& omega : result.continuous.sameOrdinal) paired += omega.has_value();
    }
  }
  state.counters["paired"] = static_cast<double>(paired);
}
BENCHMARK(BM_ContinuousComparisonOfLargestRun)->Arg(6000)->Arg(1000000000)->Unit(benchmark::kMillisecond);

// The default critical-speed map (61 stiffnesses, min(KP, 6) lines) of the
// largest run (0) and of a 20-section rotor on two bearings (1).
void BM_DefaultStiffnessMap(benchmark::State& state) {
  TShaftModel model = LargeShaft(200, 20, 20, 20);
  if (state.range(0) == 1) {
    model = LargeShaft(20, 2, 2, 4);
    model.N = 2;
    model.SupportSection[1] = 2;
    model.SupportSection[2] = 18;
    for (int i = 1; i <= 20; ++i) {
      model.SectionLength[i] = 0.1;
      model.SectionMass[i] = 6.16;
      model.SectionEI[i] = 310000;
    }
    for (int s = 1; s <= 2; ++s) {
      model.SupportStiffness[s][1] = 1e7;
      model.SupportStiffness[s][2] = 1e8;
    }
  }
  const StiffnessMapRange range = *DefaultStiffnessMapRange(model);
  size_t lines = 0;
  for (auto _ : state) lines = ComputeStiffnessMap(model, range).lines.size();
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DefaultStiffnessMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
