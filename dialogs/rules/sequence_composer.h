// The step counter and the six step slots of the program mode window. A
// sequence is the slots' two-character tokens joined in order: an item
// number, ",T" for Tab or ",R" for Enter.
#pragma once

#include <array>
#include <string>

class SequenceComposer {
public:
    static constexpr int kSlots = 6;

    // The token of the item at `position`: two digits below 10 ("00" to
    // "09"), the plain number from 10 on; empty when no item is chosen (-1).
    static std::string itemToken(int position);

    // Each adds one step; once the six slots are used, further steps are
    // ignored and give false.
    bool addItem(int position);
    bool addTab();
    bool addEnter();

    // Back to step 1 with every slot empty, so that no token of an earlier
    // composition comes back with the next step.
    void restart();

    std::string sequence() const;
    int nextStep() const { return nextStep_; }

private:
    bool addStep(std::string token);

    std::array<std::string, kSlots> slots_;
    int nextStep_ = 1;  // 1 to 7
};
