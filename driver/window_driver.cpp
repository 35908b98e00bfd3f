#include "window_driver.h"
#include "res/resource_ids.h"
#include <tlhelp32.h>
#include <winternl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

std::wstring Widen(const std::string& text, UINT codePage)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize((size_t)MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], (int)wide.size()));
    if (!wide.empty())
        wide.pop_back();
    return wide;
}

// This process's environment with TMP and TEMP replaced, as a block for CreateProcessW.
std::vector<wchar_t> EnvironmentWithTemp(const std::string& tempDir)
{
    std::vector<wchar_t> block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1)
        if (_wcsnicmp(entry, L"TMP=", 4) != 0 && _wcsnicmp(entry, L"TEMP=", 5) != 0)
            block.insert(block.end(), entry, entry + wcslen(entry) + 1);
    FreeEnvironmentStringsW(strings);
    const std::wstring temp = Widen(tempDir, CP_ACP);
    for (const std::wstring& entry : {L"TMP=" + temp, L"TEMP=" + temp})
        block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    block.push_back(0);
    return block;
}

} // namespace

namespace {

bool Start(RunningProgram& program, const wchar_t* exe, std::wstring commandLine, const std::string& tempDir)
{
    std::vector<wchar_t> environment = EnvironmentWithTemp(tempDir);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe, &commandLine[0], NULL, NULL, FALSE, CREATE_UNICODE_ENVIRONMENT, environment.data(), NULL,
                        &startup, &info)) {
        fprintf(stderr, "cannot start %ls: error %lu\n", commandLine.c_str(), GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    program.process = info.hProcess;
    program.id = info.dwProcessId;
    return true;
}

} // namespace

bool StartProgram(RunningProgram& program, const std::wstring& exe, const std::string& tempDir)
{
    return Start(program, exe.c_str(), L"\"" + exe + L"\"", tempDir);
}

bool StartCommandLine(RunningProgram& program, const std::string& commandLine, const std::string& tempDir)
{
    return Start(program, nullptr, Widen(commandLine, CP_ACP), tempDir);
}

bool StartProgram(RunningProgram& program, const std::string& exe, const std::string& tempDir)
{
    return StartProgram(program, Widen(exe, CP_ACP), tempDir);
}

std::wstring Utf16(const std::string& utf8)
{
    return Widen(utf8, CP_UTF8);
}

namespace {

struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
    int childId; // a child the window must have; 0 for any window
};

// The text control of every message box, in Windows and in Wine.
enum { MESSAGE_BOX_TEXT_ID = 0xFFFF };

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowQuery& q = *(WindowQuery*)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != q.processId || !IsWindowVisible(window))
        return TRUE;
    char name[256];
    if (q.className && (!GetClassNameA(window, name, sizeof name) || strcmp(name, q.className) != 0))
        return TRUE;
    if (q.caption && WindowText(window) != q.caption)
        return TRUE;
    if (q.childId && !GetDlgItem(window, q.childId))
        return TRUE;
    q.found = window;
    return FALSE;
}

} // namespace

static HWND WaitForMatch(WindowQuery query, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        WindowQuery q = query;
        EnumWindows(MatchWindow, (LPARAM)&q);
        if (q.found)
            return q.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

HWND WaitForWindow(const RunningProgram& program, const char* className, const char* caption, DWORD timeoutMs)
{
    return WaitForMatch(WindowQuery{program.id, className, caption, NULL, 0}, timeoutMs);
}

HWND WaitForMessageBox(const RunningProgram& program, const char* caption, DWORD timeoutMs)
{
    return WaitForMatch(WindowQuery{program.id, "#32770", caption, NULL, MESSAGE_BOX_TEXT_ID}, timeoutMs);
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &length);
    return std::string(text, length < sizeof text ? length : 0);
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? WindowText(control) : std::string();
}

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param)
{
    char name[64];
    if (GetClassNameA(child, name, sizeof name) && _stricmp(name, "Static") == 0) {
        const std::string text = WindowText(child);
        std::string& all = *(std::string*)param;
        if (!text.empty())
            all += all.empty() ? text : "\n" + text;
    }
    return TRUE;
}

} // namespace

std::string MessageBoxText(HWND box)
{
    std::string all;
    EnumChildWindows(box, CollectStaticText, (LPARAM)&all);
    return all;
}

bool IsControlVisible(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control);
}

bool IsControlEnabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

namespace {

struct BoxQuery {
    DWORD processId;
    const std::string* text;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM param)
{
    BoxQuery& q = *(BoxQuery*)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64];
    if (owner == q.processId && IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) &&
        strcmp(name, "#32770") == 0 && MessageBoxText(window) == *q.text) {
        q.found = window;
        return FALSE;
    }
    return TRUE;
}

// Tells a dialog that one of its controls has something to report.
void Notify(HWND dialog, int id, WORD code)
{
    DWORD_PTR result;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(dialog, id), SMTO_ABORTIFHUNG,
                        5000, &result);
}

} // namespace

bool AnswerMessageBox(const RunningProgram& program, const std::string& text, int button, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        BoxQuery q = {program.id, &text, NULL};
        EnumWindows(MatchMessageBox, (LPARAM)&q);
        if (q.found)
            return PressButton(q.found, button);
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool TypeText(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    if (!edit)
        return false;
    DWORD_PTR result;
    SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutA(edit, EM_REPLACESEL, TRUE, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 5000, &result);
    return true;
}

bool SelectListItem(HWND dialog, int id, const std::string& text)
{
    HWND list = GetDlgItem(dialog, id);
    DWORD_PTR index = (DWORD_PTR)LB_ERR;
    if (!list || !SendMessageTimeoutA(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG,
                                      5000, &index) ||
        index == (DWORD_PTR)LB_ERR)
        return false;
    Notify(dialog, id, LBN_SELCHANGE);
    return true;
}

bool DoubleClickListItem(HWND dialog, int id, const std::string& text)
{
    if (!SelectListItem(dialog, id, text))
        return false;
    Notify(dialog, id, LBN_DBLCLK);
    return true;
}

RECT ClientOnScreen(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    MapWindowPoints(window, NULL, (POINT*)&r, 2);
    return r;
}

bool PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return false;
    DWORD_PTR result;
    // The click may end the program; the time-out keeps a vanished window from blocking.
    SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return true;
}

bool PressButtonLater(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

bool PressEnter(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info))
        return false;
    HWND focus = info.hwndFocus ? info.hwndFocus : dialog;
    return PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1) && PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
}

bool IsButtonChecked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

std::vector<std::string> ListItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(dialog, id);
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return items;
    // Wine carries the text of another process's list only in UTF-16.
    for (DWORD_PTR i = 0; i < count && i < 1000; i++) {
        wchar_t text[1024] = L"";
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &length);
        char ansi[3 * 1024] = "";
        WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, NULL, NULL);
        items.push_back(ansi);
    }
    return items;
}

namespace {

// The command line another process was started with, read from its
// process parameters.
std::string CommandLineOf(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, NULL) != 0)
        return std::string();
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, NULL) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, NULL))
        return std::string();
    std::wstring wide(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0], parameters.CommandLine.Length, NULL))
        return std::string();
    std::string text(wide.size() * 3 + 1, '\0');
    text.resize((size_t)WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), &text[0], (int)text.size(),
                                            NULL, NULL));
    return text;
}

// Calls visit with each process of the program and its command line.
template <typename Visit> void ForEachProcessOf(const char* programName, Visit visit)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, programName) != 0)
            continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE,
                                     entry.th32ProcessID);
        if (!process)
            continue;
        visit(process, CommandLineOf(process), entry.th32ProcessID);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

} // namespace

std::vector<std::string> CommandLinesOf(const char* programName, const std::string& containing)
{
    std::vector<std::string> lines;
    ForEachProcessOf(programName, [&](HANDLE, const std::string& line, DWORD) {
        if (line.find(containing) != std::string::npos)
            lines.push_back(line);
    });
    return lines;
}

std::string ShellFolder(const char* name)
{
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                 RRF_RT_REG_SZ, NULL, path, &size);
    return std::string(path) + "\\";
}

std::string RegistryText(HKEY root, const std::string& key, const char* name)
{
    char text[1024] = "";
    DWORD size = sizeof text;
    RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, NULL, text, &size);
    return text;
}

std::string UninstallString(const std::string& product)
{
    return RegistryText(HKEY_LOCAL_MACHINE,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product + " QX001",
                        "UninstallString");
}

void RemoveUninstallEntries(const std::string& product)
{
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_ALL_ACCESS,
                      &uninstall) != ERROR_SUCCESS)
        return;
    std::vector<std::string> ours;
    char name[512];
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, name, sizeof name) == ERROR_SUCCESS; i++)
        if (std::string(name).compare(0, product.size() + 3, product + " QX") == 0)
            ours.push_back(name);
    for (const std::string& key : ours)
        RegDeleteKeyA(uninstall, key.c_str());
    RegCloseKey(uninstall);
}

HWND StartTypicalAndInstall(RunningProgram& program, const std::string& exe, const std::string& tempDir,
                            bool destinationExists)
{
    if (!StartProgram(program, exe, tempDir))
        return NULL;
    HWND question = WaitForWindow(program, "#32770", "Demo Setup");
    HWND wizard = question && PressButton(question, IDYES) ? WaitForWindow(program, "#32770", "Slot 4") : NULL;
    for (int i = 0; wizard && i < 2; i++)
        PressButton(wizard, IDC_NEXT);
    if (!destinationExists)
        PressButton(wizard, IDC_NEXT);
    else if (!PressButtonLater(wizard, IDC_NEXT) || !AnswerMessageBox(program, "Slot 39", IDYES))
        return NULL;
    for (int i = 0; i < 50 && WindowText(wizard) != "Slot 50"; i++) {
        if (WindowText(wizard) == "Slot 51")
            PressButton(wizard, IDC_NEXT); // the group step, with the package's group
        Sleep(100);
    }
    if (!wizard || WindowText(wizard) != "Slot 50" || !PressButtonLater(wizard, IDC_NEXT))
        return NULL;
    return wizard;
}

bool StartAndAgree(RunningProgram& program, const char* package, const std::string& tempDir)
{
    const char* folder = getenv("QI_E2E_PACKAGES");
    if (!folder) {
        fprintf(stderr, "QI_E2E_PACKAGES names the folder of the test packages\n");
        return false;
    }
    if (!StartProgram(program, std::string(folder) + "/" + package + ".exe", tempDir))
        return false;
    HWND question = WaitForWindow(program, "#32770", "Setup");
    return question && PressButton(question, IDYES);
}

bool FindProgram(RunningProgram& program, const char* programName, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        DWORD id = 0;
        ForEachProcessOf(programName, [&](HANDLE, const std::string&, DWORD found) { id = found; });
        HANDLE process = id ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id) : NULL;
        if (process) {
            program.process = process;
            program.id = id;
            return true;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

void EndProcessesOf(const char* programName, const std::string& containing)
{
    ForEachProcessOf(programName, [&](HANDLE process, const std::string& line, DWORD) {
        if (line.find(containing) != std::string::npos) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
        }
    });
}

long WaitForExit(RunningProgram& program, DWORD timeoutMs)
{
    long code = -1;
    if (WaitForSingleObject(program.process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(program.process, &exitCode);
        code = (long)exitCode;
    } else {
        TerminateProcess(program.process, 99);
        WaitForSingleObject(program.process, 5000);
    }
    CloseHandle(program.process);
    program.process = NULL;
    return code;
}

RgbPicture CaptureScreen()
{
    RgbPicture picture;
    picture.width = GetSystemMetrics(SM_CXSCREEN);
    picture.height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const uint8_t* bgra = (const uint8_t*)bits;
    picture.rgb.resize((size_t)picture.width * picture.height * 3);
    for (size_t i = 0; i < (size_t)picture.width * picture.height; i++) {
        picture.rgb[i * 3] = bgra[i * 4 + 2];
        picture.rgb[i * 3 + 1] = bgra[i * 4 + 1];
        picture.rgb[i * 3 + 2] = bgra[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return picture;
}

Rgb PixelAt(const RgbPicture& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
        return Rgb{0, 0, 0};
    const uint8_t* p = picture.At(x, y);
    return Rgb{p[0], p[1], p[2]};
}

bool SaveScreenshot(const std::string& name)
{
    const char* folder = getenv("QI_SCREENSHOTS");
    if (!folder)
        return false;
    CreateDirectoryA(folder, NULL);
    return WritePng(std::string(folder) + "/" + name + ".png", CaptureScreen());
}

Rgb WizardPictureSample(HWND wizard)
{
    RECT icon;
    GetWindowRect(GetDlgItem(wizard, IDC_LICENSE_ICON), &icon);
    return PixelAt(CaptureScreen(), (icon.left + icon.right) / 2, icon.bottom + 3 * (icon.bottom - icon.top));
}

void WriteDated(const std::string& path, const std::string& text, WORD year)
{
    for (size_t cut = path.find('\\', 3); cut != std::string::npos; cut = path.find('\\', cut + 1))
        CreateDirectoryA(path.substr(0, cut).c_str(), NULL);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(f, text.data(), (DWORD)text.size(), &written, NULL);
    SYSTEMTIME s = {year, 6, 0, 15, 12, 0, 0, 0};
    FILETIME t;
    SystemTimeToFileTime(&s, &t);
    SetFileTime(f, &t, NULL, &t);
    CloseHandle(f);
}
