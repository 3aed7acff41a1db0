#include "scripted_session.h"

#include <gtest/gtest.h>

namespace kvx::test {

void ScriptedSession::expect(std::string command, int wait, std::string reply) {
    m_steps.push_back({std::move(command), wait, std::move(reply)});
}

void ScriptedSession::expectAfterUnasked(std::string command, int wait, std::string reply) {
    m_steps.push_back({std::move(command), wait, std::move(reply), true});
}

std::string ScriptedSession::transact(std::string_view command, int waitSeconds) {
    sent.emplace_back(command);
    if (m_steps.empty()) {
        ADD_FAILURE() << "unexpected command: " << command;
        return {};
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    if (step.unaskedBefore)
        ++unasked;
    EXPECT_EQ(step.command, command);
    EXPECT_EQ(step.wait, waitSeconds) << "wait of " << command;
    return step.reply;
}

DeviceConnection::Reopen ScriptedSession::reopenConnection(std::chrono::milliseconds) {
    ++reopens;
    if (reopenAnswers.empty())
        return Reopen::Connected;
    const Reopen answer = reopenAnswers.front();
    reopenAnswers.pop_front();
    return answer;
}

bool ScriptedSession::supportsCommand(std::string_view keyword) const {
    return capabilityLineSupports(capabilityLine, keyword);
}

} // namespace kvx::test
