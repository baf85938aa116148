// Key state and the translation of key presses into characters (a US layout).
#pragma once

#include <windows.h>

namespace compat {

// A key event as the window system reports it, before it is queued: keeps the asynchronous
// state and returns the message Windows would queue for it (WM_SYSKEY* while Alt is held,
// and for Alt and F10 themselves).
UINT KeyMessageForEvent(UINT virtualKey, bool down);
// The lParam of a key message: repeat count 1, scan code, previous state and transition bits.
LPARAM KeyMessageLParam(UINT virtualKey, bool down, bool repeat);
// Keeps the thread's key state (GetKeyState) as key messages are removed from the queue.
void NoteRetrievedKey(const MSG &msg);
// The WM_CHAR / WM_SYSCHAR a key press makes, if any.
bool CharacterForKey(const MSG &keyMsg, MSG *charMsg);
SHORT ThreadKeyState(int virtualKey);
SHORT AsyncKeyState(int virtualKey);
void ResetKeyState();

}  // namespace compat
