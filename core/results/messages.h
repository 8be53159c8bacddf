#pragma once
// The Russian sentence of every error value: the one place where what the
// solver and the files' readers and writers report is put into words.

#include <string>

#include "errors.h"

namespace vp {

// Without a final period; numbers in the general format with '.'.
std::string Message(const Error& error);

}  // namespace vp
