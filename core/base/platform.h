#pragma once
// What differs between Linux and Windows, in one place. Everywhere else a file
// name is a std::string in UTF-8 (Qt's QString::toStdString), on both systems.

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace vp::platform {

// A UTF-8 name as a path: UTF-16 on Windows, the bytes themselves on Linux.
std::filesystem::path Utf8Path(const std::string& name);
// A path's name in UTF-8.
std::string Utf8Name(const std::filesystem::path& path);

// The program's arguments in UTF-8. On Windows argv holds them in the ANSI
// code page, which loses any letter outside it: they are taken from the
// UTF-16 command line instead.
std::vector<std::string> Utf8Arguments(int argc, char* argv[]);

// The standard output and error carry UTF-8 bytes unchanged: on Windows
// without the C library's CRLF translation, and a console shows them as UTF-8.
void UseUtf8StandardStreams();

// The floating-point exception flags, saved and put back as they were.
// (MinGW's fesetexceptflag also overwrites the SSE exception masks: the next
// underflow then ends the program.)
using FpFlags = unsigned;
FpFlags SaveFpFlags();
void RestoreFpFlags(FpFlags saved);

// Chooses Qt's platform plugin, before the application object is made, unless
// QT_QPA_PLATFORM names one. On Windows the native plugin with the DirectWrite
// font engine: the default GDI engine places letters at advances hinted for
// the screen, which scatter the letters of a chart printed into a PDF file,
// and it offers bitmap fonts, which print no text at all (the offscreen plugin
// finds no fonts there). On Linux the offscreen plugin for a program that shows
// no window (no display needed), otherwise Qt's own choice.
void ChooseQtPlatform(bool windowless);

// strtold under the "C" locale, whatever locale the application has set.
long double StrToLongDoubleC(const char* text);

// Qt's application object sets the C library's locale from the environment on
// Unix, and with it the decimal comma of a Russian locale, which every printf
// of a number then writes: into the files written through the workbook
// library, for one. Called right after the application object is made, this
// sets the C library's numbers back to the "C" form. (The separator the user
// sees comes from QLocale::system(), which does not depend on it.)
void UseCNumbers();

// While it lives, the C library writes and reads numbers on this thread in
// the "C" form, whatever locale the application has set.
class CNumbersOnThisThread {
 public:
  CNumbersOnThisThread();
  ~CNumbersOnThisThread();
  CNumbersOnThisThread(const CNumbersOnThisThread&) = delete;
  CNumbersOnThisThread& operator=(const CNumbersOnThisThread&) = delete;

 private:
  void* previous_ = nullptr;  // the thread's locale before
};

// Forgets the last file error; LastFileError() is the error of the file
// operation that has failed since (errno on Linux, the Win32 error on
// Windows, both as std::errc conditions), or an input/output error when the
// operation left none.
void ClearFileError();
std::error_code LastFileError();

// Renames `from` over `to` in one step: the target is either the old file or
// the new one, never missing. The names are in UTF-8.
std::error_code RenameOver(const std::string& from, const std::string& to);

// Standard-stream descriptors: open the null device for writing (a new
// descriptor, or -1), duplicate, close, and whether one is open.
int OpenNullDevice();
int DuplicateDescriptor(int fd);
void MoveDescriptor(int from, int to);  // dup2(from, to)
void CloseDescriptor(int fd);
bool DescriptorOpen(int fd);

}  // namespace vp::platform
