#include "forms.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QChart>
#include <QChartView>
#include <QUrl>
#include <QPrintDialog>
#include <QHash>
#include <QTranslator>

#include "batch_run.h"
#include "chart_kit.h"
#include "chart_printing.h"
#include "fonts.h"
#include "form_kit.h"
#include "line_printer.h"
#include "message_box.h"
#include "pdf_file.h"
#include "settings.h"
#include "window_printing.h"

namespace vp {

Forms::Forms() {
  MainForm = std::make_unique<TMainForm>(state);
  InputForm = std::make_unique<TInputForm>(state.echo, MainForm.get());
  OutputForm = std::make_unique<TOutputForm>(state.results, state.summary, MainForm.get());
  NewForm = std::make_unique<TNewForm>(state.newForm, MainForm.get());
  MainFormJestk = std::make_unique<TMainFormJestk>(jestk, state.form, MainForm.get());
  StiffnessMapForm = std::make_unique<TStiffnessMapForm>(stiffnessMap, OutputForm.get());

  MainForm->SetRunWindows([this] { return InputForm->Confirm(); }, [this] { OutputForm->ShowResults(); },
                           NewForm.get());
  MainForm->SetCalculatorOpener([this] { MainFormJestk->Open(); });
  MainFormJestk->SetTransferHandler([this] { MainForm->SyncFromModel(); });
  MainFormJestk->SetRunningCheck([this] { return state.computing; });
  OutputForm->SetMainWindow(MainForm.get());
  OutputForm->SetPrinter([this](TOutputForm& form, PrintTarget target) {
    Print(&form, target, "Результаты расчета.pdf", [this](QPagedPaintDevice& device) {
      PrintRunPrintout(device, state, DecimalSeparator(), RunPrintoutTitle(state));
    });
  });
  choosePdfFile = [](QWidget* parent, const QString& name) {
    QString path = QFileDialog::getSaveFileName(parent, "Сохранить в PDF", QDir(LastFolder()).filePath(name),
                                                "Документ PDF (*.pdf)");
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    if (!path.isEmpty()) RememberFolderOf(path);
    return path;
  };
  chooseWorkbookFile = [](QWidget* parent) {
    const QString path = QFileDialog::getSaveFileName(parent, "Импортировать в Excel",
                                                      QDir(LastFolder()).filePath("Результаты расчета.xlsx"),
                                                      "Рабочая книга Excel (*.xlsx)");
    if (!path.isEmpty()) RememberFolderOf(path);
    return path;
  };
  openWorkbook = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  OutputForm->SetExporter([this](TOutputForm& form) {
    const QString path = chooseWorkbookFile(&form);
    if (path.isEmpty()) return;
    if (const std::optional<Error> error =
            ExportRunWorkbook(path.toStdString(), state, DecimalSeparator(), &StiffnessMapOfRun())) {
      ReportError(&form, *error);
      return;
    }
    if (!openWorkbook(path))
      ShowPlainMessage(&form, "Рабочая книга сохранена в файле \"" + path +
                                  "\", но открыть ее в программе электронных таблиц не удалось.");
  });
  OutputForm->SetMapPrinter([this](TOutputForm& form, PrintTarget target) {
    Print(&form, target, "Карта частот.pdf", [&](QPagedPaintDevice& device) {
      PrintChart(device, *form.MapChart(), FrequencyMapHeading(state.model, DecimalSeparator()));
    });
  });
  OutputForm->SetReporter([this](TOutputForm& form) {
    const QString path = choosePdfFile(&form, "Отчет о расчете.pdf");
    if (path.isEmpty()) return;
    if (const std::optional<Error> error = WriteRunReport(path.toStdString(), state, &StiffnessMapOfRun(),
                                                          UnitOf(form.MapUnitBox()), DecimalSeparator()))
      ReportError(&form, *error);
  });
  OutputForm->SetStiffnessMapOpener([this](TOutputForm&) {
    StiffnessMapOfRun();
    StiffnessMapForm->ShowMap();
  });
  StiffnessMapForm->SetPrinter([this](TStiffnessMapForm& form, PrintTarget target) {
    Print(&form, target, "Карта критических скоростей.pdf",
          [&](QPagedPaintDevice& device) { PrintChart(device, *form.Chart(), form.PrintHeading()); });
  });
  NewForm->SetChartPrinter([this](TNewForm& form, PrintTarget target) {
    Print(&form, target, "Форма колебаний.pdf", [&](QPagedPaintDevice& device) {
      PrintChart(device, *form.Chart1()->chart(), ModeShapeHeading(state.newForm), kChartPictureSize);
    });
  });
}

void Forms::Print(QWidget* parent, PrintTarget target, const QString& pdfName,
                  const std::function<void(QPagedPaintDevice&)>& print) {
  if (target == PrintTarget::Printer && !PrinterAvailable()) {
    QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromUtf8(kNoPrinterOffer),
                    QMessageBox::NoButton, parent);
    QPushButton* save = ask.addButton("Сохранить в PDF", QMessageBox::AcceptRole);
    ask.addButton("Отмена", QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() != save) return;
    target = PrintTarget::Pdf;
  }
  if (target == PrintTarget::Printer) {
    RunPrintJob(SetUpPrinter(parent), print);
    return;
  }
  const QString path = choosePdfFile(parent, pdfName);
  if (path.isEmpty()) return;
  PrintPdfFile(path.toStdString(), PrintoutPageSetup(), print);
}

QPrinter& Forms::SetUpPrinter(QWidget* parent) {
  RequirePrinter();
  if (!printer) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);  // a section row is wider than a portrait page
  }
  QPrintDialog dialog(printer.get(), parent);
  dialog.exec();
  return *printer;
}

const StiffnessMapChart& Forms::StiffnessMapOfRun() {
  stiffnessMap.Settle();
  stiffnessMap.SetShaft(state.model, state.summary.reportFactor, DecimalSeparator());
  return stiffnessMap.Chart();
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const QFileInfo& file : QDir(":/icons").entryInfoList({"valoprovod-*.png"})) icon.addFile(file.filePath());
  return icon;
}

namespace {

// What Qt's own Russian translations lack: the type of a file dialog's entries.
class MissingQtTranslations : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    static const QHash<QString, QString> kIconProvider = {
        {"Folder", "Папка"}, {"File Folder", "Папка"}, {"Drive", "Диск"},
        {"Shortcut", "Ярлык"}, {"Alias", "Ярлык"},    {"Unknown", "Неизвестно"}};
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    return kIconProvider.value(QString::fromUtf8(source));
  }
};

}  // namespace

void SetUpApplication() {
  // Where QSettings keeps what is remembered between runs.
  QApplication::setOrganizationName("valoprovod");
  QApplication::setApplicationName("valoprovod");
  QApplication::setApplicationDisplayName("Расчет валопровода");
  QApplication::setApplicationVersion(VP_VERSION);
  // Ties the windows to the installed desktop entry (its name and icon).
  QGuiApplication::setDesktopFileName("valoprovod");
  QApplication::setWindowIcon(ProgramIcon());
  qApp->setProperty("helpFile", "HELP.HLP");
  InstallFontSubstitutes();
  QApplication::setFont(FormFont());
  auto* translator = new QTranslator(qApp);
  if (translator->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
  QApplication::installTranslator(new MissingQtTranslations(qApp));
}

}  // namespace vp
