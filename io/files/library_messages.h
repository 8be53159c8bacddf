#pragma once
// The libraries' own log lines (Qt's warnings, the workbook library's error
// reports) are not for the user: the program reports every failure itself, in
// Russian. These keep them off the terminal.

namespace vp {

// Qt's debug, information, warning and critical messages are dropped; a fatal
// one still ends the program with its text.
void SilenceQtMessages();

// Opens the null device on each of the standard input, output and error that
// the process was started with closed: otherwise the next file opened (Qt's
// own descriptors, an input file, a new PDF or workbook) would take its
// descriptor, and what is written to that stream would go into the file.
// Returns false when the standard output was closed.
bool OccupyClosedStandardStreams();

// While it lives, what is written to the process's standard error goes
// nowhere (a library that prints its errors itself is called under it).
class MutedStandardError {
 public:
  MutedStandardError();
  ~MutedStandardError();
  MutedStandardError(const MutedStandardError&) = delete;
  MutedStandardError& operator=(const MutedStandardError&) = delete;

 private:
  int saved_ = -1;  // a duplicate of the standard error's descriptor
};

}  // namespace vp
