// Sequence items: the key code is read as up to six steps of two bytes each.
#pragma once

#include <string>

namespace paste {

inline constexpr int kSequenceSteps = 6;

enum class StepKind {
    Tab,    // ",T"
    Enter,  // ",R"
    Skip,   // any other step beginning with ","
    End,    // the empty step after the end of the key code: playback ends early
    Item,   // an item number; anything else fails its conversion
};

// Step k (1 to 6) is bytes 2k-1 and 2k of the key code: one byte at the end
// of a key code of odd length, empty after the end.
std::string sequenceStep(const std::string& keyCode, int k);

StepKind stepKind(const std::string& step);

// Whether an item step puts the item's key code on the clipboard: the two-digit
// forms "00" to "09", and any value of 10 or more. A small value written
// another way ("5", "+5") puts nothing there, and the paste that follows
// pastes whatever the clipboard holds.
bool stepPutsKeyCode(const std::string& step, int itemNumber);

}  // namespace paste
