#pragma once

#include "core/device_text.h"
#include "modes/address_or_name_box.h"

#include <QDialog>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;

namespace kvx {

class DeviceSession;
class IpAddressEdit;
class Prompter;
struct QueryStep;

// What the table editors read from a row: the BDADDR/Name and the port or IP:Port beside it, each as
// shown and as it goes to the device (the bytes the device listed, until the operator changes them).
struct EntryRow {
    DeviceText bdaddrOrName;
    DeviceText endpoint;
};
using EntryRows = std::vector<EntryRow>;

// A text of an editor, and the one it shows instead where the device is given by name.
struct EntryText {
    const char* text;
    const char* byName = nullptr;
};

// The fields of an editor that can be left empty.
enum EntryField : unsigned { DeviceField = 1, AddressField = 2, PortField = 4 };

// `text` is shown when every field of `missing` is empty.
struct MissingCheck {
    unsigned missing;
    EntryText text;
};

// A command about one table entry; some use only one of the two values.
using EntryCommand = std::string (*)(std::string_view bdaddrOrName, std::string_view endpoint);

// How one table editor looks, checks and sends. The Add and Modify windows of the device and of the
// server table differ only in this.
struct EntryForm {
    // The device chosen by address or by name; the Modify windows have a plain edit instead.
    struct Choice {
        const char* title;
        const char* addressCaption;
        const char* nameCaption;
        AddressOrNameBox::Choice initial;
    };

    const char* context; // the translation context of every text below
    const char* objectName;
    const char* title;
    std::optional<Choice> choice = std::nullopt;
    const char* deviceLabel = nullptr; // of the plain edit
    // The server's IP address; without it the entry's endpoint is the port alone.
    const char* addressName = nullptr;
    const char* addressLabel = nullptr;
    const char* portName;
    const char* portLabel;
    int portLength;
    const char* actionText;
    const char* actionName;
    // In the order they are made; the first whose fields are all empty shows its text.
    std::span<const MissingCheck> missingChecks;
    // Another row holds the same BDADDR/Name, or the same endpoint.
    EntryText sameDevice;
    EntryText sameEndpoint;
    // Modify: the old entry goes first (replaceEntry()); nullptr for Add.
    const QueryStep* remove = nullptr;
    EntryCommand removeCommand = nullptr;
    const QueryStep* add;
    EntryCommand addCommand;
};

// An Add or Modify window of a table editor. It checks the entry against the table's rows and closes
// with OK only once the device took it. A Modify window starts from its row; since the device has no
// command for a change, it deletes the old entry and adds the new one.
class EntryWindow : public QDialog {
    Q_OBJECT
public:
    // `modifiedRow`, for a Modify form, must be a row of `rows`; its values are the old entry and the
    // starting values.
    EntryWindow(DeviceSession& session, Prompter& prompter, const EntryForm& form, EntryRows rows,
                std::optional<int> modifiedRow = std::nullopt, QWidget* parent = nullptr);

    // The entry after OK: the address or the name, as chosen, and the port or "IP:Port".
    EntryRow entry() const;

private:
    QString text(const char* source) const;
    QString text(const EntryText& choices) const;
    bool byName() const;
    bool missing(unsigned fields) const;
    // The message for the first thing wrong with the entry; empty when it may be sent.
    QString problem() const;
    void send();

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryForm& m_form;
    const EntryRows m_rows;
    const std::optional<int> m_modifiedRow;
    AddressOrNameBox* m_choice = nullptr;
    QLineEdit* m_device = nullptr;
    IpAddressEdit* m_address = nullptr;
    QLineEdit* m_port = nullptr;
    // The row under modification as the fields first show it, its address written out again from its
    // octets: what the old entry is deleted and put back by.
    EntryRow m_old;
};

} // namespace kvx
