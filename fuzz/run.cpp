// The whole run of a text input, as the batch command makes it: the load,
// "Начать расчет" with the mode shapes (every variant swept, its frequencies
// counted and compared with the continuous shaft), then the frequency map and
// the critical-speed map, and the JSON document of it all. A run estimated
// above a few seconds is declined and one still computing after some more is
// stopped, so that one input never holds the fuzzer for long.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "calculation_run.h"
#include "frequency_map.h"
#include "input_loader.h"
#include "json_document.h"
#include "stiffness_map_curves.h"

namespace {

using namespace vp;

constexpr double kMostEstimatedSeconds = 2, kMostSeconds = 10;

class FuzzUi : public RunUi, public ModeShapeDisplay {
 public:
  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return this; }
  bool ShowModeShape(const TNewFormModel&) override { return true; }
  void ShowResults() override {}
  void ShowMessage(const std::string&) override {}
  void ShowInputError(const std::string&) override {}
  void ShowInterrupted() override {}
  bool AcceptEstimate(double seconds) override { return seconds <= kMostEstimatedSeconds; }
  void AwaitWorker(CalculationWorker& worker) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(kMostSeconds);
    while (!worker.Serve()) {
      if (std::chrono::steady_clock::now() > end) worker.Stop();
      worker.WaitForNews(100);
    }
  }
};

struct Maps {
  FrequencyMap frequencies;
  StiffnessMapChart stiffness;
};

// The maps of a run, computed in this one place.
Maps RunMaps(const ProgramState& st) {
  return {BuildFrequencyMap(st.summary), ChartStiffnessMap(st.model, std::nullopt, st.params[kReportFactor])};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProgramState st;
  if (LoadInputText(std::string_view(reinterpret_cast<const char*>(data), size), st.form, '.')) return 0;
  st.form.CheckBox1 = true;
  FuzzUi ui;
  if (RunCalculation(st, ui, '.') != RunOutcome::Completed) return 0;
  const Maps maps = RunMaps(st);
  (void)JsonText(ResultsJson(st.model, st.summary, &maps.stiffness, "", ""));
  return 0;
}
