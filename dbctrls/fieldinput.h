#pragma once

#include "editinput.h"
#include "fieldlink.h"

#include <QFocusEvent>

// What every data-aware text box does with input, whatever its kind of box: committed and
// dropped text arrives only once the record is being changed, and leaving the box hands the
// text to the field. The box makes its link in its constructor.
template<typename Box> class FieldInput : public Box
{
public:
    using Box::Box;

protected:
    void inputMethodEvent(QInputMethodEvent* event) override
    {
        if (EditInput::admitInputMethod(m_link, event))
            Box::inputMethodEvent(event);
    }

    void dropEvent(QDropEvent* event) override
    {
        if (EditInput::admitDrop(m_link, event))
            Box::dropEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        Box::focusOutEvent(event);
        m_link->focusLeft(event);
    }

    FieldLink* m_link = nullptr;
};
