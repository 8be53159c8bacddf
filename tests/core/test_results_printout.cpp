#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calculation_run.h"
#include "completeness_lines.h"
#include "continuous_lines.h"
#include "errors.h"
#include "messages.h"
#include "form_fixtures.h"
#include "json_document.h"
#include "results_fixtures.h"
#include "results_printout.h"
#include "results_summary.h"

using namespace vp;
using namespace vp::test;

namespace {

// A main form and results tables as a run with the given counts leaves them.
struct Printed {
  TMainFormModel form;
  ResultsTables results;
  std::vector<std::string> lines;
  std::string error;

  Printed(int KM, int KW, int KP, int found = -1) { FillResults(form, results, KM, KW, KP, found); }

  void Print(char sep = '.') {
    try {
      WritePrintout(form, results, sep, [&](const std::string& l) { lines.push_back(l); });
    } catch (const std::exception& e) {
      error = MessageOf(e);
    }
  }
};

std::string B(int n) { return std::string(n, ' '); }

}  // namespace

TEST(ResultsPrintout, LinesOfOneVariantAndFrequency) {
  Printed p(5, 1, 1);
  p.Print();
  const std::vector<std::string> expected = {
      B(85) + "Вариант по жесткости N 1",
      "",
      B(80) + "Частота N 1  ------   P = 101.12346",
      "",
      "  Номер участка:" + B(13) + "Координата уч-ка:" + B(15) + "Смещение:" + B(19) + "Угол поворота:" + B(20) +
          "Момент:" + B(24) + "Попер. сила:",
      B(15) + "1" + B(23) + "0.50000" + B(17) + "1.10000" + B(26) + "1.20000" + B(20) + "1.30000" + B(29) + "1.40000",
      B(15) + "3" + B(23) + "1.50000" + B(17) + "3.10000" + B(26) + "3.20000" + B(20) + "3.30000" + B(29) + "3.40000",
      B(15) + "5" + B(23) + "2.50000" + B(17) + "5.10000" + B(26) + "5.20000" + B(20) + "5.30000" + B(29) + "5.40000",
      "",
      "",
  };
  EXPECT_EQ(p.lines, expected);
  EXPECT_EQ(p.error, "");
}

TEST(ResultsPrintout, RowsPerFrequencyLinedUpUnderTheCaptions) {
  Printed even(4, 1, 1);
  even.Print();
  EXPECT_EQ(even.lines.size(), 3u + 2 + 2 + 2);

  // In a fixed-pitch font: every value ends where its caption ends in the
  // header, sections of one digit and of two alike; a value too wide for its
  // place goes right, two blanks after the one before.
  Printed p(21, 1, 2);
  p.results.StringGrid3.SetCell(2, 4, "1E20");  // the moment of section 1, frequency 1
  p.Print();
  int rows = 0;
  for (const std::string& line : p.lines) {
    if (line.empty() || line[0] != ' ' || line.find_first_not_of(" 0123456789.-") != std::string::npos) continue;
    ++rows;
    const bool wide = rows == 1;
    for (size_t end : {16, 46, 70, 103, 130, 166}) {
      if (wide && end == 130) end = 103 + 2 + 27;  // "100000000000000000000.00000" from character 106
      EXPECT_NE(line[end - 1], ' ') << line;
      EXPECT_TRUE(end == line.size() || line[end] == ' ') << line;
    }
  }
  EXPECT_EQ(rows, 2 * 11);
}

TEST(ResultsPrintout, TwoVariantsThreeFrequenciesEachEndWithTwoEmptyLines) {
  Printed p(3, 2, 3);
  p.Print();
  int titles = 0, frequencies = 0;
  for (size_t i = 0; i < p.lines.size(); ++i) {
    if (p.lines[i].find("Вариант по жесткости N") != std::string::npos) {
      ++titles;
      if (i > 0) {
        EXPECT_EQ(p.lines[i - 1], "");
        EXPECT_EQ(p.lines[i - 2], "");
      }
    }
    if (p.lines[i].find("Частота N") != std::string::npos) ++frequencies;
  }
  EXPECT_EQ(titles, 2);
  EXPECT_EQ(frequencies, 6);
  EXPECT_EQ(p.lines.back(), "");
  EXPECT_EQ(p.lines[p.lines.size() - 2], "");
  EXPECT_EQ(p.lines[2], B(80) + "Частота N 1  ------   P = 101.12346");
  EXPECT_NE(std::find(p.lines.begin(), p.lines.end(), B(80) + "Частота N 3  ------   P = 203.12346"), p.lines.end());
}

TEST(ResultsPrintout, TheTitleNamesTheProgramTheDateAndTheInputFile) {
  const std::string program = "Программа расчета собственных частот и форм колебаний валопровода     Дата: 07.12.2026";
  for (auto [file, named] : {std::pair{"/home/u/Ротор.txt", "/home/u/Ротор.txt"}, {"", "не задан"}, {"a\x1B[2J.txt", "a\\x1B[2J.txt"}})
    EXPECT_EQ(PrintoutTitle(file, "07.12.2026"), program + "     Файл исходных данных: " + named);
}

TEST(ResultsPrintout, FrequenciesNotFoundSaySoInOneLineEach) {
  Printed p(3, 2, 3, 2);
  p.form.Edit10 = "1E3";
  p.Print();
  EXPECT_EQ(p.error, "");
  int found = 0;
  std::vector<size_t> notFound;
  for (size_t i = 0; i < p.lines.size(); ++i) {
    found += p.lines[i].find("  ------   P = ") != std::string::npos;
    // FK = 1000 in the search variable, 100000 on the scale of P.
    if (p.lines[i] == B(80) + "Частота N 3 не найдена в диапазоне до 100000") notFound.push_back(i);
  }
  EXPECT_EQ(found, 4);
  ASSERT_EQ(notFound.size(), 2u);  // once per variant, in place of the frequency's block
  EXPECT_EQ(p.lines[notFound[0] + 1], "");
  EXPECT_EQ(p.lines[notFound[0] + 3], B(85) + "Вариант по жесткости N 2");
  // The bound in the general format.
  Printed q(3, 1, 2, 1);
  q.form.Edit10 = "0.025";
  q.Print();
  ASSERT_EQ(q.error, "");
  ASSERT_GE(q.lines.size(), 3u);
  EXPECT_EQ(q.lines[q.lines.size() - 3], B(80) + "Частота N 2 не найдена в диапазоне до 2.5");
}

TEST(ResultsPrintout, EachVariantEndsWithItsCompletenessLines) {
  // The steel rotor with a step of 280: variant 1 passes over two frequencies,
  // variant 2 finds all of its range.
  ProgramState st;
  st.form = SteelRotorForm({1e7, 1e8}, 6);
  st.form.Edit9 = "280";
  RunToResults(st);
  std::vector<std::string> lines;
  WritePrintout(st.form, st.results, '.', [&](const std::string& l) { lines.push_back(l); }, &st.summary);
  auto at = [&](const std::string& prefix) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  };
  const int second = at(B(85) + "Вариант по жесткости N 2");
  const int check1 = at("Вариант № 1: найдено 2 из 4 собственных частот диапазона от 1000 до ");
  const int check2 = at("Вариант № 2: найдено ");
  ASSERT_GT(check1, 0);
  EXPECT_EQ(lines[check1 + 1].rfind("Внимание: пропущены частоты в диапазонах ", 0), 0u);
  EXPECT_LT(check1, second);
  EXPECT_GT(check2, second);
  EXPECT_EQ(lines[check1 - 1], "");  // after the last block
  EXPECT_EQ(lines[second - 1], "");
  EXPECT_EQ(lines[second - 2], "");
  // Then the comparison with the continuous shaft, and an empty line.
  const std::vector<std::string> notes2 = VariantNotes(st.summary, 2, '.');
  ASSERT_GE(notes2.size(), 3u);  // the check, the heading, a line per frequency
  for (size_t i = 0; i < notes2.size(); ++i) EXPECT_EQ(lines[check2 + i], notes2[i]);
  EXPECT_EQ(lines[check2 + notes2.size()], "");
  EXPECT_EQ(lines[check1 + 2].rfind("Вариант № 1: непрерывная модель вала", 0), 0u);
  // Variant 1 found the third and fourth natural frequencies; the places left
  // empty name those it did not find: the two passed over, and 5 and 6 above FK.
  EXPECT_EQ(at(B(80) + "Частота N 1 (собственная № 3)  ------   P = "), 2);
  for (const char* ordinal : {"1", "2", "5", "6"})
    EXPECT_LT(at(B(80) + "Собственная частота № " + ordinal + " не найдена в диапазоне до 300000"), second);
  // Without the summary, the same printout less the notes and their empty lines.
  std::vector<std::string> bare;
  WritePrintout(st.form, st.results, '.', [&](const std::string& l) { bare.push_back(l); });
  EXPECT_EQ(bare.size() + VariantNotes(st.summary, 1, '.').size() + 1 + notes2.size() + 1, lines.size());
}

TEST(ResultsPrintout, ARefinedFrequencyStandsBesideTheSweepsValueInEveryOutput) {
  // Frequency 2 (102.123456789), the third natural one, refined to 102.12.
  Printed p(3, 1, 2);
  p.results.StringGrid1.SetSize(3, 2);
  ResultsSummary s;
  s.variants = {{.variant = 1, .solved = true, .modes = {{.F = 101.123456789}, {.F = 102.123456789}},
                 .completeness = {.checked = true, .inRange = 2, .ordinals = {1, 3}, .refined = {std::nullopt, 1.0212}}}};
  WritePrintout(p.form, p.results, '.', [&](const std::string& l) { p.lines.push_back(l); }, &s);
  s.reportFactor = 100;
  const auto json = [&] { return JsonText(ResultsJson({}, s, nullptr, "", "")); };
  const std::string refined = json();  // then none refined
  const StringTable window = FrequenciesWithOrdinals(p.results.StringGrid1, s, '.');
  s.variants[0].completeness.refined = {std::nullopt, std::nullopt};
  ASSERT_EQ(p.lines.size(), 18u);
  const struct { std::string shown, expected; } cases[] = {
      {window.Cell(1, 1) + " | " + window.Cell(2, 1), "101.123456789 | 102.123456789 (собственная № 3; уточнено: 102.12)"},
      {p.lines[8], B(80) + "Частота N 2 (собственная № 3)  ------   P = 102.12346 (уточнено: 102.12)"},
      {p.lines[15], "Внимание: частота N 2 (P = 102.123456789) неточна, уточнено: 102.12 - собственная частота № 3, "
                    "найденная по числу собственных частот; принятая частота отличается от нее больше, чем на "
                    "точность вычисления k-й собственной частоты."},
      {refined.substr(refined.find("\"refined"), 36), "\"refined_frequencies\":[null,102.12],"},
      {std::to_string(json().find("refined")), std::to_string(std::string::npos)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.shown, c.expected);
}

TEST(ResultsPrintout, ABadEntryStopsWithItsMessageAfterTheLinesSoFar) {
  Printed p(3, 1, 2);
  p.results.StringGrid3.SetCell(5, 2, "oops");  // frequency 2, section 1, deflection
  p.Print();
  EXPECT_EQ(p.error, "'oops' is not a valid floating point value");
  EXPECT_EQ(p.lines.back(), "  Номер участка:" + B(13) + "Координата уч-ка:" + B(15) + "Смещение:" + B(19) +
                                "Угол поворота:" + B(20) + "Момент:" + B(24) + "Попер. сила:");

  Printed q(3, 1, 1);
  q.form.Edit3 = "x";
  q.Print();
  EXPECT_EQ(q.error, "'x' is not a valid integer value");
  EXPECT_EQ(q.lines.size(), 2u);
}

TEST(ResultsPrintout, PrintsWhatARealRunComputed) {
  ProgramState st;
  st.form = FreeFreeForm(10, {10}, 2, 1, ',');
  struct Ui : RunUi {
    bool ConfirmEcho(const TInputFormModel&) override { return true; }
    ModeShapeDisplay* ModeDisplay() override { return nullptr; }
    void ShowResults() override {}
    void ShowInputError(const std::string& d) override { FAIL() << d; }
    void ShowInterrupted() override {}
    void ShowMessage(const std::string& m) override { FAIL() << m; }
  } ui;
  ASSERT_EQ(RunCalculation(st, ui, ','), RunOutcome::Completed);
  std::vector<std::string> lines;
  WritePrintout(st.form, st.results, ',', [&](const std::string& l) { lines.push_back(l); });
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[2].rfind(B(80) + "Частота N 1  ------   P = 22", 0), 0u) << lines[2];
  EXPECT_EQ(lines[5].substr(0, 39), B(15) + "1" + B(23));
  EXPECT_EQ(lines[5].substr(39, 7), "0,10000");
}
