#pragma once

class QObject;

// The integer every component carries for the application's own use. The look reads it to
// leave components alone or to paint them differently.
namespace XP {

constexpr int kTagNeverHooked = 999; // never hooked, nor are the controls inside it
constexpr int kTagClassicLook = 1234567890; // hooked, but painted in the classic XP look
// Any negative tag: hooked, but never painted over.

int tagOf(const QObject* component);
void setTag(QObject* component, int tag);

} // namespace XP
