// Program entry: the application object and its main window.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow mainForm;
  mainForm.setWindowTitle(QString::fromUtf8("Программа расчета собственных частот и форм колебаний валопровода"));
  mainForm.resize(746, 729);
  mainForm.show();
  return app.exec();
}
