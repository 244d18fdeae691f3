#pragma once

// Runs the event loop until everything posted so far has been handled, and what that posted in
// turn: once it returns, what an action set going without a delay has happened. A test that
// shows something did not happen waits for this, not for a length of time.
void letPendingEventsRun();
