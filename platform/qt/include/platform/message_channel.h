// Window messages between components: a window handle (32-bit id) names a
// target that lives on the GUI thread. Post queues the message and returns at
// once; Send delivers it synchronously on the GUI thread and returns the
// handler's result, blocking the caller when it runs on another thread.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

using WindowHandle = uint32_t;  // 0 = none
using MessageHandler = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

// Registers the handler of a window; the handler runs on the thread that
// registered it (the GUI thread). Replaces an earlier handler of the handle
// (messages already queued then reach the new handler); an empty handler
// unregisters. Handle 0 cannot be registered.
void RegisterMessageTarget(WindowHandle window, MessageHandler handler);
// Messages still queued for the window are dropped, and a sender waiting for
// it gets 0. Meant to be called on the registering thread: from another one
// it does not wait for a handler call already running.
void UnregisterMessageTarget(WindowHandle window);

// False when no target has that handle.
bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// 0 when no target has that handle, else the handler's result.
intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace platform
