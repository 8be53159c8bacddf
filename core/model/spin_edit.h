#pragma once
// The state of a spin edit: its text, its limits and the value it stands for.

#include <string>

namespace vp {

class SpinEditState {
 public:
  SpinEditState(int minValue, int maxValue, int initial)
      : min_(minValue), max_(maxValue), text_(std::to_string(initial)) {}

  const std::string& Text() const { return text_; }
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }

  // The integer of the text, or the minimum when the text is not an integer.
  // Not clamped: typed text is clamped only when the control is left.
  int Value() const;
  // The value within the limits (equal limits mean no limits).
  int Clamped(int value) const;
  int ClampedValue() const { return Clamped(Value()); }

  // Sets the text; returns true when it actually changed.
  bool SetText(std::string text);
  // Sets the value clamped to the limits; returns true when the text changed.
  bool SetValue(int value) { return SetText(std::to_string(Clamped(value))); }
  // Leaving the control: a value outside the limits, or a text that is not an
  // integer, becomes the nearer limit (the minimum). Returns true on a change.
  bool Leave();

  bool operator==(const SpinEditState&) const = default;

 private:
  int min_, max_;
  std::string text_;
};

}  // namespace vp
