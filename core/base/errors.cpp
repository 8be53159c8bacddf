#include "errors.h"

#include <cerrno>

namespace vp {

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

const char* CodeName(ErrorCode code) {
  switch (code) {
    case ErrorCode::NoSpanOnShaft: return "no_span_on_shaft";
    case ErrorCode::NoSuchVariant: return "no_such_variant";
    case ErrorCode::SectionLength: return "section_length";
    case ErrorCode::SectionMass: return "section_mass";
    case ErrorCode::SectionStiffness: return "section_stiffness";
    case ErrorCode::SectionBeyondArithmetic: return "section_beyond_arithmetic";
    case ErrorCode::SupportStiffnessNotFinite: return "support_stiffness_not_finite";
    case ErrorCode::NegativeSupportStiffness: return "negative_support_stiffness";
    case ErrorCode::MasslessPartsFree: return "massless_parts_free";
    case ErrorCode::MapLowBound: return "map_low_bound";
    case ErrorCode::MapHighBound: return "map_high_bound";
    case ErrorCode::MapHighNotFinite: return "map_high_not_finite";
    case ErrorCode::MapPoints: return "map_points";
    case ErrorCode::MapOrdinals: return "map_ordinals";
    case ErrorCode::MapNoPositiveStiffness: return "map_no_positive_stiffness";
    case ErrorCode::MapFrequenciesLost: return "map_frequencies_lost";
  }
  return "unknown";
}

}  // namespace vp
