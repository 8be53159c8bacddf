#include "main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QShortcut>
#include <QToolButton>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "form_kit.h"
#include "glyph_buttons.h"
#include "grid_view.h"
#include "message_box.h"
#include "spin_edit_widget.h"
#include "settings.h"

// The help page lives in this library's resources.
static void InitHelpResource() { Q_INIT_RESOURCE(help); }

namespace vp {

namespace {

constexpr int kProgressDelayMs = 500;
// How often the progress window reads where the worker stands.
constexpr int kProgressTickMs = 50;

std::string* EditText(TMainFormModel& form, int i) {
  std::string* texts[6] = {&form.Edit3, &form.Edit8, &form.Edit9, &form.Edit10, &form.Edit11, &form.Edit12};
  return texts[i];
}

// Keeps the user's input from one window and its controls while it lives, so
// that none of its handlers runs again before the run has ended. Other
// windows (the progress window, a mode shape, a message) take input as usual.
class InputBlock : public QObject {
 public:
  explicit InputBlock(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  ~InputBlock() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::Drop:
      case QEvent::Close:
        break;
      default:
        return false;
    }
    if (!target->isWidgetType() || static_cast<QWidget*>(target)->window() != window_) return false;
    // Taken here, so that it goes to no parent either; a close is refused.
    event->setAccepted(event->type() != QEvent::Close);
    return true;
  }

 private:
  QWidget* window_;
};

}  // namespace

TMainForm::TMainForm(ProgramState& state) : state_(state), history_(state.form) {
  InitHelpResource();
  UpdateTitle();
  setProperty("helpContext", 1);
  StyleForm(this);
  TMainFormModel& form = state_.form;

  // Counts and search parameters, captions above their controls, in five
  // columns and two rows.
  auto* parameters = new QGridLayout;
  parameters->setHorizontalSpacing(8);
  parameters->setVerticalSpacing(4);
  for (int column = 0; column < 5; ++column) parameters->setColumnStretch(column, 1);
  parameters->setRowMinimumHeight(0, 38);
  parameters->setRowMinimumHeight(2, 38);
  auto place = [parameters](QWidget* caption, QWidget* control, int column, int row) {
    parameters->addWidget(caption, 2 * row, column, Qt::AlignLeft | Qt::AlignTop);
    parameters->addWidget(control, 2 * row + 1, column, Qt::AlignLeft);
    control->setFixedSize(120, 22);
  };
  const char* counts[4] = {"число опор:", "число участков,на которые разбит ротор: ",
                           "число пролетов,на которые разбит ротор: ", "число вариантов по жесткости опор:"};
  for (int i = 0; i < 4; ++i) {
    QLabel* caption = Caption(this, counts[i], true, 136);
    spins_[i] = new SpinEdit(this);
    place(caption, spins_[i], i, 0);
    const Count which = static_cast<Count>(i);
    connect(spins_[i], &SpinEdit::Typed, this, [this, which, i](const QString& text) {
      state_.form.SetSpinText(which, text.toStdString());
      RefreshGrids();
      FormChanged(kSpinField + i);
    });
    connect(spins_[i], &SpinEdit::Stepped, this, [this, which](int steps) {
      state_.form.SetSpinValue(which, state_.form.Spin(which).Value() + steps);
      SyncFromModel();
    });
    connect(spins_[i], &SpinEdit::Left, this, [this, which] {
      state_.form.LeaveSpin(which);
      SyncFromModel();
    });
  }
  // Edit3 in the first row; FT1, EPS, EPSF, FK, F1 in the second.
  struct Field {
    int index, column, row;
    const char* caption;
  };
  const Field fields[6] = {{0, 4, 0, "число собственных частот, подлежащих определению:"},
                           {2, 0, 1, "шаг по частоте при поиске k-й частоты:"},
                           {4, 1, 1, "точность вычисления определителя:"},
                           {5, 2, 1, "точность вычисления k-й собственной частоты:"},
                           {3, 3, 1, "верхняя граница диапазона по частоте:"},
                           {1, 4, 1, "частота начала диапазона поиска собств. частот: "}};
  for (const Field& f : fields) {
    QLabel* caption = Caption(this, f.caption, true, 136);
    auto* edit = new QLineEdit(this);
    place(caption, edit, f.column, f.row);
    const int index = f.index;
    connect(edit, &QLineEdit::textEdited, this, [this, index](const QString& text) {
      *EditText(state_.form, index) = text.toStdString();
      FormChanged(kEditField + index);
    });
    edits_[f.index] = edit;
  }

  // Support and span grids side by side.
  auto* ends = new QGridLayout;
  ends->setHorizontalSpacing(14);
  ends->setVerticalSpacing(4);
  ends->addWidget(Caption(this, "номера сечений,к которым привязаны опоры:"), 0, 0);
  grids_[2] = new GridView(this, new StringTableModel(&form.StringGrid3, 1, 0, true), 70);
  ends->addWidget(Caption(this, "номера сечений,ограничивающих пролеты справа:"), 0, 1);
  grids_[3] = new GridView(this, new StringTableModel(&form.StringGrid4, 1, 0, true), 70);
  grids_[2]->verticalHeader()->hide();
  grids_[3]->verticalHeader()->hide();
  for (int g : {2, 3}) {
    grids_[g]->setFixedHeight(60);  // the header, the row and a scroll bar
    ends->addWidget(grids_[g], 1, g - 2);
  }

  // Sections.
  auto* sections = new QVBoxLayout;
  sections->setSpacing(6);
  bitBtn3_ = BitBtn(this, "Расчет жесткосткостей", QSize(184, 26), Glyph::Calculator);
  sections->addLayout(Row({Caption(this, "характеристики участков валопровода:"), nullptr, bitBtn3_}));
  grids_[0] = new GridView(this, new StringTableModel(&form.StringGrid1, 1, 1, true), 80);
  grids_[0]->setFixedHeight(102);  // the header, three rows and a scroll bar
  sections->addWidget(grids_[0]);

  // Support stiffnesses.
  auto* stiffness = new QVBoxLayout;
  stiffness->setSpacing(6);
  stiffness->addWidget(Caption(this, "варианты по жесткости опор:"));
  grids_[1] = new GridView(this, new StringTableModel(&form.StringGrid2, 1, 1, true), 60);
  grids_[1]->setMinimumHeight(76);
  stiffness->addWidget(grids_[1], 1);
  // Texts that came from a file or the calculator show whole.
  for (GridView* grid : grids_) {
    grid->SetFitToTexts(true);
    connect(grid->model(), &QAbstractItemModel::dataChanged, this, [this] { FormChanged(0); });
  }

  bitBtn1_ = BitBtn(this, "Начать расчет", QSize(170, 41), Glyph::Ok, true);
  checkBox1_ = new QCheckBox("Рассчитывать формы колебаний", this);
  connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) { state_.form.CheckBox1 = on; });
  bitBtn4_ = BitBtn(this, "Сохранить в файл", QSize(145, 41), Glyph::Save);
  bitBtn2_ = BitBtn(this, "Загрузить из файла", QSize(125, 41), Glyph::Open);
  // The input files last loaded or saved, to load again.
  recent_ = new QToolButton(this);
  recent_->setFixedSize(20, 41);
  recent_->setArrowType(Qt::DownArrow);
  recent_->setPopupMode(QToolButton::InstantPopup);
  recent_->setToolTip("Недавние файлы исходных данных");
  recent_->setMenu(new QMenu(recent_));
  connect(recent_->menu(), &QMenu::aboutToShow, this, [this] {
    QMenu* menu = recent_->menu();
    menu->clear();
    for (const QString& file : RecentFiles())
      menu->addAction(QDir::toNativeSeparators(file), this, [this, file] { LoadFile(file); });
    if (menu->isEmpty()) menu->addAction("Нет недавних файлов")->setEnabled(false);
  });

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(8, 0, 7, 0);
  buttons->setSpacing(10);
  buttons->addWidget(bitBtn1_);
  buttons->addSpacing(2);
  buttons->addWidget(checkBox1_);
  buttons->addStretch(1);
  buttons->addWidget(bitBtn4_);
  QHBoxLayout* load = Row({bitBtn2_, recent_});
  load->setSpacing(0);  // the arrow joins its button
  buttons->addLayout(load);

  // The bands one under the other; the stiffness grid takes what room is left.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 9, 20);
  layout->setSpacing(6);
  layout->addWidget(Bevel(this, parameters));
  layout->addWidget(Bevel(this, ends));
  layout->addWidget(Bevel(this, sections));
  layout->addWidget(Bevel(this, stiffness), 1);
  layout->addSpacing(12);
  layout->addLayout(buttons);
  resize(746, 680);

  // Ctrl+S: into the file the input came from, as the save button would.
  auto* save = new QShortcut(QKeySequence::Save, this);
  connect(save, &QShortcut::activated, this, [this] { SaveToCurrentFile(state_, DecimalSeparator(), *this); });
  // Ctrl+Z and Ctrl+Y (Ctrl+Shift+Z) undo and redo changes of the input, in
  // the fields too: the form keeps one history.
  auto* undo = new QShortcut(QKeySequence::Undo, this);
  connect(undo, &QShortcut::activated, this, [this] {
    if (history_.Undo(state_.form)) SyncFromModel();
  });
  for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Redo)) {
    auto* redo = new QShortcut(keys, this);
    connect(redo, &QShortcut::activated, this, [this] {
      if (history_.Redo(state_.form)) SyncFromModel();
    });
  }
  qApp->installEventFilter(this);

  SetTabOrder({spins_[0], spins_[1], spins_[2], spins_[3], edits_[0], edits_[2], edits_[4], edits_[5], edits_[3],
               edits_[1], grids_[2], grids_[3], grids_[0], grids_[1], bitBtn1_, checkBox1_, bitBtn2_, recent_, bitBtn4_,
               bitBtn3_});
  SetToolTips();

  connect(bitBtn1_, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
  connect(bitBtn2_, &QPushButton::clicked, this, &TMainForm::BitBtn2Click);
  connect(bitBtn3_, &QPushButton::clicked, this, &TMainForm::BitBtn3Click);
  connect(bitBtn4_, &QPushButton::clicked, this, &TMainForm::BitBtn4Click);

  // The dialog's filter, like the loader, takes the extensions in capitals too.
  chooseFile_ = [this] {
    return QFileDialog::getOpenFileName(this, "Загрузить из файла", LastFolder(), "Исходные данные (*.txt *.xls *.xlsx)");
  };
  chooseSaveFile_ = [this] {
    QString filter;
    const QString offered = state_.inputFile.empty() ? QDir(LastFolder()).filePath("Исходные данные.txt")
                                                     : QString::fromStdString(state_.inputFile);
    QString path = QFileDialog::getSaveFileName(this, "Сохранить в файл", offered,
                                                "Текстовый файл (*.txt);;Рабочая книга Excel (*.xlsx)", &filter);
    // A name without an extension takes the one of the chosen file type.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += filter.contains("xlsx") ? ".xlsx" : ".txt";
    return path;
  };
  SyncFromModel();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  DisconnectControls(this);
}

bool TMainForm::eventFilter(QObject* target, QEvent* event) {
  // An edit field of this window would undo only its own text: the keys go
  // to the form's history instead.
  if (event->type() == QEvent::ShortcutOverride && target->isWidgetType() &&
      static_cast<QWidget*>(target)->window() == this) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      event->ignore();
      return true;
    }
  }
  return QWidget::eventFilter(target, event);
}

void TMainForm::FormChanged(int field) {
  history_.Changed(state_.form, field);
  UpdateTitle();
}

QLineEdit* TMainForm::Edit(int number) const {
  switch (number) {
    case 3: return edits_[0];
    case 8: return edits_[1];
    case 9: return edits_[2];
    case 10: return edits_[3];
    case 11: return edits_[4];
    case 12: return edits_[5];
  }
  return nullptr;
}

void TMainForm::RefreshGrids() {
  for (GridView* grid : grids_) grid->Refresh();
}

void TMainForm::SetToolTips() {
  const char* spins[4] = {
      "Число опор N (1 - 10): пружин, на которые опирается вал",
      "Число участков KM (1 - 200): масса участка сосредоточена в его левом сечении, между массами - невесомая балка",
      "Число пролетов KZ (1 - 20): частей вала, каждую замыкает справа сечение из строки пролетов",
      "Число вариантов KW (1 - 20) жесткостей опор; расчет повторяется для каждого варианта"};
  for (int i = 0; i < 4; ++i) spins_[i]->setToolTip(spins[i]);
  const char* edits[6] = {
      "Сколько низших собственных частот искать в каждом варианте (KP, до 100)",
      "Частота начала поиска F1: значение поискового параметра ω (при единицах СИ - рад/с); выдаются частоты "
      "P = 100·ω",
      "Шаг поиска FT1 по ω, в единицах F1: частоты ближе друг к другу, чем шаг, могут быть пропущены (это покажет "
      "проверка полноты поиска)",
      "Верхняя граница поиска FK по ω, в единицах F1, не меньше F1",
      "Точность определителя EPS: частота принимается, когда определитель по модулю меньше EPS",
      "Точность частоты EPSF по ω: уточнение частоты заканчивается, когда шаг меньше EPSF"};
  for (int i = 0; i < 6; ++i) edits_[i]->setToolTip(edits[i]);
  grids_[2]->setToolTip("Номер сечения (1 - KM), в котором стоит каждая опора; сечение i - правый конец участка i");
  grids_[3]->setToolTip("Номер сечения, которым кончается каждый пролет, по возрастанию");
  grids_[0]->setToolTip("Участки вала: длина l (м), масса m (кг), изгибная жесткость EI (Н·м²) - в единицах СИ или "
                        "других согласованных (м, т, кН·м²); Ctrl+V вставляет ячейки из электронной таблицы");
  grids_[1]->setToolTip("Жесткость каждой опоры в каждом варианте: Н/м при единицах СИ (кН/м при т и кН·м²)");
  checkBox1_->setToolTip("Показывать форму колебаний каждой найденной частоты по ходу расчета");
  bitBtn1_->setToolTip("Принять данные, показать их для проверки и рассчитать частоты всех вариантов");
  bitBtn2_->setToolTip("Загрузить исходные данные из файла .txt, .xls или .xlsx");
  bitBtn4_->setToolTip("Сохранить исходные данные в файл .txt (до двух вариантов) или .xlsx; Ctrl+S - в тот же файл");
  bitBtn3_->setToolTip("Рассчитать изгибную жесткость участков по их диаметрам");
}

void TMainForm::UpdateTitle() {
  QString title = "Программа расчета собственных частот и форм колебаний валопровода";
  const bool file = !state_.inputFile.empty();
  if (file) title += " - " + QFileInfo(QString::fromStdString(state_.inputFile)).fileName();
  if (state_.InputEdited()) title += file ? "*" : " *";
  setWindowTitle(title);
}

void TMainForm::SyncFromModel() {
  for (int i = 0; i < 4; ++i) spins_[i]->SetText(QString::fromStdString(state_.form.Spin(static_cast<Count>(i)).Text()));
  for (int i = 0; i < 6; ++i) {
    const QString text = QString::fromStdString(*EditText(state_.form, i));
    if (edits_[i]->text() != text) edits_[i]->setText(text);
  }
  checkBox1_->setChecked(state_.form.CheckBox1);
  RefreshGrids();
  FormChanged(0);
}

void TMainForm::showEvent(QShowEvent* event) {
  state_.form.FormShow();
  SyncFromModel();
  QWidget::showEvent(event);
  // Opens centred on the desktop; where the user moves it, it stays. The
  // window exists now, so its frame counts.
  if (!placed_) {
    if (RestoreGeometry(this, "main")) KeepOnScreen(this);
    else CentreOnScreen(this);
  }
  placed_ = true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!MayClose(state_, DecimalSeparator(), *this)) {
    event->ignore();
    return;
  }
  // The program ends with the main window: a modeless window left open (the
  // stiffness calculator, the help) must not keep it running unseen.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window != this && window->isVisible()) window->close();
  QWidget::closeEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    ShowHelp();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TMainForm::ShowHelp() {
  // Cleared when the main window (its parent) goes.
  static QPointer<QDialog> help;
  if (!help) {
    help = new QDialog(this);
    help->setWindowTitle("Справка");
    help->resize(720, 640);
    auto* browser = new QTextBrowser(help);
    browser->setSource(QUrl("qrc:/help/help.html"));
    auto* layout = new QVBoxLayout(help);
    layout->addWidget(browser);
  }
  help->show();
  help->raise();
}

void TMainForm::BitBtn1Click() {
  state_.form.CheckBox1 = checkBox1_->isChecked();
  RunCalculation(state_, *this, DecimalSeparator());
  SyncFromModel();
}

void TMainForm::BitBtn2Click() {
  const QString path = chooseFile_ ? chooseFile_() : QString();
  if (!path.isEmpty()) LoadFile(path);
}

void TMainForm::LoadFile(const QString& path) { LoadInput(state_, path.toStdString(), DecimalSeparator(), *this); }

void TMainForm::BitBtn4Click() { SaveInputAs(state_, DecimalSeparator(), *this); }

bool TMainForm::Ask(const std::string& question) {
  QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromStdString(question),
                  QMessageBox::Yes | QMessageBox::No, this);
  return ask.exec() == QMessageBox::Yes;
}

InputFileUi::Answer TMainForm::AskOrCancel(const std::string& question) {
  QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromStdString(question),
                  QMessageBox::NoButton, this);
  QPushButton* yes = ask.addButton("Да", QMessageBox::YesRole);
  QPushButton* no = ask.addButton("Нет", QMessageBox::NoRole);
  ask.setEscapeButton(ask.addButton("Отмена", QMessageBox::RejectRole));
  ask.exec();
  return ask.clickedButton() == yes ? Answer::Yes : ask.clickedButton() == no ? Answer::No : Answer::Cancel;
}

std::string TMainForm::ChooseSaveFile() { return chooseSaveFile_ ? chooseSaveFile_().toStdString() : std::string(); }

void TMainForm::FileTaken(const std::string& path) {
  AddRecentFile(QString::fromStdString(path));
  UpdateTitle();
}

void TMainForm::FormLoaded() { SyncFromModel(); }

void TMainForm::BitBtn3Click() {
  RunReporting(this, [this] {
    if (openCalculator_) openCalculator_();
  });
}

bool TMainForm::ConfirmEcho(const TInputFormModel&) { return confirmEcho_ && confirmEcho_(); }

ModeShapeDisplay* TMainForm::ModeDisplay() { return modeDisplay_; }

void TMainForm::ShowResults() {
  if (showResults_) showResults_();
}

void TMainForm::ShowInputError(const std::string& detail) {
  if (state_.runError)
    ShowPlace(state_.runError->place, {grids_.begin(), grids_.end()}, [this](int field) { return Edit(field); });
  ShowPlainMessage(this, "Ошибка ввода данных\n" + QString::fromStdString(detail));
}

void TMainForm::ShowInterrupted() {
  ShowPlainMessage(this, "Расчет прерван");
}

void TMainForm::ShowMessage(const std::string& text) { ShowPlainMessage(this, QString::fromStdString(text)); }

bool TMainForm::AcceptEstimate(double seconds) {
  if (seconds <= kLongRunSeconds) return true;
  QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(),
                  QString::fromStdString(DurationText(seconds)) + " Продолжить?", QMessageBox::Yes | QMessageBox::No,
                  this);
  return ask.exec() == QMessageBox::Yes;
}

bool TMainForm::AcceptFinding(const std::string& text) {
  QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(),
                  QString::fromStdString(text) + " Продолжить расчет?", QMessageBox::Yes | QMessageBox::No, this);
  return ask.exec() == QMessageBox::Yes;
}

void TMainForm::AwaitWorker(CalculationWorker& worker) {
  const InputBlock block(this);
  const double reportFactor = state_.params[kReportFactor];
  QEventLoop loop;
  const auto serve = [&] {
    if (worker.Serve()) loop.quit();
  };
  // The worker wakes the loop when it hands something over or ends; the timer
  // reads its progress.
  worker.SetWakeUp([&] { QMetaObject::invokeMethod(&loop, serve, Qt::QueuedConnection); });
  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> progress;
  QProgressBar* bar = nullptr;  // the progress window's
  QTimer tick;
  connect(&tick, &QTimer::timeout, &loop, [&] {
    // While a mode shape or a message is shown the worker waits for the user.
    if (worker.Serving()) return;
    const SearchProgress& at = worker.Progress();
    const QString text = QString::fromStdString(ProgressText(at, reportFactor, DecimalSeparator()));
    if (!progress) {
      if (clock.elapsed() < kProgressDelayMs) return;
      progress = std::make_unique<QProgressDialog>(text, "Отмена", 0, 0, this);
      // Percent where the run's trials could be estimated, else a busy bar. The
      // bar is set directly: the dialog's setValue would run the event loop here.
      bar = new QProgressBar;
      bar->setRange(0, at.Percent() < 0 ? 0 : 100);
      progress->setBar(bar);
      progress->setWindowTitle("Расчет собственных частот");
      progress->setWindowModality(Qt::WindowModal);
      progress->setMinimumDuration(0);
      progress->setAutoReset(false);
      progress->setAutoClose(false);
      progress->setMinimumWidth(360);
      connect(progress.get(), &QProgressDialog::canceled, &loop, [&worker] { worker.Stop(); });
      progress->show();
      CentreOn(progress.get(), geometry());
    }
    progress->setLabelText(text);
    if (at.Percent() >= 0) bar->setValue(at.Percent());
  });
  tick.start(kProgressTickMs);
  loop.exec();
  worker.SetWakeUp({});
}

}  // namespace vp
