// Ending the user's session at the end of a setup or an uninstall.
#pragma once
#include <windows.h>

// Restarts Windows or logs the user off (how: EWX_REBOOT or EWX_LOGOFF).
void EndSession(UINT how);
