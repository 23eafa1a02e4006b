#pragma once
// A property of a control or form, read and written like a field
// (picJog(1).Left = 3450; lblMens.Caption = "..."), with the control's own
// getter and setter behind it. Assigning one property from another copies the
// value, never the binding.
#include <functional>
#include <utility>

namespace vb {

template <class T>
class Property {
public:
    using Getter = std::function<T()>;
    using Setter = std::function<void(const T&)>;

    Property(Getter get, Setter set) : get_(std::move(get)), set_(std::move(set)) {}
    Property(const Property&) = delete;

    Property& operator=(const Property& other)
    {
        set_(other.get_());
        return *this;
    }
    template <class U>
    Property& operator=(U&& value)
    {
        set_(T(std::forward<U>(value)));
        return *this;
    }

    operator T() const { return get_(); }
    T operator()() const { return get_(); }

    template <class U>
    Property& operator+=(const U& delta)
    {
        set_(get_() + delta);
        return *this;
    }
    template <class U>
    Property& operator-=(const U& delta)
    {
        set_(get_() - delta);
        return *this;
    }

    template <class U>
    bool operator==(const U& other) const
    {
        return get_() == other;
    }

private:
    Getter get_;
    Setter set_;
};

} // namespace vb
