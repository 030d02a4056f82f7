// Station positions x(i) over a depth measure m(i), i = 1 ... n: the short
// tables near the ends of a waterline from which an end is found where the
// measure passes through zero.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace carinex {

template <int Capacity>
class EndTable {
public:
    void add(double measure, double position) {
        m_[static_cast<std::size_t>(n_)] = measure;
        x_[static_cast<std::size_t>(n_)] = position;
        ++n_;
    }
    int size() const { return n_; }
    double m(int i) const { return m_[static_cast<std::size_t>(i - 1)]; }
    double x(int i) const { return x_[static_cast<std::size_t>(i - 1)]; }
    std::span<const double> measures() const { return {m_.data(), static_cast<std::size_t>(n_)}; }
    std::span<const double> positions() const { return {x_.data(), static_cast<std::size_t>(n_)}; }
    // The straight line through points i and i+1, at measure 0.
    double straight(int i) const { return (x(i + 1) * m(i) - x(i) * m(i + 1)) / (m(i) - m(i + 1)); }

private:
    int n_ = 0;
    std::array<double, Capacity> m_{}, x_{};
};

}  // namespace carinex
