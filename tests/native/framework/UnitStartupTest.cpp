#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "UnitStartup.h"

using namespace velfw;

namespace {

std::vector<std::string> g_log;
std::string g_failing;  // the step that throws, such as "start B"

void Step(const std::string& step) {
    g_log.push_back(step);
    if (step == g_failing) throw std::runtime_error(step);
}

template <char Name>
void StartUnit() {
    Step(std::string("start ") + Name);
}

template <char Name>
void FinishUnit() {
    Step(std::string("finish ") + Name);
}

void Report() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        g_log.push_back(std::string("report ") + e.what());
    }
}

// A run of units, as a library keeps its own, joined into a program's table.
constexpr TUnit kMiddle[] = {
    {"B", StartUnit<'B'>, FinishUnit<'B'>},
    {"C", nullptr, FinishUnit<'C'>},  // nothing to start
};
constexpr auto kUnits = UnitTable(TUnit{"A", StartUnit<'A'>, FinishUnit<'A'>}, kMiddle,
                                  TUnit{"D", StartUnit<'D'>, nullptr});  // nothing to finish
static_assert(kUnits.size() == 4);

using Log = std::vector<std::string>;

}  // namespace

TEST(UnitStartup, FinishesInReverseExactlyTheUnitsThatStarted) {
    const struct {
        const char* failing;
        int status;
        Log log;
    } cases[] = {
        {"", 7, {"start A", "start B", "start D", "main", "finish C", "finish B", "finish A"}},
        // A start that fails: the units after it never start, and it is not finished.
        {"start B", kUnitFailureStatus, {"start A", "start B", "report start B", "finish A"}},
        {"start A", kUnitFailureStatus, {"start A", "report start A"}},
        {"start D",
         kUnitFailureStatus,
         {"start A", "start B", "start D", "report start D", "finish C", "finish B", "finish A"}},
        // Whatever main throws, everything that started is finished.
        {"main",
         kUnitFailureStatus,
         {"start A", "start B", "start D", "main", "report main", "finish C", "finish B", "finish A"}},
        // A finish that fails does not keep the units before it up.
        {"finish B", 7, {"start A", "start B", "start D", "main", "finish C", "finish B", "report finish B", "finish A"}},
    };
    for (const auto& c : cases) {
        g_log.clear();
        g_failing = c.failing;
        TUnitStartup startup(kUnits, Report);
        const int status = startup.Run([] {
            Step("main");
            return 7;
        });
        EXPECT_EQ(status, c.status) << c.failing;
        EXPECT_EQ(g_log, c.log) << c.failing;
    }
    g_failing.clear();
}

TEST(UnitStartup, AFailureThatIsNoExceptionIsReportedAsWell) {
    g_log.clear();
    g_failing.clear();
    TUnitStartup startup(kUnits, []() noexcept { g_log.push_back("report"); });
    EXPECT_EQ(startup.Run([]() -> int { throw 42; }), kUnitFailureStatus);
    EXPECT_EQ(g_log, (Log{"start A", "start B", "start D", "report", "finish C", "finish B", "finish A"}));
}
