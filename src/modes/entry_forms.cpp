#include "entry_forms.h"

#include "core/server_client_queries.h"

#include <QtGlobal>

namespace kvx {
namespace {

using Choice = AddressOrNameBox::Choice;

constexpr MissingCheck kAddDeviceChecks[] = {
    {DeviceField,
     {QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Fill the Bdaddr completely."),
      QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Fill the Name.")}},
    {PortField, {QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Fill the Port Number.")}},
};

constexpr MissingCheck kModifyDeviceChecks[] = {
    {DeviceField | PortField,
     {QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Fill the Bdaddr and Port Number.")}},
    {DeviceField, {QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Fill the Bdaddr.")}},
    {PortField, {QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Fill the Port Number.")}},
};

// The server's address comes first, before the entry choice is looked at.
constexpr MissingCheck kAddServerChecks[] = {
    {AddressField | PortField,
     {QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Fill the Server IP Address and Server Port Number.")}},
    {AddressField, {QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Fill the Server IP Address.")}},
    {PortField, {QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Fill the Server Port Number.")}},
    {DeviceField,
     {QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Fill the Bdaddr completely."),
      QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Fill the Name.")}},
};

constexpr MissingCheck kModifyServerChecks[] = {
    {DeviceField | AddressField | PortField,
     {QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Fill the Bdaddr and Port Number.")}},
    {DeviceField, {QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Fill the Bdaddr.")}},
    {PortField, {QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Fill the Port Number.")}},
    {AddressField, {QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Fill the IP Address.")}},
};

} // namespace

const EntryForm kAddDeviceForm{
    .context = "kvx::AddDeviceWindow",
    .objectName = "addDeviceWindow",
    .title = QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Add Device"),
    .choice = EntryForm::Choice{QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "BDADDR/Name"),
                                QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "BDADDR"),
                                QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Name"), Choice::None},
    .portName = "portEdit",
    .portLabel = QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "PORT Number"),
    .portLength = 4,
    .actionText = QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "ADD"),
    .actionName = "addButton",
    .missingChecks = kAddDeviceChecks,
    .sameDevice = {QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Same BDADDR is exist. Try again."),
                   QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Same Name is exist. Try again.")},
    .sameEndpoint = {QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Same Port Number is exist. Try again.")},
    .add = &kDeviceAdd,
    .addCommand = deviceAddCommand,
};

// The device has no command for a change: the old entry is released by its port and the new one bound.
const EntryForm kModifyDeviceForm{
    .context = "kvx::ModifyDeviceWindow",
    .objectName = "modifyDeviceWindow",
    .title = QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Modify Device"),
    .deviceLabel = QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "BDADDR/Name"),
    .portName = "portEdit",
    .portLabel = QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "PORT Number"),
    .portLength = 4,
    .actionText = QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Modify"),
    .actionName = "modifyButton",
    .missingChecks = kModifyDeviceChecks,
    .sameDevice = {QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Same BDADDR/Name is exist. Try again.")},
    .sameEndpoint = {QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Same Port Number is exist. Try again.")},
    .remove = &kDeviceModifyRelease,
    .removeCommand = deviceDeleteCommand,
    .add = &kDeviceModifyAdd,
    .addCommand = deviceAddCommand,
};

const EntryTableForm kDeviceTableForm{
    .context = "kvx::ServerModeWindow",
    .title = QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Register Bluetooth Device"),
    .objectName = "deviceTable",
    .columns = {QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "          BDADDR/Name"),
                QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "       Port ")},
    .buttons = {QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Add"),
                QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Delete"),
                QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Modify")},
    .nameWidth = 195,
    .endpointWidth = 107,
    .addForm = &kAddDeviceForm,
    .modifyForm = &kModifyDeviceForm,
    .remove = &kDeviceDelete,
    .removeCommand = deviceDeleteCommand,
};

// Add Server opens on the address choice although neither button shows it.
const EntryForm kAddServerForm{
    .context = "kvx::AddServerWindow",
    .objectName = "addServerWindow",
    .title = QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Add Server"),
    .choice = EntryForm::Choice{QT_TRANSLATE_NOOP("kvx::AddServerWindow", "BDAddr/Name"),
                                QT_TRANSLATE_NOOP("kvx::AddServerWindow", "BDAddr"),
                                QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Name"), Choice::Address},
    .addressName = "serverAddressEdit",
    .addressLabel = QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Server IP Address"),
    .portName = "serverPortEdit",
    .portLabel = QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Server Port Number"),
    .portLength = 5,
    .actionText = QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Add"),
    .actionName = "addButton",
    .missingChecks = kAddServerChecks,
    .sameDevice = {QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Same BDADDR is exist. Try again."),
                   QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Same Name is exist. Try again.")},
    .sameEndpoint = {QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Same Port Number is exist. Try again."),
                     QT_TRANSLATE_NOOP("kvx::AddServerWindow",
                                       "Same Server Port Number is exist. Try again.")},
    .add = &kServerAdd,
    .addCommand = serverAddCommand,
};

// The old entry is deleted by its BDADDR/Name and the new one added. The port may be as long as Add
// Server allows.
const EntryForm kModifyServerForm{
    .context = "kvx::ModifyServerWindow",
    .objectName = "modifyServerWindow",
    .title = QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Modify Server"),
    .deviceLabel = QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "BDADDR/Name"),
    .addressName = "addressEdit",
    .addressLabel = QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "IP Address"),
    .portName = "portEdit",
    .portLabel = QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "PORT Number"),
    .portLength = 5,
    .actionText = QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Modify"),
    .actionName = "modifyButton",
    .missingChecks = kModifyServerChecks,
    .sameDevice = {QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Same BDADDR/Name is exist. Try again.")},
    .sameEndpoint = {QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Same Port Number is exist. Try again.")},
    .remove = &kServerModifyDelete,
    .removeCommand = serverDeleteCommand,
    .add = &kServerModifyAdd,
    .addCommand = serverAddCommand,
};

const EntryTableForm kServerTableForm{
    .context = "kvx::ClientModeWindow",
    .title = QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Server Table"),
    .objectName = "serverTable",
    .columns = {QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "       BDADDR/Name"),
                QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "                IP:Port ")},
    .buttons = {QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Add"),
                QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Delete"),
                QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Modify")},
    .nameWidth = 170,
    .endpointWidth = 183,
    .addForm = &kAddServerForm,
    .modifyForm = &kModifyServerForm,
    .remove = &kServerDelete,
    .removeCommand = serverDeleteCommand,
};

} // namespace kvx
