#pragma once

#include "ownerwindow.h"

#include <QPointer>

#include <utility>

// A modal box shown over the window it is for (see ownerWindow). That window may go for good
// while the box is up (a splash ending the start, say): Qt then deletes the box with it, so the
// box lives on the heap and is asked after only while it still exists.
template<typename Box> class OwnedBox
{
public:
    template<typename... Args>
    explicit OwnedBox(Args&&... args)
        : m_box(new Box(std::forward<Args>(args)..., ownerWindow()))
    { }
    ~OwnedBox() { delete m_box.data(); }
    OwnedBox(const OwnedBox&) = delete;
    OwnedBox& operator=(const OwnedBox&) = delete;

    Box* operator->() const { return m_box.data(); }
    Box& operator*() const { return *m_box; }
    // Runs the box; false when it went with its window before anybody answered it.
    bool exec()
    {
        m_box->exec();
        return !m_box.isNull();
    }

private:
    QPointer<Box> m_box;
};
