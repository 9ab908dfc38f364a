#include "UnitStartup.h"

namespace velfw {

int TUnitStartup::Run(const std::function<int()>& main) {
    int status = kUnitFailureStatus;
    try {
        for (const TUnit& unit : units_) {
            if (unit.Start) unit.Start();
            ++started_;
        }
        status = main();
    } catch (...) {
        status = kUnitFailureStatus;
        if (report_) report_();
    }
    FinishStarted();
    return status;
}

void TUnitStartup::FinishStarted() {
    while (started_ > 0) {
        const TUnit& unit = units_[--started_];
        if (!unit.Finish) continue;
        try {
            unit.Finish();
        } catch (...) {
            // One unit that cannot finish must not keep the others up.
            if (report_) report_();
        }
    }
}

}  // namespace velfw
