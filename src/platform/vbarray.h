#pragma once
// A fixed array with the index range the game names (1 to 3, 0 to 5, 1 to 40),
// read and written as a(i). An index outside the range throws, so that a bad
// value (from the network, from a stored setting) never reaches memory.
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace vb {

template <class T, int Lo, int Hi>
class Array {
    static_assert(Lo <= Hi);

public:
    static constexpr int LBound = Lo;
    static constexpr int UBound = Hi;

    static constexpr bool InRange(int i) { return i >= Lo && i <= Hi; }

    T& operator()(int i) { return items_[slot(i)]; }
    const T& operator()(int i) const { return items_[slot(i)]; }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    static std::size_t slot(int i)
    {
        if (!InRange(i))
            throw std::out_of_range("index " + std::to_string(i) + " outside " + std::to_string(Lo)
                                    + " to " + std::to_string(Hi));
        return static_cast<std::size_t>(i - Lo);
    }

    std::array<T, Hi - Lo + 1> items_{};
};

} // namespace vb
