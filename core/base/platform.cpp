#include "platform.h"

#include <cerrno>
#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#include <xmmintrin.h>
#else
#include <unistd.h>
#endif

namespace vp::platform {

std::filesystem::path Utf8Path(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

void UseCNumbers() { setlocale(LC_NUMERIC, "C"); }

#ifdef _WIN32

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}

FpFlags SaveFpFlags() { return static_cast<FpFlags>(std::fetestexcept(FE_ALL_EXCEPT)); }

// The flags raised since are cleared; those that were raised are raised again
// in the SSE status (the one x86-64 arithmetic uses), its masks left alone.
void RestoreFpFlags(FpFlags saved) {
  std::feclearexcept(FE_ALL_EXCEPT & ~static_cast<int>(saved));
  _mm_setcsr(_mm_getcsr() | (saved & FE_ALL_EXCEPT));
}

void ChooseQtPlatform(bool) {
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  if (!chosen || !*chosen) _putenv_s("QT_QPA_PLATFORM", "windows:fontengine=directwrite");
}

// The C library's locale stays "C" on Windows: neither the program nor Qt
// (which does on Unix) calls setlocale there.
long double StrToLongDoubleC(const char* text) { return std::strtold(text, nullptr); }
CNumbersOnThisThread::CNumbersOnThisThread() {}
CNumbersOnThisThread::~CNumbersOnThisThread() {}

void UseUtf8StandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
}

void ClearFileError() {
  errno = 0;
  SetLastError(ERROR_SUCCESS);
}

// The Win32 errors a file operation meets, as the conditions the messages name.
std::error_code LastFileError() {
  switch (GetLastError()) {
    case ERROR_SUCCESS:
      return errno != 0 ? std::error_code(errno, std::generic_category()) : std::make_error_code(std::errc::io_error);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return std::make_error_code(std::errc::file_exists);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
    case ERROR_WRITE_PROTECT: return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_NOT_SAME_DEVICE: return std::make_error_code(std::errc::cross_device_link);
    case ERROR_FILENAME_EXCED_RANGE: return std::make_error_code(std::errc::filename_too_long);
    case ERROR_INVALID_NAME: return std::make_error_code(std::errc::invalid_argument);
    case ERROR_TOO_MANY_OPEN_FILES: return std::make_error_code(std::errc::too_many_files_open);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return std::make_error_code(std::errc::not_enough_memory);
    default: return std::make_error_code(std::errc::io_error);
  }
}

std::error_code RenameOver(const std::string& from, const std::string& to) {
  ClearFileError();
  if (MoveFileExW(Utf8Path(from).c_str(), Utf8Path(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return {};
  return LastFileError();
}

int OpenNullDevice() { return _open("NUL", _O_WRONLY); }
int DuplicateDescriptor(int fd) { return _dup(fd); }
void MoveDescriptor(int from, int to) { _dup2(from, to); }
void CloseDescriptor(int fd) { _close(fd); }
bool DescriptorOpen(int fd) { return _get_osfhandle(fd) != -1; }

#else

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) { return std::vector<std::string>(argv, argv + argc); }

FpFlags SaveFpFlags() {
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  return flags;
}

void RestoreFpFlags(FpFlags saved) {
  const std::fexcept_t flags = static_cast<std::fexcept_t>(saved);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
}

void ChooseQtPlatform(bool windowless) {
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  if (windowless && (!chosen || !*chosen)) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

namespace {
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}
}  // namespace

long double StrToLongDoubleC(const char* text) { return strtold_l(text, nullptr, CLocale()); }

CNumbersOnThisThread::CNumbersOnThisThread() : previous_(uselocale(CLocale())) {}
CNumbersOnThisThread::~CNumbersOnThisThread() { uselocale(static_cast<locale_t>(previous_)); }

void UseUtf8StandardStreams() {}

void ClearFileError() { errno = 0; }

std::error_code LastFileError() {
  return errno != 0 ? std::error_code(errno, std::generic_category()) : std::make_error_code(std::errc::io_error);
}

std::error_code RenameOver(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::rename(Utf8Path(from), Utf8Path(to), error);
  return error;
}

int OpenNullDevice() { return open("/dev/null", O_WRONLY); }
int DuplicateDescriptor(int fd) { return dup(fd); }
void MoveDescriptor(int from, int to) { dup2(from, to); }
void CloseDescriptor(int fd) { close(fd); }
bool DescriptorOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

#endif

}  // namespace vp::platform
