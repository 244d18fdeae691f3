#pragma once

#include <QObject>
#include <QString>

// A part of the main window that it keeps to itself (a feature, a container, the look), found as
// the window's child, by type and, where given, by its objectName.
template<typename Part> Part& windowPart(const QObject& window, const QString& name = QString())
{
    // Without the macro every QObject would pass for the part.
    static_assert(QtPrivate::HasQ_OBJECT_Macro<Part>::Value, "a window part is found by its meta-object");
    Part* part = window.findChild<Part*>(name);
    Q_ASSERT_X(part, "windowPart", "the main window has no such part");
    return *part;
}
