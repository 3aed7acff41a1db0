#include "core/device_text.h"

#include <gtest/gtest.h>

using namespace kvx;

// What a field shows for the device's bytes, and what goes back for it unedited and edited.
TEST(DeviceText, UneditedGoesBackByteForByteEditedAsUtf8) {
    struct Case {
        const char* what;
        std::string bytes;
        QString shown;
        QString edited; // the operator's text
        std::string editedBytes;
    };
    const Case cases[] = {
        {"ASCII", "Hall-7", QStringLiteral("Hall-7"), QStringLiteral("Hall-9"), "Hall-9"},
        {"UTF-8", "Caf\xC3\xA9", QStringLiteral("Caf\u00E9"), QStringLiteral("Caf\u00E9!"), "Caf\xC3\xA9!"},
        {"Latin-1", "Caf\xE9", QStringLiteral("Caf\u00E9"), QStringLiteral("Caf\u00E9!"), "Caf\xC3\xA9!"},
        // CP949 for a Hangul syllable: no UTF-8, so each byte shows as a character of its own.
        {"CP949", "\xB0\xA1", QStringLiteral("\u00B0\u00A1"), QStringLiteral("\uAC00"), "\xEA\xB0\x80"},
        {"cut UTF-8", "ab\xE2\x82", QStringLiteral("ab\u00E2\u0082"), QStringLiteral("ab"), "ab"},
        {"overlong", "\xC0\xAF", QStringLiteral("\u00C0\u00AF"), QStringLiteral("/"), "/"},
        {"byte order mark", "\xEF\xBB\xBFx", QStringLiteral("\uFEFFx"), QStringLiteral("x"), "x"},
        {"empty", "", QString(), QStringLiteral("x"), "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString shown = deviceTextShown(c.bytes);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(deviceTextSent(shown, shown, c.bytes), c.bytes);
        EXPECT_EQ(deviceTextSent(c.edited, shown, c.bytes), c.editedBytes);
    }
}

// A field that cut or rewrote the text when it was filled still gives the bytes back unedited.
TEST(DeviceText, TheComparisonIsWithWhatTheFieldShowed) {
    EXPECT_EQ(deviceTextSent(QStringLiteral("Hall"), QStringLiteral("Hall"), "Hall-7"), "Hall-7");
    EXPECT_EQ(deviceTextSent(QStringLiteral("Hall-8"), QStringLiteral("Hall"), "Hall-7"), "Hall-8");
}
