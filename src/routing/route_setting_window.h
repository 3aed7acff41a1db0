#pragma once

#include "core/route_groups.h"

#include <QDialog>
#include <array>

class QCheckBox;

namespace kvx {

class DeviceSession;
class MaskedEdit;
class Prompter;

// "Route Setting": one From address and up to 14 To addresses, each of which may be two-way. It only
// collects and checks input; the routing table decides what to do with it. Made for one opening.
class RouteSettingWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kToCount = 14;

    // Only the first kToCount To addresses of `group` are shown.
    RouteSettingWindow(DeviceSession& session, Prompter& prompter, const RouteGroup& group,
                       QWidget* parent = nullptr);

    // What OK took: the From text and the To fields not left empty, in field order, as typed.
    const RouteGroup& route() const { return m_route; }

private:
    void pickInto(MaskedEdit* field);
    void ok();

    DeviceSession& m_session;
    Prompter& m_prompter;
    MaskedEdit* m_from;
    std::array<MaskedEdit*, kToCount> m_to{};
    std::array<QCheckBox*, kToCount> m_twoWay{};
    RouteGroup m_route;
};

} // namespace kvx
