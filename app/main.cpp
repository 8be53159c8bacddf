// Program entry: the application, its five windows, and the message loop until
// the main window is closed.

#include <QApplication>

#include "forms.h"
#include "library_messages.h"
#include "platform.h"

int main(int argc, char* argv[]) {
  vp::OccupyClosedStandardStreams();  // before anything opens a file
  vp::platform::ChooseQtPlatform(false);
  QApplication app(argc, argv);
  vp::platform::UseCNumbers();
  vp::SetUpApplication();
  vp::Forms forms;
  forms.MainForm->show();
  return app.exec();
}
