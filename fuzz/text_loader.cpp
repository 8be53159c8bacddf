// The text loader: an input text file's bytes into the main form, with either
// decimal separator, and the form then read into the model and checked as a
// run begins.

#include <string_view>

#include "form_reading.h"
#include "input_loader.h"
#include "main_form_model.h"
#include "shaft_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vp;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char sep : {'.', ','}) {
    TMainFormModel form;
    if (LoadInputText(text, form, sep)) continue;
    TShaftModel model;
    TSearchParams params{};
    form.LeaveAllSpins();
    if (ReadForm(form, model, params, sep) || CheckSearchLimits(model, params, sep) || CheckSections(model, sep)) continue;
    TInputFormModel echo;
    FillEcho(model, params, echo, sep);
    (void)NegativeMassFinding(model, sep);
  }
  return 0;
}
