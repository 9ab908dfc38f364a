// A program's units started in the order of one table and finished in
// reverse, explicitly: no unit starts from a static constructor. No Windows here.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <type_traits>

namespace velfw {

// One unit of a program: its name (the table reads as the program's list of
// units), what starts it and what finishes it. Either may be null when the
// unit has nothing to do at that end.
struct TUnit {
    const char* Name;
    void (*Start)();
    void (*Finish)();
};

namespace detail {
template <typename Part>
constexpr size_t kUnitsIn = std::is_array_v<Part> ? std::extent_v<Part> : 1;
constexpr void AppendUnits(TUnit*& out, const TUnit& unit) { *out++ = unit; }
template <size_t N>
constexpr void AppendUnits(TUnit*& out, const TUnit (&units)[N]) {
    for (const TUnit& unit : units) *out++ = unit;
}
}  // namespace detail

// One table from units and runs of units (a library's own table), in the
// order given; usable in a constant, so no table is built at run time.
template <typename... Parts>
constexpr auto UnitTable(const Parts&... parts) {
    std::array<TUnit, (detail::kUnitsIn<Parts> + ...)> table{};
    TUnit* out = table.data();
    (detail::AppendUnits(out, parts), ...);
    return table;
}

// The status a program ends with when a start or its main block failed.
constexpr int kUnitFailureStatus = 1;

class TUnitStartup {
public:
    // Called from inside a catch block with the failure in flight; it must
    // not throw.
    using TReportFunction = void (*)() noexcept;

    TUnitStartup(std::span<const TUnit> units, TReportFunction report) : units_(units), report_(report) {}
    TUnitStartup(const TUnitStartup&) = delete;
    TUnitStartup& operator=(const TUnitStartup&) = delete;

    // Starts the units in table order and, when all have started, runs
    // `main`; then finishes, last first, exactly the units that started. A
    // start that fails ends the starting; it, a failing `main` and a failing
    // finish are reported while the units started before them still run.
    // Returns main's status, or kUnitFailureStatus after a failed start or main.
    int Run(const std::function<int()>& main);

private:
    void FinishStarted();

    std::span<const TUnit> units_;
    TReportFunction report_;
    size_t started_ = 0;
};

}  // namespace velfw
