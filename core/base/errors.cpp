#include "errors.h"

namespace vp {

const char* CodeName(ErrorCode code) {
  switch (code) {
    case ErrorCode::NotInteger: return "not_integer";
    case ErrorCode::NotReal: return "not_real";
    case ErrorCode::FieldNotInteger: return "field_not_integer";
    case ErrorCode::FieldNotReal: return "field_not_real";
    case ErrorCode::StepNotPositive: return "step_not_positive";
    case ErrorCode::PrecisionNotPositive: return "precision_not_positive";
    case ErrorCode::PrecisionTooLarge: return "precision_too_large";
    case ErrorCode::StartTooLarge: return "start_too_large";
    case ErrorCode::UpperTooLarge: return "upper_too_large";
    case ErrorCode::UpperBelowStart: return "upper_below_start";
    case ErrorCode::TooManyFrequencies: return "too_many_frequencies";
    case ErrorCode::SpanEndOutOfRange: return "span_end_out_of_range";
    case ErrorCode::SpanEndNotIncreasing: return "span_end_not_increasing";
    case ErrorCode::SectionNegative: return "section_negative";
    case ErrorCode::NegativeMass: return "negative_mass";
    case ErrorCode::InactiveSupport: return "inactive_support";
    case ErrorCode::TransferShrinks: return "transfer_shrinks";
    case ErrorCode::ProblemSize: return "problem_size";
    case ErrorCode::TrialArithmetic: return "trial_arithmetic";
    case ErrorCode::SectionZeroStiffness: return "section_zero_stiffness";
    case ErrorCode::SectionArithmetic: return "section_arithmetic";
    case ErrorCode::MatrixOrder: return "matrix_order";
    case ErrorCode::ModeShapeArithmetic: return "mode_shape_arithmetic";
    case ErrorCode::ModeShapeZero: return "mode_shape_zero";
    case ErrorCode::Interrupted: return "interrupted";
    case ErrorCode::RunStoppedPartly: return "run_stopped_partly";
    case ErrorCode::RunTooLong: return "run_too_long";
    case ErrorCode::EstimateTooLong: return "estimate_too_long";
    case ErrorCode::EstimateBeyondHour: return "estimate_beyond_hour";
    case ErrorCode::Unexpected: return "unexpected";
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
    case ErrorCode::WrongFileFormat: return "wrong_file_format";
    case ErrorCode::FileOpen: return "file_open";
    case ErrorCode::FileIsFolder: return "file_is_folder";
    case ErrorCode::FileNotRegular: return "file_not_regular";
    case ErrorCode::FileTooLarge: return "file_too_large";
    case ErrorCode::FileRead: return "file_read";
    case ErrorCode::TextUnicode: return "text_unicode";
    case ErrorCode::TextTooFewLines: return "text_too_few_lines";
    case ErrorCode::TextSeparator: return "text_separator";
    case ErrorCode::TextNotInteger: return "text_not_integer";
    case ErrorCode::TextNotReal: return "text_not_real";
    case ErrorCode::WorkbookOpen: return "workbook_open";
    case ErrorCode::NotWorkbook: return "not_workbook";
    case ErrorCode::WorkbookDamaged: return "workbook_damaged";
    case ErrorCode::WorkbookEncrypted: return "workbook_encrypted";
    case ErrorCode::WorkbookOldFormat: return "workbook_old_format";
    case ErrorCode::WorkbookNoWorksheet: return "workbook_no_worksheet";
    case ErrorCode::WorkbookTooLarge: return "workbook_too_large";
    case ErrorCode::CellNotNumber: return "cell_not_number";
    case ErrorCode::CellNotInteger: return "cell_not_integer";
    case ErrorCode::CellBeyondInteger: return "cell_beyond_integer";
    case ErrorCode::CellUncalculated: return "cell_uncalculated";
    case ErrorCode::SheetWithoutCounts: return "sheet_without_counts";
    case ErrorCode::SaveValueWithBlank: return "save_value_with_blank";
    case ErrorCode::SaveTooManyVariants: return "save_too_many_variants";
    case ErrorCode::SaveUnknownType: return "save_unknown_type";
    case ErrorCode::WriteNoName: return "write_no_name";
    case ErrorCode::WriteProtected: return "write_protected";
    case ErrorCode::WriteBadName: return "write_bad_name";
    case ErrorCode::WriteIsFolder: return "write_is_folder";
    case ErrorCode::WriteNotRegular: return "write_not_regular";
    case ErrorCode::WriteNoFolder: return "write_no_folder";
    case ErrorCode::WriteSystem: return "write_system";
    case ErrorCode::WriteVanished: return "write_vanished";
    case ErrorCode::WriteIncomplete: return "write_incomplete";
    case ErrorCode::WorkbookWrite: return "workbook_write";
    case ErrorCode::PrintFailed: return "print_failed";
  }
  return "unknown";
}

}  // namespace vp
