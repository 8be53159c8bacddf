// The batch command's JSON document, built from hand-made results and read
// back from its text, without the command.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "continuous_comparison.h"
#include "json_document.h"

using namespace vp;

namespace {

// The document as the command prints it, read back.
QJsonObject ReadBack(const QJsonObject& document) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(JsonText(document))).object();
}

// The member at a path of keys and indices, "variants/0/missed".
QJsonValue At(QJsonValue value, const QString& path) {
  for (const QString& step : path.split('/')) {
    bool index = false;
    const int i = step.toInt(&index);
    value = index ? value[i] : value[step];
  }
  return value;
}

}  // namespace

TEST(JsonDocument, HoldsEveryMemberOfTheResults) {
  // Variant 1 counted (its second frequency doubtful), ended early and compared with the
  // continuous shaft; variant 2 not counted, its continuous shaft not solved; variant 3,
  // alone, stopped before its end. Factor 10.
  TShaftModel model;
  model.KM = 2;
  model.SectionX[1] = 0.5;
  model.SectionX[2] = 1;
  TSearchParams params{};
  params[kReportFactor] = 10;
  const ModeData mode{2, 20, {{1, 2, 3, 4}, {5, 6, 7, 8}}, {9}};
  ResultsSummary summary;
  summary.variants.push_back({.variant = 1, .solved = true, .modes = {mode, {3, 30, {}, {}}},
                              .completeness = {.checked = true, .inRange = 3, .missed = {{4, 5}}, .ordinals = {1, 0}},
                              .endedEarly = true, .endedAt = 6,
                              .continuous = {.made = true, .sameOrdinal = {2.5, std::nullopt}, .inRange = {{1, 2.5}}}});
  summary.variants.push_back({.variant = 2, .solved = true, .modes = {mode}, .completeness = {.problem = "не счесть"},
                              .continuous = {.made = true, .problem = "масса"}});
  const StiffnessMapChart map{.stiffness = {1, 10}, .curves = {{1, {7, 8}}}}, noMap{.problem = "нет опор"};
  const QJsonObject full = ReadBack(ResultsJson(model, params, summary, &map, "сбой", "E1"));
  const QJsonObject bare = ReadBack(ResultsJson(model, params, {}, nullptr, "", ""));
  ResultsSummary stopped;
  stopped.variants.push_back({.variant = 3, .modes = {mode}});
  const QJsonObject unsolved = ReadBack(ResultsJson(model, params, stopped, &noMap, "", ""));
  const QJsonValue none(QJsonValue::Undefined), null;
  const struct {
    const QJsonObject& document;
    QString path;
    QJsonValue value;
  } members[] = {
      {full, "section_x", QJsonArray{0.5, 1}},
      {full, "variants/0/variant", 1},
      {full, "variants/0/frequencies", QJsonArray{20, 30}},
      {full, "variants/0/modes/0", QJsonObject{{"frequency", 20},
                                               {"states", QJsonArray{QJsonArray{1, 2, 3, 4}, QJsonArray{5, 6, 7, 8}}},
                                               {"solution", QJsonArray{9}}}},
      {full, "variants/0/frequencies_in_range", 3},
      {full, "variants/0/missed", QJsonArray{QJsonArray{40, 50}}},
      {full, "variants/0/doubtful", QJsonArray{30}},
      {full, "variants/0/ended_early_at", 60},
      {full, "variants/0/hz", QJsonArray{Hertz(2), Hertz(3)}},
      {full, "variants/0/rpm", QJsonArray{Rpm(2), Rpm(3)}},
      {full, "variants/0/continuous_frequencies", QJsonArray{25, null}},
      {full, "variants/0/continuous_in_range", QJsonArray{25}},
      {full, "variants/0/continuous_problem", none},
      {full, "variants/1/check_problem", "не счесть"},
      {full, "variants/1/frequencies_in_range", none},
      {full, "variants/1/ended_early_at", none},
      {full, "variants/1/continuous_problem", "масса"},
      {full, "frequency_map", QJsonArray{QJsonObject{{"ordinal", 1}, {"frequencies", QJsonArray{20, null}}, {"mac", QJsonArray{null}}}}},
      {full, "stiffness_map", QJsonObject{{"stiffness", QJsonArray{1, 10}},
                                          {"lines", QJsonArray{QJsonObject{{"ordinal", 1}, {"frequencies", QJsonArray{7, 8}}}}}}},
      {full, "error", "сбой"},
      {full, "error_code", "E1"},
      {bare, "section_x", QJsonArray{}},
      {bare, "variants", QJsonArray{}},
      {bare, "stiffness_map", none},
      {bare, "error", none},
      {bare, "error_code", none},
      {unsolved, "variants/0/frequencies", QJsonArray{20}},
      {unsolved, "variants/0/check_problem", none},
      {unsolved, "variants/0/frequencies_in_range", none},
      {unsolved, "variants/0/continuous_frequencies", none},
      {unsolved, "stiffness_map", QJsonObject{{"problem", "нет опор"}}},
  };
  for (const auto& [document, path, value] : members) EXPECT_EQ(At(document, path), value) << path.toStdString();
}

TEST(JsonDocument, TextIsOneValidLineWhoseNumbersReadBackToTheSameDoubles) {
  // Whole, tiny, subnormal, the largest, a negative zero (written as 0, equal as a
  // number) and a sum without a short decimal form.
  const double awkward[] = {3, 1e15, 1e16, 123456789012345678.0, 1e-300, 5e-324, 1.7976931348623157e308, -0.0, 0.1 + 0.2};
  ResultsSummary summary;
  summary.variants.push_back({.variant = 1});
  for (double F : awkward) summary.variants[0].modes.push_back({.F = F});
  const std::string text = JsonText(ResultsJson({}, {}, summary, nullptr, "", ""));
  ASSERT_EQ(text.find('\n'), text.size() - 1) << text;
  const QJsonObject document = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
  const QJsonArray read = At(document, "variants/0/frequencies").toArray();
  ASSERT_EQ(read.size(), std::ssize(awkward));
  for (int i = 0; i < read.size(); ++i) EXPECT_EQ(read[i].toDouble(), awkward[i]) << text;
  // A truncated sequence is one replacement character (Qt alone would give two),
  // control characters are escaped.
  EXPECT_EQ(JsonText(LoadFailureJson("a\xE2\x82\n\x1B", "E2")), "{\"error\":\"a\xEF\xBF\xBD\\n\\u001b\",\"error_code\":\"E2\"}\n");
}
