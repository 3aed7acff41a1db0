#pragma once

#include <QString>

namespace kvx {

// Where a long procedure reports how far it is, and learns whether the operator asked it to stop.
class ProcedureProgress {
public:
    virtual ~ProcedureProgress() = default;
    // Before command `step` (from 1) of `total`, for the setting group `group`; false once the
    // operator has asked to stop, so that the procedure ends before sending it.
    virtual bool advance(int step, int total, const QString& group) = 0;
    // The procedure has ended, however it ended.
    virtual void finish() = 0;
};

// For runs that nobody watches.
class SilentProgress : public ProcedureProgress {
public:
    bool advance(int, int, const QString&) override { return true; }
    void finish() override {}
};

} // namespace kvx
