// Presses "Search Lumeno-KVX" in the real search and connect window, aimed at the real broadcast
// address, and prints the rows it lists. Only ever run inside a network namespace made for it.
#include "ui/console_pane.h"
#include "core/device_link.h"
#include "core/prompter.h"
#include "ui/search_connect_window.h"
#include "recording_prompter.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: broadcast_probe EXPECTED_IP\n");
        return 2;
    }
    const QString expected = QString::fromLocal8Bit(argv[1]);
    kvx::test::RecordingPrompter prompter;
    kvx::ConsolePane console;
    kvx::DeviceLink link;
    kvx::SearchConnectWindow window(link, console, prompter,
                                    {[] { return std::nullopt; }, [] {},
                                     [] {
                                     }});
    bool found = false;
    QTimer::singleShot(0, &window, [&] {
        window.findChild<QPushButton*>(QStringLiteral("searchButton"))->click();
        const QTreeWidget* list = window.findChild<QTreeWidget*>(QStringLiteral("deviceList"));
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            std::printf("row: %s %s:%s %s\n", qPrintable(item->text(0)), qPrintable(item->text(3)),
                        qPrintable(item->text(4)), qPrintable(item->text(5)));
            found = found || item->text(3) == expected;
        }
        window.reject();
    });
    window.run();
    for (const QString& message : prompter.messages)
        std::printf("message: %s\n", qPrintable(message));
    std::printf("%s\n", found ? "found the device by broadcast" : "the device was not found");
    return found ? 0 : 1;
}
