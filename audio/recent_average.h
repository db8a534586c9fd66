// The mean of the last `length` values pushed, kept without drift.
#pragma once

#include <cstddef>
#include <vector>

namespace audio {

class RecentAverage {
public:
    explicit RecentAverage(size_t length) : values_(length, 0.0) {}

    // Adds a value and gives the mean of those held (the new one included).
    double push(double value) {
        sum_ -= values_[next_];
        values_[next_] = value;
        sum_ += value;
        next_ = (next_ + 1) % values_.size();
        if (held_ < values_.size()) ++held_;
        if (next_ == 0) {
            // Renew the sum once per lap so that rounding cannot build up.
            sum_ = 0;
            for (double v : values_) sum_ += v;
        }
        return sum_ / static_cast<double>(held_);
    }

private:
    std::vector<double> values_;
    size_t next_ = 0;
    size_t held_ = 0;
    double sum_ = 0;
};

}  // namespace audio
