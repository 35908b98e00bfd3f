// The product in Windows' list of installed programs: a numbered key of its
// own below Uninstall in HKEY_LOCAL_MACHINE, whose removal string starts the
// uninstaller with the install log. Worker thread only.
#pragma once

// 1 on success; the key is logged as soon as it exists.
int RegisterUninstaller();
