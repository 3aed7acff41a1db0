#include "app/translation.h"
#include "core/login_exchange.h"

#include <gtest/gtest.h>

using namespace kvx;

TEST(LoginRules, BothRepliesMustMatchExactly) {
    struct Case {
        const char* user;
        const char* pass;
        bool accepted;
    };
    const Case cases[] = {
        {"+OK Password required\r\n", "+OK User Authenticated\r\n", true},
        {"+OK Password required\r\n", "-ERR\r\n", false},
        {"+OK Password required now\r\n", "+OK User Authenticated\r\n", false},
        {"+OK password required\r\n", "+OK User Authenticated\r\n", false},
        {"+OK Password required", "+OK User Authenticated\r\n", false},
        // Only the last two characters are taken off, whatever they are.
        {"+OK Password requiredXY", "+OK User AuthenticatedZZ", true},
        {"", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(loginRepliesAccepted(c.user, c.pass), c.accepted) << c.user << " / " << c.pass;
}

TEST(LoginRules, PasswordEchoHidesEveryCharacter) {
    EXPECT_EQ(passwordEcho(""), "Pass \r\n");
    EXPECT_EQ(passwordEcho("admin"), "Pass *****\r\n");
    EXPECT_EQ(passwordEcho("p\xC3\xA4ss"), "Pass ****\r\n"); // a two-byte character is one star
}

TEST(Translation, PicksKoreanOnlyWhenItComesFirst) {
    struct Case {
        QStringList languages;
        const char* picked;
    };
    const Case cases[] = {
        {{QStringLiteral("ko-KR")}, "ko"},
        {{QStringLiteral("ko")}, "ko"},
        {{QStringLiteral("en-US"), QStringLiteral("ko-KR")}, "en"},
        {{QStringLiteral("de-DE"), QStringLiteral("ko-KR")}, "ko"},
        {{QStringLiteral("de-DE")}, "en"},
        {{}, "en"},
        {{QStringLiteral("kok-IN")}, "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pickLanguage(c.languages).toStdString(), c.picked) << c.languages.join(u',').toStdString();
}
