// Decimal text read as a number: the one conversion used wherever a stored
// value is read as a number. Text that is none is a ConversionError
// (storage/errors.h).
#pragma once

#include <string>

namespace storage {

// Converts decimal text (optional leading '+' or '-', digits only, within the
// signed 32-bit range) to an integer; throws ConversionError otherwise.
int toInteger(const std::string& text);

// toInteger without the throw, for the few places that recover on their own.
bool tryToInteger(const std::string& text, int& value);

}  // namespace storage
