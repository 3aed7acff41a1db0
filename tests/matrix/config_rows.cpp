#include "core/config_backup.h"
#include "core/config_queries.h"
#include "core/config_restore.h"
#include "core/device_log_fetch.h"
#include "core/procedure_progress.h"
#include "fault_matrix.h"

#include <QFile>
#include <QTemporaryDir>

namespace kvx::test {
namespace {

std::string contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(no file)");
}

// A refusal is stored like any answer, so only silence ends the backup. The Back up driver writes into
// FOLDER; what was read before the silence is kept beside the file, as a second line says.
CommandRow backupQuery(const char* command, bool list = false) {
    CommandRow row("Back up", kBackupQuery, command, true, "", list);
    row.emptyMessage += "\r\nThe settings read so far are in FOLDER/backup.kcf.partial.";
    return row;
}

// Guarded restore lines: silence ends the restore with the reconnect request, a refusal goes on.
CommandRow restoreLine(const std::string& file, const std::string& command) {
    return {"Restore (" + file + ")", kRestoreSetting, command, true};
}

CommandRow unguardedLine(const std::string& file, const std::string& command) {
    return {"Restore (" + file + ")", kRestoreUnchecked, command, false};
}

// The sections a backup of a Server-mode device writes, with one entry in each list.
const std::string kSettings =
    "[PORT]\r\nPort=9100\r\n[PRSV]\r\nPrsv=off\r\n[KATO]\r\nKato=600 10 3\r\n"
    "[BIND]\r\n0Name=00:1B:DC:0F:B1:09\r\n0Port=9109\r\nSUM=1\r\n"
    "[SERV]\r\n5Name=Till Printer\r\n5Server=10.0.0.2:9100\r\nSUM=1\r\n"
    "[REPT]\r\nRept=3000\r\n[PSIST]\r\nPsist=on\r\n"
    "[VERTEX]\r\nVertexPort=9100 \r\nVertexMax=7\r\n"
    "[STATION]\r\nStation=00:1B:DC:0F:B0:01\r\n"
    "[RS232]\r\nBaudRate=9600\r\nData=8N1\r\nFlow=none\r\n"
    "[BTNAME]\r\nBtname=KVX-Trainer\r\n[MAXDT]\r\nMaxdt=7\r\n[LINKTO]\r\nTimeout=20 sec\r\n"
    "[SCAN]\r\nScan=inquiry page\r\n[SECU]\r\nLevel=low\r\n[PAIR]\r\nPair=on\r\n"
    "[PINQ]\r\nPinq=off\r\nInterval=10\r\nLength=5\r\nIAC=0x9E8B33\r\n"
    "[ROUTE]\r\n0From=00:1B:DC:0F:A1:06\r\n0To=00:1B:DC:0F:A1:07\r\nSUM=1";

const std::pair<const char*, const char*> kModeFiles[] = {
    {"Server Mode file", "[MODE]\r\nMode=Server Mode\r\n"},
    {"Client Mode file", "[MODE]\r\nMode=Client Mode\r\n[SERV]\r\nClient Server=10.1.2.3:4001\r\n"},
    {"Repeater Mode file", "[MODE]\r\nMode=Repeater Mode\r\n"},
    {"RS232 Mode file", "[MODE]\r\nMode=RS232 Mode\r\n"},
    {"Serial Hub Mode file", "[MODE]\r\nMode=Serial Hub Mode\r\n"},
};

const char* resultName(ConfigRestore::Result result) {
    switch (result) {
    case ConfigRestore::Result::Completed:
        return "completed";
    case ConfigRestore::Result::ConnectionActive:
        return "connection active";
    case ConfigRestore::Result::Cancelled:
        return "cancelled";
    case ConfigRestore::Result::TimedOut:
        return "timed out";
    case ConfigRestore::Result::SerialModeRefused:
        return "RS232 refused";
    case ConfigRestore::Result::NotRead:
        return "not read";
    case ConfigRestore::Result::Refused:
        return "refused";
    }
    return "?";
}

Driver restoreOf(const std::string& file) {
    return {{}, [file](MatrixContext& c) {
                QTemporaryDir dir;
                const QString path = dir.filePath(QStringLiteral("restore.kcf"));
                QFile out(path);
                if (!out.open(QIODevice::WriteOnly) || out.write(file.data(), qint64(file.size())) < 0)
                    return std::string("file not written");
                out.close();
                c.prompter.fileAnswers = {path};
                SilentProgress progress;
                return std::string(resultName(ConfigRestore(c.session, c.prompter, progress).run()));
            }};
}

} // namespace

std::vector<CommandRow> configRows() {
    std::vector<CommandRow> rows;
    for (const char* command : {"mode", "port", "prsv", "kato"})
        rows.push_back(backupQuery(command));
    rows.push_back(backupQuery("bind", true));
    rows.push_back(backupQuery("serv", true));
    for (const char* command : {"rept", "psist", "vertex", "station", "rs232", "BTName", "Maxdt", "Linkto",
                                "Scan", "Secu", "Pair", "Pinq"})
        rows.push_back(backupQuery(command));
    rows.push_back(backupQuery("route", true));

    const std::string server = "Server Mode file";
    rows.push_back({"Restore (" + server + ")", kRestoreConnectionCheck, true, "connection active"});
    for (const char* command :
         {"mode Server Mode", "Port 9100", "prsv off", "kato 600 10 3", "bind 00:1B:DC:0F:B1:09 9109",
          "Serv 10.0.0.2:9100 Till Printer", "Rept 3000", "psist on", "vertex 9100 7",
          "station 00:1B:DC:0F:B0:01", "rs232 9600 8N1 none", "btname KVX-Trainer", "maxdt 7",
          "linkto 20 sec", "scan inquiry page", "secu low", "pair on", "pinq off 10 5 0x9E8B33"})
        rows.push_back(restoreLine(server, command));
    rows.push_back(unguardedLine(server, "route multi"));
    rows.push_back(unguardedLine(server, "route manual"));
    // A route line that goes unanswered ends the restore but keeps the connection.
    rows.push_back({"Restore (" + server + ")", kRestoreRoute,
                    "route add 00:1B:DC:0F:A1:06 00:1B:DC:0F:A1:07", true, "timed out"});
    rows.push_back(unguardedLine(server, "mode"));

    const std::string client = "Client Mode file";
    rows.push_back(restoreLine(client, "serv 10.1.2.3:4001"));
    rows.push_back(restoreLine(client, "mode client"));
    rows.push_back(restoreLine(client, "mode Client Mode"));
    const std::string repeater = "Repeater Mode file";
    rows.push_back(restoreLine(repeater, "station 00:1B:DC:0F:B0:01"));
    rows.push_back(restoreLine(repeater, "mode repeater"));
    rows.push_back(restoreLine(repeater, "mode Repeater Mode"));
    rows.push_back({"Restore (RS232 Mode file)", kRestoreSerialMode, true});
    rows.push_back(restoreLine("RS232 Mode file", "mode RS232 Mode"));
    rows.push_back(restoreLine("Serial Hub Mode file", "mode hub"));

    rows.push_back({"Log", kLogQuery, true, "(no file)", true});
    return rows;
}

void addConfigDrivers(DriverMap& drivers) {
    drivers["Back up"] = {{}, [](MatrixContext& c) {
                              QTemporaryDir dir;
                              const QString path = dir.filePath(QStringLiteral("backup.kcf"));
                              c.prompter.fileAnswers = {path};
                              SilentProgress progress;
                              ConfigBackup(c.session, c.prompter, progress).run();
                              c.prompter.messages.replaceInStrings(dir.path(), QStringLiteral("FOLDER"));
                              return contents(path);
                          }};
    for (const auto& [name, mode] : kModeFiles)
        drivers["Restore (" + std::string(name) + ")"] = restoreOf(mode + kSettings);
    drivers["Log"] = {{}, [](MatrixContext& c) {
                          QTemporaryDir dir;
                          DeviceLogFetch fetch(c.session, c.prompter, dir.path());
                          fetch.run();
                          return contents(fetch.logPath());
                      }};
}

} // namespace kvx::test
