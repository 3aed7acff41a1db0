#include "controls/ip_address_edit.h"
#include "core/port_queries.h"
#include "core/routing_queries.h"
#include "core/server_client_queries.h"
#include "fault_matrix.h"
#include "mode_window_driver.h"
#include "modes/client_mode_window.h"
#include "modes/client_setting_window.h"
#include "modes/entry_window.h"
#include "modes/serial_port_window.h"
#include "modes/server_mode_window.h"
#include "modes/vertex_mode_window.h"
#include "routing/routing_table_window.h"

#include <QCheckBox>
#include <QComboBox>

namespace kvx::test {
namespace {

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
    return "port " + toStd(textOf(w, "portEdit")) + ", maximum " + toStd(textOf(w, "maximumEdit"));
}

const char* const kSerialLists[] = {"baudCombo", "dataBitsCombo", "parityCombo", "stopBitsCombo",
                                    "flowCombo"};

std::string serialShown(const SerialPortWindow& w) {
    std::string text;
    for (const char* name : kSerialLists)
        text += (text.empty() ? "" : ", ") + toStd(child<QComboBox>(w, name)->currentText());
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
    return {
        // Server Mode window.
        {"Server Mode window: open", kDataPortQuery, true, "port , keep socket off, keep-alive , rows none"},
        // A refused prsv query is reported with the time-out text and the reconnect request.
        {"Server Mode window: open", kKeepSocketQuery, true,
         "port 9100, keep socket off, keep-alive , rows none"},
        {"Server Mode window: open", kKeepAliveQuery, false},
        {"Server Mode window: open", kDeviceListQuery, true,
         "port 9100, keep socket off, keep-alive 600, rows none", true},
        // A refused set-port is reported with the time-out text and the reconnect request.
        {"Server Mode window: Apply", kDataPortSet, "Port 9200", true,
         "port 9200, keep socket on, keep-alive 300, "
         "rows 00:1B:DC:0F:B1:01 9101 | Handheld Scanner 9102 | 00:1B:DC:0F:B1:03 9103, left open"},
        {"Server Mode window: Apply", kKeepSocketSet, "prsv on", false},
        {"Server Mode window: Apply", kKeepAliveSet, "kato 300 10 3", true},
        {"Server Mode window: Delete", kDeviceDelete, "Rele 9102", true,
         "port 9100, keep socket off, keep-alive 600, "
         "rows 00:1B:DC:0F:B1:01 9101 | 00:1B:DC:0F:B1:03 9103, left open"},
        {"Add Device window: ADD", kDeviceAdd, "Bind Scale 9104", true,
         "port 9100, keep socket off, keep-alive 600, "
         "rows 00:1B:DC:0F:B1:01 9101 | Handheld Scanner 9102 | 00:1B:DC:0F:B1:03 9103, left open, "
         "editor open"},
        // A failed bind after the release adds the old entry again, once.
        {"Modify Device window: Modify", kDeviceModifyRelease, "Rele 9102", true},
        {"Modify Device window: Modify", kDeviceModifyAdd, "Bind Scanner 9112", false},

        // Client Mode window; the load goes on after a failed "Serv". The device echoes a new interval
        // and a new option: "+OK REPEAT every 5000 ms", "+OK PERSIST off".
        {"Client Mode window: open", kServerListQuery, false, "", true},
        {"Client Mode window: open", kIntervalQuery, true},
        {"Client Mode window: open", kReconnectQuery, true},
        {"Client Mode window: Apply", kHostSet, "Serv 10.0.0.5:9100", true},
        {"Client Mode window: Apply", kIntervalSet, "Rept 5000", true},
        {"Client Mode window: Apply", kReconnectSet, "Psist off", true},
        {"Client Mode window: Delete", kServerDelete, "DelServ Label Printer", true,
         "host 192.168.0.10:9100, interval 3000, re-connect on, rows 00:1B:DC:0F:C1:01 192.168.0.20:9100, "
         "left open"},
        {"Add Server window: Add", kServerAdd, "Serv 10.0.0.7:9100 Scale", true},
        // A failed add after the deletion adds the old entry again, once.
        {"Modify Server window: Modify", kServerModifyDelete, "DelServ Label Printer", true},
        {"Modify Server window: Modify", kServerModifyAdd, "Serv 10.0.0.8:9100 Label Printer", false},
        {"Client Setting window: open", kHostQuery, true, "host :", true},
        {"Client Setting window: OK", kHostSet, "Serv 192.168.0.10:9300", true,
         "host 192.168.0.10:9300, left open"},

        // The device repeats the values it took: "+OK PORT 9200 MAX 5".
        {"Vertex Mode window: open", kVertexQuery, true, "port , maximum "},
        {"Vertex Mode window: Apply", kVertexSet, "Vertex 9200 5", true, "port 9200, maximum 5, left open"},

        // No failure of the serial window posts the reconnect request; OK closes it in every case.
        {"Serial Port Setup window: open", kSerialLineQuery, true, "115200, 8 bit, None, 1 bit, Hardware"},
        {"Serial Port Setup window: OK", kSerialLineSet, "rs232 57600 7O2 none", true,
         "57600, 7 bit, Odd, 2 bit, None, closed with OK"},

        // Routing: an empty reading leaves the list unfilled; no other reply is looked at.
        {"Serial Hub Mode window: open", kRouteQuery, false, "routes none", true},
        {"Serial Hub Mode window: Clear", kRoutePointToPoint, false},
        {"Serial Hub Mode window: Clear", kRouteManual, false},
        {"Serial Hub Mode window: Apply", kRoutePointToPoint, false},
        {"Serial Hub Mode window: Apply", kRouteManual, false},
        {"Serial Hub Mode window: Apply", kRouteAdd, "route add " + A1 + " " + A2 + " " + A3, false},
        {"Serial Hub Mode window: Apply", kRouteAdd, "route add " + A2 + " " + A1, false,
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
            return editorText(inEditor<EntryWindow>(w, "addButton", [](EntryWindow& e) {
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
            return editorText(inEditor<EntryWindow>(w, "modifyButton", [](EntryWindow& e) {
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
            return editorText(inEditor<EntryWindow>(w, "addButton", [](EntryWindow& e) {
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
            return editorText(inEditor<EntryWindow>(w, "modifyButton", [](EntryWindow& e) {
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
