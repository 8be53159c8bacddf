#pragma once
// Folders and files for the tests of what the program reads and writes: the
// process's own temporary folder, fresh folders, file contents and permission
// bits, and a filesystem that is full.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "errors.h"

namespace vp::test {

// The message of the AppError that f throws; fails the test when it throws none.
template <typename F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const AppError& e) {
    return e.what();
  }
  ADD_FAILURE() << "no AppError thrown";
  return {};
}

// This test process's own folder in the temporary folder: made under a new
// random name on first use (creating a folder fails where the name is taken)
// and removed with its contents at exit, so that the tests of several
// checkouts running at once never share a file.
inline const std::filesystem::path& ProcessDir() {
  struct Dir {
    std::filesystem::path path;
    Dir() {
      std::random_device random;
      do {
        char name[32];
        std::snprintf(name, sizeof name, "vp_test_%08x%08x", random(), random());
        path = std::filesystem::path(::testing::TempDir()) / name;
      } while (!std::filesystem::create_directory(path));
    }
    ~Dir() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Dir dir;
  return dir.path;
}

// A path for a file of one test in this process's folder.
inline std::string TempPath(const std::string& name) { return (ProcessDir() / name).string(); }

// A fresh empty folder for one test.
inline std::string FreshDir(const std::string& name) {
  const auto dir = ProcessDir() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::vector<std::string> DirEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline std::filesystem::perms Mode(const std::string& path) {
  return std::filesystem::symlink_status(path).permissions();
}

// A file with the given contents and permission bits.
inline void WriteFileWithMode(const std::string& path, const std::string& bytes, std::filesystem::perms mode) {
  WriteFile(path, bytes);
  std::filesystem::permissions(path, mode);
}

// A small filesystem (a 64 KiB tmpfs) on a fresh folder, which Fill() makes
// full: afterwards no write of even one byte into a new file succeeds.
// Mounting needs an administrator; where it is not permitted, Mounted() is
// false and the test skips.
class FullDisk {
 public:
  explicit FullDisk(const std::string& name) : dir_(FreshDir(name)) {
    mounted_ = std::system(("mount -t tmpfs -o size=64k tmpfs '" + dir_ + "' >/dev/null 2>&1").c_str()) == 0;
  }
  ~FullDisk() {
    if (mounted_ && std::system(("umount -l '" + dir_ + "' >/dev/null 2>&1").c_str()) != 0) {
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  void Fill() const {
    std::FILE* filler = std::fopen(Path("filler").c_str(), "wb");
    ASSERT_NE(filler, nullptr);
    const std::string block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
    }
    std::fclose(filler);
    std::FILE* probe = std::fopen(Path("probe").c_str(), "wb");
    ASSERT_NE(probe, nullptr);
    const bool full = std::fputc('x', probe) == EOF || std::fflush(probe) != 0;
    std::fclose(probe);
    std::filesystem::remove(Path("probe"));
    ASSERT_TRUE(full) << "the filesystem still takes data";
  }

 private:
  std::string dir_;
  bool mounted_ = false;
};

#define VP_SKIP_WITHOUT(disk) \
  if (!(disk).Mounted()) GTEST_SKIP() << "mounting a small filesystem is not permitted here"

}  // namespace vp::test
