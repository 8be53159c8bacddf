// Hostile input files and models against the batch command: each test is one
// class of them (counts, section values, supports and spans, search
// parameters, lines and bytes, files that are no regular files, random damage),
// every case run with and without --json, some also into a workbook and a PDF.
// Every run must end within its time with 0 or 1, without a sanitizer report,
// with messages only in Russian and valid UTF-8 without control characters,
// with one valid JSON object (an "error" member exactly on failure) and no
// infinity or NaN in any output. Every model that loads is also given to the
// continuous-shaft solver, which must answer in finite numbers or say why not.
//
// VP_HOSTILE_LIST=1 in the environment lists every run's exit status and messages.
//
// Built twice: as hostile_inputs, the whole campaign (scripts/hostile_inputs.sh,
// some minutes, in the sanitizer build and the release build), and as the test
// test_hostile_inputs, a fixed sample of every class (VP_HOSTILE_SAMPLE).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "calculation_run.h"
#include "continuous_shaft.h"
#include "error_text.h"
#include "errors.h"
#include "input_loader.h"
#include "output_files.h"
#include "pdf_text.h"
#include "printable.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;
namespace fs = std::filesystem;

namespace {

#ifndef VP_HOSTILE_SAMPLE
#define VP_HOSTILE_SAMPLE 1  // every case
#endif
constexpr int kSampleEvery = VP_HOSTILE_SAMPLE;
constexpr int kMaxSeconds = 10;   // --max-seconds of every run
constexpr int kTimeLimit = 40;    // a run still going after this is a hang
constexpr int kFilesEvery = 4;    // every 4th case also writes a workbook and a PDF

std::string Example(const std::string& name) { return std::string(VP_EXAMPLES_DIR) + "/" + name; }

// The bytes exactly, as one word of the shell.
std::string ShellWord(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// ---- Input files as lines and values ----------------------------------------------------

// An input text file as the loader reads it: value lists on lines 1-7, the
// scalars on lines 8-17.
struct TextInput {
  std::vector<std::string> lines;

  static TextInput Of(const std::string& path) {
    TextInput t;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) t.lines.push_back(line);
    return t;
  }
  // The rotor of examples/rotor_two_bearings.txt: 40 sections, 2 supports, 2
  // spans, 2 variants, a search that takes a fraction of a second.
  static TextInput Rotor() { return Of(Example("rotor_two_bearings.txt")); }
  // A uniform shaft of km sections (length 1/km, mass 1/km, EI 1) on two
  // supports of stiffness 1E4 near its ends, one span.
  static TextInput Uniform(int km) {
    TextInput t;
    auto list = [](int n, const std::string& v) {
      std::string s;
      for (int i = 0; i < n; ++i) s += v + " ";
      return s;
    };
    char l[32];
    std::snprintf(l, sizeof l, "%.17g", 1.0 / km);
    const int a = std::max(1, km / 5), b = std::max(1, km - km / 5);
    t.lines = {list(km, l), list(km, l), list(km, "1"), std::to_string(a) + " " + std::to_string(b) + " ",
               std::to_string(km) + " ", "1E4 1E4 ", "", "2", std::to_string(km), "3", "1", "1", "1", "5", "2000",
               "1E-10", "1E-6"};
    return t;
  }
  std::string& Line(int n) {
    if (static_cast<int>(lines.size()) < n) lines.resize(n);
    return lines[n - 1];
  }
  // Value i (from 1) of a value list replaced.
  TextInput& Value(int line, int i, const std::string& text) {
    std::vector<std::string> values;
    std::istringstream in(Line(line));
    for (std::string v; in >> v;) values.push_back(v);
    if (static_cast<int>(values.size()) < i) values.resize(i, "0");
    values[i - 1] = text;
    std::string joined;
    for (const std::string& v : values) joined += v + " ";
    Line(line) = joined;
    return *this;
  }
  // Every value of a value list replaced.
  TextInput& All(int line, const std::string& text) {
    std::istringstream in(Line(line));
    int n = 0;
    for (std::string v; in >> v;) ++n;
    for (int i = 1; i <= n; ++i) Value(line, i, text);
    return *this;
  }
  TextInput& Set(int line, const std::string& text) {
    Line(line) = text;
    return *this;
  }
  std::string Text(const std::string& eol = "\n") const {
    std::string s;
    for (const std::string& l : lines) s += l + eol;
    return s;
  }
};

// Lines of the text format.
enum Line { kLengths = 1, kMasses, kStiffnesses, kSupports, kSpans, kVariant1, kVariant2, kN, kKM, kKP, kKW, kKZ,
            kF1, kFT1, kFK, kEPS, kEPSF };

// ---- Runs and what is wrong with them ---------------------------------------------------

struct Outcome {
  int code = 0;  // the exit status; 124 after the time limit, 128 + n after signal n
  std::string out, err;
  double seconds = 0;
};

// Standard output closed, as `stdoutTo` of RunCli.
const std::string kClosed = "&-";

// Runs the batch command with the arguments, after the command `prefix` (such
// as one that changes the user); standard output goes to `stdoutTo` when given
// (such as /dev/full, or kClosed).
Outcome RunCli(const std::vector<std::string>& args, const std::string& prefix = "", const std::string& stdoutTo = "") {
  const std::string out = TempPath("cli_out"), err = TempPath("cli_err");
  std::string command = "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86 "
                        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 LSAN_OPTIONS=exitcode=86 "
                        "timeout -k 5 " + std::to_string(kTimeLimit) + " " + prefix + ShellWord(VP_CLI);
  for (const std::string& a : args) command += " " + ShellWord(a);
  command += " >" + (stdoutTo == kClosed ? kClosed : ShellWord(stdoutTo.empty() ? out : stdoutTo)) + " 2>" +
             ShellWord(err) + " </dev/null";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  Outcome o;
  o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  o.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (stdoutTo.empty()) o.out = ReadFile(out);
  o.err = ReadFile(err);
  fs::remove(out);
  fs::remove(err);
  return o;
}

bool HasCyrillic(const std::string& line) {
  return line.find('\xD0') != std::string::npos || line.find('\xD1') != std::string::npos;
}

// "inf", "nan" or "infinity" as a word of Latin letters, in any case, outside
// the quoted texts of the input that messages repeat.
bool HasNonFinite(const std::string& text) {
  static const std::regex quoted("'[^']*'"), word("(^|[^A-Za-z])(inf|infinity|nan)([^A-Za-z]|$)", std::regex::icase);
  return std::regex_search(std::regex_replace(text, quoted, ""), word);
}

void CheckJsonNumbers(const QJsonValue& v, std::vector<std::string>& problems) {
  if (v.isDouble() && !std::isfinite(v.toDouble())) problems.push_back("JSON: число вне диапазона");
  if (v.isArray())
    for (const QJsonValue& e : v.toArray()) CheckJsonNumbers(e, problems);
  if (v.isObject())
    for (const QJsonValue& e : v.toObject()) CheckJsonNumbers(e, problems);
}

// What is wrong with a run; empty when nothing is. With `usage`, exit 2 (a bad
// option value, told on standard error alone) is an answer too.
std::vector<std::string> Problems(const Outcome& o, bool json, bool usage = false) {
  std::vector<std::string> p;
  if (o.code == 124 || o.code == 128 + 9) p.push_back("не завершилась за " + std::to_string(kTimeLimit) + " с");
  else if (o.code == 86) p.push_back("отчет санитайзера");
  else if (o.code != 0 && o.code != 1 && !(usage && o.code == 2)) p.push_back("код завершения " + std::to_string(o.code));
  if (o.code == 2 && (o.err.empty() || !o.out.empty())) p.push_back("неверное употребление без сообщения или с выводом");
  if (o.err.find("Sanitizer") != std::string::npos || o.err.find("runtime error:") != std::string::npos)
    p.push_back("отчет санитайзера в stderr");
  for (const std::string* s : {&o.out, &o.err})
    if (ValidUtf8(*s) != *s) p.push_back(s == &o.out ? "stdout: не UTF-8" : "stderr: не UTF-8");
  if ((o.code == 1 || o.code == 2) && o.err.empty()) p.push_back("отказ без сообщения");
  std::istringstream lines(o.err);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && !HasCyrillic(line))
      p.push_back("строка stderr не по-русски: " + Printable(line));
    if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
      p.push_back("управляющий знак в stderr: " + Printable(line));
  }
  if (HasNonFinite(o.out)) p.push_back("inf/nan в stdout");
  if (HasNonFinite(o.err)) p.push_back("inf/nan в stderr");
  if (json && (o.code == 0 || o.code == 1)) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(o.out), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
      p.push_back("stdout не JSON-объект: " + error.errorString().toStdString());
    } else {
      const bool hasError = doc.object().contains("error");
      if (hasError != (o.code == 1)) p.push_back(hasError ? "\"error\" при успехе" : "нет \"error\" при отказе");
      CheckJsonNumbers(doc.object(), p);
    }
  }
  return p;
}

// A workbook written by the command: no cell that is no number ("#NUM!" for
// infinity and NaN) and no text that spells one.
std::vector<std::string> WorkbookProblems(const std::string& path) {
  std::vector<std::string> p;
  try {
    const WorkbookInfo info = ReadWorkbookInfo(path);
    for (size_t tab = 0; tab < info.sheets.size(); ++tab) {
      if (info.sheets[tab].kind != SheetKind::Worksheet) continue;
      const Sheet sheet = ReadSheet(path, static_cast<int>(tab), 5000, 60);
      for (int r = 1; r <= sheet.MaxRow(); ++r)
        for (int c = 1; c <= sheet.MaxCol(); ++c) {
          const SheetCell& cell = sheet.Cell(r, c);
          if (cell.kind == CellKind::Error || (cell.kind == CellKind::Text && HasNonFinite(cell.text)))
            p.push_back("книга: лист " + info.sheets[tab].name + ", ячейка " + CellName(r, c) + ": " + cell.text);
        }
    }
  } catch (const Failure& e) {
    p.push_back("книга не читается: " + Message(e.error()));
  }
  return p;
}

// Every model that the form accepts, given to the continuous-shaft solver:
// finite, ascending frequencies and finite modes, or a reason.
std::vector<std::string> ContinuousProblems(const std::string& path, char sep) {
  std::vector<std::string> p;
  ProgramState st;
  TShaftModel& model = st.model;
  if (LoadInputFile(path, st.form, sep)) return p;
  st.form.LeaveAllSpins();
  if (ReadForm(st.form, model, st.params, sep)) return p;
  model.ComputeSectionX();
  for (int v = 1; v <= model.KW; ++v) {
    const ContinuousShaft shaft(model, v);
    if (!test::Text(shaft.Fault()).empty()) {
      if (!HasCyrillic(test::Text(shaft.Fault()))) p.push_back("непрерывная модель: причина не по-русски");
      continue;
    }
    const std::vector<OrdinalFrequency> found = shaft.Frequencies(1, std::clamp(model.KP, 1, 6));
    double last = 0;
    for (const OrdinalFrequency& f : found) {
      if (!(std::isfinite(f.omega) && f.omega > last)) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g после %.17g", f.omega, last);
        p.push_back(std::string("непрерывная модель: частота ") + text);
      }
      last = f.omega;
      const ContinuousMode mode = shaft.Mode(f.omega);
      for (const std::vector<double>* values : {&mode.y, &mode.theta})
        for (double x : *values)
          if (!std::isfinite(x)) p.push_back("непрерывная модель: форма не конечна");
    }
    shaft.CountBelow(st.params[kUpper]);
    shaft.FrequenciesIn(st.params[kStart], st.params[kUpper], 3);
  }
  return p;
}

// ---- The campaign ----------------------------------------------------------------------------

struct Case {
  std::string name;
  std::string path;
  char sep = '.';
  bool slow = false;   // may take its --max-seconds: not in the sample
  std::string prefix;  // of the command
  std::vector<std::string> options = {};  // more of the command's options
  bool usage = false;  // a bad option value: exit 2 with nothing on standard output is the answer
};

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = FreshDir("hostile_" + name_);
  }
  void TearDown() override {
    std::printf("%-26s %4d cases, %4d runs: %4d exit 0, %4d exit 1, %2d faults; slowest %.1f s\n", name_.c_str(),
                cases_, runs_, exit0_, exit1_, faults_, slowest_);
    std::vector<std::pair<int, std::string>> top;
    for (const auto& [m, n] : messages_) top.push_back({n, m});
    std::sort(top.rbegin(), top.rend());
    for (size_t i = 0; i < top.size() && i < 5; ++i) std::printf("    %4d  %s\n", top[i].first, top[i].second.c_str());
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    WriteFile(path, bytes);
    return path;
  }
  // A case of an input text written as the file `name`.
  void Text(const std::string& name, const std::string& bytes, char sep = '.', bool slow = false) {
    Try({name, File(name, bytes), sep, slow});
  }
  void Model(const std::string& name, const TextInput& input, bool slow = false) {
    Text(name + ".txt", input.Text(), '.', slow);
  }

  // Runs one case as the sample asks: printout and JSON, and every
  // kFilesEvery-th case a workbook and a PDF too.
  void Try(const Case& c) {
    const int index = seen_++;
    if (index % kSampleEvery != 0 || (kSampleEvery > 1 && c.slow)) return;
    ++cases_;
    const std::vector<std::string> common{"--max-seconds", std::to_string(kMaxSeconds), "--decimal-separator",
                                          std::string(1, c.sep)};
    for (const bool json : {true, false}) {
      std::vector<std::string> args = common;
      if (json) args.push_back("--json");
      const bool files = !json && cases_ % kFilesEvery == 0;
      const std::string xlsx = dir_ + "/out.xlsx", pdf = dir_ + "/out.pdf";
      if (files) args.insert(args.end(), {"--xlsx", xlsx, "--pdf", pdf});
      args.insert(args.end(), c.options.begin(), c.options.end());
      args.push_back(c.path);
      const Outcome o = RunCli(args, c.prefix);
      std::vector<std::string> problems = Problems(o, json, c.usage);
      if (files && o.code == 0) {
        for (const std::string& p : WorkbookProblems(xlsx)) problems.push_back(p);
        const std::string text = Capture("pdftotext " + ShellWord(pdf) + " - 2>/dev/null");
        if (text.empty()) problems.push_back("PDF пуст или не читается");
        if (HasNonFinite(text)) problems.push_back("inf/nan в PDF");
      }
      fs::remove(xlsx);
      fs::remove(pdf);
      Record(c, o, problems);
    }
    std::error_code error;
    if (!fs::is_regular_file(c.path, error)) return;
    const std::vector<std::string> problems = ContinuousProblems(c.path, c.sep);
    faults_ += !problems.empty();
    for (const std::string& p : problems) ADD_FAILURE() << c.name << ": " << p;
  }

  void Record(const Case& c, const Outcome& o, const std::vector<std::string>& problems) {
    ++runs_;
    exit0_ += o.code == 0;
    exit1_ += o.code == 1;
    slowest_ = std::max(slowest_, o.seconds);
    faults_ += !problems.empty();
    std::istringstream lines(o.err);
    std::string first;
    std::getline(lines, first);
    if (first == "Ошибка ввода данных") std::getline(lines, first);
    if (!first.empty()) ++messages_[std::regex_replace(Printable(first), std::regex("[-0-9.,E+]+"), "#")];
    // With VP_HOSTILE_LIST set, every run's answer, for reading through.
    if (std::getenv("VP_HOSTILE_LIST"))
      std::printf("  %-34s %d  %s\n", Printable(c.name).c_str(), o.code, Printable(o.err).c_str());
    for (const std::string& p : problems)
      ADD_FAILURE() << c.name << ": " << p << "\n  код " << o.code << ", stderr: " << Printable(o.err.substr(0, 400));
  }

  std::string dir_, name_;
  int seen_ = 0, cases_ = 0, runs_ = 0, exit0_ = 0, exit1_ = 0, faults_ = 0;
  double slowest_ = 0;
  std::map<std::string, int> messages_;
};

const std::vector<std::string> kIntegers = {
    "-2147483649", "-2147483648", "-1", "0", "1", "2", "3", "6", "7", "10", "11", "20", "21", "100", "101",
    "199", "200", "201", "1000", "2147483647", "2147483648", "99999999999999999999", "", " ", "abc", "1.5",
    "1E3", "+3", "0x10", " 7", "7 ", "\xD9\xA3", "\xEF\xBC\x93", std::string("3\0", 2), "--1", "1e"};

const std::vector<std::string> kReals = {
    "0", "-0", "-1", "1E-320", "4.9E-324", "1E-300", "1E300", "1E308", "1.7976931348623157E308", "-1E308",
    "1E309", "1E-400", "NaN", "nan", "inf", "-inf", "Infinity", "abc", "0x1p3", "1,5", "", "1.5.5", "1E+",
    "--1", "+1", ".5", "5.", "1e5"};

}  // namespace

// N, KM, KP, KW and KZ: every count line with integers out of range, huge,
// negative, and texts that are no integers.
TEST_F(Hostile, Counts) {
  const Line lines[] = {kN, kKM, kKP, kKW, kKZ};
  for (const Line line : lines)
    for (size_t i = 0; i < kIntegers.size(); ++i)
      Model("count" + std::to_string(line) + "_" + std::to_string(i), TextInput::Rotor().Set(line, kIntegers[i]));
}

// Consistent models of 1 to 200 sections, and counts beyond the form's limits
// with as many values on the lines.
TEST_F(Hostile, SizesUpToTheLimitsAndBeyond) {
  for (int km : {1, 2, 3, 7, 50, 199, 200, 201, 500}) Model("uniform" + std::to_string(km), TextInput::Uniform(km));
  for (int kp : {0, -1, 1, 20, 21, 100, 101, 2147483647}) {
    TextInput t = TextInput::Uniform(200);
    Model("uniform200_kp" + std::to_string(kp), t.Set(kKP, std::to_string(kp)));
  }
  for (int n : {10, 11, 20}) {  // supports everywhere, stiff ones
    TextInput t = TextInput::Uniform(100);
    t.Set(kN, std::to_string(n)).Set(kSupports, "").Set(kVariant1, "");
    for (int s = 1; s <= n; ++s) t.Value(kSupports, s, std::to_string(s * 9)).Value(kVariant1, s, "1E6");
    Model("supports" + std::to_string(n), t);
  }
  for (int kz : {6, 7, 20, 21}) {  // spans beyond the solver's six
    TextInput t = TextInput::Uniform(100);
    t.Set(kKZ, std::to_string(kz)).Set(kSpans, "");
    for (int j = 1; j <= kz; ++j) t.Value(kSpans, j, std::to_string(j == kz ? 100 : j * 4));
    Model("spans" + std::to_string(kz), t);
  }
  for (int kw : {1, 2, 3, 10, 11, 20, 21}) {  // variants beyond line 7 overlap the scalars
    TextInput t = TextInput::Rotor();
    Model("variants" + std::to_string(kw), t.Set(kKW, std::to_string(kw)));
  }
}

// Lengths, masses and stiffnesses: zero, negative, tiny, huge, not finite and
// no numbers, in one section (first, middle, last) or in all.
TEST_F(Hostile, SectionValues) {
  for (const Line line : {kLengths, kMasses, kStiffnesses})
    for (size_t i = 0; i < kReals.size(); ++i) {
      const std::string name = "section" + std::to_string(line) + "_" + std::to_string(i);
      Model(name + "_first", TextInput::Rotor().Value(line, 1, kReals[i]));
      Model(name + "_mid", TextInput::Rotor().Value(line, 20, kReals[i]));
      Model(name + "_last", TextInput::Rotor().Value(line, 40, kReals[i]));
      Model(name + "_all", TextInput::Rotor().All(line, kReals[i]));
    }
}

// Support stiffnesses of both variants.
TEST_F(Hostile, SupportStiffnesses) {
  for (size_t i = 0; i < kReals.size(); ++i) {
    Model("stiff_one_" + std::to_string(i), TextInput::Rotor().Value(kVariant1, 2, kReals[i]));
    Model("stiff_all_" + std::to_string(i), TextInput::Rotor().All(kVariant1, kReals[i]).All(kVariant2, kReals[i]));
  }
}

// Support sections and span ends out of range, repeated, unordered, not integers.
TEST_F(Hostile, SupportsAndSpans) {
  const std::vector<std::string> places = {"-1", "0", "1", "39", "40", "41", "2147483647", "-2147483648",
                                           "2147483648", "2.5", "3.5", "1E10", "1E-10", "-0.4", "abc", ""};
  for (size_t i = 0; i < places.size(); ++i) {
    Model("support_" + std::to_string(i), TextInput::Rotor().Value(kSupports, 1, places[i]));
    Model("span_first_" + std::to_string(i), TextInput::Rotor().Value(kSpans, 1, places[i]));
    Model("span_last_" + std::to_string(i), TextInput::Rotor().Value(kSpans, 2, places[i]));
  }
  Model("supports_repeated", TextInput::Rotor().Set(kSupports, "20 20 "));
  Model("supports_unordered", TextInput::Rotor().Set(kSupports, "36 4 "));
  Model("supports_at_ends", TextInput::Rotor().Set(kSupports, "0 40 "));
  Model("spans_repeated", TextInput::Rotor().Set(kSpans, "40 40 "));
  Model("spans_unordered", TextInput::Rotor().Set(kSpans, "40 20 "));
  Model("spans_short", TextInput::Rotor().Set(kSpans, "10 20 "));
  Model("one_span_one_support", TextInput::Rotor().Set(kN, "1").Set(kKZ, "1").Set(kSupports, "20 ").Set(kSpans, "40 "));
}

// Sections of zero length (point masses) everywhere, with and without mass and
// stiffness, at supports and span ends.
TEST_F(Hostile, ZeroLengthSections) {
  for (int k : {1, 2, 4, 20, 36, 39, 40}) {
    Model("zero_" + std::to_string(k), TextInput::Rotor().Value(kLengths, k, "0"));
    Model("zero_noei_" + std::to_string(k), TextInput::Rotor().Value(kLengths, k, "0").Value(kStiffnesses, k, "0"));
    Model("zero_nomass_" + std::to_string(k), TextInput::Rotor().Value(kLengths, k, "0").Value(kMasses, k, "0"));
    Model("zero_heavy_" + std::to_string(k), TextInput::Rotor().Value(kLengths, k, "0").Value(kMasses, k, "1E300"));
  }
  TextInput runs = TextInput::Rotor();
  for (int k = 10; k <= 30; ++k) runs.Value(kLengths, k, "0");
  Model("zero_run", runs);
  Model("zero_all", TextInput::Rotor().All(kLengths, "0"));
  Model("zero_all_massless", TextInput::Rotor().All(kLengths, "0").All(kMasses, "0"));
  Model("massless", TextInput::Rotor().All(kMasses, "0"));
  Model("massless_but_one", TextInput::Rotor().All(kMasses, "0").Value(kMasses, 20, "1"));
}

// F1, FT1, FK, EPS and EPSF at their extremes, alone and in pairs.
TEST_F(Hostile, SearchParameters) {
  const std::vector<std::string> values = {"-1E300", "-1", "0", "1E-320", "1E-300", "1E-6", "1", "5", "1E9",
                                           "1E300", "1E308", "1E309", "abc", ""};
  for (const Line line : {kF1, kFT1, kFK, kEPS, kEPSF})
    for (size_t i = 0; i < values.size(); ++i)
      Model("param" + std::to_string(line) + "_" + std::to_string(i), TextInput::Rotor().Set(line, values[i]));
  // FK below F1, FT1 below EPSF, a step beyond the range, a precision above the step.
  Model("fk_below_f1", TextInput::Rotor().Set(kF1, "100").Set(kFK, "10"));
  Model("ft1_below_epsf", TextInput::Rotor().Set(kFT1, "1E-7").Set(kEPSF, "1E-6"));
  Model("ft1_beyond_fk", TextInput::Rotor().Set(kFT1, "1E308").Set(kFK, "1E300"));
  Model("epsf_above_ft1", TextInput::Rotor().Set(kEPSF, "100"));
  Model("eps_huge", TextInput::Rotor().Set(kEPS, "1E308"));
  Model("fk_no_bound", TextInput::Rotor().Set(kFK, "1E9").Set(kKP, "2"));
  Model("fk_far", TextInput::Rotor().Set(kFK, "1E300").Set(kKP, "2"));
  Model("tiny_step_far", TextInput::Rotor().Set(kFT1, "1E-9").Set(kFK, "1E9"));
  Model("negative_start", TextInput::Rotor().Set(kF1, "-1000").Set(kFK, "1000"));
  // Without a count (a negative mass) a walk of tiny steps is stopped by --max-seconds.
  Model("no_count_tiny_step", TextInput::Rotor().Value(kMasses, 3, "-1").Set(kFT1, "1E-7").Set(kEPSF, "1E-9"), true);
  Model("all_tiny", TextInput::Rotor().Set(kF1, "1E-300").Set(kFT1, "1E-300").Set(kFK, "1E-299").Set(kEPSF, "1E-310"));
}

// The lines of the file: missing, extra, long, other line ends, bytes that are
// no text, byte-order marks and both decimal separators.
TEST_F(Hostile, LinesAndBytes) {
  const std::string rotor = TextInput::Rotor().Text();
  for (int n = 0; n <= 17; ++n) {  // the first n lines only
    TextInput t = TextInput::Rotor();
    t.lines.resize(n);
    Text("lines" + std::to_string(n) + ".txt", t.Text());
  }
  Text("no_final_newline.txt", rotor.substr(0, rotor.size() - 1));
  Text("crlf.txt", TextInput::Rotor().Text("\r\n"));
  Text("cr_only.txt", TextInput::Rotor().Text("\r"));
  Text("lf_cr.txt", TextInput::Rotor().Text("\n\r"));
  Text("extra_lines.txt", rotor + std::string(1000, '\n') + "junk\n");
  std::string million;
  for (int i = 0; i < 1000000; ++i) million += "1\n";
  Text("million_lines.txt", rotor + million);
  Text("long_line.txt", TextInput::Rotor().Set(kLengths, std::string(1 << 20, '1') + " ").Text());
  Text("long_value_list.txt", TextInput::Rotor().Set(kLengths, [] {
                                std::string s;
                                for (int i = 0; i < 200000; ++i) s += "0.05 ";
                                return s;
                              }()).Text());
  Text("size_16mb.txt", rotor + std::string(16 * 1024 * 1024 - rotor.size(), '\n'));
  Text("size_16mb_1.txt", rotor + std::string(16 * 1024 * 1024 + 1 - rotor.size(), '\n'));
  Text("empty.txt", "");
  Text("only_newlines.txt", std::string(17, '\n'));
  Text("blank_lines.txt", [] {
    std::string s;
    for (int i = 0; i < 17; ++i) s += "   \n";
    return s;
  }());
  Text("nul_everywhere.txt", std::string(4096, '\0'));
  for (size_t at : {size_t(0), size_t(4), rotor.find("\n4 36") + 1, rotor.find("\n40\n") + 2, rotor.size() - 3}) {
    std::string s = rotor;
    s.insert(at, 1, '\0');
    Text("nul_at_" + std::to_string(at) + ".txt", s);
  }
  Text("invalid_utf8.txt", TextInput::Rotor().Value(kMasses, 3, "\xFF\xFE\xC3").Text());
  Text("invalid_utf8_count.txt", TextInput::Rotor().Set(kKM, "4\xC3").Text());
  Text("escape_sequences.txt", TextInput::Rotor().Set(kFT1, "\x1B[2J\x1B]0;x\x07").Text());
  Text("bidi.txt", TextInput::Rotor().Set(kF1, "\xE2\x80\xAE" "1").Text());
  Text("bom_utf8.txt", "\xEF\xBB\xBF" + rotor);
  Text("bom_twice.txt", "\xEF\xBB\xBF\xEF\xBB\xBF" + rotor);
  Text("bom_utf16le.txt", [&] {
    std::string s = "\xFF\xFE";
    for (char c : rotor) s += std::string(1, c) + '\0';
    return s;
  }());
  Text("bom_utf16be.txt", [&] {
    std::string s = "\xFE\xFF";
    for (char c : rotor) s += std::string(1, '\0') + c;
    return s;
  }());
  Text("bom_utf32.txt", "\xFF\xFE\0\0" + rotor);
  std::string commas = rotor;
  std::replace(commas.begin(), commas.end(), '.', ',');
  Text("commas_read_with_point.txt", commas, '.');
  Text("commas_read_with_comma.txt", commas, ',');
  Text("points_read_with_comma.txt", rotor, ',');
  Text("mixed_separators.txt", TextInput::Rotor().Value(kMasses, 5, "3,08269").Text(), '.');
  Text("tabs.txt", [&] {
    std::string s = rotor;
    std::replace(s.begin(), s.end(), ' ', '\t');
    return s;
  }());
  Text("double_blanks.txt", TextInput::Rotor().Set(kLengths, [] {
                              std::string s;
                              for (int i = 0; i < 40; ++i) s += "0.05  ";
                              return s;
                            }()).Text());
  Text("no_trailing_blank.txt", TextInput::Rotor().Set(kSupports, "4 36").Text());
  Text("leading_blank.txt", TextInput::Rotor().Set(kSupports, " 4 36 ").Text());
  Text("nbsp.txt", TextInput::Rotor().Set(kSupports, "4\xC2\xA0" "36\xC2\xA0").Text());
}

// Files that are no regular files, or cannot be read, and odd names.
TEST_F(Hostile, FilesThatAreNoFiles) {
  const std::string rotor = TextInput::Rotor().Text();
  fs::create_directory(dir_ + "/folder.txt");
  Try({"folder", dir_ + "/folder.txt"});
  Try({"fifo", [&] {
         const std::string fifo = dir_ + "/fifo.txt";
         Capture("mkfifo " + ShellWord(fifo));
         return fifo;
       }()});
  for (const char* device : {"/dev/zero", "/dev/null", "/dev/urandom", "/dev/full"}) {
    const std::string link = dir_ + "/link_" + fs::path(device).filename().string() + ".txt";
    fs::create_symlink(device, link);
    Try({std::string("link to ") + device, link});
  }
  fs::create_symlink(dir_ + "/missing.txt", dir_ + "/dangling.txt");
  Try({"dangling link", dir_ + "/dangling.txt"});
  fs::create_symlink(dir_ + "/loop_b.txt", dir_ + "/loop_a.txt");
  fs::create_symlink(dir_ + "/loop_a.txt", dir_ + "/loop_b.txt");
  Try({"link loop", dir_ + "/loop_a.txt"});
  const std::string good = File("good.txt", rotor);
  fs::create_symlink(good, dir_ + "/link_good.txt");
  Try({"link to a file", dir_ + "/link_good.txt"});
  Try({"not found", dir_ + "/none.txt"});
  Try({"in a missing folder", dir_ + "/none/x.txt"});
  Try({"under a file", good + "/x.txt"});
  fs::create_symlink("/proc/self/status", dir_ + "/proc.txt");  // its size reads 0
  Try({"link to a file of /proc", dir_ + "/proc.txt"});
  Try({"name too long", dir_ + "/" + std::string(300, 'x') + ".txt"});
  Try({"path too long", dir_ + "/" + [] {
         std::string s;
         for (int i = 0; i < 500; ++i) s += "a/";
         return s;
       }() + "x.txt"});
  Try({"invalid UTF-8 name", File("\xFF\xFE.txt", rotor)});
  Try({"name with a newline", File("a\nb.txt", rotor)});
  Try({"name with escapes", File("\x1B[31m.txt", rotor)});
  Try({"dash name", File("-x.txt", rotor)});
  Try({"only an extension", File(".txt", rotor)});
  Try({"capital extension", File("x.TXT", rotor)});
  Try({"double extension", File("x.txt.bak", rotor)});
  Try({"no extension", File("x", rotor)});
  Try({"text named .xlsx", File("x.xlsx", rotor)});
  Try({"text named .xls", File("x.xls", rotor)});
  // Without the right to read (an administrator reads anyway: the command then runs as nobody).
  const std::string locked = File("locked.txt", rotor);
  fs::permissions(locked, fs::perms::none);
  Try({"unreadable", locked, '.', false, geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : ""});
}

// The range of the critical-speed map: bounds and counts out of range, no
// numbers, too many or too few parts; on a good model and on ones whose supports
// are soft, stiff or missing.
TEST_F(Hostile, StiffnessMapOption) {
  const std::vector<std::string> ranges = {
      "1E6:1E11:61", "0:1:2", "-1:5:3", "1E-300:1E300:1000", "1:1:1", "5:1:10", "abc", "1:2", "1:2:3:4",
      "1E308:1E309:5", "nan:inf:3", "1:10:0", "1:10:1", "1:10:2", "1:10:1000", "1:10:1001", "1:10:2147483648",
      "1,5:10:3", ":::", "", "1E-320:1E-310:5", "1E300:1.7E308:3", "1:10:3.5", " 1:10:3", "1:10:-3", "4.9E-324:1:2"};
  const std::vector<std::pair<std::string, TextInput>> models = {
      {"rotor", TextInput::Rotor()},
      {"soft", TextInput::Rotor().All(kVariant1, "1E-300").All(kVariant2, "0")},
      {"stiff", TextInput::Rotor().All(kVariant1, "1E300").All(kVariant2, "1E308")},
      {"one_support", TextInput::Rotor().Set(kN, "1").Set(kSupports, "20 ").Set(kVariant1, "1E8 ").Set(kVariant2, "1E9 ")},
      {"negative", TextInput::Rotor().All(kVariant1, "-1E8")},
  };
  for (const auto& [model, input] : models) {
    const std::string path = File(model + ".txt", input.Text());
    for (size_t i = 0; i < ranges.size(); ++i)
      Try({model + "_map" + std::to_string(i), path, '.', false, "", {"--stiffness-map", ranges[i]}, true});
  }
}

// Outputs into odd places: a full disk, a folder without the right to write, a
// missing folder, a folder, a device, links (dangling, to a folder, to a
// device), names that are no UTF-8 or hold a line break, existing files
// (writable: replaced with their mode; protected: kept), the input itself;
// standard output into a full device or closed. A failure exits 1 (2 for a
// bad option value) with a Russian message, and an existing file stays as it was.
TEST_F(Hostile, OutputPlaces) {
  const std::string input = File("in.txt", TextInput::Rotor().Text());
  FullDisk full("hostile_full_disk");
  if (full.Mounted()) {
    WriteFile(full.Path("old.pdf"), "old");
    WriteFile(full.Path("old.xlsx"), "old");
    full.Fill();
  }
  fs::create_directory(dir_ + "/locked");
  fs::permissions(dir_ + "/locked", fs::perms(0555));
  fs::create_directory(dir_ + "/folder.pdf");
  fs::create_symlink(dir_ + "/nowhere/x", dir_ + "/dangling.pdf");
  fs::create_symlink(dir_ + "/folder.pdf", dir_ + "/to_folder.pdf");
  fs::create_symlink("/dev/null", dir_ + "/to_null.pdf");
  WriteFileWithMode(dir_ + "/old.pdf", "old", fs::perms(0640));
  WriteFileWithMode(dir_ + "/protected.pdf", "old", fs::perms(0444));
  const std::string nobody = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  struct Place {
    std::string name, path, prefix;
  };
  std::vector<Place> places = {
      {"locked folder", dir_ + "/locked/out", nobody}, {"missing folder", dir_ + "/none/out", ""},
      {"folder", dir_ + "/folder.pdf", ""},           {"device", "/dev/null", ""},
      {"dangling link", dir_ + "/dangling.pdf", ""},  {"link to a folder", dir_ + "/to_folder.pdf", ""},
      {"link to a device", dir_ + "/to_null.pdf", ""}, {"name not UTF-8", dir_ + "/bad\xFF", ""},
      {"name with a line break", dir_ + "/a\nb", ""}, {"existing file", dir_ + "/old.pdf", ""},
      {"protected file", dir_ + "/protected.pdf", ""}, {"the input", input, ""},
  };
  if (full.Mounted()) places.push_back({"full disk", full.Path("old"), ""});
  for (const Place& place : places)
    for (const std::string option : {"--pdf", "--xlsx"}) {
      const std::string target = place.path + (place.name != "full disk" ? "" : option == "--pdf" ? ".pdf" : ".xlsx");
      std::error_code error;
      const bool existed = fs::is_regular_file(target, error);
      const std::string before = existed ? ReadFile(target) : "";
      const Outcome o = RunCli({"--json", "--decimal-separator", ".", option, target, input}, place.prefix);
      std::vector<std::string> problems = Problems(o, true, true);
      if (o.code == 0 && !fs::is_regular_file(target, error)) problems.push_back("успех без файла");
      if (o.code != 0 && existed && ReadFile(target) != before) problems.push_back("прежний файл изменен");
      if (o.code == 0 && place.name == "existing file" && Mode(target) != fs::perms(0640))
        problems.push_back("права прежнего файла не сохранены");
      Record({place.name + " " + option, target}, o, problems);
      if (place.name == "existing file") WriteFileWithMode(target, "old", fs::perms(0640));
    }
  // Standard output that cannot take the results: a full device, or closed.
  for (const bool json : {true, false})
    for (const std::string stdoutTo : {"/dev/full", ""}) {
      std::vector<std::string> args = {"--decimal-separator", ".", input};
      if (json) args.insert(args.begin(), "--json");
      const Outcome o = RunCli(args, "", stdoutTo.empty() ? kClosed : stdoutTo);
      std::vector<std::string> problems = Problems(o, false);
      if (o.code != 1) problems.push_back("успех без стандартного вывода");
      Record({"stdout " + (stdoutTo.empty() ? std::string("closed") : stdoutTo) + (json ? " --json" : ""), input}, o,
             problems);
    }
  cases_ = runs_;
  fs::permissions(dir_ + "/locked", fs::perms::all);
}

// Random damage to a good file: bytes flipped, inserted, deleted; lines
// swapped, repeated, dropped. Seeded, so every run makes the same files.
TEST_F(Hostile, RandomDamage) {
  const TextInput base = TextInput::Rotor();
  std::mt19937 random(20240611);
  const std::string alphabet(" \n\r\t\0.,-+eE0123456789aZ\xFF\xD0", 25);
  for (int i = 0; i < 120; ++i) {
    std::string s;
    if (i % 3 == 0) {
      TextInput t = base;
      auto pick = [&] { return std::uniform_int_distribution<size_t>(0, t.lines.size() - 1)(random); };
      for (int n = 0; n < 3; ++n) {
        const size_t a = pick(), b = pick();
        switch (random() % 3) {
          case 0: std::swap(t.lines[a], t.lines[b]); break;
          case 1: t.lines.insert(t.lines.begin() + a, t.lines[b]); break;
          default: t.lines.erase(t.lines.begin() + a);
        }
      }
      s = t.Text();
    } else {
      s = base.Text();
      for (int n = 0; n < 1 + i % 7; ++n) {
        const size_t at = std::uniform_int_distribution<size_t>(0, s.size() - 1)(random);
        const char c = alphabet[random() % alphabet.size()];
        switch (random() % 3) {
          case 0: s[at] = c; break;
          case 1: s.insert(at, 1, c); break;
          default: s.erase(at, 1);
        }
      }
    }
    Text("random" + std::to_string(i) + ".txt", s);
  }
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
