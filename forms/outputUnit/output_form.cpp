#include "output_form.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLegend>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QLabel>
#include <algorithm>

#include "completeness_lines.h"
#include "continuous_lines.h"
#include "fonts.h"
#include "form_kit.h"
#include "glyph_buttons.h"
#include "grid_view.h"
#include "message_box.h"
#include "frequency_map.h"
#include "chart_kit.h"
#include "numtext.h"
#include "settings.h"

namespace vp {

namespace {

const char* const kMapTitleWithCompanions = "Карта частот (пунктиром - непрерывная модель вала)";

// A band's title: bold, 11 pixels high.
QLabel* Title(QWidget* parent, const QString& text) {
  QLabel* label = Caption(parent, text);
  QFont font = label->font();
  font.setPixelSize(11);
  label->setFont(font);
  return label;
}

// A table made for the window (the frequencies with their ordinals, the
// comparison with the continuous shaft), marked rows in red. It holds its
// table itself: the window's views read it until they are gone, after the
// window's own members.
class OwnTableModel : public StringTableModel {
 public:
  OwnTableModel() : StringTableModel(&table_, 1, 1, false) {}
  // The marks follow the texts (a marked row's difference ends in "!"), so
  // an unchanged table needs no refresh for them either.
  void Set(StringTable table, std::vector<int> markedRows) {
    table_ = std::move(table);
    marked_ = std::move(markedRows);
    Refresh();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const bool marked = index.isValid() && std::count(marked_.begin(), marked_.end(), index.row() + 1) > 0;
    if (marked && role == Qt::ForegroundRole) return QColor(190, 0, 0);
    if (marked && role == Qt::BackgroundRole) return QColor(255, 225, 225);
    return StringTableModel::data(index, role);
  }

 private:
  StringTable table_;
  std::vector<int> marked_;  // rows of table_
};

}  // namespace

TOutputForm::TOutputForm(ResultsTables& tables, ResultsSummary& summary, QWidget* parent)
    : QDialog(parent), tables_(tables), summary_(summary) {
  setWindowTitle("Результаты расчета:");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
  StyleForm(this, 10);

  grids_[0] = new GridView(this, new OwnTableModel, 70, false);
  grids_[0]->setMinimumHeight(72);  // the header, two variants and a scroll bar
  auto* frequencies = new QVBoxLayout;
  frequencies->addWidget(Title(this, "Значения собственных частот:"));
  frequencies->addWidget(grids_[0], 1);

  // Under the frequencies, the continuous shaft's frequencies of the same ordinals.
  continuous_ = new GridView(this, new OwnTableModel, 70, false);
  continuous_->SetFitToTexts(true);
  continuous_->setMinimumHeight(72);
  continuousNotes_ = Caption(this, "", false);
  continuousNotes_->setWordWrap(true);
  continuousNotes_->setStyleSheet("color: rgb(190, 0, 0)");
  continuousNotes_->hide();
  auto* continuous = new QVBoxLayout;
  continuous->addWidget(Title(this, "Частоты в Гц и об/мин и непрерывная модель вала: частоты тех же номеров (* - при единицах СИ):"));
  continuous->addWidget(continuous_, 1);
  continuous->addWidget(continuousNotes_);

  grids_[1] = new GridView(this, new StringTableModel(&tables_.StringGrid2, 0, 0, false), 60, false);
  grids_[1]->horizontalHeader()->hide();
  grids_[1]->verticalHeader()->hide();
  grids_[1]->setFixedHeight(56);
  auto* rowTitles = new QVBoxLayout;
  rowTitles->setSpacing(0);
  for (const char* title : {"Номер уч-ка:", "Координата уч-ка:"}) {
    QLabel* label = Title(this, title);
    label->setFixedHeight(18);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rowTitles->addWidget(label);
  }
  rowTitles->addStretch(1);
  auto* sections = new QHBoxLayout;
  sections->addLayout(rowTitles);
  sections->addWidget(grids_[1], 1);

  grids_[2] = new GridView(this, new StringTableModel(&tables_.StringGrid3, 1, 2, false), 85, false);
  QFont gridFont = FormFont();
  gridFont.setPixelSize(10);
  grids_[2]->setFont(gridFont);
  grids_[2]->setMinimumHeight(120);
  auto* parameters = new QVBoxLayout;
  parameters->addWidget(Title(this, "Кинематические и динамические параметры:"));
  parameters->addWidget(grids_[2], 1);

  // Filled by the solver; never shown.
  grids_[3] = new GridView(this, new StringTableModel(&tables_.StringGrid4, 0, 0, false), 100);
  grids_[4] = new GridView(this, new StringTableModel(&tables_.StringGrid5, 0, 0, false), 100);
  grids_[3]->hide();
  grids_[4]->hide();
  for (int i = 0; i < 3; ++i) grids_[i]->SetFitToTexts(true);
  Title(this, "RX:")->hide();

  bitBtn3_ = BitBtn(this, "Печать", QSize(96, 41), Glyph::Print);
  pdfButton_ = BitBtn(this, "Сохранить в PDF", QSize(124, 41), Glyph::Save);
  bitBtn2_ = BitBtn(this, "Повторить расчет", QSize(121, 41), Glyph::Retry);
  bitBtn4_ = PlainButton(this, "Импортировать в Excel", QSize(131, 41));
  bitBtn1_ = BitBtn(this, "Выход", QSize(120, 41), Glyph::Exit);

  // Whether the sweep found every frequency of its range, per variant.
  checks_ = new QPlainTextEdit(this);
  checks_->setReadOnly(true);
  checks_->setMinimumHeight(62);
  // The whole run as a calculation report: input, results, mode shapes, maps.
  reportButton_ = BitBtn(this, "Отчет (PDF)…", QSize(124, 62), Glyph::Save);
  reportButton_->setToolTip("Отчет о расчете в файле PDF: исходные данные со схемой вала, частоты, формы колебаний, карты");
  connect(reportButton_, &QPushButton::clicked, this, [this] { Run(report_); });
  auto* checkRow = new QHBoxLayout;
  checkRow->addWidget(checks_, 1);
  checkRow->addWidget(reportButton_, 0, Qt::AlignTop);
  auto* checks = new QVBoxLayout;
  checks->addWidget(Title(this, "Проверка полноты поиска частот:"));
  checks->addLayout(checkRow, 1);

  // The frequencies across the stiffness variants.
  mapUnit_ = FrequencyUnitBox(this, "units/frequencyMap");
  mapUnit_->setFixedSize(94, 20);
  connect(mapUnit_, &QComboBox::currentIndexChanged, this, [this] { FillMap(); });
  mapView_ = new QChartView(this);
  mapView_->setRenderHint(QPainter::Antialiasing);
  map_ = NewMapChart(mapView_, "Карта частот");
  // Room for the longest title the map has.
  mapView_->setMinimumSize(QFontMetrics(map_->titleFont()).horizontalAdvance(kMapTitleWithCompanions) + 80, 200);
  printMapButton_ = BitBtn(this, "Печать карты", QSize(116, 41), Glyph::Print);
  pdfMapButton_ = BitBtn(this, "Сохранить в PDF", QSize(122, 41), Glyph::Save);
  connect(printMapButton_, &QPushButton::clicked, this, [this] { Print(printMap_, PrintTarget::Printer); });
  connect(pdfMapButton_, &QPushButton::clicked, this, [this] { Print(printMap_, PrintTarget::Pdf); });
  // The map over one support stiffness, for any number of variants.
  stiffnessMapButton_ = PlainButton(this, "Карта критических скоростей", QSize(199, 41));
  connect(stiffnessMapButton_, &QPushButton::clicked, this, [this] { Run(openStiffnessMap_); });
  noMap_ = Caption(this, "", false);
  noMap_->setWordWrap(true);
  noMap_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* map = new QVBoxLayout;
  map->addLayout(Row({Title(this, "Карта частот по вариантам жесткости опор:"), nullptr, Caption(this, "Ось частот:", false),
                      mapUnit_}));
  map->addWidget(mapView_, 1);
  map->addWidget(noMap_, 1);
  map->addLayout(Row({printMapButton_, pdfMapButton_, stiffnessMapButton_, nullptr}));

  // The tables and their buttons at the left, the map at the right, the check across under them.
  auto* left = new QVBoxLayout;
  left->setSpacing(7);
  left->addWidget(Bevel(this, frequencies), 1);
  left->addWidget(Bevel(this, continuous), 2);
  left->addWidget(Bevel(this, sections));
  left->addWidget(Bevel(this, parameters), 3);
  left->addLayout(Row({bitBtn3_, pdfButton_, bitBtn2_, bitBtn4_, bitBtn1_, nullptr}));
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(7);
  layout->addLayout(left, 0, 0);
  layout->addWidget(Bevel(this, map), 0, 1);
  layout->addWidget(Bevel(this, checks), 1, 0, 1, 2);
  // The tables share the height by the bands' stretch, whatever their size hints.
  for (QWidget* table : std::initializer_list<QWidget*>{grids_[0], continuous_, grids_[2], checks_})
    table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  layout->setRowStretch(0, 1);
  resize(1200, 680);

  checks_->setTabChangesFocus(true);
  SetTabOrder({grids_[0], continuous_, bitBtn1_, bitBtn2_, grids_[1], grids_[2], grids_[3], bitBtn3_, pdfButton_,
               grids_[4], bitBtn4_, checks_, reportButton_, mapUnit_, mapView_, printMapButton_, pdfMapButton_, stiffnessMapButton_});

  connect(bitBtn3_, &QPushButton::clicked, this, [this] { Print(print_, PrintTarget::Printer); });
  connect(pdfButton_, &QPushButton::clicked, this, [this] { Print(print_, PrintTarget::Pdf); });
  connect(bitBtn4_, &QPushButton::clicked, this, [this] { Run(export_); });
  connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
  connect(bitBtn1_, &QPushButton::clicked, this, [this] {
    reject();
    if (mainWindow_) mainWindow_->close();
  });
}

void TOutputForm::Run(const std::function<void(TOutputForm&)>& handler) {
  RunReporting(this, [&] {
    if (handler) handler(*this);
  });
}

void TOutputForm::Print(const PrintHandler& handler, PrintTarget target) {
  Run([&](TOutputForm& form) {
    if (handler) handler(form, target);
  });
}

void TOutputForm::Refresh() {
  static_cast<OwnTableModel*>(grids_[0]->Model())->Set(FrequenciesWithOrdinals(tables_.StringGrid1, summary_, DecimalSeparator()), {});
  for (GridView* grid : grids_) grid->Refresh();
  // The input's warnings first; what needs attention in red with "!", as the
  // large differences from the continuous shaft.
  std::vector<std::string> lines = WarningLines(summary_);
  for (std::string& line : CompletenessLines(summary_, summary_.reportFactor, DecimalSeparator()))
    lines.push_back(std::move(line));
  checks_->clear();
  QTextCursor cursor(checks_->document());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) cursor.insertBlock();
    QTextCharFormat format;
    if (NeedsAttention(lines[i])) format.setForeground(QColor(190, 0, 0));
    cursor.insertText((NeedsAttention(lines[i]) ? QString(kLargeDifferenceMark) + " " : QString()) +
                          QString::fromStdString(lines[i]),
                      format);
  }
  std::vector<int> marked;
  StringTable table = ContinuousTable(summary_, DecimalSeparator(), &marked);
  static_cast<OwnTableModel*>(continuous_->Model())->Set(std::move(table), std::move(marked));
  QStringList notes;
  for (const std::string& line : ContinuousNotes(summary_)) notes << QString::fromStdString(line);
  continuousNotes_->setText(notes.join('\n'));
  continuousNotes_->setVisible(!notes.isEmpty());
  FillMap();
  bitBtn2_->setFocus();
}

QString TOutputForm::CheckText() const { return checks_->toPlainText(); }

QString TOutputForm::ContinuousNotesText() const { return continuousNotes_->text(); }

void TOutputForm::FillMap() {
  const FrequencyMap map = BuildFrequencyMap(summary_);
  map_ = NewMapChart(mapView_, "Карта частот");
  mapView_->setVisible(map.Drawn());
  printMapButton_->setVisible(map.Drawn());
  pdfMapButton_->setVisible(map.Drawn());
  noMap_->setVisible(!map.Drawn());
  noMap_->setText(map.variants.size() < 2
                      ? "Карта частот строится для двух и более вариантов жесткости опор."
                      : "Карта частот не построена: ни одной найденной частоте не сопоставлена собственная частота "
                        "вала (см. проверку полноты поиска частот).");
  if (!map.Drawn()) return;

  // The map as the report draws it, in the unit chosen beside it; the title
  // says what the dotted lines are.
  const ReportPlot plot = FrequencyMapPlot(map, UnitOf(mapUnit_), summary_.reportFactor, DecimalSeparator());
  if (std::any_of(plot.lines.begin(), plot.lines.end(), [](const PlotLine& line) { return line.style == PlotLine::Dotted; }))
    map_->setTitle(kMapTitleWithCompanions);
  QFont small = map_->legend()->font();
  small.setPointSize(7);
  map_->legend()->setFont(small);
  ShowPlot(map_, plot);
}

QImage TOutputForm::CaptureMap() const { return mapView_->grab().toImage(); }

void TOutputForm::ShowResults() {
  Refresh();
  RestoreGeometry(this, "results", true);
  if (mainWindow_) CentreOn(this, mainWindow_->geometry());
  exec();
}

}  // namespace vp
