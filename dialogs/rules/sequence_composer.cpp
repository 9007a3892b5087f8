#include "dialogs/rules/sequence_composer.h"

#include <utility>

std::string SequenceComposer::itemToken(int position) {
    if (position < 0) return {};
    return (position < 10 ? "0" : "") + std::to_string(position);
}

bool SequenceComposer::addItem(int position) {
    return addStep(itemToken(position));
}

bool SequenceComposer::addTab() {
    return addStep(",T");
}

bool SequenceComposer::addEnter() {
    return addStep(",R");
}

void SequenceComposer::restart() {
    slots_ = {};
    nextStep_ = 1;
}

std::string SequenceComposer::sequence() const {
    std::string joined;
    for (const std::string& slot : slots_) joined += slot;
    return joined;
}

bool SequenceComposer::addStep(std::string token) {
    if (nextStep_ > kSlots) return false;
    slots_[static_cast<std::size_t>(nextStep_ - 1)] = std::move(token);
    ++nextStep_;
    return true;
}
