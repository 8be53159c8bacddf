#include "input_saver.h"

#include "file_output.h"
#include "form_reading.h"
#include "input_loader.h"
#include "input_sheet.h"
#include "numtext.h"
#include "workbook_writer.h"

namespace vp {

namespace {

// A value of a value list: its text and one blank. A blank inside the text
// would split it into two values on loading.
std::string ListValue(const std::string& text, const std::string& place) {
  const std::string value = Trimmed(text);
  if (value.find(' ') != std::string::npos) Raise(Error{ErrorCode::SaveValueWithBlank, 0, 0, place, text});
  return value + " ";
}

void SaveInputText(const TMainFormModel& form, const std::string& path) {
  const int N = form.SpinEdit1.ClampedValue(), KM = form.SpinEdit2.ClampedValue();
  const int KZ = form.SpinEdit3.ClampedValue(), KW = form.SpinEdit4.ClampedValue();
  if (KW > 2) Raise(Error{ErrorCode::SaveTooManyVariants, KW});
  const char* rows[] = {"длина", "масса", "жесткость"};
  std::string lines[17];
  for (int r = 1; r <= 3; ++r)
    for (int k = 1; k <= KM; ++k)
      lines[r - 1] += ListValue(form.StringGrid1.Cell(k, r),
                                "Характеристики участков, участок " + std::to_string(k) + ", " + rows[r - 1]);
  for (int s = 1; s <= N; ++s)
    lines[3] += ListValue(form.StringGrid3.Cell(s - 1, 1), "Номера сечений, к которым привязаны опоры, опора " + std::to_string(s));
  for (int j = 1; j <= KZ; ++j)
    lines[4] += ListValue(form.StringGrid4.Cell(j - 1, 1), "Номера сечений, ограничивающих пролеты справа, пролет " + std::to_string(j));
  for (int v = 1; v <= KW; ++v)
    for (int s = 1; s <= N; ++s)
      lines[4 + v] += ListValue(form.StringGrid2.Cell(v, s), "Варианты по жесткости опор, опора " + std::to_string(s) +
                                                                 ", вариант " + std::to_string(v));
  const std::string scalars[10] = {std::to_string(N), std::to_string(KM), Trimmed(form.Edit3), std::to_string(KW),
                                   std::to_string(KZ), Trimmed(form.Edit8), Trimmed(form.Edit9), Trimmed(form.Edit10),
                                   Trimmed(form.Edit11), Trimmed(form.Edit12)};
  for (int i = 0; i < 10; ++i) lines[7 + i] = scalars[i];
  std::string contents;
  for (const std::string& line : lines) contents += line + "\r\n";
  WriteWholeFile(path, contents);
}

void SaveInputWorkbook(const TMainFormModel& form, const std::string& path, char sep) {
  TShaftModel model;
  TSearchParams params{};
  TMainFormModel clamped = form;
  clamped.LeaveAllSpins();
  if (const std::optional<Error> error = ReadForm(clamped, model, params, sep)) Raise(*error);
  InputSheetValues in;
  in.N = model.N;
  in.KM = model.KM;
  in.KZ = model.KZ;
  in.KW = model.KW;
  in.KP = model.KP;
  in.F1 = params[kStart];
  in.FT1 = params[kStep];
  in.FK = params[kUpper];
  in.EPS = params[kDetEps];
  in.EPSF = params[kFreqEps];
  in.supportSection = [&](int s) { return double(model.SupportSection[s]); };
  in.spanEnd = [&](int j) { return double(model.SpanEnd[j]); };
  in.section = [&](int k, int q) {
    return q == 1 ? model.SectionLength[k] : q == 2 ? model.SectionMass[k] : model.SectionEI[k];
  };
  in.stiffness = [&](int s, int v) { return model.SupportStiffness[s][v]; };
  WorkbookWriter book(path);
  WorksheetWriter& sheet = book.AddWorksheet("Исходные данные");
  WriteInputSheet(sheet, in);
  sheet.Activate();
  book.Save();
}

}  // namespace

std::optional<Error> SaveInputFile(const TMainFormModel& form, const std::string& path, char sep) {
  // The extensions the loader takes, in capitals too.
  const std::string extension = InputFileExtension(path);
  try {
    if (extension == ".txt")
      SaveInputText(form, path);
    else if (extension == ".xlsx")
      SaveInputWorkbook(form, path, sep);
    else
      return Error{ErrorCode::SaveUnknownType};
  } catch (const Failure& failure) {
    return failure.error();
  }
  return std::nullopt;
}

}  // namespace vp
