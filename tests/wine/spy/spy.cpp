// The spy: a Windows console program that runs beside the installer in the
// same Wine prefix and looks at and works its windows for the GUI tests.
// It reads one command per line on its standard input and answers with lines
// that end with a line holding a single ".":
//
//   attach NAME                  only windows of the process whose executable is NAME
//   wait TIMEOUT_MS CLASS TITLE  a visible top-level window ("*" matches any) -> "window HWND" or "none"
//   gone TIMEOUT_MS HWND         waits until the window is gone -> "gone" or "present"
//   windows                      every visible top-level window: "window HWND class=... title=... rect=..."
//   describe HWND FACE POINTS    the window, its dialog base units in that font, and every child control
//   click HWND ID                posts BM_CLICK to the control
//   command HWND ID              posts WM_COMMAND (ID, BN_CLICKED, control) to the window
//   settext HWND ID TEXT         sets a control's text
//   select HWND ID INDEX         selects a list item and tells the list's owner, as a click would
//   scroll HWND ID bottom|top    scrolls a control to its end or its start
//   key HWND ID VK               posts a key press (down and up) to the control (ID 0: the window)
//   close HWND                   posts WM_CLOSE
//   focus HWND                   the id of the control that has the keyboard focus in the window's thread
//   position HWND ID             a progress bar's position
//   quit
//
// Arguments are separated by blanks; one in double quotes may hold blanks
// (\" and \\ inside). Texts are printed as UTF-8 in double quotes with \r, \n,
// \" and \\ escaped. Rectangles are x,y,w,h in pixels of the parent's client
// area; "du" gives them in dialog units of the font given to describe (the
// spy cannot map another process's dialog, so it makes a hidden dialog with
// that font and measures its base units).
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The process followed; 0 before any "attach" (every process counts), and
// kNobody while the followed program is not running.
constexpr DWORD kNobody = 0xFFFFFFFF;
DWORD g_process = 0;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(std::size_t(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size);
    return out;
}

std::string Quoted(const std::wstring& text) {
    std::string out = "\"";
    for (char c : Utf8(text)) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n')) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                word += line[i];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '\n') word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

HWND ParseWindow(const std::string& text) { return HWND(std::strtoul(text.c_str(), nullptr, 16)); }

std::wstring TextOf(HWND window) {
    wchar_t buffer[8192] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &length);
    return std::wstring(buffer, std::size_t(length));
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    ::GetClassNameW(window, buffer, 256);
    return buffer;
}

bool Ours(HWND window) {
    if (g_process == 0) return true;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == g_process;
}

void Attach(const std::string& name) {
    g_process = kNobody;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    std::wstring wanted = Wide(name);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, wanted.c_str()) == 0) g_process = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    std::printf(g_process != kNobody ? "attached %lu\n" : "none\n", static_cast<unsigned long>(g_process));
}

struct Search {
    std::wstring className;
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (!::IsWindowVisible(window) || !Ours(window)) return TRUE;
    if (search->className != L"*" && _wcsicmp(ClassOf(window).c_str(), search->className.c_str()) != 0) return TRUE;
    if (search->title != L"*" && TextOf(window) != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

void Wait(const std::vector<std::string>& words) {
    DWORD deadline = ::GetTickCount() + DWORD(std::strtoul(words[1].c_str(), nullptr, 10));
    Search search{Wide(words[2]), Wide(words[3])};
    while (true) {
        if ((g_process == 0 || g_process == kNobody) && words.size() > 4) Attach(words[4]);
        ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found || LONG(::GetTickCount() - deadline) > 0) break;
        ::Sleep(100);
    }
    if (search.found) {
        std::printf("window %lx\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(search.found)));
    } else {
        std::printf("none\n");
    }
}

void Gone(const std::vector<std::string>& words) {
    DWORD deadline = ::GetTickCount() + DWORD(std::strtoul(words[1].c_str(), nullptr, 10));
    HWND window = ParseWindow(words[2]);
    while (::IsWindow(window) && ::IsWindowVisible(window) && LONG(::GetTickCount() - deadline) <= 0) ::Sleep(100);
    std::printf(::IsWindow(window) && ::IsWindowVisible(window) ? "present\n" : "gone\n");
}

void PrintRect(const char* name, const RECT& r) {
    std::printf(" %s=%ld,%ld,%ld,%ld", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

BOOL CALLBACK ListTopLevel(HWND window, LPARAM) {
    if (!::IsWindowVisible(window) || !Ours(window)) return TRUE;
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("window %lx class=%s title=%s", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                Quoted(ClassOf(window)).c_str(), Quoted(TextOf(window)).c_str());
    PrintRect("rect", r);
    std::printf("\n");
    return TRUE;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Base units of a dialog font, from a hidden dialog of our own in that font.
SIZE BaseUnits(const std::wstring& face, WORD points) {
    std::vector<WORD> bytes;
    auto push32 = [&](DWORD value) {
        bytes.push_back(LOWORD(value));
        bytes.push_back(HIWORD(value));
    };
    bytes.push_back(1);
    bytes.push_back(0xFFFF);
    push32(0);
    push32(0);
    push32(WS_POPUP | DS_SETFONT | DS_FIXEDSYS);
    bytes.push_back(0);  // no controls
    for (int i = 0; i < 4; ++i) bytes.push_back(i < 2 ? 0 : 100);
    bytes.push_back(0);  // menu
    bytes.push_back(0);  // class
    bytes.push_back(0);  // title
    bytes.push_back(points);
    bytes.push_back(FW_NORMAL);
    bytes.push_back(0x0100);  // not italic, DEFAULT_CHARSET
    for (wchar_t c : face) bytes.push_back(WORD(c));
    bytes.push_back(0);
    HWND dialog = ::CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr,
                                               QuietDialog, 0);
    RECT units{4, 8, 0, 0};
    if (dialog) {
        ::MapDialogRect(dialog, &units);
        ::DestroyWindow(dialog);
    }
    return {units.left, units.top};
}

// The dialog units that map to `pixels` (MapDialogRect rounds; the nearest one that maps back wins).
long ToUnits(long pixels, long base, long scale) {
    long guess = base > 0 ? (pixels * scale + base / 2) / base : 0;
    for (long d : {guess, guess - 1, guess + 1}) {
        if (::MulDiv(d, base, scale) == pixels) return d;
    }
    return guess;
}

struct Describe {
    HWND parent;
    SIZE base;
};

BOOL CALLBACK DescribeChild(HWND child, LPARAM lParam) {
    auto* describe = reinterpret_cast<Describe*>(lParam);
    if (::GetParent(child) != describe->parent) return TRUE;
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, describe->parent, reinterpret_cast<POINT*>(&r), 2);
    const DWORD style = DWORD(::GetWindowLongPtrW(child, GWL_STYLE));
    const std::wstring className = ClassOf(child);
    std::printf("control id=%d class=%s style=0x%08lx exstyle=0x%08lx enabled=%d visible=%d", ::GetDlgCtrlID(child),
                Quoted(className).c_str(), static_cast<unsigned long>(style),
                static_cast<unsigned long>(::GetWindowLongPtrW(child, GWL_EXSTYLE)), ::IsWindowEnabled(child) ? 1 : 0,
                ::IsWindowVisible(child) ? 1 : 0);
    if (_wcsicmp(className.c_str(), L"Button") == 0) {
        std::printf(" checked=%d", int(::SendMessageW(child, BM_GETCHECK, 0, 0)));
    }
    PrintRect("rect", r);
    std::printf(" du=%ld,%ld,%ld,%ld", ToUnits(r.left, describe->base.cx, 4), ToUnits(r.top, describe->base.cy, 8),
                ToUnits(r.right - r.left, describe->base.cx, 4), ToUnits(r.bottom - r.top, describe->base.cy, 8));
    std::printf(" text=%s", Quoted(TextOf(child)).c_str());
    if (_wcsicmp(className.c_str(), L"ListBox") == 0) {
        int count = int(::SendMessageW(child, LB_GETCOUNT, 0, 0));
        std::printf(" selected=%d items=", int(::SendMessageW(child, LB_GETCURSEL, 0, 0)));
        for (int i = 0; i < count && i < 64; ++i) {
            wchar_t item[256] = {};
            if (::SendMessageW(child, LB_GETTEXTLEN, i, 0) < 256) ::SendMessageW(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
            std::printf("%s%s", i ? "|" : "", Quoted(item).c_str());
        }
    }
    std::printf("\n");
    return TRUE;
}

void DescribeWindow(const std::vector<std::string>& words) {
    HWND window = ParseWindow(words[1]);
    if (!::IsWindow(window)) {
        std::printf("none\n");
        return;
    }
    Describe describe{window, BaseUnits(Wide(words[2]), WORD(std::strtoul(words[3].c_str(), nullptr, 10)))};
    RECT frame{}, client{};
    ::GetWindowRect(window, &frame);
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("window %lx class=%s title=%s", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                Quoted(ClassOf(window)).c_str(), Quoted(TextOf(window)).c_str());
    PrintRect("rect", frame);
    PrintRect("client", client);
    std::printf(" base=%ld,%ld enabled=%d\n", describe.base.cx, describe.base.cy, ::IsWindowEnabled(window) ? 1 : 0);
    ::EnumChildWindows(window, DescribeChild, reinterpret_cast<LPARAM>(&describe));
}

HWND Control(const std::vector<std::string>& words) {
    HWND window = ParseWindow(words[1]);
    int id = std::atoi(words[2].c_str());
    return id == 0 ? window : ::GetDlgItem(window, id);
}

void Select(const std::vector<std::string>& words) {
    HWND list = Control(words);
    int index = std::atoi(words[3].c_str());
    ::SendMessageW(list, LB_SETCURSEL, WPARAM(index), 0);
    ::PostMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE), LPARAM(list));
    std::printf("ok\n");
}

void Key(const std::vector<std::string>& words) {
    HWND target = Control(words);
    WPARAM key = WPARAM(std::strtoul(words[3].c_str(), nullptr, 0));
    UINT scan = ::MapVirtualKeyW(UINT(key), MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, key, LPARAM(1 | (scan << 16)));
    ::PostMessageW(target, WM_KEYUP, key, LPARAM(1 | (scan << 16) | (3u << 30)));
    std::printf("ok\n");
}

void Focus(const std::vector<std::string>& words) {
    HWND window = ParseWindow(words[1]);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!::GetGUIThreadInfo(thread, &info) || info.hwndFocus == nullptr) {
        std::printf("none\n");
        return;
    }
    std::printf("focus %d\n", ::GetDlgCtrlID(info.hwndFocus));
}

// Another test's program may take the activation while a page is shown; the
// page then keeps its focus control for when it is active again.
void Activate(const std::vector<std::string>& words) {
    std::printf(::SetForegroundWindow(ParseWindow(words[1])) ? "ok\n" : "failed\n");
}

void Click(const std::vector<std::string>& words) {
    std::printf(::PostMessageW(Control(words), BM_CLICK, 0, 0) ? "ok\n" : "failed\n");
}

void PostCommand(const std::vector<std::string>& words) {
    WPARAM command = MAKEWPARAM(std::atoi(words[2].c_str()), BN_CLICKED);
    std::printf(::PostMessageW(ParseWindow(words[1]), WM_COMMAND, command, LPARAM(Control(words))) ? "ok\n" : "failed\n");
}

void SetText(const std::vector<std::string>& words) {
    std::wstring text = Wide(words[3]);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(Control(words), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                          &result);
    std::printf("ok\n");
}

void Scroll(const std::vector<std::string>& words) {
    DWORD_PTR result = 0;
    WPARAM where = words[3] == "top" ? SB_TOP : SB_BOTTOM;
    ::SendMessageTimeoutW(Control(words), WM_VSCROLL, where, 0, SMTO_ABORTIFHUNG, 5000, &result);
    std::printf("ok\n");
}

void Close(const std::vector<std::string>& words) {
    std::printf(::PostMessageW(ParseWindow(words[1]), WM_CLOSE, 0, 0) ? "ok\n" : "failed\n");
}

void Position(const std::vector<std::string>& words) {
    DWORD_PTR position = 0;
    ::SendMessageTimeoutW(Control(words), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position);
    std::printf("position %lu\n", static_cast<unsigned long>(position));
}

// "clipboard HEX": the clipboard's Unicode text as UTF-8 in hexadecimal
// (so that line ends survive the one-line answer); "clipboard none" without text.
void Clipboard(const std::vector<std::string>&) {
    std::wstring text;
    if (::OpenClipboard(nullptr)) {
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const wchar_t* locked = static_cast<const wchar_t*>(::GlobalLock(data))) {
                text = locked;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
    }
    if (text.empty()) {
        std::printf("clipboard none\n");
        return;
    }
    std::string hex;
    for (unsigned char c : Utf8(text)) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", c);
        hex += pair;
    }
    std::printf("clipboard %s\n", hex.c_str());
}

struct Command {
    const char* name;
    std::size_t words;  // the command's name included
    void (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"attach", 2, [](const std::vector<std::string>& w) { Attach(w[1]); }},
    {"wait", 4, Wait},
    {"gone", 3, Gone},
    {"windows", 1, [](const std::vector<std::string>&) { ::EnumWindows(ListTopLevel, 0); }},
    {"describe", 4, DescribeWindow},
    {"click", 3, Click},
    {"command", 3, PostCommand},
    {"settext", 4, SetText},
    {"select", 4, Select},
    {"scroll", 4, Scroll},
    {"key", 4, Key},
    {"close", 2, Close},
    {"focus", 2, Focus},
    {"activate", 2, Activate},
    {"position", 3, Position},
    {"clipboard", 1, Clipboard},
};

// Runs one command line; false for "quit".
bool Run(const std::vector<std::string>& words) {
    if (words[0] == "quit") return false;
    for (const Command& command : kCommands) {
        if (words[0] != command.name) continue;
        if (words.size() < command.words) {
            std::printf("error: %s needs %u arguments\n", command.name, unsigned(command.words - 1));
        } else {
            command.run(words);
        }
        return true;
    }
    std::printf("error: unknown command %s\n", words[0].c_str());
    return true;
}

}  // namespace

int main() {
    char line[8192];
    while (std::fgets(line, sizeof line, stdin)) {
        std::vector<std::string> words = Split(line);
        if (words.empty()) continue;
        bool more = Run(words);
        std::printf(".\n");
        std::fflush(stdout);
        if (!more) break;
    }
    return 0;
}
