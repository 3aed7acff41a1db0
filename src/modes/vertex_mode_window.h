#pragma once

#include "core/vertex_settings.h"
#include "ui/window_load.h"

#include <QDialog>

class QLineEdit;

namespace kvx {

class DeviceSession;
class Prompter;

// "Vertex Mode": the vertex port and the maximum number of connections. One object serves every opening;
// each opening reads both values again.
class VertexModeWindow : public QDialog {
    Q_OBJECT
public:
    VertexModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the values from the device, then runs the window; a failed read still opens it.
    int exec() override;

private:
    void load();
    void apply();
    void refresh();

    DeviceSession& m_session;
    Prompter& m_prompter;
    // As the last successful read left them; Apply sends nothing while the edits still hold them.
    VertexValues m_loaded;
    ReadMark m_valuesRead;

    QLineEdit* m_port;
    QLineEdit* m_maximum;
};

} // namespace kvx
