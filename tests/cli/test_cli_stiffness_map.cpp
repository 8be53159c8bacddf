// The batch run's critical-speed map: the JSON member checked point by point
// against the exact solution and the closed forms at its ends, and the map
// sheet of the workbook. The option's bad values are the process tests'.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

#include "beam_references.h"
#include "calculation_run.h"
#include "batch_fixtures.h"
#include "input_loader.h"
#include "output_files.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;

namespace {

struct JsonMap {
  std::vector<double> stiffness;
  std::vector<std::vector<double>> lines;  // ordinals 1.., reported frequencies
  std::string problem;  // why there is no map
};

// The "stiffness_map" member of the command's JSON.
JsonMap MapOf(const std::string& json) {
  const QJsonObject map = JsonOf(json).value("stiffness_map").toObject();
  JsonMap out;
  out.problem = map.value("problem").toString().toStdString();
  for (const QJsonValue& k : map.value("stiffness").toArray()) out.stiffness.push_back(k.toDouble());
  int ordinal = 0;
  for (const QJsonValue& line : map.value("lines").toArray()) {
    EXPECT_EQ(line.toObject().value("ordinal").toInt(), ++ordinal);
    out.lines.emplace_back();
    for (const QJsonValue& F : line.toObject().value("frequencies").toArray()) out.lines.back().push_back(F.toDouble());
  }
  return out;
}

TShaftModel ModelOf(const std::string& path) {
  TMainFormModel form;
  EXPECT_FALSE(LoadInputFile(path, form, '.'));
  TShaftModel model;
  TSearchParams params{};
  EXPECT_FALSE(ReadForm(form, model, params, '.'));
  return model;
}

// The free-free shaft of the examples (length 1, EI 1, mass 1 per length, 100
// sections) with its first and last sections made massless and springs at
// cross-sections 1 and 99: a uniform beam of length 0.98 whose ends rest on
// the springs, KP = 5.
ChangedExample BeamOnEndSprings() {
  std::string masses = "0 ";
  for (int i = 2; i < 100; ++i) masses += "0.01 ";
  return ChangedExample({{2, masses + "0 "}, {4, "1 99 "}, {6, "1 1 "}, {8, "2"}, {10, "5"}});
}

}  // namespace

TEST(BatchStiffnessMap, EveryPointIsAnExactFrequencyOfTheShaft) {
  const std::string input = Example("rotor_two_bearings.txt");
  const BatchOutput r = Batch({.input = input, .json = true, .stiffnessMap = StiffnessMapRange{1e5, 1e12, 29}});
  ASSERT_EQ(r.Code(), "") << r.err;
  const JsonMap map = MapOf(r.out);
  EXPECT_EQ(map.problem, "");
  ASSERT_EQ(map.stiffness.size(), 29u);
  EXPECT_EQ(map.stiffness.front(), 1e5);
  EXPECT_EQ(map.stiffness.back(), 1e12);
  ASSERT_EQ(map.lines.size(), 4u);  // KP = 4
  const TShaftModel model = ModelOf(input);
  for (size_t i = 0; i < map.stiffness.size(); ++i) {
    TShaftModel at = model;
    for (int s = 1; s <= at.N; ++s) at.SupportStiffness[s][1] = map.stiffness[i];
    const TransferReference exact(at, 1);
    double below = 0;
    for (size_t n = 0; n < map.lines.size(); ++n) {
      const double w = map.lines[n].at(i) / 100;  // P = 100 w
      ASSERT_TRUE(exact.ChangesSign(w * (1 - 1e-9), w * (1 + 1e-9))) << i << " " << n + 1;
      EXPECT_NEAR(w, exact.Root(w * (1 - 1e-9), w * (1 + 1e-9)), 1e-10 * w) << i << " " << n + 1;
      EXPECT_GT(w, below);
      below = w;
    }
  }
  // Without the option: from 1/100 of 1E8 to 100 times 1E9, 61 points.
  const JsonMap byDefault = MapOf(BatchJson(input).out);
  ASSERT_EQ(byDefault.stiffness.size(), 61u);
  EXPECT_EQ(byDefault.stiffness.front(), 1e6);
  EXPECT_EQ(byDefault.stiffness.back(), 1e11);
}

TEST(BatchStiffnessMap, SoftSpringsGiveTheFreeShaftAndStiffOnesThePinnedBeam) {
  const ChangedExample beam = BeamOnEndSprings();
  const BatchOutput r = Batch({.input = beam.path, .json = true, .stiffnessMap = StiffnessMapRange{1e-7, 1e13, 61}});
  ASSERT_EQ(r.Code(), "") << r.err;
  const JsonMap map = MapOf(r.out);
  ASSERT_EQ(map.lines.size(), 5u);
  const double L = 0.98, M = 0.98, k = map.stiffness.front();
  for (int n = 0; n < 5; ++n) {
    // Soft: the beam bounces and rocks on the springs as a rigid body
    // (w^2 = 2k/M and 6k/M), then bends as a free-free beam. Stiff: pinned-pinned.
    const double soft = n < 2 ? std::sqrt((2 + 4 * n) * k / M) : BeamOmega(kFreeFreeBetaL[n - 2], L, 1, 1);
    const double pinned = BeamOmega((n + 1) * M_PI, L, 1, 1);
    EXPECT_NEAR(map.lines[n].front() / 100, soft, 1e-6 * soft) << n + 1;
    EXPECT_NEAR(map.lines[n].back() / 100, pinned, 1e-9 * pinned) << n + 1;
  }
}

TEST(BatchStiffnessMap, NoPositiveStiffnessSaysWhyAndTheRunSucceedsOrARangeIsGiven) {
  const BatchOutput r = BatchJson(Example("free_free_shaft.txt"));
  EXPECT_EQ(r.Code(), "") << r.err;
  const QJsonObject json = JsonOf(r.out);
  EXPECT_EQ(json["stiffness_map"], (QJsonObject{{"problem", "ни в одном варианте нет опоры с положительной жесткостью"}}));
  EXPECT_FALSE(json.contains("error"));  // no failure of the run
  // A range given by hand maps the free shaft on springs all the same.
  const JsonMap map =
      MapOf(Batch({.input = Example("free_free_shaft.txt"), .json = true, .stiffnessMap = StiffnessMapRange{1, 100, 3}}).out);
  EXPECT_EQ(map.problem, "");
  ASSERT_EQ(map.stiffness.size(), 3u);
  EXPECT_EQ(map.stiffness.front(), 1);
  EXPECT_NEAR(map.stiffness[1], 10, 1e-14);
  EXPECT_EQ(map.stiffness.back(), 100);
  EXPECT_EQ(map.lines.size(), 3u);
}

TEST(BatchStiffnessMap, TheWorkbookHoldsTheMapOfTheRangeAsked) {
  const std::string book = FreshDir("cli_stiffness_map") + "/map.xlsx";
  const BatchOutput r =
      Batch({.input = Example("rotor_two_bearings.txt"), .xlsx = book, .stiffnessMap = StiffnessMapRange{1e7, 1e10, 7}});
  ASSERT_EQ(r.Code(), "") << r.err;
  const WorkbookInfo info = ReadWorkbookInfo(book);
  ASSERT_GE(info.sheets.size(), 3u);
  EXPECT_EQ(info.sheets.back().name, "Карта критических скоростей");
  EXPECT_EQ(info.sheets[info.sheets.size() - 2].name, "Карта частот");
  EXPECT_EQ(info.sheets[info.activeTab].name, "Форма колебаний2_2");  // variant 2 finds two frequencies
  int aux = 0;
  while (info.sheets[aux].name != "вспомогательная") ++aux;
  const Sheet s = ReadSheet(book, aux, 100, 20);
  int row = 1;
  while (row < 100 && s.Cell(row, 1).text != "Жесткость опор:") ++row;
  EXPECT_EQ(s.Cell(row, 2).number, 1e7);
  EXPECT_NEAR(s.Cell(row, 5).number, std::pow(10, 8.5), 1e-14 * std::pow(10, 8.5));
  EXPECT_EQ(s.Cell(row, 8).number, 1e10);
  EXPECT_EQ(s.Cell(row, 9).kind, CellKind::Empty);
  std::filesystem::remove_all(std::filesystem::path(book).parent_path());
}
