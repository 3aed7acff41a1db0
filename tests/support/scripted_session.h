#pragma once

#include "core/device_session.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kvx::test {

// A session that expects exact commands with exact waits, in order, and answers each from the script.
// Anything unexpected fails the running test.
class ScriptedSession : public CountedRequests, public DeviceSession {
public:
    struct Step {
        std::string command;
        int wait;
        std::string reply;
        bool unaskedBefore = false;
    };

    void expect(std::string command, int wait, std::string reply);
    // As expect(), and the drain before this command finds a reply that no command asked for.
    void expectAfterUnasked(std::string command, int wait, std::string reply);
    // True when every scripted step was used.
    bool done() const { return m_steps.empty(); }

    std::string transact(std::string_view command, int waitSeconds) override;
    bool inTransaction() const override { return transactionRunning; }
    bool supportsCommand(std::string_view keyword) const override;
    VersionCode versionCode() const override { return m_versionCode; }
    void setVersionCode(VersionCode code) override { m_versionCode = code; }
    const DeviceRecord& deviceRecord() const override { return record; }
    void closeConnection() override { ++connectionsClosed; }
    Reopen reopenConnection(std::chrono::milliseconds) override;
    void runSearchWindow() override {
        CountedRequests::runSearchWindow();
        if (searchWindow)
            searchWindow();
    }
    unsigned unaskedReplies() const override { return unasked; }
    // The look finds nothing unless the test counts one in.
    bool lookForUnasked(std::chrono::milliseconds) override { return false; }
    int& readingDepth() override { return m_readingDepth; }

    DeviceRecord record;
    // What inTransaction() answers, so that tests can stand in for a transaction still under way.
    bool transactionRunning = false;
    std::string capabilityLine;
    std::vector<std::string> sent;
    // Answers of reopenConnection, one per call; Connected once they run out.
    std::deque<Reopen> reopenAnswers;
    int reopens = 0;
    int connectionsClosed = 0;
    unsigned unasked = 0;
    // What the search window does, when the test gives it something to do.
    std::function<void()> searchWindow;

private:
    std::deque<Step> m_steps;
    VersionCode m_versionCode = 0;
    int m_readingDepth = 0;
};

} // namespace kvx::test
