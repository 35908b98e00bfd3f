// What qpack asks of the two programs it packs: the setup program it appends
// a package to, and the uninstaller it carries.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

// Why bytes are not a Windows program (an MZ header naming a PE header inside
// the file, for x86 or x86-64), or "" when they are one.
std::string WindowsProgramRefusal(const std::vector<uint8_t>& bytes);

// Why bytes are no setup program to append a package to: not a Windows
// program, not QInstall's setup program, or one that carries a package
// already; "" when they are one.
std::string SetupProgramRefusal(const std::vector<uint8_t>& bytes);
