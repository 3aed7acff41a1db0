#include "controls/masked_edit_model.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>

using namespace kvx;

namespace {

// Every mask kind, an escape and two plain literals.
constexpr char16_t kMaskAlphabet[] = u".,:/#A?><&\\x-";

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    bool more() const { return at < size; }
    std::uint8_t next() { return at < size ? data[at++] : 0; }
};

// Any code from 0 to 254; 255 stands for the current prompt so that prompts turn up in the data.
char16_t characterFrom(Input& in, const MaskedEditModel& model) {
    const std::uint8_t byte = in.next();
    return byte == 255 ? model.prompt() : byte;
}

std::u16string textFrom(Input& in, const MaskedEditModel& model) {
    std::u16string text(in.next() % 24, u' ');
    for (char16_t& c : text)
        c = characterFrom(in, model);
    return text;
}

// A position from just before the start to just past the end.
int positionFrom(Input& in, const MaskedEditModel& model) {
    return in.next() % (model.size() + 4) - 2;
}

int enteredCount(const MaskedEditModel& model) {
    int entered = 0;
    for (const MaskElement& element : model.elements())
        entered += element.isInput() && element.character != model.prompt() ? 1 : 0;
    return entered;
}

void check(bool holds) {
    if (!holds)
        std::abort();
}

void checkInvariants(const MaskedEditModel& model, const std::vector<MaskElement>& pattern) {
    const CharClasses classes = asciiCharClasses();
    check(model.displayText().size() == pattern.size());
    check(model.elements().size() == pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const MaskElement& element = model.elements()[i];
        check(element.kind == pattern[i].kind);
        if (!element.isInput()) {
            check(element.character == pattern[i].character);
            continue;
        }
        const char16_t c = element.character;
        if (c == model.prompt())
            continue;
        check(model.accepts(element.kind, c));
        check(element.kind != MaskKind::UpperLetter || classes.toUpper(c) == c);
        check(element.kind != MaskKind::LowerLetter || classes.toLower(c) == c);
    }
}

void checkCaret(const EditOutcome& outcome, const MaskedEditModel& model) {
    check(outcome.caret >= -1 && outcome.caret <= model.size());
}

} // namespace

// Random masks and random sequences of edits: the pattern stays intact and every position holds what
// its kind allows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    std::u16string mask(in.next() % 20, u'&');
    for (char16_t& c : mask)
        c = kMaskAlphabet[in.next() % (std::size(kMaskAlphabet) - 1)];
    MaskedEditModel model;
    model.setPrompt(characterFrom(in, model));
    model.setMask(mask);
    const std::vector<MaskElement> pattern = model.elements();
    checkInvariants(model, pattern);

    for (int step = 0; step < 64 && in.more(); ++step) {
        const int start = positionFrom(in, model);
        const int end = positionFrom(in, model);
        const std::u16string before = model.inputData();
        const int enteredBefore = enteredCount(model);
        switch (in.next() % 10) {
        case 0: {
            const EditOutcome outcome = model.typeCharacter(characterFrom(in, model), start, start);
            checkCaret(outcome, model);
            // A refused character leaves the input as it was.
            check(!outcome.beep || model.inputData() == before);
            check(enteredCount(model) <= enteredBefore + 1);
            break;
        }
        case 1: {
            const EditOutcome outcome = model.typeCharacter(characterFrom(in, model), start, end);
            checkCaret(outcome, model);
            check(enteredCount(model) <= enteredBefore + 1);
            break;
        }
        case 2: {
            const EditOutcome outcome = model.backspace(start, end);
            checkCaret(outcome, model);
            check(outcome.rewrite || model.inputData() == before);
            check(enteredCount(model) <= enteredBefore);
            break;
        }
        case 3: {
            const EditOutcome outcome = model.deleteKey(start, end);
            checkCaret(outcome, model);
            check(outcome.rewrite || model.inputData() == before);
            check(enteredCount(model) <= enteredBefore);
            break;
        }
        case 4:
            checkCaret(model.paste(textFrom(in, model), start, end), model);
            break;
        case 5:
            checkCaret(model.cutSelection(start, end), model);
            check(enteredCount(model) <= enteredBefore);
            break;
        case 6: {
            // The display form assigned back gives the same display.
            const std::u16string shown = model.displayText();
            model.assignText(shown);
            check(model.displayText() == shown);
            model.assignText(textFrom(in, model));
            break;
        }
        case 7:
            model.setPrompt(characterFrom(in, model));
            break;
        case 8:
            model.toggleInsertMode();
            break;
        default:
            model.writeInputData(textFrom(in, model), start, in.next() % 2 == 0);
            break;
        }
        checkInvariants(model, pattern);
        const int next = model.nextInputPosition(start);
        check(next == model.size() || (next >= start && model.isInputPosition(next)));
        const int previous = model.previousInputPosition(start);
        check(previous >= model.size() || model.isInputPosition(previous) ||
              (previous > 0 && model.isInputPosition(previous - 1)));
    }
    return 0;
}
