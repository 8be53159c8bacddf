#include "main_form_model.h"

namespace vp {

SpinEditState& TMainFormModel::Spin(Count which) {
  return const_cast<SpinEditState&>(static_cast<const TMainFormModel&>(*this).Spin(which));
}

const SpinEditState& TMainFormModel::Spin(Count which) const {
  switch (which) {
    case Count::Supports: return SpinEdit1;
    case Count::Sections: return SpinEdit2;
    case Count::Spans: return SpinEdit3;
    case Count::Variants: break;
  }
  return SpinEdit4;
}

void TMainFormModel::Changed(Count which) {
  switch (which) {
    case Count::Supports: SpinEdit1Change(); break;
    case Count::Sections: SpinEdit2Change(); break;
    case Count::Spans: SpinEdit3Change(); break;
    case Count::Variants: SpinEdit4Change(); break;
  }
}

void TMainFormModel::SetSpinText(Count which, std::string text) {
  if (Spin(which).SetText(std::move(text))) Changed(which);
}

void TMainFormModel::SetSpinValue(Count which, int value) {
  if (Spin(which).SetValue(value)) Changed(which);
}

void TMainFormModel::LeaveSpin(Count which) {
  if (Spin(which).Leave()) Changed(which);
}

void TMainFormModel::LeaveAllSpins() {
  for (Count c : {Count::Supports, Count::Sections, Count::Spans, Count::Variants}) LeaveSpin(c);
}

void TMainFormModel::ClearBeyondCounts() {
  for (StringTable* grid : {&StringGrid1, &StringGrid2, &StringGrid3, &StringGrid4}) grid->ClearBeyondCounts();
}

void TMainFormModel::FormShow() {
  StringGrid1.SetCell(1, 0, "Участок 1");
  StringGrid2.SetCell(0, 1, "Опора 1");
  StringGrid2.SetCell(1, 0, "Вариант1");
  StringGrid1.SetCell(0, 1, "Длина(l)");
  StringGrid1.SetCell(0, 2, "Масса(m)");
  StringGrid1.SetCell(0, 3, "Жесткость(El)");
  SpinEdit1Change();
  SpinEdit2Change();
  SpinEdit3Change();
  SpinEdit4Change();
}

void TMainFormModel::SpinEdit1Change() {
  const int N = SizingValue(Count::Supports);
  StringGrid2.SetRowCount(N + 1);
  StringGrid3.SetColCount(N);
  for (int s = 1; s <= N; ++s) StringGrid2.SetCell(0, s, "Опора " + std::to_string(s));
}

void TMainFormModel::SpinEdit2Change() {
  const int KM = SizingValue(Count::Sections);
  StringGrid1.SetColCount(KM + 1);
  for (int k = 1; k <= KM; ++k) StringGrid1.SetCell(k, 0, "Участок " + std::to_string(k));
}

void TMainFormModel::SpinEdit3Change() { StringGrid4.SetColCount(SizingValue(Count::Spans)); }

void TMainFormModel::SpinEdit4Change() {
  const int KW = SizingValue(Count::Variants);
  StringGrid2.SetColCount(KW + 1);
  for (int v = 1; v <= KW; ++v) StringGrid2.SetCell(v, 0, "Вариант" + std::to_string(v));
}

}  // namespace vp
