// The user-interface thread's message loop and its pre-translation chain. Every dialog of
// the framework registers itself while its window exists, so keyboard navigation
// (IsDialogMessage) and a dialog's own look at a message happen before it is dispatched.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

class CDialog;

namespace loop {

// Dialogs join the chain when their window is created and leave it when it is destroyed.
void Register(CDialog& dialog);
void Unregister(CDialog& dialog);

// Offers `msg` to the dialog that holds its target window (the most recently created one
// first); true when that dialog handled it and it must not be dispatched.
bool PreTranslate(MSG& msg);

// Pumps messages through the chain while `running` holds. A WM_QUIT ends the loop, is
// posted again for an enclosing loop, and is reported by the result (false).
bool Run(const std::function<bool()>& running);

// Waits until every handle is signalled or `timeoutMs` has passed, dispatching this thread's
// messages meanwhile, so that a worker that sends a message to one of its windows and waits
// for the answer is served. A WM_QUIT seen meanwhile is posted again afterwards for the loop
// that runs after this one. True when all handles were signalled in time.
bool WaitDispatching(std::vector<ScopedHandle> handles, DWORD timeoutMs);

}  // namespace loop

}  // namespace tarnock::ui
