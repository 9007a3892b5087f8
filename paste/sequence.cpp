#include "paste/sequence.h"

namespace paste {

std::string sequenceStep(const std::string& keyCode, int k) {
    const std::size_t start = static_cast<std::size_t>(k - 1) * 2;
    return start < keyCode.size() ? keyCode.substr(start, 2) : std::string();
}

StepKind stepKind(const std::string& step) {
    if (step.empty()) return StepKind::End;
    if (step == ",T") return StepKind::Tab;
    if (step == ",R") return StepKind::Enter;
    if (step[0] == ',') return StepKind::Skip;
    return StepKind::Item;
}

bool stepPutsKeyCode(const std::string& step, int itemNumber) {
    const bool twoDigitsBelowTen =
        step.size() == 2 && step[0] == '0' && step[1] >= '0' && step[1] <= '9';
    return twoDigitsBelowTen || itemNumber > 9;
}

}  // namespace paste
