#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The behaviour of the masked edit field without any widget: the pattern, what each position takes, and
// what every edit does to it. Characters are UTF-16 code units so that element indices are exactly the
// line edit's caret positions.
namespace kvx {

// The order is fixed: it is the kind number, and the input kinds form one block.
enum class MaskKind : std::uint8_t {
    DecimalSeparator, // "."
    GroupSeparator,   // ","
    TimeSeparator,    // ":"
    DateSeparator,    // "/"
    Digit,            // "#"
    LetterOrDigit,    // "A"
    Letter,           // "?"
    UpperLetter,      // ">"
    LowerLetter,      // "<"
    Printable,        // "&": codes 32 to 126 only
    Escaped,          // a backslash and the character after it
    Literal,          // any other mask character
};

struct MaskElement {
    MaskKind kind;
    // Input positions: the entered character, or the prompt while empty. Others: what is shown.
    char16_t character;

    bool isInput() const { return kind >= MaskKind::Digit && kind <= MaskKind::Printable; }
    bool operator==(const MaskElement&) const = default;
};

// Letters and digits are whatever the locale says they are; the widget passes Qt's classification.
struct CharClasses {
    bool (*isDigit)(char16_t);
    bool (*isLetter)(char16_t);
    char16_t (*toUpper)(char16_t);
    char16_t (*toLower)(char16_t);
};
CharClasses asciiCharClasses();

struct MaskSeparators {
    char16_t decimalPoint = u'.';
    char16_t groupSeparator = u',';
    char16_t timeSeparator = u':';
    char16_t dateSeparator = u'/';
    bool operator==(const MaskSeparators&) const = default;
};

struct MaskLocale {
    MaskSeparators separators;
    CharClasses classes = asciiCharClasses();
};

// What the control does once an edit has been applied to the model.
struct EditOutcome {
    bool rewrite = false; // set the display text again and send the update and change notices
    bool beep = false;    // a character or key was refused
    int caret = -1;       // where the caret goes; -1 leaves it
    bool operator==(const EditOutcome&) const = default;
};

class MaskedEditModel {
public:
    explicit MaskedEditModel(MaskLocale locale = {});

    // Every input position starts empty. A backslash with nothing after it stands for itself.
    void setMask(std::u16string_view mask);
    bool hasMask() const { return !m_elements.empty(); }
    const std::vector<MaskElement>& elements() const { return m_elements; }
    int size() const { return static_cast<int>(m_elements.size()); }

    char16_t prompt() const { return m_prompt; }
    // Refuses NUL, LF, CR, DEL and lone surrogates; empty positions follow an accepted prompt.
    bool setPrompt(char16_t prompt);
    bool insertMode() const { return m_insertMode; }
    void toggleInsertMode() { m_insertMode = !m_insertMode; }
    // True when a shown separator changed.
    bool setSeparators(const MaskSeparators& separators);

    std::u16string displayText() const;
    std::u16string inputData() const;
    bool isInputPosition(int position) const;
    bool accepts(MaskKind kind, char16_t c) const;

    int nextInputPosition(int from) const;
    int previousInputPosition(int from) const;
    int firstEmptyInputPosition(int from) const;
    bool allInputEmpty() const;

    // Keeps the first `start` input characters and fills the rest from `text`; false when characters
    // that no position accepted were skipped.
    bool writeInputData(std::u16string_view text, int start, bool keepPrompts);
    // Removes the input positions in [from, to); the number removed.
    int deleteRange(int from, int to);
    // The input position that took `c`, or -1 when the insertion was refused as a whole.
    int insertAt(int position, char16_t c);
    // `position` itself, or -1 when its kind refuses `c`.
    int overwriteAt(int position, char16_t c);

    // The operations of the control; [start, end) is the selection, empty when start == end.
    EditOutcome typeCharacter(char16_t c, int start, int end);
    EditOutcome backspace(int start, int end);
    EditOutcome deleteKey(int start, int end);
    EditOutcome paste(std::u16string_view clip, int start, int end);
    EditOutcome cutSelection(int start, int end);
    // Text assigned from outside, with or without the literal characters of the pattern.
    bool assignText(std::u16string_view text);

private:
    char16_t shownSeparator(MaskKind kind) const;
    char16_t stored(MaskKind kind, char16_t c) const;

    MaskLocale m_locale;
    std::vector<MaskElement> m_elements;
    char16_t m_prompt = u' ';
    bool m_insertMode = true;
};

} // namespace kvx
