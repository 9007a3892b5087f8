// The settings record loaded from any lines, then every accessor, the opacity
// formulas, the password rules and the settings window's fill rules.
#include <deque>

#include "dialogs/rules/lock_options.h"
#include "dialogs/rules/password_rules.h"
#include "dialogs/rules/settings_rules.h"
#include "fuzz_fields.h"
#include "storage/errors.h"
#include "storage/integer_text.h"
#include "storage/settings_record.h"

namespace {

namespace line = storage::settings_line;

// Answers from the input; an answer beginning with 0xFE has no code page 932
// form.
class ScriptedConversation : public password_rules::Conversation {
public:
    std::deque<std::string> answers;
    static std::optional<std::string> entry(const std::string& answer) {
        if (!answer.empty() && answer[0] == '\xfe') return std::nullopt;
        return answer;
    }
    std::optional<std::string> ask(std::string_view, std::string_view) override {
        if (answers.empty()) return std::string();
        const std::string answer = std::move(answers.front());
        answers.pop_front();
        return entry(answer);
    }
    void tell(std::string_view) override {}
};

class FakeSurroundings : public settings_rules::Surroundings {
public:
    ScriptedConversation scripted;
    std::optional<storage::Lines> titles;
    int opacity = -1;
    void setOpacity(int alpha) override {
        fuzz::check(alpha >= 0 && alpha <= 255, "opacity outside 0 to 255");
        opacity = alpha;
    }
    std::optional<storage::Lines> group1Titles() override { return titles; }
    password_rules::Conversation& conversation() override { return scripted; }
    bool filesNeedPassword() override { return false; }
};

void checkLoaded(const storage::SettingsRecord& record, std::size_t loadedLines) {
    fuzz::check(record.lines().size() >= std::min<std::size_t>(loadedLines + 6, 15),
                "the record is not padded");
    fuzz::check(record.line(line::kGroupOnDisplay) == "1", "group 1 is not on display");
    fuzz::check(!record.line(line::kHotkeySlots).empty(), "no hotkey slots");
    for (std::size_t i = 0; i < record.lines().size() + 3; ++i) {
        fuzz::check(record.isOn(i) == (record.line(i) == "1"), "isOn disagrees with the line");
        int level = 0;
        if (storage::tryToInteger(record.line(i), level)) {
            const int start = storage::opacityAtStart(level),
                      slider = storage::opacityFromSlider(level);
            fuzz::check(start >= 0 && start <= 255 && slider >= 0 && slider <= 255,
                        "opacity outside 0 to 255");
        }
    }
}

void checkPasswordChange(storage::SettingsRecord& record, fuzz::Fields& fields) {
    ScriptedConversation conversation;
    for (int i = 0; i < 3; ++i) conversation.answers.push_back(fields.text());
    const std::string before = record.line(line::kPassword);
    const std::deque<std::string> answers = conversation.answers;
    password_rules::changePassword(record, conversation);
    const auto entry = ScriptedConversation::entry;
    const bool changes = entry(answers[0]) == before && entry(answers[1]) &&
                         !entry(answers[1])->empty() && entry(answers[1]) == entry(answers[2]);
    fuzz::check(record.line(line::kPassword) == (changes ? answers[1] : before),
                "the password changed against the rules");
}

void checkForm(storage::SettingsRecord& record, fuzz::Fields& fields) {
    FakeSurroundings surroundings;
    for (int i = 0; i < 2; ++i) surroundings.scripted.answers.push_back(fields.text());
    if (fields.flag()) surroundings.titles = fields.lines();
    settings_rules::SettingsForm form(record, surroundings);
    try {
        form.fill();
    } catch (const storage::ConversionError&) {
        return;
    }
    const settings_rules::SettingsControls& controls = form.controls();
    fuzz::check(controls.transparencyLevel >= settings_rules::kLowestLevel &&
                    controls.transparencyLevel <= settings_rules::kHighestLevel,
                "slider outside its range");
    for (const int selection : controls.hotkeySelections)
        fuzz::check(selection == settings_rules::kNoSelection ||
                        (selection >= 0 &&
                         static_cast<std::size_t>(selection) < controls.hotkeyItems.size()),
                    "a hotkey list selects no item");
    form.passwordAtStartChanged(fields.flag());
    fuzz::check(record.line(line::kPasswordAtStart) == (controls.passwordAtStart ? "1" : "0"),
                "line 5 does not follow the box");
    std::array<int, settings_rules::kHotkeyCount> selections{};
    for (int& selection : selections) selection = fields.number(-2, 120);
    form.confirmHotkeys(selections);
    fuzz::check(record.line(line::kHotkeySlots).size() == 2 * settings_rules::kHotkeyCount,
                "line 13 without four slots");
}

// The lock options never reach the fifteen lines; a refusal changes nothing.
void checkLockOptions(storage::SettingsRecord& record, fuzz::Fields& fields) {
    const int minutes = lock_options::idleMinutes(record);
    fuzz::check(minutes >= 1 && minutes <= 999, "idle minutes outside 1 to 999");
    const storage::SettingsRecord before = record;
    const bool onScreenLock = fields.flag();
    const bool whenIdle = fields.flag();
    const lock_options::Options chosen{onScreenLock, whenIdle, fields.text()};
    const lock_options::Refusal refusal = lock_options::store(record, chosen);
    if (refusal != lock_options::Refusal::none) {
        fuzz::check(record.lines() == before.lines(), "a refused option changed the record");
        return;
    }
    for (std::size_t i = 0; i < line::kLockOnScreenLock; ++i)
        fuzz::check(record.line(i) == before.line(i), "a lock option changed one of the fifteen");
    fuzz::check(lock_options::lockOnScreenLock(record) == chosen.onScreenLock &&
                    lock_options::lockWhenIdle(record) == chosen.whenIdle,
                "the options stored are not those chosen");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    storage::Lines loaded = fields.lines();
    const std::size_t loadedLines = loaded.size();
    storage::SettingsRecord record;
    record.replaceWithLoaded(std::move(loaded));
    checkLoaded(record, loadedLines);
    password_rules::askedAtStart(record);
    checkPasswordChange(record, fields);
    checkForm(record, fields);
    checkLockOptions(record, fields);
    return 0;
}
