#include "spin_edit.h"

#include "numtext.h"

namespace vp {

int SpinEditState::Value() const {
  int value = 0;
  return TryIntOfText(text_, value) ? value : min_;
}

int SpinEditState::Clamped(int value) const {
  if (min_ == max_) return value;
  if (value < min_) return min_;
  if (value > max_) return max_;
  return value;
}

bool SpinEditState::SetText(std::string text) {
  if (text == text_) return false;
  text_ = std::move(text);
  return true;
}

bool SpinEditState::Leave() {
  int value = 0;
  if (TryIntOfText(text_, value) && Clamped(value) == value) return false;
  return SetValue(Value());
}

}  // namespace vp
