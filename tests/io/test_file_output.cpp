#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <QFile>

#include <filesystem>
#include <stdexcept>

#include "errors.h"
#include "file_output.h"
#include "output_files.h"

using namespace vp;
using namespace vp::test;
namespace fs = std::filesystem;

namespace {

fs::perms DefaultMode() {
#ifdef _WIN32
  return fs::perms(0666);
#else
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<fs::perms>(0666 & ~mask);
#endif
}

}  // namespace

TEST(FileReplacement, NewFilesGetTheUsualModeAndReplacedOnesKeepTheirs) {
  VP_POSIX_ONLY("permission bits");
  const std::string dir = FreshDir("fo_modes");
  WriteWholeFile(dir + "/new.txt", "new");
  EXPECT_EQ(ReadFile(dir + "/new.txt"), "new");
  EXPECT_EQ(Mode(dir + "/new.txt"), DefaultMode());

  for (auto mode : {fs::perms(0600), fs::perms(0640), fs::perms(0664), fs::perms(0200)}) {
    WriteFileWithMode(dir + "/kept.txt", "old", mode);
    WriteWholeFile(dir + "/kept.txt", "replaced");
    EXPECT_EQ(ReadFile(dir + "/kept.txt"), "replaced");
    EXPECT_EQ(Mode(dir + "/kept.txt"), mode);
  }
  EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"kept.txt", "new.txt"}));
}

// Decided on the permission bits, so that it holds for an administrator too.
TEST(FileReplacement, RefusesWriteProtectedFilesFoldersAndDevices) {
  const std::string dir = FreshDir("fo_refused");
  for (auto mode : {fs::perms(0444), fs::perms(0000), fs::perms(0066)}) {
    WriteFileWithMode(dir + "/ro.pdf", "old", mode);
    EXPECT_EQ(ErrorOf([&] { WriteWholeFile(dir + "/ro.pdf", "new"); }), "Файл «" + dir + "/ro.pdf» защищен от записи.");
    fs::permissions(dir + "/ro.pdf", fs::perms(0644));
    EXPECT_EQ(ReadFile(dir + "/ro.pdf"), "old");
  }
  fs::create_directory(dir + "/folder.pdf");
  WriteFile(dir + "/folder.pdf/inside", "x");
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(dir + "/folder.pdf", "new"); }),
            "Не удалось записать файл «" + dir + "/folder.pdf». Это папка.");
#ifdef _WIN32
  WriteFile(dir + "/pipe.pdf", "");  // no pipes in a Windows folder
#else
  ASSERT_EQ(mkfifo((dir + "/pipe.pdf").c_str(), 0644), 0);
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(dir + "/pipe.pdf", "new"); }),
            "Не удалось записать файл «" + dir + "/pipe.pdf». Это не обычный файл, а устройство или канал.");
  EXPECT_TRUE(fs::is_fifo(dir + "/pipe.pdf"));
#endif
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(dir + "/нет/out.pdf", "new"); }),
            "Не удалось записать файл «" + dir + "/нет/out.pdf». Нет такой папки.");
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile("", "new"); }), "Не задано имя файла для записи.");
  EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"folder.pdf", "pipe.pdf", "ro.pdf"}));
}

// A name that the system's encoding cannot hold would be written under another
// name (ill-formed bytes become U+FFFD), over whatever file has that name.
TEST(FileReplacement, NamesOutsideTheSystemsEncodingAreRefused) {
  const std::string dir = FreshDir("fo_names");
  WriteFile(dir + "/bad\xEF\xBF\xBD.pdf", "unrelated");
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(dir + "/bad\xFF.pdf", "new"); }),
            "Не удалось записать файл «" + dir + "/bad\xEF\xBF\xBD.pdf». В имени файла есть знаки не в кодировке UTF-8.");
  EXPECT_EQ(ReadFile(dir + "/bad\xEF\xBF\xBD.pdf"), "unrelated");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"bad\xEF\xBF\xBD.pdf"});
  // Any well-formed name is written as given, a line break in it too (where
  // the system allows one).
#ifdef _WIN32
  for (const std::string name : {"Результаты.pdf", "\xF0\x9F\x98\x80.pdf", " .pdf"}) {
#else
  for (const std::string name : {"Результаты.pdf", "a\nb.pdf", "\xF0\x9F\x98\x80.pdf", " .pdf"}) {
#endif
    WriteWholeFile(dir + "/" + name, "new");
    EXPECT_EQ(ReadFile(dir + "/" + name), "new") << name;
  }
}

TEST(FileReplacement, ALinkedTargetReplacesTheFileItPointsTo) {
  VP_POSIX_ONLY("symbolic links");
  const std::string dir = FreshDir("fo_link");
  fs::create_directory(dir + "/real");
  WriteFileWithMode(dir + "/real/data.txt", "old", fs::perms(0640));
  fs::create_symlink("real/data.txt", dir + "/link.txt");
  WriteWholeFile(dir + "/link.txt", "new");
  EXPECT_TRUE(fs::is_symlink(dir + "/link.txt"));
  EXPECT_EQ(ReadFile(dir + "/real/data.txt"), "new");
  EXPECT_EQ(Mode(dir + "/real/data.txt"), fs::perms(0640));
  EXPECT_EQ(DirEntries(dir + "/real"), std::vector<std::string>{"data.txt"});
  // A link to a protected file is refused like the file.
  fs::permissions(dir + "/real/data.txt", fs::perms(0444));
  EXPECT_NE(ErrorOf([&] { WriteWholeFile(dir + "/link.txt", "newer"); }).find("защищен от записи"), std::string::npos);
  EXPECT_EQ(ReadFile(dir + "/real/data.txt"), "new");
}

TEST(FileReplacement, AWriterThatFailsOrNeverCommitsLeavesNothingBehind) {
  const std::string dir = FreshDir("fo_abandon");
  WriteFile(dir + "/out.bin", "old");
  EXPECT_THROW(
      {
        FileReplacement file(dir + "/out.bin");
        file.Device().write("half of it");
        throw std::runtime_error("the writer failed");
      },
      std::runtime_error);
  {
    FileReplacement file(dir + "/out.bin");
    const std::string name = file.NewFileName();  // a writer that opens the file by name
    EXPECT_NE(name.find("/.~out.bin."), std::string::npos);
    WriteFile(name, "by name");
  }
  EXPECT_EQ(ReadFile(dir + "/out.bin"), "old");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.bin"});
  FileReplacement file(dir + "/out.bin");
  WriteFile(file.NewFileName(), "by name");
  file.Commit();
  EXPECT_EQ(ReadFile(dir + "/out.bin"), "by name");
}

TEST(FileReplacement, AFullDiskFailsWithItsReasonAndKeepsTheOldFile) {
  FullDisk disk("fo_full");
  VP_SKIP_WITHOUT(disk);
  WriteFile(disk.Path("out.pdf"), "old");
  disk.Fill();
  const std::string big(200000, 'x');
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(disk.Path("out.pdf"), big); }),
            "Не удалось записать файл «" + disk.Path("out.pdf") + "». Нет места на диске.");
  // Many small writes, as a PDF writer makes them: the failures in between count.
  EXPECT_NE(ErrorOf([&] {
              FileReplacement file(disk.Path("out.pdf"));
              for (int i = 0; i < 20000; ++i) file.Device().write("0123456789");
              file.Commit();
            }).find("Нет места на диске"),
            std::string::npos);
  EXPECT_EQ(ReadFile(disk.Path("out.pdf")), "old");
  EXPECT_EQ(DirEntries(disk.Dir()), (std::vector<std::string>{"filler", "out.pdf"}));
}

// The temporary name is new each time: a link planted under any name seen
// before is never followed.
TEST(FileReplacement, NewFilesAreCreatedExclusivelyUnderFreshNames) {
  VP_POSIX_ONLY("symbolic links");
  const std::string dir = FreshDir("fo_exclusive");
  WriteFile(dir + "/victim", "precious");
  std::vector<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    FileReplacement file(dir + "/out.txt");
    const std::string name = file.NewFileName();
    EXPECT_EQ(std::find(seen.begin(), seen.end(), name), seen.end());
    seen.push_back(name);
  }
  for (const std::string& name : seen) fs::create_symlink(dir + "/victim", name);
  for (int i = 0; i < 20; ++i) WriteWholeFile(dir + "/out.txt", "output " + std::to_string(i));
  EXPECT_EQ(ReadFile(dir + "/victim"), "precious");
  EXPECT_EQ(ReadFile(dir + "/out.txt"), "output 19");
  for (const std::string& name : seen) EXPECT_TRUE(fs::is_symlink(name));
}
