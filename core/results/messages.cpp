#include "messages.h"

#include <cerrno>
#include <filesystem>

#include "platform.h"
#include "printable.h"

namespace vp {

namespace {

std::string Section(const Error& e) { return "участок " + std::to_string(e.number) + ": "; }
std::string Support(const Error& e) { return "опора " + std::to_string(e.number) + ": "; }
// A text from outside, as the loader quotes it.
std::string Quoted(const std::string& text) { return "'" + Printable(text) + "'"; }
// "Строка 4, опора 2: " of the text format.
std::string Line(const Error& e) {
  return "Строка " + std::to_string(e.number) + (e.field.empty() ? "" : ", " + e.field) + ": ";
}
// A workbook by its file's name, and what the reader found.
std::string Book(const Error& e) { return "«" + Printable(platform::Utf8Name(platform::Utf8Path(e.text).filename())) + "»"; }
std::string Found(const Error& e) { return e.detail.empty() ? "" : ": " + Printable(e.detail); }
// "Ошибка в книге: лист «…», ячейка B11: …".
std::string Cell(const Error& e, const std::string& problem) {
  return "Ошибка в книге: " + (e.detail.empty() ? "" : "лист «" + Printable(e.detail) + "», ") + "ячейка " + e.field +
         ": " + problem;
}
std::string CellValue(const Error& e, const char* what) { return Cell(e, "значение «" + Printable(e.text) + "» " + what); }
// "Не удалось записать файл «…». Это папка."
std::string NotWritten(const Error& e, const std::string& reason) {
  return "Не удалось записать файл «" + Printable(e.text) + "». " + reason + ".";
}
// "B11, C12" of at most ten cells, then how many more.
std::string CellList(const std::vector<std::string>& cells) {
  constexpr size_t kListed = 10;
  std::string list;
  for (size_t i = 0; i < cells.size() && i < kListed; ++i) list += (i ? ", " : "") + cells[i];
  if (cells.size() > kListed) list += " и еще " + std::to_string(cells.size() - kListed);
  return list;
}
std::string SpanEnd(const Error& e) {
  return "Номера сечений, ограничивающих пролеты справа, пролет " + std::to_string(e.number) + ": номер " + e.text;
}

}  // namespace

std::string SystemReason(std::error_code error) {
  using std::errc;
  const std::error_condition c = error.default_error_condition();
  if (c == errc::no_space_on_device) return "Нет места на диске";
#ifdef EDQUOT
  if (c.category() == std::generic_category() && c.value() == EDQUOT) return "Превышена дисковая квота";
#endif
  if (c == errc::is_a_directory) return "Это папка";
  if (c == errc::not_a_directory) return "Часть пути не является папкой";
  if (c == errc::no_such_file_or_directory) return "Нет такого файла или папки";
  if (c == errc::permission_denied || c == errc::operation_not_permitted) return "Нет прав доступа";
  if (c == errc::read_only_file_system) return "Диск доступен только для чтения";
  if (c == errc::file_exists) return "Файл уже существует";
  if (c == errc::io_error) return "Ошибка ввода-вывода";
  if (c == errc::filename_too_long) return "Слишком длинное имя файла";
  if (c == errc::file_too_large) return "Файл слишком велик";
  if (c == errc::too_many_files_open || c == errc::too_many_files_open_in_system) return "Открыто слишком много файлов";
  if (c == errc::device_or_resource_busy || c == errc::text_file_busy) return "Файл занят другой программой";
  if (c == errc::too_many_symbolic_link_levels) return "Слишком много символических ссылок";
  if (c == errc::not_enough_memory) return "Не хватает памяти";
  if (c == errc::broken_pipe) return "Канал закрыт читающей стороной";
  if (c == errc::invalid_argument) return "Недопустимое имя или параметр";
  if (c == errc::cross_device_link) return "Файл нельзя переместить на другой диск";
  return "Системная ошибка " + std::to_string(error.value()) + " (" + error.message() + ")";
}

std::string Message(const Error& e) {
  switch (e.code) {
    case ErrorCode::NotInteger: return Quoted(e.text) + " is not a valid integer value";
    case ErrorCode::NotReal: return Quoted(e.text) + " is not a valid floating point value";
    case ErrorCode::FieldNotInteger: return e.field + ": " + Quoted(e.text) + " is not a valid integer value";
    case ErrorCode::FieldNotReal:
      return e.field + ": " + Quoted(e.text) + " is not a valid floating point value" +
             (e.detail.empty() ? "" : e.detail == "," ? " (десятичный разделитель - запятая)" : " (десятичный разделитель - точка)");
    case ErrorCode::StepNotPositive:
      return "Шаг по частоте при поиске k-й частоты должен быть больше нуля (FT1 = " + e.text + ")";
    case ErrorCode::PrecisionNotPositive:
      return "Точность вычисления k-й собственной частоты должна быть больше нуля (EPSF = " + e.text + ")";
    case ErrorCode::PrecisionTooLarge:
      return "Точность вычисления k-й собственной частоты слишком велика (EPSF = " + e.text + ")";
    case ErrorCode::StartTooLarge:
      return "Частота начала диапазона поиска собств. частот слишком велика по модулю (F1 = " + e.text + ")";
    case ErrorCode::UpperTooLarge:
      return "Верхняя граница диапазона по частоте слишком велика по модулю (FK = " + e.text + ")";
    case ErrorCode::UpperBelowStart:
      return "Верхняя граница диапазона по частоте (FK = " + e.text +
             ") меньше частоты начала диапазона поиска собств. частот (F1 = " + e.detail + ")";
    case ErrorCode::TooManyFrequencies:
      return "Число собственных частот не должно превышать " + e.detail + " (KP = " + std::to_string(e.number) + ")";
    case ErrorCode::SpanEndOutOfRange: return SpanEnd(e) + " вне пределов от 1 до " + e.detail;
    case ErrorCode::SpanEndNotIncreasing:
      return SpanEnd(e) + " должен быть больше номера предыдущего пролета (" + e.detail + ")";

    case ErrorCode::SectionNegative: return e.field + ": значение " + e.text + " меньше нуля";
    case ErrorCode::NegativeMass:
      return "Масса участка " + std::to_string(e.number) + " отрицательна (m = " + e.text + ")" +
             (e.value > 1 ? "; отрицательных масс всего " + std::to_string(static_cast<int>(e.value)) : "") + ".";
    case ErrorCode::InactiveSupport:
      return "Внимание: опора " + std::to_string(e.number) + " стоит в сечении " + e.text +
             " и не участвует в расчете: опоры действуют в сечениях от 1 до " + e.detail + " (сечение " + e.detail +
             " замыкает последний пролет).";
    case ErrorCode::TransferShrinks:
      return "Число участков на главной форме уменьшится с " + e.text + " до " + std::to_string(e.number) +
             ": данные участков " + std::to_string(e.number + 1) + " - " + e.text + " будут потеряны.";
    case ErrorCode::ProblemSize: return "Размеры задачи вне допустимых пределов";
    case ErrorCode::TrialArithmetic:
      return "Арифметическая ошибка (деление на ноль или переполнение) при расчете варианта " +
             std::to_string(e.number) + " на частоте " + e.text;
    case ErrorCode::SectionZeroStiffness:
      return "Характеристики участков, участок " + std::to_string(e.number) + ": жесткость равна нулю (деление на ноль)";
    case ErrorCode::SectionArithmetic:
      return "Характеристики участков, участок " + std::to_string(e.number) +
             ": деление на ноль или переполнение (проверьте длину и жесткость)";
    case ErrorCode::MatrixOrder: return "Порядок характеристической матрицы вне допустимых пределов";
    case ErrorCode::ModeShapeArithmetic: return "Арифметическая ошибка при построении формы колебаний";
    case ErrorCode::ModeShapeZero: return "Форма колебаний не определена: нулевой прогиб по всей длине вала";
    case ErrorCode::Interrupted: return "Расчет прерван";
    case ErrorCode::RunStoppedPartly:
      return "Внимание: расчет прерван, рассчитано вариантов " + std::to_string(e.number) + " из " +
             std::to_string(static_cast<int>(e.value)) +
             (e.detail.empty() ? "" : "; вариант № " + std::to_string(e.number + 1) + " рассчитан не до конца") + ".";
    case ErrorCode::RunTooLong: return "Расчет прерван: он идет дольше " + e.text + " с (--max-seconds)";
    case ErrorCode::EstimateTooLong:
      return "Расчет не выполнен: по оценке он займет больше " + e.text + " с (--max-seconds)";
    case ErrorCode::EstimateBeyondHour:
      return "Расчет не выполнен: по оценке он займет больше часа (" + e.text +
             "). Без ограничения времени расчет выполняется с параметром --max-seconds 0";
    case ErrorCode::Unexpected: return e.text;

    case ErrorCode::NoSpanOnShaft: return "ни один пролет не замыкается на валу";
    case ErrorCode::NoSuchVariant: return "нет варианта жесткости опор " + std::to_string(e.number);
    case ErrorCode::SectionLength: return Section(e) + "длина должна быть не меньше нуля";
    case ErrorCode::SectionMass: return Section(e) + "масса должна быть не меньше нуля";
    case ErrorCode::SectionStiffness: return Section(e) + "жесткость должна быть больше нуля";
    case ErrorCode::SectionBeyondArithmetic: return Section(e) + "длина, масса и жесткость вне пределов вычислений";
    case ErrorCode::SupportStiffnessNotFinite: return Support(e) + "жесткость не является конечным числом";
    case ErrorCode::NegativeSupportStiffness: return Support(e) + "жесткость должна быть не меньше нуля";
    case ErrorCode::MasslessPartsFree: return "безмассовые части вала не закреплены";

    case ErrorCode::MapLowBound: return "нижняя граница жесткости опор должна быть больше нуля";
    case ErrorCode::MapHighBound: return "верхняя граница жесткости опор должна быть больше нижней";
    case ErrorCode::MapHighNotFinite: return "верхняя граница жесткости опор должна быть конечным числом";
    case ErrorCode::MapPoints: return "число точек карты должно быть от 2 до 1000";
    case ErrorCode::MapOrdinals: return "число частот карты должно быть от 1 до 100";
    case ErrorCode::MapNoPositiveStiffness: return "ни в одном варианте нет опоры с положительной жесткостью";
    case ErrorCode::MapFrequenciesLost: return "частоты вала не удалось найти при всех жесткостях опор диапазона";

    case ErrorCode::WrongFileFormat: return "Неверный формат файла";
    case ErrorCode::FileOpen: return "Не удалось открыть файл " + Quoted(e.text) + ". " + SystemReason(e.system) + ".";
    case ErrorCode::FileIsFolder: return Quoted(e.text) + " - это папка, а не файл.";
    case ErrorCode::FileNotRegular:
      return Quoted(e.text) + " - это не файл, а устройство или канал; загрузить из него нельзя.";
    case ErrorCode::FileTooLarge: return "Файл " + Quoted(e.text) + " слишком велик для файла исходных данных";
    case ErrorCode::FileRead: return "Не удалось прочитать файл " + Quoted(e.text) + ". " + SystemReason(e.system) + ".";

    case ErrorCode::TextUnicode:
      return "Файл исходных данных записан в кодировке Юникод (UTF-16 или UTF-32); сохраните его как обычный текст "
             "(UTF-8 или ANSI)";
    case ErrorCode::TextTooFewLines:
      return "Файл исходных данных должен содержать не менее 17 строк, а в нем " + std::to_string(e.number);
    case ErrorCode::TextSeparator:
      return Line(e) + "число " + Quoted(e.text) + " записано с десятичным разделителем '" + e.detail.substr(0, 1) +
             "', а ожидается разделитель '" + e.detail.substr(1, 1) + "'.";
    case ErrorCode::TextNotInteger: return Line(e) + Quoted(e.text) + " is not a valid integer value";
    case ErrorCode::TextNotReal: return Line(e) + Quoted(e.text) + " is not a valid floating point value";

    case ErrorCode::WorkbookOpen: return "Не удалось открыть файл " + Book(e) + Found(e);
    case ErrorCode::NotWorkbook: return "Файл " + Book(e) + " не является книгой Excel (.xls или .xlsx)";
    case ErrorCode::WorkbookDamaged: return "Файл " + Book(e) + " поврежден или имеет неверный формат" + Found(e);
    case ErrorCode::WorkbookEncrypted:
      return "Книга " + Book(e) + " защищена паролем. Снимите защиту и сохраните книгу заново.";
    case ErrorCode::WorkbookOldFormat:
      return "Книга " + Book(e) +
             " сохранена в устаревшем формате Excel 5.0/95. Сохраните ее в формате Excel 97-2003 (.xls) или Excel "
             "(.xlsx).";
    case ErrorCode::WorkbookNoWorksheet: return "В книге " + Book(e) + " нет ни одного рабочего листа" + Found(e);
    case ErrorCode::WorkbookTooLarge: return "Файл " + Book(e) + " слишком велик или поврежден" + Found(e);

    case ErrorCode::CellNotNumber: return CellValue(e, "не является числом");
    case ErrorCode::CellNotInteger: return CellValue(e, "не является целым числом");
    case ErrorCode::CellBeyondInteger: return CellValue(e, "выходит за пределы целых чисел");
    case ErrorCode::CellUncalculated:
      return Cell(e, "формула не вычислена (в файле нет ее значения); откройте книгу в программе электронных таблиц и "
                     "сохраните ее заново");
    case ErrorCode::SheetWithoutCounts:
      return "Ошибка в книге: в листе «" + Printable(e.detail) +
             "» нет исходных данных (ячейки B1-B5 с числами опор, участков, пролетов, вариантов и частот пусты). "
             "Читается активный лист книги: сделайте активным лист с исходными данными и сохраните книгу.";

    case ErrorCode::SaveValueWithBlank:
      return e.field + ": значение " + Quoted(e.text) + " содержит пробел и не может быть записано в текстовый файл";
    case ErrorCode::SaveTooManyVariants:
      return "В текстовом файле помещаются не более двух вариантов жесткости опор, а их " + std::to_string(e.number) +
             ". Сохраните исходные данные в рабочую книгу (.xlsx).";
    case ErrorCode::SaveUnknownType:
      return "Исходные данные сохраняются в текстовый файл (.txt) или в рабочую книгу (.xlsx)";

    case ErrorCode::WriteNoName: return "Не задано имя файла для записи.";
    case ErrorCode::WriteProtected: return "Файл «" + Printable(e.text) + "» защищен от записи.";
    case ErrorCode::WriteBadName: return NotWritten(e, "В имени файла есть знаки не в кодировке UTF-8");
    case ErrorCode::WriteIsFolder: return NotWritten(e, "Это папка");
    case ErrorCode::WriteNotRegular: return NotWritten(e, "Это не обычный файл, а устройство или канал");
    case ErrorCode::WriteNoFolder: return NotWritten(e, "Нет такой папки");
    case ErrorCode::WriteSystem: return NotWritten(e, SystemReason(e.system));
    case ErrorCode::WriteVanished: return NotWritten(e, "Файл был удален во время записи");
    case ErrorCode::WriteIncomplete: return NotWritten(e, "Файл записан не полностью");
    case ErrorCode::WorkbookWrite: return "Не удалось записать книгу " + Book(e) + ": " + e.detail;
    case ErrorCode::PrintFailed: return e.text;
  }
  return "Ошибка " + std::string(CodeName(e.code));
}

std::string Message(const Warning& w) {
  const std::string sheet = "Лист «" + Printable(w.detail) + "»: ";
  const bool one = w.cells.size() == 1;
  switch (w.code) {
    case WarningCode::EmptyCellsReadAsZero:
      return sheet + (one ? "пустая ячейка " : "пустые ячейки ") + CellList(w.cells) +
             (one ? " прочитана как 0" : " прочитаны как 0");
    case WarningCode::StaleFormulas:
      return sheet + "книга помечена для пересчета при открытии, поэтому " +
             (one ? "значение формулы в ячейке " + CellList(w.cells) + " может быть устаревшим"
                  : "значения формул в ячейках " + CellList(w.cells) + " могут быть устаревшими") +
             ". Откройте книгу в программе электронных таблиц, сохраните ее заново и загрузите снова";
  }
  return sheet;
}

std::string SeparatorQuestion(char fileSeparator) {
  return std::string("Файл записан с десятичной ") + (fileSeparator == ',' ? "запятой" : "точкой") +
         ". Прочитать его так?";
}

std::string MessageOf(const std::exception& exception) {
  if (const auto* failure = dynamic_cast<const Failure*>(&exception)) return Message(failure->error());
  return exception.what();
}

const char* CodeOf(const std::exception& exception) {
  const auto* failure = dynamic_cast<const Failure*>(&exception);
  return failure ? CodeName(failure->error().code) : "";
}

}  // namespace vp
