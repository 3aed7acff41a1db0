#include "app/translation.h"
#include "controls/ip_address_edit.h"
#include "controls/masked_edit.h"
#include "mode_window_driver.h"
#include "modes/entry_forms.h"
#include "pages/repeater_station_window.h"
#include "recording_prompter.h"
#include "routing/route_setting_window.h"
#include "routing/routing_table_window.h"
#include "scripted_session.h"

#include <QLocale>
#include <QTranslator>

using namespace kvx;
using namespace kvx::test;

// Every window that takes a Bluetooth address shows it with ":" and sends it with ":", whatever the
// locale's time separator and whichever language the texts are in.
namespace {

const std::string kAddress = "00:1B:DC:0F:B1:01";
const std::string kEmptyAddress = "__:__:__:__:__:__";

std::string shown(const QObject& window, const char* field) {
    return child<MaskedEdit>(window, field)->text().toStdString();
}

struct Setting {
    const char* locale;
    const char* language;
    const char* time; // how the locale shows an empty "##:##"
};
const Setting kSettings[] = {
    {"fi_FI", "en", "__.__"},
    {"ko_KR", "ko", "__:__"},
    {"en_US", "en", "__:__"},
};

// Runs `check` once per setting, with that locale as the default and that language's translation in.
void underEverySetting(const std::function<void(const std::string& name)>& check) {
    const QLocale before;
    for (const Setting& s : kSettings) {
        QLocale::setDefault(QLocale(QLatin1String(s.locale)));
        const QList<QTranslator*> installed =
            installTranslations(*QCoreApplication::instance(), QLatin1String(s.language));
        // A time is still shown the locale's way, so the setting is really in force.
        MaskedEdit time;
        time.setPromptChar(QLatin1Char('_'));
        time.setMask(QStringLiteral("##:##"));
        EXPECT_EQ(time.text().toStdString(), s.time) << s.locale;
        check(s.locale);
        for (QTranslator* translator : installed)
            QCoreApplication::removeTranslator(translator);
    }
    QLocale::setDefault(before);
}

} // namespace

TEST(AddressFields, AddDeviceShowsAndBindsTheColonForm) {
    underEverySetting([](const std::string& name) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, kAddDeviceForm, {});
        w.show();
        click(w, "addressChoice");
        EXPECT_EQ(shown(w, "addressEdit"), kEmptyAddress) << name;
        QTest::keyClicks(child<MaskedEdit>(w, "addressEdit"), QStringLiteral("001BDC0FB101"));
        EXPECT_EQ(shown(w, "addressEdit"), kAddress) << name;
        retype(w, "portEdit", QStringLiteral("9105"));
        session.expect("Bind 00:1B:DC:0F:B1:01 9105\r\n", 10, "+OK\r\n");
        click(w, "addButton");
        EXPECT_TRUE(session.done()) << name;
        EXPECT_EQ(w.entry().bdaddrOrName.bytes, kAddress) << name;
    });
}

TEST(AddressFields, AddServerShowsAndAddsTheColonForm) {
    underEverySetting([](const std::string& name) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, kAddServerForm, {});
        w.show();
        QTest::keyClicks(child<MaskedEdit>(w, "addressEdit"), QStringLiteral("001BDC0FB101"));
        EXPECT_EQ(shown(w, "addressEdit"), kAddress) << name;
        child<IpAddressEdit>(w, "serverAddressEdit")->setOctets({192, 168, 0, 30});
        retype(w, "serverPortEdit", QStringLiteral("9100"));
        session.expect("Serv 192.168.0.30:9100 00:1B:DC:0F:B1:01\r\n", 10, "+OK\r\n");
        click(w, "addButton");
        EXPECT_TRUE(session.done()) << name;
        EXPECT_EQ(w.entry().bdaddrOrName.bytes, kAddress) << name;
    });
}

TEST(AddressFields, RepeaterStationShowsAndSetsTheColonForm) {
    underEverySetting([](const std::string& name) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("station\r\n", 1, "+OK 00:1B:DC:0F:B1:01\r\n");
        RepeaterStationWindow w(session, prompter);
        w.show();
        EXPECT_EQ(shown(w, "addressEdit"), kAddress) << name;
        session.expect("station 00:1B:DC:0F:B1:01\r\n", 1, "+OK\r\n");
        click(w, "okButton");
        EXPECT_TRUE(session.done()) << name;
        EXPECT_EQ(w.result(), QDialog::Accepted) << name;
    });
}

TEST(AddressFields, AnEditedRouteGoesBackInTheColonForm) {
    underEverySetting([](const std::string& name) {
        ScriptedSession session;
        RecordingPrompter prompter;
        const std::string routes = "00:1B:DC:0F:B1:01 > 00:1B:DC:0F:B1:02\r\n+OK\r\n";
        session.expect("route\r\n", 3, routes);
        session.expect("route\r\n", 3, routes);
        RoutingTableWindow window(session, prompter);
        runOpened(window, [&] {
            clickRow(child<QTreeWidget>(window, "routeList"), 0);
            const auto played = whenOpened<RouteSettingWindow>(window, [&](RouteSettingWindow& editor) {
                EXPECT_EQ(shown(editor, "fromEdit"), kAddress) << name;
                EXPECT_EQ(shown(editor, "toEdit1"), "00:1B:DC:0F:B1:02") << name;
                EXPECT_EQ(shown(editor, "toEdit2"), kEmptyAddress) << name;
                click(editor, "okButton");
            });
            click(window, "editButton");
            EXPECT_TRUE(*played) << name;
            session.expect("route ptp\r\n", 3, "+OK\r\n");
            session.expect("route manual\r\n", 3, "+OK\r\n");
            session.expect("route add 00:1B:DC:0F:B1:01 00:1B:DC:0F:B1:02\r\n", 10, "+OK\r\n");
            click(window, "applyButton");
        });
        EXPECT_TRUE(session.done()) << name;
    });
}
