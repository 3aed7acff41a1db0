#include "controls/masked_edit_model.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

constexpr char16_t kAddressMask[] = u"&&:&&:&&:&&:&&:&&";

std::u16string u16(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string ascii(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

MaskedEditModel modelWith(std::u16string_view mask, char16_t prompt = u'_', MaskLocale locale = {}) {
    MaskedEditModel model(locale);
    model.setPrompt(prompt);
    model.setMask(mask);
    return model;
}

} // namespace

TEST(MaskedEditModel, MaskBuildsOneElementPerPosition) {
    struct Case {
        const char16_t* mask;
        const char* display;
        const char* inputFlags; // 'i' for an input position, '-' for a literal
    };
    const Case cases[] = {
        {kAddressMask, "__T__T__T__T__T__", "ii-ii-ii-ii-ii-ii"},
        {u".,:/", "DGTS", "----"},
        {u"#A?><&", "______", "iiiiii"},
        {u"(###) a", "(___) a", "-iii---"},
        {u"\\#\\\\#", "#\\_", "--i"},
        {u"#\\", "_\\", "i-"}, // a backslash with nothing after it shows itself
        {u"\\", "\\", "-"},
        {u"", "", ""},
    };
    const MaskLocale locale{{u'D', u'G', u'T', u'S'}};
    for (const Case& c : cases) {
        const MaskedEditModel model = modelWith(c.mask, u'_', locale);
        EXPECT_EQ(ascii(model.displayText()), c.display) << ascii(c.mask);
        std::string flags;
        for (int i = 0; i < model.size(); ++i)
            flags += model.isInputPosition(i) ? 'i' : '-';
        EXPECT_EQ(flags, c.inputFlags) << ascii(c.mask);
    }
}

TEST(MaskedEditModel, EachKindTakesItsCharacters) {
    struct Case {
        const char16_t* mask;
        char16_t typed;
        const char* display; // after typing at position 0
        bool beep;
    };
    const Case cases[] = {
        {u"#", u'7', "7", false}, {u"#", u'a', "_", true},  {u"A", u'z', "z", false},
        {u"A", u'7', "7", false}, {u"A", u'-', "_", true},  {u"?", u'q', "q", false},
        {u"?", u'1', "_", true},  {u">", u'a', "A", false}, {u"<", u'Q', "q", false},
        {u">", u'5', "_", true},  {u"&", u' ', " ", false}, {u"&", u'~', "~", false},
        {u"&", 0x01, "_", true},  {u"&", 0x1F, "_", true},  {u"&", 0x7F, "_", true},
        {u"&", 0x80, "_", true},  {u"&", 0xFF, "_", true},  {u"?", 0xE9, "_", true},
        {u"x", u'x', "x", true}, // a literal takes nothing, not even itself
    };
    for (const Case& c : cases) {
        for (const bool insert : {true, false}) {
            MaskedEditModel model = modelWith(c.mask);
            if (!insert)
                model.toggleInsertMode();
            const EditOutcome outcome = model.typeCharacter(c.typed, 0, 0);
            EXPECT_EQ(ascii(model.displayText()), c.display) << ascii(c.mask) << " " << int(c.typed);
            EXPECT_EQ(outcome.beep, c.beep) << ascii(c.mask) << " " << int(c.typed);
        }
    }
}

TEST(MaskedEditModel, CaretPositionsAroundLiterals) {
    struct Case {
        const char16_t* mask;
        int from;
        int next;
        int previous;
    };
    const Case cases[] = {
        {u"&&:&&", -3, 0, 0}, {u"&&:&&", 1, 1, 1}, {u"&&:&&", 2, 3, 2}, {u"&&:&&", 3, 3, 3},
        {u"&&:&&", 5, 5, 5},  {u"&&:&&", 9, 5, 9}, {u"&:::&", 3, 4, 1}, {u"::&", 0, 2, 2},
        {u"::&", 1, 2, 2},    {u"&::", 2, 3, 1},   {u"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const MaskedEditModel model = modelWith(c.mask);
        EXPECT_EQ(model.nextInputPosition(c.from), c.next) << ascii(c.mask) << " from " << c.from;
        EXPECT_EQ(model.previousInputPosition(c.from), c.previous) << ascii(c.mask) << " from " << c.from;
    }
}

TEST(MaskedEditModel, EditsOnTheAddress) {
    struct Case {
        const char* before;
        char op; // 'i' type inserting, 'o' type overwriting, 'b' Backspace, 'd' Delete, 'x' cut
        char16_t typed;
        int start;
        int end;
        const char* after;
        EditOutcome outcome;
    };
    const char* f = "00:1A:2B:3C:4D:5E";
    const Case cases[] = {
        {f, 'i', u'F', 0, 0, "F0:01:A2:B3:C4:D5", {true, false, 1}}, // the last one falls off
        {f, 'o', u'F', 0, 0, "F0:1A:2B:3C:4D:5E", {true, false, 1}},
        {"12", 'i', u'3', 2, 2, "12:__:__:__:__:__", {false, true, 3}}, // on a separator
        {f, 'i', u'3', 17, 17, f, {false, true, 17}},
        {"12", 'i', 0x7F, 1, 1, "12:__:__:__:__:__", {true, true, 1}},
        {f, 'i', u'Z', 0, 5, "Z2:B3:C4:D5:E_:__", {true, false, 1}}, // a selection is replaced
        {f, 'o', u'Z', 3, 4, "00:ZA:2B:3C:4D:5E", {true, false, 4}},
        {f, 'i', u'Z', 2, 3, f, {false, true, 3}},                // a selected separator alone
        {f, 'b', 0, 3, 3, "01:A2:B3:C4:D5:E_", {true, false, 1}}, // just after a separator
        {f, 'b', 0, 0, 0, f, {}},
        {f, 'b', 0, 0, 17, "__:__:__:__:__:__", {true, false, 0}},
        {f, 'b', 0, 2, 3, "01:A2:B3:C4:D5:E_", {true, false, 1}},
        {"", 'b', 0, 4, 4, "__:__:__:__:__:__", {true, false, 3}},
        {f, 'd', 0, 17, 17, f, {}}, // after the last position
        {f, 'd', 0, 16, 16, "00:1A:2B:3C:4D:5_", {true, false, 16}},
        {f, 'd', 0, 2, 2, "00:A2:B3:C4:D5:E_", {true, false, 3}}, // just before a separator
        {f, 'd', 0, 5, 6, "00:1A:B3:C4:D5:E_", {true, false, 6}},
        {"00:1A:2B:3C:4D:5", 'd', 0, 14, 14, "00:1A:2B:3C:4D:__", {true, false, 15}},
        {f, 'x', 0, 0, 2, "1A:2B:3C:4D:5E:__", {true, false, 0}},
        {f, 'x', 0, 4, 4, f, {true, false, 4}},
    };
    for (const Case& c : cases) {
        MaskedEditModel model = modelWith(kAddressMask);
        model.assignText(u16(c.before));
        if (c.op == 'o')
            model.toggleInsertMode();
        EditOutcome outcome;
        if (c.op == 'i' || c.op == 'o')
            outcome = model.typeCharacter(c.typed, c.start, c.end);
        else if (c.op == 'b')
            outcome = model.backspace(c.start, c.end);
        else if (c.op == 'd')
            outcome = model.deleteKey(c.start, c.end);
        else
            outcome = model.cutSelection(c.start, c.end);
        const std::string where = std::string(1, c.op) + " at " + std::to_string(c.start) + " in " + c.before;
        EXPECT_EQ(ascii(model.displayText()), c.after) << where;
        EXPECT_EQ(outcome, c.outcome) << where << ": caret " << outcome.caret;
    }
}

TEST(MaskedEditModel, AssignedTextLosesOnlyThePatternsLiterals) {
    struct Case {
        const char16_t* mask;
        const char* assigned;
        const char* display;
        bool complete;
    };
    const Case cases[] = {
        {kAddressMask, "001A2B3C4D5E", "00:1A:2B:3C:4D:5E", true},
        {kAddressMask, "00:1A:2B:3C:4D:5E", "00:1A:2B:3C:4D:5E", true},
        {kAddressMask, "__:__:__:__:__:__", "__:__:__:__:__:__", true},
        {kAddressMask, "00:1A", "00:1A:__:__:__:__", true},
        {kAddressMask, "00-1A", "00:-1:A_:__:__:__", true}, // another separator is data
        {kAddressMask, "\r\n00", "00:__:__:__:__:__", false},
        {kAddressMask, "", "__:__:__:__:__:__", true},
        {u"(###) ###", "(012) 345", "(012) 345", true},
        {u"(###) ###", "012345", "(012) 345", true},
        {u"(###) ###", "(01) 345", "(013) 45_", false}, // ") " is not where the pattern has it
    };
    for (const Case& c : cases) {
        MaskedEditModel model = modelWith(c.mask);
        EXPECT_EQ(model.assignText(u16(c.assigned)), c.complete) << c.assigned;
        EXPECT_EQ(ascii(model.displayText()), c.display) << c.assigned;
    }
}

TEST(MaskedEditModel, WriteInputDataKeepsTheStartAndSkipsRefusals) {
    struct Case {
        const char16_t* mask;
        const char* before;
        const char* text;
        int start;
        bool keepPrompts;
        const char* display;
        bool complete;
    };
    const Case cases[] = {
        {u"##-##", "1234", "9", 2, true, "12-9_", true},
        {u"##-##", "1234", "9", 9, true, "12-34", true},
        {u"##-##", "1234", "x9", -1, true, "9_-__", false},
        {u"##-##", "", "1_2", 0, true, "1_-2_", true},
        {u"##-##", "", "1_2", 0, false, "12-__", true},
        {u"##-##", "", "12345", 0, true, "12-34", true},
        {u"#", "", "ab", 0, true, "_", false},
    };
    for (const Case& c : cases) {
        MaskedEditModel model = modelWith(c.mask);
        model.assignText(u16(c.before));
        EXPECT_EQ(model.writeInputData(u16(c.text), c.start, c.keepPrompts), c.complete) << c.text;
        EXPECT_EQ(ascii(model.displayText()), c.display) << c.text;
    }
}

TEST(MaskedEditModel, Paste) {
    struct Case {
        const char* name;
        const char* before;
        int start;
        int end;
        const char* clip;
        const char* display;
        int caret;
    };
    const Case cases[] = {
        {"a short clip", "", 0, 0, "ABC", "AB:C_:__:__:__:__", 4},
        {"after typed characters", "12", 3, 3, "34", "12:34:__:__:__:__", 6},
        {"before typed characters", "5678", 0, 0, "1234", "12:34:56:78:__:__", 12},
        {"over a selection", "00:1A:2B:3C:4D:5E", 3, 8, "ZZZZ", "00:ZZ:ZZ:3C:4D:5E", 17},
        {"prompts in the clip are left out", "", 0, 0, "1_2", "12:__:__:__:__:__", 3},
        {"nothing to paste", "12", 3, 3, "", "12:__:__:__:__:__", -1},
    };
    for (const Case& c : cases) {
        MaskedEditModel model = modelWith(kAddressMask);
        model.assignText(u16(c.before));
        const EditOutcome outcome = model.paste(u16(c.clip), c.start, c.end);
        EXPECT_EQ(ascii(model.displayText()), c.display) << c.name;
        EXPECT_EQ(outcome.caret, c.caret) << c.name;
    }
}

TEST(MaskedEditModel, PromptChangesOnlyEmptyPositions) {
    MaskedEditModel model = modelWith(kAddressMask);
    model.assignText(u"12");
    EXPECT_TRUE(model.setPrompt(u' '));
    EXPECT_EQ(ascii(model.displayText()), "12:  :  :  :  :  ");
    EXPECT_EQ(model.firstEmptyInputPosition(0), 3);
    for (const char16_t refused :
         {char16_t(0), char16_t(10), char16_t(13), char16_t(127), char16_t(0xD800)}) {
        EXPECT_FALSE(model.setPrompt(refused)) << int(refused);
        EXPECT_EQ(model.prompt(), u' ');
        EXPECT_EQ(ascii(model.displayText()), "12:  :  :  :  :  ");
    }
    MaskedEditModel fresh;
    EXPECT_EQ(fresh.prompt(), u' ') << "a blank until set";
    EXPECT_TRUE(fresh.insertMode());
}

TEST(MaskedEditModel, MixedKindsRefuseWhatWouldNotFit) {
    MaskedEditModel letterFirst = modelWith(u"A#");
    letterFirst.assignText(u"x1");
    EXPECT_EQ(letterFirst.typeCharacter(u'2', 0, 0), (EditOutcome{true, true, 0}))
        << "x cannot move into the digit";
    EXPECT_EQ(ascii(letterFirst.displayText()), "x1");
    EXPECT_EQ(letterFirst.insertAt(0, u'2'), -1);
    EXPECT_EQ(letterFirst.insertAt(2, u'2'), -1) << "no input position at or after 2";

    // Deleting the digit would move "x" into the digit position; the digit's place is emptied instead.
    MaskedEditModel digitFirst = modelWith(u"#A");
    digitFirst.assignText(u"1x");
    EXPECT_EQ(digitFirst.deleteRange(0, 1), 1);
    EXPECT_EQ(ascii(digitFirst.displayText()), "_x");
    digitFirst.assignText(u"12");
    EXPECT_EQ(digitFirst.deleteRange(0, 1), 1);
    EXPECT_EQ(ascii(digitFirst.displayText()), "2_") << "what fits still moves left";
}
