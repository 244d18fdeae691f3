#pragma once

namespace XP {

// The hook record's flags as a painter reads them, buttons and other controls alike.
struct XPControlState
{
    bool hot = false;
    bool focused = false;
    bool mouseDown = false;
    bool spaceDown = false;
    bool enabled = true;
};

} // namespace XP
