#pragma once
// Commands that would change the library refuse on a read-only medium, all with one message.

#include "core/Dialogs.h"
#include "core/Session.h"

namespace core {

// True (after the refusal) when the library cannot be written.
bool refuseWhenReadOnly(const Session& session, Dialogs& dialogs);

} // namespace core
