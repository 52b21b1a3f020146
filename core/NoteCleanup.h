#pragma once
// The note clean-up: rewrites the current notes file so that only the notes of the files that
// are there, with a note that is not blank, remain, in list order.

#include "core/Dialogs.h"
#include "core/Workspace.h"

namespace core {

// t403Click: does nothing while a root (or no node) of the active tree is selected.
void t403Click(Workspace& workspace, Dialogs& dialogs);

} // namespace core
