#include "program_checks.h"
#include "package/byte_cursor.h"
#include "package/setup_marker.h"
#include "package/trailer.h"
#include <algorithm>
#include <stdio.h>

std::string WindowsProgramRefusal(const std::vector<uint8_t>& b)
{
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z')
        return "is not a Windows program: it does not begin with an MZ header";
    const uint32_t pe = LoadU32(&b[60]);
    if (pe > b.size() - 24 || LoadU32(&b[pe]) != 0x4550)
        return "is not a Windows program: its MZ header names no PE header inside the file";
    const uint16_t machine = LoadU16(&b[pe + 4]);
    if (machine == 0x14C || machine == 0x8664)
        return "";
    char text[96];
    snprintf(text, sizeof text, "is a Windows program for another processor (machine 0x%04X)", machine);
    return text;
}

std::string SetupProgramRefusal(const std::vector<uint8_t>& b)
{
    const std::string refusal = WindowsProgramRefusal(b);
    if (!refusal.empty())
        return refusal;
    static const char marker[] = SETUP_PROGRAM_MARKER;
    if (std::search(b.begin(), b.end(), marker, marker + sizeof marker - 1) == b.end())
        return "is a Windows program, but not QInstall's setup program (qsetup.exe)";
    const uint32_t end = b.size() > 0xFFFFFFFFu ? 0 : PackageEnd(b.data(), (uint32_t)b.size());
    if (end >= TRAILER_SIZE && PayloadFitsFile(ParseTrailer(&b[end - TRAILER_SIZE]), end))
        return "carries a package already: give the setup program itself, not a setup built with it";
    return "";
}
