// Program entry: the application, its five windows, and the message loop until
// the main window is closed.

#include <QApplication>

#include "forms.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  vp::SetUpApplication();
  vp::Forms forms;
  forms.MainForm->show();
  return app.exec();
}
