#pragma once
// Main forms filled as a user would, for the run, loader and printout tests,
// and a run of a form to its results.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calculation_run.h"
#include "main_form_model.h"
#include "numtext.h"

namespace vp::test {

// A uniform free-free shaft of length 1 (EI = 1, mass 1 per length) in KM
// sections, spans ending at spanEnds, one support of stiffness 0 at section 1
// in every one of KW variants; F1 = 1, FT1 = 1, FK = 100, EPS = 1e-10, EPSF = 1e-6.
inline TMainFormModel FreeFreeForm(int KM, const std::vector<int>& spanEnds, int KP, int KW = 1, char sep = '.') {
  TMainFormModel f;
  f.SetSpinValue(Count::Supports, 1);
  f.SetSpinValue(Count::Sections, KM);
  f.SetSpinValue(Count::Spans, static_cast<int>(spanEnds.size()));
  f.SetSpinValue(Count::Variants, KW);
  f.Edit3 = std::to_string(KP);
  f.Edit8 = "1";
  f.Edit9 = "1";
  f.Edit10 = "100";
  f.Edit11 = "1E-10";
  f.Edit12 = "1E-6";
  f.StringGrid3.SetCell(0, 1, "1");
  for (size_t j = 0; j < spanEnds.size(); ++j) f.StringGrid4.SetCell(static_cast<int>(j), 1, std::to_string(spanEnds[j]));
  const std::string piece = GeneralFormat(1.0 / KM, sep);
  for (int k = 1; k <= KM; ++k) {
    f.StringGrid1.SetCell(k, 1, piece);
    f.StringGrid1.SetCell(k, 2, piece);
    f.StringGrid1.SetCell(k, 3, "1");
  }
  for (int v = 1; v <= KW; ++v) f.StringGrid2.SetCell(v, 1, "0");
  return f;
}

// A solid steel rotor (E = 2.1e11 Pa, density 7850 kg/m^3) of diameter 0.1 m
// and length 2 m in 20 sections of 0.1 m (SI units: the search variable is in
// rad/s), on two bearings at cross-sections 2 and 18 whose stiffness (N/m) in
// variant v is stiffness[v - 1]. With a disc, section 11 is a disc of that
// mass (kg) entered as a section of length 0. F1 = 10, FT1 = 5, FK = 3000,
// EPS = 1e-10, EPSF = 1e-6.
inline TMainFormModel SteelRotorForm(const std::vector<double>& stiffness, int KP, double disc = 0) {
  TMainFormModel f;
  const int KM = disc > 0 ? 21 : 20;
  const int KW = static_cast<int>(stiffness.size());
  f.SetSpinValue(Count::Supports, 2);
  f.SetSpinValue(Count::Sections, KM);
  f.SetSpinValue(Count::Spans, 2);
  f.SetSpinValue(Count::Variants, KW);
  f.Edit3 = std::to_string(KP);
  f.Edit8 = "10";
  f.Edit9 = "5";
  f.Edit10 = "3000";
  f.Edit11 = "1E-10";
  f.Edit12 = "1E-6";
  const int bearings[] = {2, KM - 2};
  for (int s = 1; s <= 2; ++s) {
    f.StringGrid3.SetCell(s - 1, 1, std::to_string(bearings[s - 1]));
    for (int v = 1; v <= KW; ++v) f.StringGrid2.SetCell(v, s, GeneralFormat(stiffness[v - 1], '.'));
  }
  f.StringGrid4.SetCell(0, 1, "10");
  f.StringGrid4.SetCell(1, 1, std::to_string(KM));
  const double EI = 2.1e11 * 3.141592653589793 * 1e-4 / 64, mass = 7850 * 3.141592653589793 * 0.0025 * 0.1;
  for (int k = 1; k <= KM; ++k) {
    const bool isDisc = disc > 0 && k == 11;
    f.StringGrid1.SetCell(k, 1, isDisc ? "0" : "0.1");
    f.StringGrid1.SetCell(k, 2, GeneralFormat(isDisc ? disc : mass, '.'));
    f.StringGrid1.SetCell(k, 3, GeneralFormat(EI, '.'));
  }
  return f;
}

// A user who accepts the echo and wants no mode shapes. An input error or an
// interruption fails the test; messages are kept.
struct AcceptingUi : RunUi {
  std::vector<std::string> messages;
  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return nullptr; }
  void ShowResults() override {}
  void ShowInputError(const std::string& detail) override { ADD_FAILURE() << detail; }
  void ShowInterrupted() override { ADD_FAILURE() << "interrupted"; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

// Runs the form st holds to its results; a message shown fails the test
// unless messages are expected.
inline void RunToResults(ProgramState& st, bool messagesExpected = false) {
  AcceptingUi ui;
  EXPECT_EQ(RunCalculation(st, ui, '.'), RunOutcome::Completed);
  if (!messagesExpected) {
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
  }
}

}  // namespace vp::test
