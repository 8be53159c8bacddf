#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "form_fixtures.h"
#include "input_loader.h"
#include "input_saver.h"
#include "output_files.h"

using namespace vp;
using namespace vp::test;
namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& t) {
  const size_t a = t.find_first_not_of(' ');
  return a == std::string::npos ? "" : t.substr(a, t.find_last_not_of(' ') - a + 1);
}

// The forms hold the same input: the same counts and texts, a value's trailing
// blank (which the text format adds) aside.
void ExpectSameInput(const TMainFormModel& a, const TMainFormModel& b) {
  for (Count c : {Count::Supports, Count::Sections, Count::Spans, Count::Variants})
    EXPECT_EQ(a.Spin(c).Text(), b.Spin(c).Text());
  EXPECT_EQ(a.Edit3, b.Edit3);
  EXPECT_EQ(a.Edit8, b.Edit8);
  EXPECT_EQ(a.Edit9, b.Edit9);
  EXPECT_EQ(a.Edit10, b.Edit10);
  EXPECT_EQ(a.Edit11, b.Edit11);
  EXPECT_EQ(a.Edit12, b.Edit12);
  for (auto grid : {&TMainFormModel::StringGrid1, &TMainFormModel::StringGrid2, &TMainFormModel::StringGrid3,
                    &TMainFormModel::StringGrid4}) {
    const StringTable& x = a.*grid;
    const StringTable& y = b.*grid;
    ASSERT_EQ(x.ColCount(), y.ColCount());
    ASSERT_EQ(x.RowCount(), y.RowCount());
    for (int r = 0; r < x.RowCount(); ++r)
      for (int c = 0; c < x.ColCount(); ++c) EXPECT_EQ(Trim(x.Cell(c, r)), Trim(y.Cell(c, r))) << c << "," << r;
  }
}

// A form of two variants and three supports with numbers of every kind.
TMainFormModel VariedForm(char sep) {
  TMainFormModel f = FreeFreeForm(7, {3, 7}, 4, 2, sep);
  f.SetSpinValue(Count::Supports, 3);
  const std::string values[] = {"0.125", "1E-7", "123456.75", "-2.5", "3.14159265358979", "1E20", "0"};
  for (int k = 1; k <= 7; ++k) f.StringGrid1.SetCell(k, 2, GeneralFormat(RealOfText(values[k - 1], '.'), sep));
  f.StringGrid3.SetCell(0, 1, "1");
  f.StringGrid3.SetCell(1, 1, "4");
  f.StringGrid3.SetCell(2, 1, "7");
  for (int s = 1; s <= 3; ++s)
    for (int v = 1; v <= 2; ++v) f.StringGrid2.SetCell(v, s, GeneralFormat(1000.5 * s * v, sep));
  f.Edit9 = GeneralFormat(0.25, sep);
  return f;
}

}  // namespace

TEST(InputSaver, TextAndWorkbookLoadBackToTheSameForm) {
  for (char sep : {'.', ','}) {
    const TMainFormModel form = VariedForm(sep);
    for (const char* name : {"input.TXT", "input.xlsx"}) {
      const std::string path = TempPath(name);
      EXPECT_FALSE(SaveInputFile(form, path, sep));
      TMainFormModel loaded;
      EXPECT_FALSE(LoadInputFile(path, loaded, sep));
      ExpectSameInput(form, loaded);
      if (std::string(name) == "input.xlsx") {
        EXPECT_TRUE(loaded == form) << sep;  // numbers come back as typed
      }
      fs::remove(path);
    }
  }
}

TEST(InputSaver, ThreeVariantsDoNotFitTheTextFormat) {
  TMainFormModel form = FreeFreeForm(5, {5}, 2, 3);
  const std::string text = TempPath("three.txt"), book = TempPath("three.xlsx");
  EXPECT_EQ(SaveInputFile(form, text, '.')->code, ErrorCode::SaveTooManyVariants);
  EXPECT_FALSE(fs::exists(text));
  ASSERT_FALSE(SaveInputFile(form, book, '.'));
  TMainFormModel loaded;
  ASSERT_FALSE(LoadInputFile(book, loaded, '.'));
  EXPECT_EQ(loaded.SpinEdit4.Text(), "3");
  EXPECT_EQ(loaded.StringGrid2.Cell(3, 1), "0");
  fs::remove(book);
}

TEST(InputSaver, FailuresLeaveAnExistingFileAsItWas) {
  const std::string path = TempPath("kept.xlsx");
  std::ofstream(path) << "old";
  TMainFormModel form = FreeFreeForm(5, {5}, 2);
  form.StringGrid1.SetCell(3, 2, "abc");
  EXPECT_EQ(ErrorOf([&] { return SaveInputFile(form, path, '.'); }),
            "Характеристики участков, участок 3, масса: 'abc' is not a valid floating point value");
  const std::string text = TempPath("kept.txt");
  std::ofstream(text) << "old";
  form.StringGrid1.SetCell(3, 2, "1 5");
  EXPECT_TRUE(SaveInputFile(form, text, '.'));
  for (const std::string& p : {path, text}) {
    std::ifstream in(p);
    std::string contents;
    std::getline(in, contents);
    EXPECT_EQ(contents, "old");
    in.close();  // Windows removes no open file
    fs::remove(p);
  }
  EXPECT_TRUE(SaveInputFile(form, "/nonexistent/folder/input.txt", '.'));
  EXPECT_TRUE(SaveInputFile(form, TempPath("input.dat"), '.'));
  // Nothing stays behind in the folder.
  for (const auto& entry : fs::directory_iterator(ProcessDir()))
    EXPECT_NE(entry.path().filename().string().substr(0, 2), ".~");
}

TEST(InputSaver, TheTextFileIsTheLoadersFormat) {
  const std::string path = TempPath("format.txt");
  TMainFormModel form = FreeFreeForm(2, {2}, 3);
  ASSERT_FALSE(SaveInputFile(form, path, '.'));
  std::ifstream in(path, std::ios::binary);
  std::string contents((std::istreambuf_iterator<char>(in)), {});
  in.close();  // Windows removes no open file
  fs::remove(path);
  EXPECT_EQ(contents,
            "0.5 0.5 \r\n0.5 0.5 \r\n1 1 \r\n1 \r\n2 \r\n0 \r\n\r\n1\r\n2\r\n3\r\n1\r\n1\r\n1\r\n1\r\n100\r\n1E-10\r\n1E-6\r\n");
}

// ---- The file saved into ------------------------------------------------------

TEST(InputSaver, AWriteProtectedFileIsRefusedAndAWritableOneKeepsItsMode) {
  const std::string dir = FreshDir("saver_modes");
  const TMainFormModel form = FreeFreeForm(5, {5}, 2);
  for (const char* name : {"input.txt", "input.xlsx"}) {
    const std::string path = dir + "/" + name;
    WriteFileWithMode(path, "old", fs::perms(0444));
    EXPECT_EQ(ErrorOf([&] { return SaveInputFile(form, path, '.'); }), "Файл «" + path + "» защищен от записи.");
    EXPECT_EQ(Mode(path), fs::perms(0444));
    EXPECT_EQ(ReadFile(path), "old");
    fs::permissions(path, fs::perms(0640));
    ASSERT_FALSE(SaveInputFile(form, path, '.'));
    EXPECT_EQ(Mode(path), Kept(fs::perms(0640)));
    TMainFormModel loaded;
    ASSERT_FALSE(LoadInputFile(path, loaded, '.'));
    ExpectSameInput(form, loaded);
  }
  EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"input.txt", "input.xlsx"}));
}

// The text saver once wrote through ".~<name>.<process id>": a link planted
// under that name sent the text into any file the user may write.
TEST(InputSaver, ALinkPlantedBesideTheTargetIsNotFollowed) {
  VP_POSIX_ONLY("symbolic links");
#ifndef _WIN32
  const std::string dir = FreshDir("saver_link");
  WriteFile(dir + "/victim", "precious");
  fs::create_symlink(dir + "/victim", dir + "/.~input.txt." + std::to_string(::getpid()));
  ASSERT_FALSE(SaveInputFile(FreeFreeForm(5, {5}, 2), dir + "/input.txt", '.'));
  EXPECT_EQ(ReadFile(dir + "/victim"), "precious");
  EXPECT_TRUE(fs::is_symlink(dir + "/.~input.txt." + std::to_string(::getpid())));
  TMainFormModel loaded;
  ASSERT_FALSE(LoadInputFile(dir + "/input.txt", loaded, '.'));
  EXPECT_EQ(loaded.SpinEdit2.Text(), "5");
#endif
}

TEST(InputSaver, AFullDiskFailsWithItsReasonAndKeepsTheOldFile) {
  FullDisk disk("saver_full");
  VP_SKIP_WITHOUT(disk);
  TMainFormModel form = FreeFreeForm(200, {100, 200}, 2);  // a text of some 2 KB, a workbook of more
  for (const char* name : {"input.txt", "input.xlsx"}) WriteFile(disk.Path(name), "old");
  disk.Fill();
  for (const char* name : {"input.txt", "input.xlsx"}) {
    EXPECT_EQ(ErrorOf([&] { return SaveInputFile(form, disk.Path(name), '.'); }),
              "Не удалось записать файл «" + disk.Path(name) + "». Нет места на диске.");
    EXPECT_EQ(ReadFile(disk.Path(name)), "old");
  }
  EXPECT_EQ(DirEntries(disk.Dir()), (std::vector<std::string>{"filler", "input.txt", "input.xlsx"}));
}
