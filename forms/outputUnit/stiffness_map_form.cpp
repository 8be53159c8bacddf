#include "stiffness_map_form.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QThread>
#include <cmath>

#include "chart_printing.h"
#include "form_kit.h"
#include "glyph_buttons.h"
#include "message_box.h"
#include "chart_kit.h"
#include "messages.h"
#include "settings.h"
#include "ordinal_colours.h"

namespace vp {

namespace {

QString WithStop(const std::string& text) {
  const QString s = QString::fromStdString(text);
  return s.endsWith('.') ? s : s + '.';
}

QString Sentence(const std::string& text) {
  QString s = WithStop(text);
  s[0] = s[0].toUpper();
  return s;
}

}  // namespace

TStiffnessMapForm::TStiffnessMapForm(StiffnessMapModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Карта критических скоростей");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
  StyleForm(this);
  resize(1040, 640);
  setMinimumSize(860, 520);

  view_ = new QChartView(this);
  view_->setRenderHint(QPainter::Antialiasing);
  chart_ = NewMapChart(view_, "Карта критических скоростей");

  auto* panel = new QWidget(this);
  panel->setFixedWidth(290);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(Caption(panel, "Жесткость опор:"));
  auto* fields = new QFormLayout;
  low_ = new QLineEdit(panel);
  high_ = new QLineEdit(panel);
  points_ = new QLineEdit(panel);
  fields->addRow("от:", low_);
  fields->addRow("до:", high_);
  fields->addRow("Число точек:", points_);
  unit_ = FrequencyUnitBox(panel, "units/stiffnessMap");
  fields->addRow("Ось частот:", unit_);
  column->addLayout(fields);
  QLabel* about = Caption(panel,
                          "Собственные частоты непрерывной модели вала, когда у всех опор одна жесткость; "
                          "линия № n - n-я частота. Точки на линиях - варианты расчета, у которых жесткости "
                          "всех опор равны.",
                          false, 290);
  column->addWidget(about);
  notice_ = Caption(panel, "", false, 290);
  QPalette red = notice_->palette();
  red.setColor(QPalette::WindowText, QColor(160, 0, 0));
  notice_->setPalette(red);
  column->addWidget(notice_);
  column->addWidget(Caption(panel, "Варианты расчета:"));
  variants_ = Caption(panel, "", false, 290);
  variants_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  column->addWidget(variants_);
  column->addStretch(1);
  auto* buttons = new QGridLayout;
  print_button_ = BitBtn(panel, "Печать карты", QSize(138, 41), Glyph::Print);
  pdf_button_ = BitBtn(panel, "Сохранить в PDF", QSize(138, 41), Glyph::Save);
  close_ = BitBtn(panel, "Закрыть", QSize(138, 41), Glyph::Ok);
  buttons->addWidget(print_button_, 0, 0);
  buttons->addWidget(pdf_button_, 0, 1);
  buttons->addWidget(close_, 1, 1);
  column->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(view_, 1);
  layout->addWidget(panel);

  SetTabOrder({low_, high_, points_, unit_, print_button_, pdf_button_, close_, view_});
  connect(unit_, &QComboBox::currentIndexChanged, this, [this] { Draw(); });
  for (QLineEdit* edit : {low_, high_, points_}) connect(edit, &QLineEdit::textEdited, this, [this] { FieldsEdited(); });
  for (auto [button, target] : {std::pair{print_button_, PrintTarget::Printer}, std::pair{pdf_button_, PrintTarget::Pdf}})
    connect(button, &QPushButton::clicked, this, [this, target] {
      RunReporting(this, [&] {
        if (print_) print_(*this, target);
      });
    });
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

TStiffnessMapForm::~TStiffnessMapForm() {
  DisconnectControls(this);
  StopComputing();
}

void TStiffnessMapForm::Fill() {
  low_->setText(QString::fromStdString(model_.lowText));
  high_->setText(QString::fromStdString(model_.highText));
  points_->setText(QString::fromStdString(model_.pointsText));
  Draw();
  ShowNotice();
}

void TStiffnessMapForm::ShowMap() {
  Fill();
  StartComputing();
  RestoreGeometry(this, "stiffnessMap", true);
  if (parentWidget()) CentreOn(this, parentWidget()->geometry());
  low_->setFocus();
  exec();
}

void TStiffnessMapForm::done(int result) {
  // The range stays asked for: Settle() or the next ShowMap() computes it.
  StopComputing();
  QDialog::done(result);
}

void TStiffnessMapForm::FieldsEdited() {
  model_.lowText = low_->text().toStdString();
  model_.highText = high_->text().toStdString();
  model_.pointsText = points_->text().toStdString();
  if (model_.Edited()) StartComputing();
  // A map no longer asked for is not finished.
  if (worker_ && model_.Pending() != computing_) stop_->Request();
  ShowNotice();
}

void TStiffnessMapForm::StartComputing() {
  if (worker_) return;  // the range typed meanwhile follows when this map is done
  const std::optional<StiffnessMapRange> range = model_.Pending();
  if (!range) return;
  result_ = std::make_shared<std::optional<StiffnessMapChart>>();
  stop_ = std::make_shared<StopFlag>();
  computing_ = *range;
  worker_ = QThread::create([result = result_, stop = stop_, shaft = model_.Shaft(), range = *range,
                             factor = model_.ReportFactor(), sep = model_.DecimalSeparator()] {
    try {
      *result = ChartStiffnessMap(shaft, range, factor, sep, stop.get());
    } catch (const Failure&) {  // stopped
    }
  });
  const int job = ++job_;
  connect(worker_, &QThread::finished, this, [this, job] { Finished(job); });
  worker_->start();
}

void TStiffnessMapForm::Finished(int job) {
  if (job != job_ || !worker_) return;  // taken already by Settle()
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  if (*result_ && model_.Accept(std::move(**result_))) Draw();
  result_.reset();
  StartComputing();
  ShowNotice();
}

void TStiffnessMapForm::StopComputing() {
  if (!worker_) return;
  stop_->Request();
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  result_.reset();
}

void TStiffnessMapForm::Settle() {
  // The map being computed, then the one of the range typed meanwhile.
  while (worker_) Finished(job_);
  if (model_.Pending()) {
    model_.Settle();
    Draw();
  }
  ShowNotice();
}

void TStiffnessMapForm::ShowNotice() {
  QStringList lines;
  if (!model_.Message().empty())
    lines << Sentence(model_.Message()) + " Карта показана для прежнего диапазона.";
  else if (model_.Pending())
    lines << "Карта строится...";
  const StiffnessMapChart& map = model_.Chart();
  if (map.problem) lines << "Карта не построена: " + WithStop(Message(*map.problem));
  if (map.problem && map.problem->code == ErrorCode::MapNoPositiveStiffness && model_.Message().empty())
    lines << "Задайте диапазон жесткости опор.";
  notice_->setText(lines.join('\n'));
  notice_->setVisible(!lines.isEmpty());

  QStringList variants;
  for (const StiffnessMapMark& mark : map.marks)
    variants << QString::fromStdString(VariantMarkName(mark, model_.DecimalSeparator()));
  if (!map.unmapped.empty()) variants << "Не показаны на карте:";
  for (const UnmappedVariant& variant : map.unmapped) variants << QString::fromStdString(UnmappedLine(variant));
  variants_->setText(variants.join('\n'));
}

void TStiffnessMapForm::Draw() {
  chart_ = NewMapChart(view_, "Карта критических скоростей");
  const StiffnessMapChart& map = model_.Chart();
  print_button_->setEnabled(map.Drawn());
  pdf_button_->setEnabled(map.Drawn());
  if (map.Drawn()) {
    const FrequencyUnit unit = UnitOf(unit_);
    const double scale = FrequencyUnitScale(unit, model_.ReportFactor());
    for (size_t n = 0; n < map.curves.size(); ++n) {
      const StiffnessMapCurve& curve = map.curves[n];
      auto* series = new QLineSeries;
      series->setName("№ " + QString::number(curve.ordinal));
      series->setPen(QPen(OrdinalColour(n), 2));
      QList<QPointF> points;
      for (size_t i = 0; i < map.stiffness.size() && i < curve.F.size(); ++i)
        if (curve.F[i] > 0) points << QPointF(map.stiffness[i], curve.F[i] * scale);  // a log axis has no 0
      series->replace(points);
      chart_->addSeries(series);
    }
    static const QScatterSeries::MarkerShape kShapes[] = {
        QScatterSeries::MarkerShapeRotatedRectangle, QScatterSeries::MarkerShapeRectangle,
        QScatterSeries::MarkerShapeTriangle,         QScatterSeries::MarkerShapeCircle,
        QScatterSeries::MarkerShapeStar,             QScatterSeries::MarkerShapePentagon};
    for (size_t m = 0; m < map.marks.size(); ++m) {
      const StiffnessMapMark& mark = map.marks[m];
      auto* series = new QScatterSeries;
      series->setName(QString::fromStdString(VariantMarkName(mark, model_.DecimalSeparator())));
      series->setMarkerShape(kShapes[m % std::size(kShapes)]);
      series->setMarkerSize(11);
      series->setColor(Qt::black);
      series->setBorderColor(Qt::black);
      for (double F : mark.F)
        if (F > 0) series->append(mark.stiffness, F * scale);
      chart_->addSeries(series);
    }
    QLogValueAxis* x = LogAxis("Жесткость опор", StiffnessAxisSpan(map));
    QLogValueAxis* y = LogAxis(QString::fromStdString(FrequencyAxisTitle(unit)), FrequencyAxisSpan(map, scale));
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart_->series()) {
      series->attachAxis(x);
      series->attachAxis(y);
    }
    ShowWrappingLegend(chart_);
  }
  emit Drawn();
}

QStringList TStiffnessMapForm::PrintHeading() const {
  const char sep = model_.DecimalSeparator();
  return StiffnessMapHeading(model_.Shaft(), QString::fromStdString(StiffnessMapRangeLine(model_.Chart().range, sep)), sep);
}

}  // namespace vp
