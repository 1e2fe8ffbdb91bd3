// The user-management window: the accounts of the user table with their
// passwords and rights, added, changed and deleted.
#pragma once

#include "runtime_window.h"

namespace keeper {

// Loads the window modally over the owner; returns when it is gone.
void ShowUserManagementWindow(rt::RuntimeWindow& owner);

}  // namespace keeper
