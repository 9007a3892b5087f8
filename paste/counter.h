// Counter items: the key code is the current value, the title after its first
// five bytes ("@NUM,") the step.
#pragma once

#include <string>

namespace paste {

struct Counter {
    int step = 0;
    int value = 0;
};

// Throws storage::ConversionError when the step or the value is no decimal
// integer in the 32-bit range; "@NUM" alone has the empty step.
Counter readCounter(const std::string& title, const std::string& keyCode);

// The key code after one advance: value plus step, wrapping around at 32 bits,
// in plain decimal.
std::string advancedKeyCode(const Counter& counter);

}  // namespace paste
