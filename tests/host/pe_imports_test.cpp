// The setup program must be a GUI executable that imports only DLLs Windows
// always loads from its own system folder, so that a DLL planted beside a
// downloaded setup program is never loaded; and since it runs elevated on
// bytes that are not its own, Windows must be free to place it anywhere,
// with data that cannot run.
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using Image = std::vector<uint8_t>;

uint32_t Read32(const Image& b, size_t at) { return at + 4 <= b.size() ? b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24 : 0; }
uint16_t Read16(const Image& b, size_t at) { return at + 2 <= b.size() ? (uint16_t)(b[at] | b[at + 1] << 8) : 0; }

struct PeFile {
    Image bytes;
    size_t coff = 0;     // offset of the COFF header
    size_t optional = 0; // offset of the optional header
    uint16_t machine = 0;
    uint16_t magic = 0;

    size_t FileOffset(uint32_t rva) const
    {
        const size_t sections = optional + Read16(bytes, coff + 16);
        for (unsigned i = 0; i < Read16(bytes, coff + 2); i++) {
            const size_t s = sections + i * 40;
            const uint32_t va = Read32(bytes, s + 12), size = Read32(bytes, s + 16), raw = Read32(bytes, s + 20);
            if (rva >= va && rva < va + size)
                return raw + (rva - va);
        }
        return 0;
    }
    uint32_t Directory(int index) const { return Read32(bytes, optional + (magic == 0x20B ? 112 : 96) + 8 * index); }
    uint32_t DirectorySize(int index) const { return Directory(index) ? Read32(bytes, optional + (magic == 0x20B ? 116 : 100) + 8 * index) : 0; }
    uint16_t Subsystem() const { return Read16(bytes, optional + 68); }
    uint16_t DllCharacteristics() const { return Read16(bytes, optional + 70); }
    uint16_t Characteristics() const { return Read16(bytes, coff + 18); }
};

PeFile Open(const std::string& path)
{
    PeFile pe;
    std::ifstream in(path, std::ios::binary);
    pe.bytes.assign(std::istreambuf_iterator<char>(in), {});
    const uint32_t header = Read32(pe.bytes, 0x3C);
    if (pe.bytes.size() < 64 || Read32(pe.bytes, header) != 0x00004550)
        return pe;
    pe.coff = header + 4;
    pe.optional = pe.coff + 20;
    pe.machine = Read16(pe.bytes, pe.coff);
    pe.magic = Read16(pe.bytes, pe.optional);
    return pe;
}

std::vector<std::string> ImportedDlls(const PeFile& pe)
{
    std::vector<std::string> names;
    size_t d = pe.FileOffset(pe.Directory(1));
    for (; d && Read32(pe.bytes, d + 12); d += 20) {
        std::string name;
        for (size_t at = pe.FileOffset(Read32(pe.bytes, d + 12)); at && at < pe.bytes.size() && pe.bytes[at]; at++)
            name += (char)tolower(pe.bytes[at]);
        names.push_back(name);
    }
    return names;
}

void ExpectSetupProgram(const std::string& path, uint16_t machine, uint16_t magic)
{
    const PeFile pe = Open(path);
    ASSERT_NE(pe.coff, 0u) << path << " is not a PE file";
    EXPECT_EQ(pe.machine, machine) << path;
    EXPECT_EQ(pe.magic, magic) << path;
    EXPECT_EQ(pe.Subsystem(), 2) << path << " is not a GUI program";
    EXPECT_EQ(pe.Directory(13), 0u) << path << " has delay-loaded imports";
    const uint16_t randomised = 0x40 /* DYNAMIC_BASE */ | 0x100 /* NX_COMPAT */ | (magic == 0x20B ? 0x20 /* HIGH_ENTROPY_VA */ : 0);
    EXPECT_EQ(pe.DllCharacteristics() & randomised, randomised) << path;
    EXPECT_GT(pe.DirectorySize(5), 0u) << path << " has no relocation table";
    EXPECT_EQ(pe.Characteristics() & 0x0001, 0) << path << " says its relocations were stripped";
    if (magic == 0x10B) {
        EXPECT_EQ(pe.Characteristics() & 0x0020, 0x0020) << path << " does not reach the 4 GB a 64-bit Windows gives it";
    }
    const std::set<std::string> known = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                         "shell32.dll",  "ole32.dll",  "comdlg32.dll", "msvcrt.dll"};
    const std::vector<std::string> dlls = ImportedDlls(pe);
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls)
        EXPECT_TRUE(known.count(dll)) << path << " imports " << dll;
}

} // namespace

TEST(SetupProgramImage, Pe32IsAnI386GuiProgramWithKnownDllsOnly)
{
    ExpectSetupProgram(QI_SETUP_PE32, 0x014C, 0x10B);
}

TEST(SetupProgramImage, Pe32PlusTwinIsAnAmd64GuiProgramWithKnownDllsOnly)
{
    ExpectSetupProgram(QI_SETUP_PE64, 0x8664, 0x20B);
}

// The uninstaller is built beside the setup program, by the same rules.
TEST(SetupProgramImage, UninstallersOfBothFlavoursFollowTheSameRules)
{
    const auto beside = [](std::string setup) {
        return setup.replace(setup.find_last_of('/') + 1, std::string::npos, "quninst.exe");
    };
    ExpectSetupProgram(beside(QI_SETUP_PE32), 0x014C, 0x10B);
    ExpectSetupProgram(beside(QI_SETUP_PE64), 0x8664, 0x20B);
}
