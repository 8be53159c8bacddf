#include "output_form.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QScatterSeries>
#include <QValueAxis>
#include <QLabel>
#include <QLegendMarker>
#include <algorithm>

#include "completeness_lines.h"
#include "continuous_lines.h"
#include "form_kit.h"
#include "frequency_map.h"
#include "chart_kit.h"
#include "numtext.h"
#include "settings.h"

namespace vp {

namespace {

QLabel* Title(QWidget* parent, const QString& text, int x, int y, bool visible = true) {
  QLabel* label = Caption(parent, text, x, y);
  QFont font = label->font();
  font.setPixelSize(11);
  label->setFont(font);
  label->adjustSize();
  label->setVisible(visible);
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
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  StyleForm(this, 10);
  resize(1110, 690);

  Bevel(this, QRect(8, 0, 625, 97));
  Bevel(this, QRect(8, 239, 625, 81));
  Bevel(this, QRect(8, 327, 625, 205));

  grids_[0] = new GridView(this, new OwnTableModel, QRect(17, 22, 608, 70), 70, false);
  Title(this, "Значения собственных частот:", 16, 3);

  // Under the frequencies, the continuous shaft's frequencies of the same ordinals.
  Bevel(this, QRect(8, 104, 625, 128));
  Title(this, "Частоты в Гц и об/мин и непрерывная модель вала: частоты тех же номеров (* - при единицах СИ):", 16, 107);
  continuous_ = new GridView(this, new OwnTableModel, QRect(17, 124, 608, 104), 70, false);
  continuous_->SetFitToTexts(true);
  continuousNotes_ = Caption(this, "", 16, 203, false, 600);
  continuousNotes_->setStyleSheet("color: rgb(190, 0, 0)");

  Title(this, "Номер уч-ка:", 16, 249);
  Title(this, "Координата уч-ка:", 8, 268);
  grids_[1] = new GridView(this, new StringTableModel(&tables_.StringGrid2, 0, 0, false), QRect(128, 248, 497, 56), 60, false);
  grids_[1]->horizontalHeader()->hide();
  grids_[1]->verticalHeader()->hide();

  Title(this, "Кинематические и динамические параметры:", 24, 337);
  grids_[2] = new GridView(this, new StringTableModel(&tables_.StringGrid3, 1, 2, false), QRect(17, 359, 608, 167), 85, false);
  QFont gridFont = FormFont();
  gridFont.setPixelSize(10);
  grids_[2]->setFont(gridFont);

  // Filled by the solver and read by the export; never shown.
  grids_[3] = new GridView(this, new StringTableModel(&tables_.StringGrid4, 0, 0, false), QRect(512, 432, 121, 73), 100);
  grids_[4] = new GridView(this, new StringTableModel(&tables_.StringGrid5, 0, 0, false), QRect(514, 13, 88, 71), 100);
  grids_[3]->hide();
  grids_[4]->hide();
  for (int i = 0; i < 3; ++i) grids_[i]->SetFitToTexts(true);
  Title(this, "RX:", 490, 450, false);

  bitBtn3_ = BitBtn(this, "Печать", QRect(17, 541, 96, 41), Glyph::Print);
  pdfButton_ = BitBtn(this, "Сохранить в PDF", QRect(117, 541, 124, 41), Glyph::Save);
  bitBtn2_ = BitBtn(this, "Повторить расчет", QRect(245, 541, 121, 41), Glyph::Retry);
  bitBtn4_ = PlainButton(this, "Импортировать в Excel", QRect(370, 541, 131, 41));
  bitBtn1_ = BitBtn(this, "Выход", QRect(505, 541, 120, 41), Glyph::Exit);

  // Whether the sweep found every frequency of its range, per variant.
  Bevel(this, QRect(8, 594, 1094, 90));
  Title(this, "Проверка полноты поиска частот:", 16, 598);
  checks_ = new QPlainTextEdit(this);
  checks_->setGeometry(16, 616, 946, 62);
  checks_->setReadOnly(true);
  // The whole run as a calculation report: input, results, mode shapes, maps.
  reportButton_ = BitBtn(this, "Отчет (PDF)…", QRect(970, 616, 124, 62), Glyph::Save);
  reportButton_->setToolTip("Отчет о расчете в файле PDF: исходные данные со схемой вала, частоты, формы колебаний, карты");
  connect(reportButton_, &QPushButton::clicked, this, [this] { Run(report_); });

  // The frequencies across the stiffness variants.
  Bevel(this, QRect(641, 0, 461, 587));
  Title(this, "Карта частот по вариантам жесткости опор:", 649, 3);
  Caption(this, "Ось частот:", 930, 4, false);
  mapUnit_ = FrequencyUnitBox(this, "units/frequencyMap");
  mapUnit_->setGeometry(1000, 1, 94, 20);
  connect(mapUnit_, &QComboBox::currentIndexChanged, this, [this] { FillMap(); });
  mapView_ = new QChartView(this);
  mapView_->setRenderHint(QPainter::Antialiasing);
  map_ = NewMapChart(mapView_, "Карта частот");
  mapView_->setGeometry(649, 22, 445, 515);
  printMapButton_ = BitBtn(this, "Печать карты", QRect(649, 541, 116, 41), Glyph::Print);
  pdfMapButton_ = BitBtn(this, "Сохранить в PDF", QRect(769, 541, 122, 41), Glyph::Save);
  connect(printMapButton_, &QPushButton::clicked, this, [this] { Print(printMap_, PrintTarget::Printer); });
  connect(pdfMapButton_, &QPushButton::clicked, this, [this] { Print(printMap_, PrintTarget::Pdf); });
  // The map over one support stiffness, for any number of variants.
  stiffnessMapButton_ = PlainButton(this, "Карта критических скоростей", QRect(895, 541, 199, 41));
  connect(stiffnessMapButton_, &QPushButton::clicked, this, [this] { Run(openStiffnessMap_); });
  noMap_ = Caption(this, "", 657, 30, false, 430);

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
  continuousNotes_->adjustSize();
  // The notes at the bottom of the frame, the table above them.
  const int notesHeight = notes.isEmpty() ? 0 : continuousNotes_->height() + 3;
  continuous_->setGeometry(17, 124, 608, 104 - notesHeight);
  continuousNotes_->move(16, 228 - notesHeight + 2);
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
  noMap_->adjustSize();
  if (!map.Drawn()) return;

  // The map as the report draws it, in the unit chosen beside it: each
  // piece a series, the first piece of each ordinal named in the legend.
  const ReportPlot plot = FrequencyMapPlot(map, UnitOf(mapUnit_), summary_.reportFactor, DecimalSeparator());
  const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
  bool companions = false;
  for (const PlotLine& line : plot.lines) {
    auto* series = new QLineSeries;
    series->setName(QString::fromStdString(line.name));
    series->setPen(QPen(QColor::fromRgb(line.rgb), line.width, styles[line.style]));
    series->setPointsVisible(line.points);
    if (line.style == PlotLine::Dotted) series->setMarkerSize(4);
    companions = companions || line.style == PlotLine::Dotted;
    for (size_t i = 0; i < line.x.size(); ++i) series->append(line.x[i], line.y[i]);
    map_->addSeries(series);
  }
  if (!plot.labels.empty()) {
    auto* lowMac = new QScatterSeries;
    lowMac->setName(QString::fromStdString(plot.labelsName));
    lowMac->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    lowMac->setMarkerSize(11);
    lowMac->setColor(Qt::black);
    lowMac->setBorderColor(Qt::black);
    for (const PlotLabel& label : plot.labels) lowMac->append(label.x, label.y);
    map_->addSeries(lowMac);
  }
  // The title says what the dotted lines are; the legend has no room left.
  if (companions) map_->setTitle("Карта частот (пунктиром - непрерывная модель вала)");
  for (QAbstractSeries* series : map_->series())
    if (series->name().isEmpty())
      for (QLegendMarker* marker : map_->legend()->markers(series)) marker->setVisible(false);
  QValueAxis* variants = AxisOf(plot.x);
  QValueAxis* frequencies = AxisOf(plot.y);
  map_->addAxis(variants, Qt::AlignBottom);
  map_->addAxis(frequencies, Qt::AlignLeft);
  for (QAbstractSeries* series : map_->series()) {
    series->attachAxis(variants);
    series->attachAxis(frequencies);
  }
  QFont small = map_->legend()->font();
  small.setPointSize(7);
  map_->legend()->setFont(small);
}

QImage TOutputForm::CaptureMap() const { return mapView_->grab().toImage(); }

void TOutputForm::ShowResults() {
  Refresh();
  RestoreGeometry(this, "results", true);
  if (mainWindow_) CentreOn(this, mainWindow_->geometry());
  exec();
}

}  // namespace vp
