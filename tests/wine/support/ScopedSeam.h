// Replaces a unit's replaceable function (or any variable a test must
// control) for one scope and puts back whatever was there before, so a test
// never has to know the shipped default.
#pragma once

#include <utility>

namespace testing_support {

template <typename T>
class ScopedSeam {
public:
    // Only saves: for a value the test sets up in steps of its own.
    explicit ScopedSeam(T& seam) : seam_(seam), saved_(seam) {}
    template <typename V>
    ScopedSeam(T& seam, V&& value) : seam_(seam), saved_(seam) {
        seam_ = std::forward<V>(value);
    }
    ~ScopedSeam() { seam_ = std::move(saved_); }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

    // What the seam held before, e.g. to pass calls on to the real one.
    const T& Saved() const { return saved_; }

private:
    T& seam_;
    T saved_;
};

template <typename T, typename V>
ScopedSeam(T&, V&&) -> ScopedSeam<T>;

}  // namespace testing_support
