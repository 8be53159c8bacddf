#pragma once
// The input of one calculation and the row of reals that steers the search.
// Tables are indexed from 1 (entry 0 is unused), as the program numbers
// supports, spans, sections and variants from 1.

#include <array>

namespace vp {

inline constexpr int kMaxSupports = 10;
inline constexpr int kMaxSections = 200;
inline constexpr int kMaxSpans = 20;
inline constexpr int kMaxVariants = 20;

struct TShaftModel {
  int N = 0;   // supports
  int KM = 0;  // sections
  int KZ = 0;  // spans
  int KW = 0;  // support-stiffness variants
  int KP = 0;  // natural frequencies to determine
  int VariantNo = 0;

  std::array<int, kMaxSupports + 1> SupportSection{};  // cross-section of support s
  std::array<int, kMaxSpans + 1> SpanEnd{};            // cross-section closing span j
  std::array<double, kMaxSections + 1> SectionLength{};
  std::array<double, kMaxSections + 1> SectionMass{};
  std::array<double, kMaxSections + 1> SectionEI{};
  std::array<double, kMaxSections + 1> SectionX{};  // right end of section k
  // [support][variant]; each support row holds every variant the form allows.
  std::array<std::array<double, kMaxVariants + 1>, kMaxSupports + 1> SupportStiffness{};

  // SectionX as running sums of SectionLength, summed in order.
  void ComputeSectionX() {
    if (KM < 1) return;
    SectionX[1] = SectionLength[1];
    for (int k = 2; k <= KM; ++k) SectionX[k] = SectionX[k - 1] + SectionLength[k];
  }

  bool operator==(const TShaftModel&) const = default;
};

// Indices of TSearchParams.
enum SearchParam {
  kStart = 0,       // running start of the search for the next frequency
  kStep = 1,        // FT1
  kUpper = 2,       // FK
  kDetEps = 3,      // EPS
  kFreqEps = 4,     // EPSF
  kStepDivisor = 5, // 3.0
  kReportFactor = 9,// 100.0
  kFirstStart = 10, // F1 as entered
};

using TSearchParams = std::array<double, 11>;

// Once the search's step is at most this many times EPSF, the search prepares
// the mode shape's system at every trial: a frequency is accepted within a few
// refinements, and needs no second assembly then.
inline constexpr double kPrepareStepFactor = 15;

}  // namespace vp
