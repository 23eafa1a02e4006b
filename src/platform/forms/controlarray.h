#pragma once
// Like controls that share one name and an index, with the index range the
// game gives them (picJog 1 to 3, lblMenu 0 to 5, picCarta 1 to 40). Their
// events reach one handler with the index of the control that raised them.
#include "platform/forms/control.h"
#include "platform/vbarray.h"

#include <functional>

namespace vb {

template <class T, int Lo, int Hi>
class ControlArray {
public:
    static constexpr int LBound = Lo;
    static constexpr int UBound = Hi;

    explicit ControlArray(QWidget* container)
    {
        for (int i = Lo; i <= Hi; ++i) {
            items_(i) = new T(container);
            wire(*items_(i), i);
        }
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    T& operator()(int index) const { return *items_(index); }

    std::function<void(int Index)> Click;
    std::function<void(int Index, int Button, int Shift, float X, float Y)> MouseDown;
    std::function<void(int Index, int Button, int Shift, float X, float Y)> MouseUp;
    std::function<void(int Index, int Button, int Shift, float X, float Y)> MouseMove;

private:
    void wire(T& item, int index)
    {
        item.Click = [this, index] {
            if (Click)
                Click(index);
        };
        item.MouseDown = [this, index](int b, int s, float x, float y) {
            if (MouseDown)
                MouseDown(index, b, s, x, y);
        };
        item.MouseUp = [this, index](int b, int s, float x, float y) {
            if (MouseUp)
                MouseUp(index, b, s, x, y);
        };
        item.MouseMove = [this, index](int b, int s, float x, float y) {
            if (MouseMove)
                MouseMove(index, b, s, x, y);
        };
    }

    Array<T*, Lo, Hi> items_;
};

} // namespace vb
