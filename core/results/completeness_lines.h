#pragma once
// The check of completeness of a run in lines of text, for the results
// window, the printout, the workbook and the batch command.

#include <string>
#include <vector>

#include "results_summary.h"
#include "string_table.h"

namespace vp {

// The beginning of a line that needs the user's attention: a frequency passed
// over or doubtful, a support that takes no part.
inline constexpr char kAttention[] = "Внимание: ";
inline bool NeedsAttention(const std::string& line) { return line.rfind(kAttention, 0) == 0; }

// Beside the k-th frequency found (from 1) whose true ordinal (-1: not
// counted) is not k: "собственная № 3", or "не собственная" where it has none.
std::string OrdinalNote(int k, int ordinal);

// "уточнено: P" beside the k-th frequency found (from 1) where the count
// refined it (CompletenessReport::refined), P the reported frequency to the
// twelve digits the count resolves; empty elsewhere.
std::string RefinedNote(const VariantResult& variant, int k, double reportFactor, char decimalSeparator);

// Why the search rejected a value, without the value: what it was, and
// where the count shows no natural frequency of its own (P, six digits).
std::string RejectedReason(const RejectedValue& value, double reportFactor, char decimalSeparator);

// The check of a solved variant in lines of text: how many natural
// frequencies the sweep found and how many its range holds, or why that cannot
// be counted; where the walk ended early, where and why; where it passed over
// some, the ranges in which they lie and what to change; which accepted
// frequencies are no natural frequencies, and why; how many values the walk
// rejected as rounding noise, the first few with their reasons; which ones the
// count refined, to what, and why. Nothing for a variant that was not solved.
std::vector<std::string> CompletenessLines(const VariantResult& variant, double reportFactor, char decimalSeparator);
// What the input holds that takes no part in the calculation, a line each.
std::vector<std::string> WarningLines(const ResultsSummary& summary);

// The results window's frequency table: the frequencies as the solver wrote
// them (column k, row v), each beside its true ordinal where that is not its
// number k among the found ones (a frequency found after passed-over ones)
// or where it has none, and beside its refined value (RefinedNote); variants
// whose check could not count stay as written.
StringTable FrequenciesWithOrdinals(const StringTable& frequencies, const ResultsSummary& summary, char decimalSeparator);

// The lines of every variant in turn.
std::vector<std::string> CompletenessLines(const ResultsSummary& summary, double reportFactor, char decimalSeparator);

}  // namespace vp
