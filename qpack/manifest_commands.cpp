// The [install] and [uninstall] commands, and the install log's header
// that the uninstall commands' texts go into.
#include "manifest_sections.h"
#include <algorithm>
#include <string.h>

namespace manifest_reading {

namespace {

// A program of a command: a folder code and the path relative to it (with a
// leading backslash), or folder 3 and the path as it stands.
void ReadProgram(Reader& r, const toml::table& t, const std::string& path, CommandData& c)
{
    c.folder = (int16_t)GetChoice(r, t, path, "folder", {"destination", "system", "windows", "none"}, 0);
    std::string program;
    if (!Get(r, t, path, "program", program)) {
        Fail(r, &t, path + ".program", "is missing");
        return;
    }
    if (c.folder == 3) {
        ToCodePage(r, t.get("program"), path + ".program", program, c.path);
        if (c.path.size() > PATH_LIMIT)
            Fail(r, t.get("program"), path + ".program", "is longer than 259 bytes");
    } else {
        c.path = RootedName(r, t.get("program"), path + ".program", program, FolderLength(r, c.folder));
    }
    std::string arguments;
    Get(r, t, path, "arguments", arguments);
    ToCodePage(r, t.get("arguments"), path + ".arguments", arguments, c.arguments);
    if (c.arguments.size() > COUNT_LIMIT - 1)
        Fail(r, t.get("arguments"), path + ".arguments", "is longer than 32766 bytes");
}

void ReadMessage(Reader& r, const toml::table& t, const std::string& path, CommandData& c)
{
    std::string message;
    if (!Get(r, t, path, "message", message))
        return;
    c.flags |= COMMAND_HAS_MESSAGE;
    ToCodePage(r, t.get("message"), path + ".message", message, c.message);
    if (c.message.size() > COUNT_LIMIT - 1)
        Fail(r, t.get("message"), path + ".message", "is longer than 32766 bytes");
}

void ReadInstallCommand(Reader& r, const toml::table& t, const std::string& path, bool second, CommandData& c)
{
    if (second)
        CheckKeys(r, t, path, {"folder", "program", "arguments", "exit_code", "abort_on_failure", "message", "no_wait"});
    else
        CheckKeys(r, t, path, {"folder", "program", "arguments", "exit_code", "abort_on_failure", "message"});
    const size_t mistakes = r.errors.size();
    ReadProgram(r, t, path, c);
    int64_t exitCode = 0;
    GetInt(r, t, path, "exit_code", 0, 0xFFFFFFFFll, exitCode);
    c.expectedExitCode = (uint32_t)exitCode;
    bool abort = false, noWait = false;
    Get(r, t, path, "abort_on_failure", abort);
    Get(r, t, path, "no_wait", noWait);
    c.flags = (uint8_t)((abort ? COMMAND_ABORT_ON_FAILURE : 0) | (noWait ? COMMAND_NO_WAIT : 0));
    ReadMessage(r, t, path, c);
    c.present = Unrefused(r, mistakes);
}

void ReadUninstallCommand(Reader& r, const toml::table& t, const std::string& path, bool second, CommandData& c)
{
    if (second)
        CheckKeys(r, t, path, {"folder", "program", "arguments", "flags"});
    else
        CheckKeys(r, t, path, {"folder", "program", "arguments", "flags", "message"});
    const size_t mistakes = r.errors.size();
    ReadProgram(r, t, path, c);
    int64_t flags = 0;
    GetInt(r, t, path, "flags", 0, 255, flags);
    c.flags = (uint8_t)(flags & ~COMMAND_HAS_MESSAGE);
    if (!second)
        ReadMessage(r, t, path, c);
    c.present = Unrefused(r, mistakes);
}

} // namespace

void ReadCommands(Reader& r, const toml::table& root, PackageInputs& in)
{
    const char* groups[2] = {"uninstall", "install"};
    const char* orders[2] = {"first", "second"};
    for (int g = 0; g < 2; g++) {
        const toml::table* t = GetTable(r, root, "", groups[g]);
        if (!t)
            continue;
        CheckKeys(r, *t, groups[g], {"first", "second"});
        for (int o = 0; o < 2; o++) {
            const std::string path = Join(groups[g], orders[o]);
            const toml::table* c = GetTable(r, *t, groups[g], orders[o]);
            if (c && g == 0)
                ReadUninstallCommand(r, *c, path, o == 1, in.commands[o]);
            else if (c)
                ReadInstallCommand(r, *c, path, o == 1, in.commands[2 + o]);
        }
    }
}

namespace {

// The install log records its header's length in a signed 16-bit field: a
// longer header would have the log read from the wrong offset.
const size_t LOG_HEADER_LIMIT = 32767;
// Room kept in the header for what is not text: folder codes, flags, lengths.
const size_t LOG_HEADER_NUMBERS = 64;

// The product title goes into the install log's header as "<title> - Uninstall.".
const char UninstallTitleSuffix[] = " - Uninstall.";
// The uninstaller's other texts there: its question, its reports of a whole
// and of a partial removal, its restart and log-off questions.
const int LogSlots[] = {3, 47, 48, 49, 55, 56};

// A text of the install log's header and where the manifest has it.
struct LogPart {
    size_t bytes; // with its terminator
    int slot;     // -1 for a command's text
    Node at;
    std::string key;
};

void AddCommandParts(const toml::table& root, const PackageInputs& in, std::vector<LogPart>& parts)
{
    const char* orders[2] = {"first", "second"};
    for (int o = 0; o < 2; o++) {
        const CommandData& c = in.commands[o];
        if (!c.present)
            continue;
        const std::string path = Join("uninstall", orders[o]);
        const auto t = root["uninstall"][orders[o]];
        parts.push_back(LogPart{c.path.size() + 1, -1, t["program"].node(), path + ".program"});
        parts.push_back(LogPart{c.arguments.size() + 1, -1, t["arguments"].node(), path + ".arguments"});
        if (c.flags & COMMAND_HAS_MESSAGE)
            parts.push_back(LogPart{c.message.size() + 1, -1, t["message"].node(), path + ".message"});
    }
}

} // namespace

void CheckLogHeader(Reader& r, const toml::table& root, const TextSources& sources, const PackageInputs& in)
{
    std::vector<LogPart> parts;
    for (int slot : LogSlots)
        parts.push_back(LogPart{in.texts[slot].size() + 1 + (slot == 3 ? strlen(UninstallTitleSuffix) : 0), slot,
                                nullptr, ""});
    AddCommandParts(root, in, parts);
    size_t total = LOG_HEADER_NUMBERS;
    for (const LogPart& p : parts)
        total += p.bytes;
    if (total <= LOG_HEADER_LIMIT)
        return;
    const LogPart& largest = *std::max_element(
        parts.begin(), parts.end(), [](const LogPart& a, const LogPart& b) { return a.bytes < b.bytes; });
    const std::string what = "with the uninstaller's other texts would make the install log's header " +
                             std::to_string(total) + " bytes, more than its 32767";
    if (largest.slot < 0)
        Fail(r, largest.at, largest.key, what);
    else if (sources.shipped[largest.slot])
        Fail(r, root["product"]["name"].node(), "product.name", what);
    else
        FailText(r, sources, largest.slot, what);
}

} // namespace manifest_reading
