#include "controls/ip_address_edit.h"
#include "fault_matrix.h"
#include "mode_window_driver.h"
#include "modes/add_device_window.h"
#include "modes/add_server_window.h"
#include "modes/client_mode_window.h"
#include "modes/client_setting_window.h"
#include "modes/modify_device_window.h"
#include "modes/modify_server_window.h"
#include "modes/serial_port_window.h"
#include "modes/server_mode_window.h"
#include "modes/vertex_mode_window.h"
#include "routing/routing_table_window.h"

#include <QCheckBox>
#include <QComboBox>

namespace kvx::test {
namespace {

std::string timeout(const std::string& what) {
    return what + " is timeout. Check Lumeno-KVX and Try again.";
}

// Routes of the simulated device: A1 <-> A2, A1 --> A3, A4 --> A5.
const std::string A1 = "00:1B:DC:0F:A1:01";
const std::string A2 = "00:1B:DC:0F:A1:02";
const std::string A3 = "00:1B:DC:0F:A1:03";
const std::string A4 = "00:1B:DC:0F:A1:04";
const std::string A5 = "00:1B:DC:0F:A1:05";

std::string tableText(const QTreeWidget* list) {
    std::string text;
    for (const std::vector<std::string>& row : rowsOf(list)) {
        text += text.empty() ? "" : " | ";
        for (std::size_t c = 0; c < row.size(); ++c)
            text += (c == 0 ? "" : " ") + row[c];
    }
    return text.empty() ? "none" : text;
}

std::string checkText(const QObject& window, const char* name) {
    return child<QCheckBox>(window, name)->isChecked() ? "on" : "off";
}

std::string resultText(int result) {
    return result == QDialog::Accepted ? "closed with OK" : "left open";
}

std::string editorText(bool open) {
    return open ? ", editor open" : ", editor closed";
}

std::string serverModeShown(const ServerModeWindow& w) {
    return "port " + textOf(w, "portEdit").toStdString() + ", keep socket " +
           checkText(w, "keepSocketCheck") + ", keep-alive " + textOf(w, "keepAliveEdit").toStdString() +
           ", rows " + tableText(child<QTreeWidget>(w, "deviceTable"));
}

std::string clientModeShown(const ClientModeWindow& w) {
    return "host " + child<IpAddressEdit>(w, "hostAddressEdit")->text().toStdString() + ":" +
           textOf(w, "hostPortEdit").toStdString() + ", interval " + textOf(w, "intervalEdit").toStdString() +
           ", re-connect " + checkText(w, "reconnectCheck") + ", rows " +
           tableText(child<QTreeWidget>(w, "serverTable"));
}

std::string hostShown(const ClientSettingWindow& w) {
    return "host " + child<IpAddressEdit>(w, "hostAddressEdit")->text().toStdString() + ":" +
           textOf(w, "hostPortEdit").toStdString();
}

std::string vertexShown(const VertexModeWindow& w) {
    return "port " + textOf(w, "portEdit").toStdString() + ", maximum " +
           textOf(w, "maximumEdit").toStdString();
}

const char* const kSerialLists[] = {"baudCombo", "dataBitsCombo", "parityCombo", "stopBitsCombo",
                                    "flowCombo"};

std::string serialShown(const SerialPortWindow& w) {
    std::string text;
    for (const char* name : kSerialLists)
        text += (text.empty() ? "" : ", ") + child<QComboBox>(w, name)->currentText().toStdString();
    return text;
}

std::string routesShown(const RoutingTableWindow& w) {
    return "routes " + tableText(child<QTreeWidget>(w, "routeList"));
}

// Opens the window as the Operation Mode page does, plays `act` in it and describes what it shows.
template <class W>
std::string inWindow(MatrixContext& ctx, const std::function<void(W&)>& act, std::string (*shown)(const W&)) {
    W window(ctx.session, ctx.prompter);
    const int result = runOpened(window, [&] {
        if (act)
            act(window);
    });
    return shown(window) + (act ? ", " + resultText(result) : "");
}

// Plays `act` in the editor that `button` of `owner` opens; true when the editor is still open after it.
template <class E> bool inEditor(QWidget& owner, const char* button, const std::function<void(E&)>& act) {
    bool open = false;
    whenOpened<E>(owner, [&](E& editor) {
        act(editor);
        open = editor.isVisible();
    });
    click(owner, button);
    return open;
}

std::string serverModeWith(MatrixContext& ctx, const std::function<std::string(ServerModeWindow&)>& act) {
    std::string extra;
    const std::string shown = inWindow<ServerModeWindow>(
        ctx, [&](ServerModeWindow& w) { extra = act(w); }, serverModeShown);
    return shown + extra;
}

std::string clientModeWith(MatrixContext& ctx, const std::function<std::string(ClientModeWindow&)>& act) {
    std::string extra;
    const std::string shown = inWindow<ClientModeWindow>(
        ctx, [&](ClientModeWindow& w) { extra = act(w); }, clientModeShown);
    return shown + extra;
}

} // namespace

std::vector<CommandRow> modeRows() {
    const std::string notLookedAt = "not looked at";
    return {
        // Server Mode window.
        {"Server Mode window: open", "Port", 0, "normalised reply contains \"+OK\"",
         timeout("Get Port Number"), "Get Port Number is Failed. Try again.", true, true,
         "port , keep socket off, keep-alive , rows none"},
        // A refused prsv query is reported with the time-out text and the reconnect request.
        {"Server Mode window: open", "prsv", 1, "reply contains \"+OK\"", timeout("Get Port Number"),
         timeout("Get Port Number"), true, true, "port 9100, keep socket off, keep-alive , rows none", false,
         true},
        {"Server Mode window: open", "kato", 1, "reply contains \"+OK\"",
         "Retrieving TCP KeepAlive setting failed.", "Retrieving TCP KeepAlive setting failed.", false,
         false},
        {"Server Mode window: open", "Bind", 1, "reply non-empty and not beginning with \"-ERR\"",
         timeout("Get Bind"), "Bind is Failed. Try again.", true, true,
         "port 9100, keep socket off, keep-alive 600, rows none", true},
        // A refused set-port is reported with the time-out text and the reconnect request.
        {"Server Mode window: Apply", "Port 9200", 1, "reply contains \"+OK\"", timeout("Set Port Number"),
         timeout("Set Port Number"), true, true,
         "port 9200, keep socket on, keep-alive 300, rows 1 00:1B:DC:0F:B1:01 9101 | 2 Handheld Scanner 9102 | "
         "3 00:1B:DC:0F:B1:03 9103, left open",
         false, true},
        {"Server Mode window: Apply", "prsv on", 1, "reply contains \"+OK\"", "Setting PRSV failed.",
         "Setting PRSV failed.", false, false},
        {"Server Mode window: Apply", "kato 300 10 3", 1, "reply contains \"+OK\"",
         "Setting TCP KeepAlive Time failed.", "Setting TCP KeepAlive Time failed.", false, true},
        {"Server Mode window: Delete", "Rele 9102", 10, "normalised reply is exactly \"+OK\"",
         timeout("Deleting Device"), "Device Deleting is Failed. Try again.", true, true,
         "port 9100, keep socket off, keep-alive 600, rows 1 00:1B:DC:0F:B1:01 9101 | 3 00:1B:DC:0F:B1:03 "
         "9103, "
         "left open"},
        {"Add Device window: ADD", "Bind Scale 9104", 10, "normalised reply is exactly \"+OK\"",
         timeout("Add Device"), "Add Device Fail. Try again.", true, true,
         "port 9100, keep socket off, keep-alive 600, rows 1 00:1B:DC:0F:B1:01 9101 | 2 Handheld Scanner "
         "9102 | "
         "3 00:1B:DC:0F:B1:03 9103, left open, editor open"},
        // A failed bind after the release adds the old entry again, once.
        {"Modify Device window: Modify", "Rele 9102", 0, "normalised reply is exactly \"+OK\"",
         timeout("Device modification"), "Device modification is Failed. Try again.", true, true},
        {"Modify Device window: Modify", "Bind Scanner 9112", 10, "normalised reply is exactly \"+OK\"",
         timeout("Device modification"), "Device modification is Failed. Try again.", true, false},

        // Client Mode window; the load goes on after a failed "Serv".
        {"Client Mode window: open", "Serv", 1, "reply non-empty and not beginning with \"-ERR\"",
         timeout("Get Server host address"), "Get Server host address is Failed. Try again.", true, false, "",
         true},
        {"Client Mode window: open", "Rept", 0, "normalised reply begins with \"+OK\"",
         "Get Connection interval time is Failed. Try again.",
         "Get Connection interval time is Failed. Try again.", true, true},
        {"Client Mode window: open", "Psist", 0, "normalised reply begins with \"+OK\"",
         timeout("Get re-Connect status"), "Get re-Connect status is Failed. Try again.", true, true},
        {"Client Mode window: Apply", "Serv 10.0.0.5:9100", 10, "normalised reply is exactly \"+OK\"",
         timeout("Set Server host address"), "Client Mode Setup Fail. Try again.", true, true},
        {"Client Mode window: Apply", "Rept 5000", 0,
         "normalised reply is exactly \"+OK REPEAT every 5000 ms\"", timeout("Set Connection interval time"),
         "Connection interval time Setup Fail. Try again.", true, true},
        {"Client Mode window: Apply", "Psist off", 0, "normalised reply is exactly \"+OK PERSIST off\"",
         timeout("Set re-Connect status"), "re-Connect status Setup Fail. Try again.", true, true},
        {"Client Mode window: Delete", "DelServ Label Printer", 10, "normalised reply is exactly \"+OK\"",
         timeout("Deleting Server"), "Server Deleting is Failed. Try again.", true, true,
         "host 192.168.0.10:9100, interval 3000, re-connect on, rows 1 00:1B:DC:0F:C1:01 192.168.0.20:9100, "
         "left open"},
        {"Add Server window: Add", "Serv 10.0.0.7:9100 Scale", 10, "normalised reply is exactly \"+OK\"",
         timeout("Add Server"), "Add Server Fail. Try again.", true, true},
        // A failed add after the deletion adds the old entry again, once.
        {"Modify Server window: Modify", "DelServ Label Printer", 0, "normalised reply is exactly \"+OK\"",
         timeout("Server modification"), "Device modification is Failed. Try again.", true, true},
        {"Modify Server window: Modify", "Serv 10.0.0.8:9100 Label Printer", 10,
         "normalised reply is exactly \"+OK\"", timeout("Server modification"),
         "Device modification is Failed. Try again.", true, false},
        {"Client Setting window: open", "Serv", 1, "reply non-empty and not beginning with \"-ERR\"",
         timeout("Get Server host address"), "Input IP Address and Port Number.", true, true, "host :", true},
        {"Client Setting window: OK", "Serv 192.168.0.10:9300", 10, "normalised reply is exactly \"+OK\"",
         timeout("Set Server host address"), "Client Mode Setup Fail. Try again.", true, true,
         "host 192.168.0.10:9300, left open"},

        {"Vertex Mode window: open", "Vertex", 10, "normalised reply begins with \"+OK\"",
         timeout("Get Vertex Mode"), "Get Vertex is Failed. Try again.", true, true, "port , maximum "},
        {"Vertex Mode window: Apply", "Vertex 9200 5", 10,
         "normalised reply is exactly \"+OK PORT 9200 MAX 5\"", timeout("Set Vertex Mode"),
         "Vertex Mode Setup Fail. Try again.", true, true, "port 9200, maximum 5, left open"},

        // No failure of the serial window posts the reconnect request; OK closes it in every case.
        {"Serial Port Setup window: open", "rs232", 1, "reply contains \"+OK\"",
         "Can't get RS232 configuration.", "Can't get RS232 configuration.", false, true,
         "115200, 8 bit, None, 1 bit, Hardware"},
        {"Serial Port Setup window: OK", "rs232 57600 7O2 none", 1, "reply contains \"+OK\"",
         "Setting RS232 failed.", "Setting RS232 failed.", false, true,
         "57600, 7 bit, Odd, 2 bit, None, closed with OK"},

        // Routing: an empty reading leaves the list unfilled; no other reply is looked at.
        {"Serial Hub Mode window: open", "route", 3, "both replies non-empty", "", "", false, false,
         "routes none", true},
        {"Serial Hub Mode window: Clear", "route ptp", 3, notLookedAt, "", "", false, false},
        {"Serial Hub Mode window: Clear", "route manual", 3, notLookedAt, "", "", false, false},
        {"Serial Hub Mode window: Apply", "route ptp", 3, notLookedAt, "", "", false, false},
        {"Serial Hub Mode window: Apply", "route manual", 3, notLookedAt, "", "", false, false},
        {"Serial Hub Mode window: Apply", "route add " + A1 + " " + A2 + " " + A3, 10, notLookedAt, "", "",
         false, false},
        {"Serial Hub Mode window: Apply", "route add " + A2 + " " + A1, 10, notLookedAt, "", "", false, false,
         "routes " + A1 + " <-> " + A2 + " |  --> " + A3 + " | " + A4 + " --> " + A5 + ", closed with OK"},
    };
}

void addModeDrivers(DriverMap& drivers) {
    const Driver openServerMode{{}, [](MatrixContext& ctx) {
                                    return inWindow<ServerModeWindow>(ctx, {}, serverModeShown);
                                }};
    drivers["Server Mode window: open"] = openServerMode;
    const Driver applyServerMode{{}, [](MatrixContext& ctx) {
                                     return serverModeWith(ctx, [](ServerModeWindow& w) {
                                         retype(w, "portEdit", QStringLiteral("9200"));
                                         child<QCheckBox>(w, "keepSocketCheck")->click();
                                         retype(w, "keepAliveEdit", QStringLiteral("300"));
                                         click(w, "applyButton");
                                         return std::string();
                                     });
                                 }};
    drivers["Server Mode window: Apply"] = applyServerMode;
    drivers["Server Mode window: Delete"].act = [](MatrixContext& ctx) {
        return serverModeWith(ctx, [](ServerModeWindow& w) {
            clickRow(child<QTreeWidget>(w, "deviceTable"), 1);
            click(w, "deleteButton");
            return std::string();
        });
    };
    drivers["Add Device window: ADD"].act = [](MatrixContext& ctx) {
        return serverModeWith(ctx, [](ServerModeWindow& w) {
            return editorText(inEditor<AddDeviceWindow>(w, "addButton", [](AddDeviceWindow& e) {
                click(e, "nameChoice");
                retype(e, "nameEdit", QStringLiteral("Scale"));
                retype(e, "portEdit", QStringLiteral("9104"));
                click(e, "addButton");
            }));
        });
    };
    drivers["Modify Device window: Modify"].act = [](MatrixContext& ctx) {
        return serverModeWith(ctx, [](ServerModeWindow& w) {
            clickRow(child<QTreeWidget>(w, "deviceTable"), 1);
            return editorText(inEditor<ModifyDeviceWindow>(w, "modifyButton", [](ModifyDeviceWindow& e) {
                retype(e, "deviceEdit", QStringLiteral("Scanner"));
                retype(e, "portEdit", QStringLiteral("9112"));
                click(e, "modifyButton");
            }));
        });
    };

    drivers["Client Mode window: open"] = {{}, [](MatrixContext& ctx) {
                                               return inWindow<ClientModeWindow>(ctx, {}, clientModeShown);
                                           }};
    drivers["Client Mode window: Apply"].act = [](MatrixContext& ctx) {
        return clientModeWith(ctx, [](ClientModeWindow& w) {
            child<IpAddressEdit>(w, "hostAddressEdit")->setOctets({10, 0, 0, 5});
            retype(w, "intervalEdit", QStringLiteral("5000"));
            child<QCheckBox>(w, "reconnectCheck")->click();
            click(w, "applyButton");
            return std::string();
        });
    };
    drivers["Client Mode window: Delete"].act = [](MatrixContext& ctx) {
        return clientModeWith(ctx, [](ClientModeWindow& w) {
            clickRow(child<QTreeWidget>(w, "serverTable"), 1);
            click(w, "deleteButton");
            return std::string();
        });
    };
    drivers["Add Server window: Add"].act = [](MatrixContext& ctx) {
        return clientModeWith(ctx, [](ClientModeWindow& w) {
            return editorText(inEditor<AddServerWindow>(w, "addButton", [](AddServerWindow& e) {
                click(e, "nameChoice");
                retype(e, "nameEdit", QStringLiteral("Scale"));
                child<IpAddressEdit>(e, "serverAddressEdit")->setOctets({10, 0, 0, 7});
                retype(e, "serverPortEdit", QStringLiteral("9100"));
                click(e, "addButton");
            }));
        });
    };
    drivers["Modify Server window: Modify"].act = [](MatrixContext& ctx) {
        return clientModeWith(ctx, [](ClientModeWindow& w) {
            clickRow(child<QTreeWidget>(w, "serverTable"), 1);
            return editorText(inEditor<ModifyServerWindow>(w, "modifyButton", [](ModifyServerWindow& e) {
                child<IpAddressEdit>(e, "addressEdit")->setOctets({10, 0, 0, 8});
                click(e, "modifyButton");
            }));
        });
    };
    drivers["Client Setting window: open"].act = [](MatrixContext& ctx) {
        return inWindow<ClientSettingWindow>(ctx, {}, hostShown);
    };
    drivers["Client Setting window: OK"].act = [](MatrixContext& ctx) {
        return inWindow<ClientSettingWindow>(
            ctx,
            [](ClientSettingWindow& w) {
                retype(w, "hostPortEdit", QStringLiteral("9300"));
                click(w, "okButton");
            },
            hostShown);
    };

    drivers["Vertex Mode window: open"].act = [](MatrixContext& ctx) {
        return inWindow<VertexModeWindow>(ctx, {}, vertexShown);
    };
    drivers["Vertex Mode window: Apply"].act = [](MatrixContext& ctx) {
        return inWindow<VertexModeWindow>(
            ctx,
            [](VertexModeWindow& w) {
                retype(w, "portEdit", QStringLiteral("9200"));
                retype(w, "maximumEdit", QStringLiteral("5"));
                click(w, "applyButton");
            },
            vertexShown);
    };

    drivers["Serial Port Setup window: open"].act = [](MatrixContext& ctx) {
        const SerialPortWindow window(ctx.session, ctx.prompter);
        return serialShown(window);
    };
    drivers["Serial Port Setup window: OK"].act = [](MatrixContext& ctx) {
        SerialPortWindow window(ctx.session, ctx.prompter);
        const char* const choices[] = {"57600", "7 bit", "Odd", "2 bit", "None"};
        const int result = runOpened(window, [&] {
            for (std::size_t i = 0; i < std::size(kSerialLists); ++i) {
                QComboBox* list = child<QComboBox>(window, kSerialLists[i]);
                list->setCurrentIndex(list->findText(QLatin1String(choices[i])));
            }
            click(window, "okButton");
        });
        return serialShown(window) + ", " + resultText(result);
    };

    drivers["Serial Hub Mode window: open"].act = [](MatrixContext& ctx) {
        const RoutingTableWindow window(ctx.session, ctx.prompter);
        return routesShown(window);
    };
    drivers["Serial Hub Mode window: Clear"].act = [](MatrixContext& ctx) {
        RoutingTableWindow window(ctx.session, ctx.prompter);
        ctx.prompter.yesNoAnswers = {true};
        runOpened(window, [&] { click(window, "clearButton"); });
        return routesShown(window);
    };
    drivers["Serial Hub Mode window: Apply"].act = [](MatrixContext& ctx) {
        RoutingTableWindow window(ctx.session, ctx.prompter);
        const int result = runOpened(window, [&] { click(window, "applyButton"); });
        return routesShown(window) + ", " + resultText(result);
    };
}

} // namespace kvx::test
