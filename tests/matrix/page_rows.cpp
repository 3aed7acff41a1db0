#include "core/device_link.h"
#include "core/login_exchange.h"
#include "core/page_queries.h"
#include "core/qt_text.h"
#include "fault_matrix.h"
#include "pages/information_page.h"
#include "pages/operation_mode_page.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kvx::test {
namespace {

CommandRow modeChange(const char* radio, const QueryStep& step, const char* keyword) {
    return {std::string("Operation Mode page: Apply ") + radio, step, std::string("mode ") + keyword, true,
            "Server"};
}

std::string modeShown(const OperationModePage& page) {
    return toStd(page.findChild<QLabel*>(QStringLiteral("modeName"))->text());
}

Driver modeApply(int radio) {
    return {{}, [radio](MatrixContext& c) {
                c.session.setVersionCode(513);
                OperationModePage page(c.session, c.prompter);
                if (radio >= 0) {
                    page.load();
                    page.findChild<QRadioButton*>(QStringLiteral("modeRadio%1").arg(radio))->setChecked(true);
                }
                page.findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
                return modeShown(page);
            }};
}

std::string informationShown(const InformationPage& page) {
    return toStd(page.findChild<QLabel*>(QStringLiteral("version"))->text()) +
           (page.findChild<QPushButton*>(QStringLiteral("restoreButton"))->isEnabled() ? " restore on"
                                                                                       : " restore off");
}

} // namespace

std::vector<CommandRow> pageRows() {
    return {
        // A refused login is the connect operation's to report; the exchange itself says nothing.
        {"Login exchange", kUserStep, "User admin", true, "refused"},
        {"Login exchange", kPassStep, "Pass admin", true, "refused"},
        // The mode reply is one of the six.
        {"Operation Mode page: load", kModeQuery, true, ""},
        modeChange("Server", kModeChange, "server"),
        modeChange("Client", kModeChange, "client"),
        modeChange("Vertex", kModeChange, "vertex"),
        modeChange("Repeater", kRepeaterModeChange, "repeater"),
        modeChange("Serial Hub", kModeChange, "hub"),
        modeChange("RS232", kModeChange, "rs232"),
        // With no radio selected the keyword is empty; the page shows no mode before and after.
        {"Operation Mode page: Apply without a mode", kModeChange, "mode", true, ""},
        {"Information page: load", kVersionQuery, true, " restore off"},
        // Firmware 2.1.0 runs the check twice: a late answer to the first is taken as the second's.
        {"Information page: load", kListCheck, false},
        {"Information page: Reboot", kReboot, true},
    };
}

void addPageDrivers(DriverMap& drivers) {
    // A second connection to the same device, logging in as the connect operation does.
    drivers["Login exchange"] = {
        {}, [](MatrixContext& c) {
            DeviceLink::Timing timing;
            timing.waitUnit = kWaitUnit;
            timing.unlimitedWaitBound = kUnlimitedWaitBound;
            DeviceLink link(timing);
            RecordingTranscript transcript;
            if (!link.create() || !link.connectTo("127.0.0.1", c.session.device().controlPort()))
                return std::string("not connected");
            const bool accepted = runLoginExchange(link, transcript, c.prompter,
                                                   [&c] { ++c.session.reconnects; }, {"admin", "admin"});
            return std::string(accepted ? "accepted" : "refused");
        }};
    drivers["Operation Mode page: load"] = {{}, [](MatrixContext& c) {
                                                OperationModePage page(c.session, c.prompter);
                                                page.load();
                                                return modeShown(page);
                                            }};
    const char* const radios[] = {"Server", "Client", "Vertex", "Repeater", "Serial Hub", "RS232"};
    for (int i = 0; i < 6; ++i)
        drivers[std::string("Operation Mode page: Apply ") + radios[i]] = modeApply(i);
    drivers["Operation Mode page: Apply without a mode"] = modeApply(-1);

    drivers["Information page: load"] = {{}, [](MatrixContext& c) {
                                             InformationPage page(c.session, c.prompter);
                                             page.load();
                                             return informationShown(page);
                                         }};
    // The device goes away for its reboot and the reconnection finds nobody: in every run the page ends
    // with its own message, so the runs differ only in how they got there.
    drivers["Information page: Reboot"] = {{}, [](MatrixContext& c) {
                                               InformationPage page(c.session, c.prompter,
                                                                    {std::chrono::milliseconds(10),
                                                                     std::chrono::milliseconds(100),
                                                                     std::chrono::milliseconds(20)});
                                               page.reboot();
                                               return std::string();
                                           }};
}

} // namespace kvx::test
