// The item commands keep the two lists parallel, exported pairs are found
// again from their title file, generated key codes have the chosen length and
// classes, and composed sequences play back step by step as composed.
#include <algorithm>
#include <set>

#include "dialogs/rules/item_commands.h"
#include "dialogs/rules/key_code_generator.h"
#include "dialogs/rules/macro_templates.h"
#include "dialogs/rules/sequence_composer.h"
#include "fuzz_fields.h"
#include "paste/item_kind.h"
#include "paste/sequence.h"
#include "storage/group_rules.h"

namespace {

bool parallel(const storage::ItemLists& lists) {
    return lists.titles.size() == lists.keyCodes.size();
}

void runItemCommand(storage::ItemLists& lists, fuzz::Fields& fields) {
    const int position = fields.number(-2, 35);
    const std::size_t count = lists.titles.size();
    switch (fields.number(0, 5)) {
        case 0: {
            const std::string title = fields.text();
            fuzz::check(item_commands::appendItem(lists, title, fields.text()) != title.empty(),
                        "an item with an empty title was added");
            break;
        }
        case 1: {
            const std::string title = fields.text(), keyCode = fields.text();
            if (item_commands::replaceItem(lists, position, title, keyCode))
                fuzz::check(lists.titles[position] == title && lists.keyCodes[position] == keyCode,
                            "the item was not replaced");
            break;
        }
        case 2: {
            const item_commands::LoadedItem loaded = item_commands::loadItem(lists, 1, position);
            fuzz::check(loaded.position == -1 || item_commands::stillStands(loaded, lists, 1),
                        "a loaded item does not stand where it was loaded");
            break;
        }
        case 3:
            if (item_commands::moveUp(lists, position))
                fuzz::check(position >= 1 && static_cast<std::size_t>(position) < count,
                            "moved an item that is not there");
            break;
        case 4: {
            std::vector<int> highlighted;
            for (int i = fields.number(0, 4); i > 0; --i)
                highlighted.push_back(fields.number(-2, 35));
            const std::set<int> distinct(highlighted.begin(), highlighted.end());
            const auto present = std::count_if(distinct.begin(), distinct.end(), [&](int p) {
                return item_commands::hasItem(lists, p);
            });
            item_commands::deleteItems(lists, highlighted);
            fuzz::check(lists.titles.size() == count - static_cast<std::size_t>(present),
                        "deleting removed the wrong number of items");
            break;
        }
        default:
            if (!item_commands::isFull(lists)) item_commands::insertSeparator(lists, position);
            break;
    }
}

// Random numbers made of the input's next fields; 0 once they run out.
class FieldsRandom : public platform::RandomSource {
public:
    explicit FieldsRandom(fuzz::Fields& fields) : fields_(fields) {}
    std::uint32_t next() override {
        std::uint32_t value = 0;
        for (const char c : fields_.text()) value = value * 131 + static_cast<unsigned char>(c);
        return value;
    }

private:
    fuzz::Fields& fields_;
};

void checkGenerator(fuzz::Fields& fields) {
    const key_code_generator::CharacterClasses classes{fields.flag(), fields.flag(), fields.flag()};
    const int length = fields.number(-5, 30);
    FieldsRandom random(fields);
    const std::optional<std::string> code = key_code_generator::generate(classes, length, random);
    fuzz::check(code.has_value() == (classes.digits || classes.upperCase || classes.lowerCase),
                "a key code without allowed classes, or none with them");
    if (!code) return;
    fuzz::check(code->size() == static_cast<std::size_t>(std::clamp(length, 0, 20)),
                "a key code of the wrong length");
    for (const char c : *code) {
        const bool allowed = (classes.digits && c >= '0' && c <= '9') ||
                             (classes.upperCase && c >= 'A' && c <= 'Z') ||
                             (classes.lowerCase && c >= 'a' && c <= 'z');
        fuzz::check(allowed, "a key code character of a class not allowed");
    }
}

void checkComposer(fuzz::Fields& fields, int itemCount) {
    SequenceComposer composer;
    std::vector<std::string> tokens;
    for (int i = fields.number(0, 8); i > 0; --i) {
        const int choice = fields.number(-1, itemCount + 1);
        if (choice == itemCount) {
            if (composer.addTab()) tokens.push_back(",T");
        } else if (choice == itemCount + 1) {
            if (composer.addEnter()) tokens.push_back(",R");
        } else if (composer.addItem(choice)) {
            tokens.push_back(SequenceComposer::itemToken(choice));
        }
        if (fields.number(0, 9) == 0) {
            composer.restart();
            tokens.clear();
        }
    }
    // Steps without item (no item was chosen) leave nothing in the sequence.
    std::erase(tokens, std::string());
    const std::string sequence = composer.sequence();
    for (std::size_t k = 0; k < tokens.size(); ++k)
        fuzz::check(paste::sequenceStep(sequence, static_cast<int>(k) + 1) == tokens[k],
                    "a composed step does not play back as composed");
    fuzz::check(paste::stepKind(paste::sequenceStep(
                    sequence, static_cast<int>(tokens.size()) + 1)) == paste::StepKind::End ||
                    tokens.size() == 6,
                "the sequence goes on after its last step");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string chosen = fields.text();
    if (chosen.find('\0') == std::string::npos && !chosen.empty())
        fuzz::check(storage::importedKeyCodePath(storage::exportedTitlePath(chosen)) ==
                        storage::exportedKeyCodePath(chosen),
                    "an exported pair is not found again from its title file");

    std::wstring clipboard;
    for (const char c : fields.text()) {
        const auto byte = static_cast<unsigned char>(c);
        clipboard += static_cast<wchar_t>(byte < 0x20 ? byte : byte * 37);
    }
    const item_commands::AddPrefill prefill = item_commands::addPrefill(clipboard, 3);
    fuzz::check(
        prefill.keyCode.find_first_of(std::wstring_view(L"\r\n\0", 3)) == std::wstring::npos &&
            clipboard.rfind(prefill.keyCode, 0) == 0,
        "the pre-fill is not the clipboard's first line");

    if (const macro_templates::MacroTemplate* entry = macro_templates::at(fields.number(-1, 12)))
        fuzz::check(paste::classify(std::string(entry->title)) != paste::ItemKind::Plain,
                    "a template writes a plain title");

    storage::ItemLists lists{fields.lines(), fields.lines()};
    const bool wasParallel = parallel(lists);
    for (int i = fields.number(0, 12); i > 0; --i) runItemCommand(lists, fields);
    fuzz::check(!wasParallel || parallel(lists), "the lists are no longer parallel");

    checkGenerator(fields);
    checkComposer(fields, static_cast<int>(std::min<std::size_t>(lists.titles.size(), 30)));
    return 0;
}
