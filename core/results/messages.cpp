#include "messages.h"

namespace vp {

namespace {

std::string Section(const Error& e) { return "участок " + std::to_string(e.number) + ": "; }
std::string Support(const Error& e) { return "опора " + std::to_string(e.number) + ": "; }

}  // namespace

std::string Message(const Error& e) {
  switch (e.code) {
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
  }
  return "ошибка " + std::string(CodeName(e.code));
}

}  // namespace vp
