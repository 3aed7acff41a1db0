#include "controls/masked_edit_model.h"

#include <algorithm>
#include <utility>

namespace kvx {

namespace {

bool asciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool asciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
char16_t asciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}
char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool isSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

MaskKind kindOf(char16_t maskCharacter) {
    switch (maskCharacter) {
    case u'.':
        return MaskKind::DecimalSeparator;
    case u',':
        return MaskKind::GroupSeparator;
    case u':':
        return MaskKind::TimeSeparator;
    case u'/':
        return MaskKind::DateSeparator;
    case u'#':
        return MaskKind::Digit;
    case u'A':
        return MaskKind::LetterOrDigit;
    case u'?':
        return MaskKind::Letter;
    case u'>':
        return MaskKind::UpperLetter;
    case u'<':
        return MaskKind::LowerLetter;
    case u'&':
        return MaskKind::Printable;
    default:
        return MaskKind::Literal;
    }
}

} // namespace

CharClasses asciiCharClasses() {
    return {asciiDigit, asciiLetter, asciiUpper, asciiLower};
}

MaskedEditModel::MaskedEditModel(MaskLocale locale)
    : m_locale(locale) {}

void MaskedEditModel::setMask(std::u16string_view mask) {
    m_elements.clear();
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\') {
            // A backslash that ends the mask has nothing to escape, so it escapes itself.
            const char16_t shown = i + 1 < mask.size() ? mask[++i] : u'\\';
            m_elements.push_back({MaskKind::Escaped, shown});
            continue;
        }
        const MaskKind kind = kindOf(mask[i]);
        char16_t shown = mask[i];
        if (kind <= MaskKind::DateSeparator)
            shown = shownSeparator(kind);
        else if (kind != MaskKind::Literal)
            shown = m_prompt;
        m_elements.push_back({kind, shown});
    }
}

bool MaskedEditModel::setPrompt(char16_t prompt) {
    // These would break the single line or vanish from it, and half a character cannot be shown.
    if (prompt == 0 || prompt == u'\n' || prompt == u'\r' || prompt == 127 || isSurrogate(prompt))
        return false;
    for (MaskElement& element : m_elements) {
        if (element.isInput() && element.character == m_prompt)
            element.character = prompt;
    }
    m_prompt = prompt;
    return true;
}

bool MaskedEditModel::setSeparators(const MaskSeparators& separators) {
    if (separators == m_locale.separators)
        return false;
    m_locale.separators = separators;
    bool changed = false;
    for (MaskElement& element : m_elements) {
        if (element.kind <= MaskKind::DateSeparator) {
            changed = changed || element.character != shownSeparator(element.kind);
            element.character = shownSeparator(element.kind);
        }
    }
    return changed;
}

char16_t MaskedEditModel::shownSeparator(MaskKind kind) const {
    switch (kind) {
    case MaskKind::DecimalSeparator:
        return m_locale.separators.decimalPoint;
    case MaskKind::GroupSeparator:
        return m_locale.separators.groupSeparator;
    case MaskKind::TimeSeparator:
        return m_locale.separators.timeSeparator;
    default:
        return m_locale.separators.dateSeparator;
    }
}

std::u16string MaskedEditModel::displayText() const {
    std::u16string text;
    for (const MaskElement& element : m_elements)
        text += element.character;
    return text;
}

std::u16string MaskedEditModel::inputData() const {
    std::u16string data;
    for (const MaskElement& element : m_elements) {
        if (element.isInput())
            data += element.character;
    }
    return data;
}

bool MaskedEditModel::isInputPosition(int position) const {
    return position >= 0 && position < size() && m_elements[static_cast<std::size_t>(position)].isInput();
}

bool MaskedEditModel::accepts(MaskKind kind, char16_t c) const {
    const CharClasses& classes = m_locale.classes;
    switch (kind) {
    case MaskKind::Digit:
        return classes.isDigit(c);
    case MaskKind::LetterOrDigit:
        return classes.isLetter(c) || classes.isDigit(c);
    case MaskKind::Letter:
    case MaskKind::UpperLetter:
    case MaskKind::LowerLetter:
        return classes.isLetter(c);
    case MaskKind::Printable:
        return c >= 32 && c <= 126;
    default:
        return false;
    }
}

char16_t MaskedEditModel::stored(MaskKind kind, char16_t c) const {
    if (kind == MaskKind::UpperLetter)
        return m_locale.classes.toUpper(c);
    if (kind == MaskKind::LowerLetter)
        return m_locale.classes.toLower(c);
    return c;
}

int MaskedEditModel::nextInputPosition(int from) const {
    for (int i = std::max(from, 0); i < size(); ++i) {
        if (isInputPosition(i))
            return i;
    }
    return size();
}

int MaskedEditModel::previousInputPosition(int from) const {
    from = std::max(from, 0);
    if (from >= size() || isInputPosition(from))
        return from;
    for (int i = from - 1; i >= 0; --i) {
        if (isInputPosition(i))
            return i + 1;
    }
    return nextInputPosition(from);
}

int MaskedEditModel::firstEmptyInputPosition(int from) const {
    for (int i = std::max(from, 0); i < size(); ++i) {
        if (isInputPosition(i) && m_elements[static_cast<std::size_t>(i)].character == m_prompt)
            return i;
    }
    return size();
}

bool MaskedEditModel::allInputEmpty() const {
    return std::all_of(m_elements.begin(), m_elements.end(),
                       [this](const MaskElement& e) { return !e.isInput() || e.character == m_prompt; });
}

bool MaskedEditModel::writeInputData(std::u16string_view text, int start, bool keepPrompts) {
    std::u16string data = inputData();
    data.resize(static_cast<std::size_t>(std::clamp(start, 0, static_cast<int>(data.size()))));
    for (char16_t c : text) {
        if (keepPrompts || c != m_prompt)
            data += c;
    }
    bool complete = true;
    std::size_t next = 0;
    for (MaskElement& element : m_elements) {
        if (!element.isInput())
            continue;
        element.character = m_prompt;
        while (next < data.size()) {
            const char16_t c = data[next++];
            if (c == m_prompt)
                break;
            if (accepts(element.kind, c)) {
                element.character = stored(element.kind, c);
                break;
            }
            complete = false;
        }
    }
    return complete;
}

int MaskedEditModel::deleteRange(int from, int to) {
    std::u16string kept;
    int removed = 0;
    for (int i = 0; i < size(); ++i) {
        if (!isInputPosition(i))
            continue;
        if (i >= from && i < to)
            ++removed;
        else
            kept += m_elements[static_cast<std::size_t>(i)].character;
    }
    if (removed == 0)
        return 0;
    const std::vector<MaskElement> before = m_elements;
    if (!writeInputData(kept, 0, true)) {
        // In a mask that mixes kinds the characters after the range may not fit the positions they would
        // move into; rather than drop them, only the range itself is emptied.
        m_elements = before;
        for (int i = std::max(from, 0); i < std::min(to, size()); ++i) {
            if (isInputPosition(i))
                m_elements[static_cast<std::size_t>(i)].character = m_prompt;
        }
    }
    return removed;
}

int MaskedEditModel::insertAt(int position, char16_t c) {
    const int at = nextInputPosition(position);
    if (at >= size())
        return -1;
    std::u16string data;
    for (int i = 0; i < size(); ++i) {
        if (!isInputPosition(i))
            continue;
        if (i == at)
            data += c;
        data += m_elements[static_cast<std::size_t>(i)].character;
    }
    const std::vector<MaskElement> before = m_elements;
    if (!writeInputData(data, 0, true)) {
        m_elements = before;
        return -1;
    }
    return at;
}

int MaskedEditModel::overwriteAt(int position, char16_t c) {
    if (!isInputPosition(position))
        return position;
    MaskElement& element = m_elements[static_cast<std::size_t>(position)];
    if (c == m_prompt) {
        element.character = c;
        return position;
    }
    if (!accepts(element.kind, c))
        return -1;
    element.character = stored(element.kind, c);
    return position;
}

EditOutcome MaskedEditModel::typeCharacter(char16_t c, int start, int end) {
    if (start > end)
        std::swap(start, end);
    int taken = -1;
    if (start == end) {
        if (!isInputPosition(start))
            return {false, true, nextInputPosition(start)};
        taken = m_insertMode ? insertAt(start, c) : overwriteAt(start, c);
    } else {
        if (deleteRange(start, end) == 0)
            return {false, true, nextInputPosition(start)};
        taken = insertAt(start, c);
    }
    if (taken >= 0)
        return {true, false, nextInputPosition(taken + 1)};
    return {true, true, nextInputPosition(start)};
}

EditOutcome MaskedEditModel::backspace(int start, int end) {
    if (start > end)
        std::swap(start, end);
    if (start == end) {
        for (int at = start - 1; at >= 0; --at) {
            if (deleteRange(at, at + 1) > 0)
                return {true, false, nextInputPosition(at)};
        }
        return {};
    }
    if (deleteRange(start, end) > 0)
        return {true, false, nextInputPosition(start)};
    for (int from = start - 1, to = end; from >= 0; --from, --to) {
        if (deleteRange(from, to) > 0)
            return {true, false, nextInputPosition(from)};
    }
    return {};
}

EditOutcome MaskedEditModel::deleteKey(int start, int end) {
    if (start > end)
        std::swap(start, end);
    for (int from = start, to = start == end ? start + 1 : end;; ++from, ++to) {
        if (deleteRange(from, to) > 0)
            return {true, false, nextInputPosition(from)};
        if (to >= size())
            return {};
    }
}

EditOutcome MaskedEditModel::paste(std::u16string_view clip, int start, int end) {
    if (start > end)
        std::swap(start, end);
    if (clip.empty() && start == end)
        return {};
    // The clip replaces the selection among the entered characters. The pattern's own literals are not
    // offered to the positions (those of the clip are): otherwise anything pasted into a field that
    // already shows entered characters or a short clip would fill positions with separators.
    std::u16string data;
    for (int i = 0; i < start && i < size(); ++i) {
        if (isInputPosition(i))
            data += m_elements[static_cast<std::size_t>(i)].character;
    }
    data += clip;
    for (int i = std::max(end, 0); i < size(); ++i) {
        if (isInputPosition(i))
            data += m_elements[static_cast<std::size_t>(i)].character;
    }
    writeInputData(data, 0, false);
    return {true, false, firstEmptyInputPosition(start)};
}

EditOutcome MaskedEditModel::cutSelection(int start, int end) {
    if (start > end)
        std::swap(start, end);
    deleteRange(start, end);
    return {true, false, nextInputPosition(start)};
}

bool MaskedEditModel::assignText(std::u16string_view text) {
    std::u16string bare(text);
    const int bound = static_cast<int>(text.size());
    std::size_t removed = 0;
    for (int i = 0; i < size() && i < bound;) {
        if (isInputPosition(i)) {
            ++i;
            continue;
        }
        int runEnd = i;
        while (runEnd < size() && !isInputPosition(runEnd))
            ++runEnd;
        if (runEnd == size())
            break; // literals that close the pattern are not followed by input and stay in the text
        const std::size_t place = static_cast<std::size_t>(i) - removed;
        const std::size_t length = static_cast<std::size_t>(runEnd - i);
        const bool matches = place + length <= bare.size() &&
                             std::equal(m_elements.begin() + i, m_elements.begin() + runEnd,
                                        bare.begin() + static_cast<std::ptrdiff_t>(place),
                                        [](const MaskElement& e, char16_t c) { return e.character == c; });
        if (matches) {
            bare.erase(place, length);
            removed += length;
        }
        i = runEnd;
    }
    return writeInputData(bare, 0, true);
}

} // namespace kvx
