// The batch command's JSON document, built from hand-made results without the
// command, and its text.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <numbers>

#include "json_document.h"

using namespace vp;

TEST(JsonDocument, HoldsEveryMemberOfTheResults) {
  // Reported frequency 10 times the search variable. Variant 1 counted (its second frequency
  // doubtful, a sign change rejected, two more not listed), ended early, compared with the continuous shaft (its list cut short); variant 2
  // not counted, its continuous shaft not solved; variant 3, alone, stopped before its end.
  TShaftModel model;
  model.KM = 2;
  model.KZ = 1;
  model.SpanEnd[1] = 2;
  model.SectionX = {0, 0.5, 1};
  const ModeData mode{3 * std::numbers::pi, 20, {{1, 2, 0, 0}, {5, 6, 7, 8}}, {9}};  // 1.5 Hz, 90 rpm
  ResultsSummary run{.reportFactor = 10}, stopped{.reportFactor = 10}, none{.reportFactor = 10};
  run.variants = {{.variant = 1, .solved = true, .modes = {mode, {0, 30, {}, {}}},
                   .completeness = {.checked = true, .inRange = 3, .inWholeRange = 5, .missed = {{4, 5}}, .ordinals = {1, 0}},
                   .endedEarly = true, .endedAt = 6,
                   .rejected = {{RejectedValue::Cause::SignChange, 1, 1.5, 0.5, 2, false}}, .rejectedTotal = 3,
                   .continuous = {.made = true, .sameOrdinal = {3 * std::numbers::pi, std::nullopt}, .inRange = {{1, 2.5}},
                                  .inRangeTotal = 7}},
                  {.variant = 2, .solved = true, .modes = {mode}, .completeness = {.problem = Error{ErrorCode::MasslessPartsFree}},
                   .continuous = {.made = true, .problem = Error{ErrorCode::SectionMass, 2}, .sameOrdinal = {std::nullopt}}}};
  stopped.variants = {{.variant = 3, .modes = {mode}}};
  const StiffnessMapChart map{.stiffness = {1, 10}, .curves = {{1, {7, 8}}}}, noMap{.problem = Error{ErrorCode::MapNoPositiveStiffness}};
  const std::string m = R"({"frequency":20,"solution":[9],"states":[[1,2,0,0],[5,6,7,8]]})";
  const std::string sections = R"("section_x":[0,0.5,1],"solution_unknowns":[{"cross_section":0,"quantity":"theta"},)"
                               R"({"cross_section":2,"quantity":"y"},{"cross_section":2,"quantity":"theta"}],)";
  const std::string note = R"("units_note":"Значения в Гц и об/мин верны, только если исходные данные заданы в единицах СИ; )"
                           R"(выводимая частота равна 10·ω, где ω - круговая частота (в рад/с при единицах СИ).",)";
  const struct { const ResultsSummary& summary; const StiffnessMapChart* map; std::string error, code, text; } cases[] = {
      {run, &map, "сбой", "E1",
       R"({"error":"сбой","error_code":"E1","frequency_map":[{"frequencies":[20,null],"mac":[null],"ordinal":1}],)" + sections +
           R"("stiffness_map":{"lines":[{"frequencies":[7,8],"ordinal":1}],"stiffness":[1,10]},)" + note +
           R"("variants":[{"continuous_frequencies":[94.24777960769379,null],"continuous_hz":[1.5,null],)"
           R"("continuous_in_range":[25],"continuous_in_range_total":7,"continuous_in_range_truncated":true,)"
           R"("continuous_reasons":[null,"не вычислена: номер собственной частоты не определен"],"continuous_rpm":[90,null],)"
           R"("doubtful":[30],"ended_early_at":60,"frequencies":[20,30],"frequencies_in_range":3,"hz":[1.5,0],)"
           R"("lumped_in_range_total":5,"missed":[[40,50]],"modes":[)" + m +
           R"(,{"frequency":30,"solution":[],"states":[]}],"rejected":[{"P":15,"reason":"смена знака определителя на шаге )"
           R"(от 10 до 15, а собственных частот от 5 до 20 нет"}],"rejected_total":3,"rpm":[90,0],"variant":1,"walk_ended_at":60},)"
           R"({"check_problem":"безмассовые части вала не закреплены","continuous_frequencies":[null],"continuous_hz":[null],)"
           R"("continuous_in_range":[],"continuous_in_range_total":null,"continuous_in_range_truncated":false,)"
           R"("continuous_problem":"участок 2: масса должна быть не меньше нуля",)"
           R"("continuous_reasons":["не вычислена: участок 2: масса должна быть не меньше нуля"],"continuous_rpm":[null],)"
           R"("frequencies":[20],"hz":[1.5],"modes":[)" + m + R"(],"rpm":[90],"variant":2}]})" + "\n"},
      {stopped, &noMap, "", "",
       "{" + sections + R"("stiffness_map":{"problem":"ни в одном варианте нет опоры с положительной жесткостью"},)" + note +
           R"("variants":[{"frequencies":[20],"hz":[1.5],"modes":[)" + m + R"(],"rpm":[90],"variant":3}]})" + "\n"},
      {none, nullptr, "", "", R"({"section_x":[],"solution_unknowns":[],)" + note + R"("variants":[]})" + "\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonText(ResultsJson(model, c.summary, c.map, c.error, c.code)), c.text);
}

TEST(JsonDocument, NumbersReadBackToTheSameDoublesAndTextStaysValidUtf8) {
  // Whole, tiny, subnormal, the largest, a negative zero (written as 0, equal as a
  // number) and a sum without a short decimal form.
  const double awkward[] = {3, 1e15, 1e16, 123456789012345678.0, 1e-300, 5e-324, 1.7976931348623157e308, -0.0, 0.1 + 0.2};
  ResultsSummary summary;
  summary.variants = {{.variant = 1}};
  for (double F : awkward) summary.variants[0].modes.push_back({.F = F});
  const std::string text = JsonText(ResultsJson({}, summary, nullptr, "", ""));
  const QJsonArray read = QJsonDocument::fromJson(QByteArray::fromStdString(text))["variants"][0]["frequencies"].toArray();
  ASSERT_EQ(read.size(), std::ssize(awkward)) << text;
  for (int i = 0; i < read.size(); ++i) EXPECT_EQ(read[i].toDouble(), awkward[i]) << text;
  // A truncated sequence is one replacement character (Qt alone would make two).
  EXPECT_EQ(JsonText(LoadFailureJson("a\xE2\x82\n\x1B", "E2")), "{\"error\":\"a\xEF\xBF\xBD\\n\\u001b\",\"error_code\":\"E2\"}\n");
}
