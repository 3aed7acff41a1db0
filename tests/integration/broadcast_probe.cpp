// Presses "Search Lumeno-KVX" in the real search and connect window, aimed at the real broadcast
// address, prints the rows it lists and checks that each expected device is listed exactly once. Only
// ever run inside a network namespace made for it.
#include "core/device_link.h"
#include "core/prompter.h"
#include "recording_prompter.h"
#include "ui/console_pane.h"
#include "ui/search_connect_window.h"

#include <QApplication>
#include <QMap>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: broadcast_probe EXPECTED_IP...\n");
        return 2;
    }
    QMap<QString, int> rows;
    for (int i = 1; i < argc; ++i)
        rows[QString::fromLocal8Bit(argv[i])] = 0;
    kvx::test::RecordingPrompter prompter;
    kvx::ConsolePane console;
    kvx::DeviceLink link;
    kvx::SearchConnectWindow window(link, console, prompter,
                                    {[] { return std::nullopt; }, [] {},
                                     [] {
                                     }});
    QTimer::singleShot(0, &window, [&] {
        window.findChild<QPushButton*>(QStringLiteral("searchButton"))->click();
        const QTreeWidget* list = window.findChild<QTreeWidget*>(QStringLiteral("deviceList"));
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            std::printf("row: %s %s %s\n", qPrintable(item->text(0)), qPrintable(item->text(1)),
                        qPrintable(item->text(2)));
            ++rows[item->text(1)];
        }
        window.reject();
    });
    window.run();
    for (const QString& message : prompter.messages)
        std::printf("message: %s\n", qPrintable(message));
    const bool eachOnce = std::all_of(rows.cbegin(), rows.cend(), [](int count) { return count == 1; }) &&
                          rows.size() == argc - 1;
    std::printf("%s\n",
                eachOnce ? "found each device once by broadcast" : "the devices were not found once each");
    return eachOnce ? 0 : 1;
}
