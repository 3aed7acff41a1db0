#include "page_queries.h"

#include "core/vocabulary.h"

#include <QtGlobal>

namespace kvx {
namespace {

using S = QueryStep::Success;
constexpr const char* kModeContext = "kvx::OperationModePage";
constexpr const char* kInformationContext = "kvx::InformationPage";

} // namespace

const QueryStep kModeQuery{
    "Mode\r\n",
    10,
    S::Parsed,
    kModeContext,
    QT_TRANSLATE_NOOP("kvx::OperationModePage",
                      "Get Basic Information is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::OperationModePage", "Get Basic Information is Failed. Retry again."),
};
std::optional<int> queryMode(DeviceSession& session, Prompter& prompter) {
    std::optional<int> mode;
    runQuery(session, prompter, kModeQuery, {}, [&mode](std::string_view reply) {
        mode = modeFromNormalisedReply(normalisedReply(reply));
        return mode.has_value();
    });
    return mode;
}

const QueryStep kModeChange{
    "",
    3,
    S::ContainsOk,
    kModeContext,
    QT_TRANSLATE_NOOP("kvx::OperationModePage", "Timeout."),
    QT_TRANSLATE_NOOP("kvx::OperationModePage", "Failed."),
    false,
};
const QueryStep kRepeaterModeChange{
    "",
    20,
    S::ContainsOk,
    kModeContext,
    QT_TRANSLATE_NOOP("kvx::OperationModePage", "Timeout."),
    QT_TRANSLATE_NOOP("kvx::OperationModePage", "Failed."),
    false,
};

const QueryStep kVersionQuery{
    "Ver\r\n",
    1,
    S::ContainsOk,
    kInformationContext,
    QT_TRANSLATE_NOOP("kvx::InformationPage", "Get Version is timeout. Check Lumeno-KVX and Try again."),
    nullptr,
};
const QueryStep kListCheck{"list\r\n", 10, S::StartsWithOk, kInformationContext, nullptr, nullptr, false};
const QueryStep kReboot{
    "Reboot\r\n",
    0,
    S::NormalisedStartsWithOk,
    kInformationContext,
    QT_TRANSLATE_NOOP("kvx::InformationPage", "Reboot is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::InformationPage", "Reboot is Failed. Try again."),
};

} // namespace kvx
