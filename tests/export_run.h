#pragma once
// A finished calculation as the results export sees it: the main form's counts
// and parameters, the echo form's grids, and the results tables filled through
// the results writer with synthetic modes whose values tell where they came from.

#include <string>
#include <vector>

#include "input_form_model.h"
#include "main_form_model.h"
#include "numtext.h"
#include "results_tables.h"

namespace vp::test {

struct ExportRun {
  TMainFormModel main;
  TInputFormModel input;
  TShaftModel model;
  ResultsTables tables;
  TNewFormModel newForm;
  char sep;
  ResultsWriter writer;

  // Quantity q (1..4) of cross-section i in frequency k of variant v.
  static double Quantity(int v, int k, int i, int q) {
    switch (q) {
      case 1: return v + k / 10.0 + i / 1000.0;
      case 2: return -i / 7.0;
      case 3: return 10.0 * i + k;
      default: return v / 4.0 - 3e-7 * i;
    }
  }
  static double Frequency(int v, int k) { return 100.0 * k + v / 8.0; }
  static double Support(int s) { return s; }
  static double Stiffness(int n, int w) { return 1000.0 * n + w / 2.0; }

  ExportRun(const ExportRun&) = delete;  // the writer is bound to this run's tables
  ExportRun(int N, int KM, int KZ, int KW, int KP, char decimalSeparator = '.')
      : sep(decimalSeparator), writer(tables, newForm, model, false, nullptr, decimalSeparator) {
    main.SetSpinValue(Count::Supports, N);
    main.SetSpinValue(Count::Sections, KM);
    main.SetSpinValue(Count::Spans, KZ);
    main.SetSpinValue(Count::Variants, KW);
    main.Edit3 = std::to_string(KP);
    main.Edit8 = Real(0.1);    // F1
    main.Edit9 = Real(0.5);    // FT1
    main.Edit10 = Real(50);    // FK
    main.Edit11 = Real(1e-6);  // EPS
    main.Edit12 = Real(1e-5);  // EPSF

    model.N = N;
    model.KM = KM;
    model.KZ = KZ;
    model.KW = KW;
    model.KP = KP;
    for (int i = 1; i <= KM; ++i) {
      model.SectionLength[i] = 0.5 * i;
      input.StringGrid3.SetCell(i - 1, 1, Real(0.5 * i));
      input.StringGrid3.SetCell(i - 1, 2, Real(0.25 + i));
      input.StringGrid3.SetCell(i - 1, 3, Real(2e11 * i));
    }
    model.ComputeSectionX();
    for (int s = 1; s <= N; ++s) input.StringGrid1.SetCell(s - 1, 0, Real(Support(s)));
    for (int j = 1; j <= KZ; ++j) input.StringGrid2.SetCell(j - 1, 0, Real(KM));
    for (int n = 1; n <= N; ++n)
      for (int w = 1; w <= KW; ++w) input.StringGrid4.SetCell(w, n, Real(Stiffness(n, w)));
  }

  std::string Real(double x) const { return GeneralFormat(x, sep); }

  // Frequency k of variant v is found, with its mode.
  void Find(int v, int k) {
    writer.FrequencyEntry(v, k, Frequency(v, k));
    std::vector<State> states(model.KM + 1);
    for (int i = 1; i <= model.KM; ++i)
      for (int q = 1; q <= 4; ++q) states[i][q - 1] = Quantity(v, k, i, q);
    const int n = 4 * model.KZ;
    std::vector<double> V(n + 1, 0.5);
    writer.SectionResults({v, k, Frequency(v, k) / 100, Frequency(v, k), n, &V, &states, false});
  }
  void FindAll() {
    for (int v = 1; v <= model.KW; ++v)
      for (int k = 1; k <= model.KP; ++k) Find(v, k);
  }
};

}  // namespace vp::test
