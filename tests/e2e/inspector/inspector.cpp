// Looks at and pokes the windows of other programs for the end-to-end tests.
//
//   inspector list                      all top-level windows as JSON, with their
//                                       controls, list box items and menu bars
//   inspector close HWND                post WM_CLOSE
//   inspector command HWND ID           post WM_COMMAND for the menu command ID
//   inspector post HWND MSG WP LP       post message MSG with WPARAM WP and LPARAM LP
//   inspector show HWND SW              ShowWindow(HWND, SW), e.g. 0 to hide
//   inspector foreground HWND           SetForegroundWindow
//   inspector press HWND TEXT           BM_CLICK the button of dialog HWND captioned TEXT
//   inspector atom NAME                 print 1 if the global atom NAME exists, else 0
//   inspector clipboard                 the clipboard's text as JSON: {"text": "..."}, or
//                                       {"text": null} when it holds no text; exit 1
//                                       when another program keeps it open
//   inspector pastetime HWND TEXT MS    print "ready", then time from the next left
//                                       button press to the Edit of window HWND
//                                       holding TEXT; prints milliseconds, exit 1
//                                       when that has not happened within MS
//   inspector wait CLASS TITLE MS       print "ready", then wait until a visible
//                                       window of that class and title exists;
//                                       prints its handle, exit 1 after MS milliseconds
//   inspector serve                     answer the commands above but pastetime and
//                                       wait, read one a line from stdin with their
//                                       arguments separated by tabs: what each prints,
//                                       then a line of \x04 and its exit code; ends at
//                                       the end of stdin
//
// Handles are printed and taken as decimal numbers; text is UTF-8.
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Other programs' windows answer through their own message loop; a hung one must not hang us.
constexpr UINT kReplyTimeoutMs = 2000;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const char* utf8) {
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), size);
  out.resize(size > 0 ? size - 1 : 0);
  return out;
}

std::string Quoted(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : Utf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Number(long long value) { return std::to_string(value); }

std::string Handle(HWND window) { return Number(reinterpret_cast<LONG_PTR>(window)); }

HWND ParseHandle(const char* text) {
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(std::strtoll(text, nullptr, 10)));
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// WM_GETTEXT reaches controls of other processes, which GetWindowTextW does not.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                           &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

LRESULT Ask(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  DWORD_PTR result = static_cast<DWORD_PTR>(-1);
  SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

std::string RectJson(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return "{\"left\":" + Number(r.left) + ",\"top\":" + Number(r.top) +
         ",\"width\":" + Number(r.right - r.left) + ",\"height\":" + Number(r.bottom - r.top) + "}";
}

std::string ListBoxJson(HWND list) {
  LRESULT count = Ask(list, LB_GETCOUNT);
  std::string items = "[";
  std::string selected = "[";
  for (LRESULT i = 0; i < count && count != LB_ERR; ++i) {
    // The list may change between the two questions: the buffer is generous.
    LRESULT length = Ask(list, LB_GETTEXTLEN, i);
    std::wstring text((length > 0 ? length : 0) + 1024, L'\0');
    Ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    if (i > 0) items += ",";
    items += Quoted(text);
    if (Ask(list, LB_GETSEL, i) > 0) selected += (selected.size() > 1 ? "," : "") + Number(i);
  }
  return ",\"items\":" + items + "],\"selected\":" + selected +
         "],\"caret\":" + Number(Ask(list, LB_GETCARETINDEX)) +
         ",\"itemHeight\":" + Number(Ask(list, LB_GETITEMHEIGHT, 0));
}

std::string MenuJson(HMENU menu) {
  std::string out = "[";
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
    GetMenuItemInfoW(menu, i, TRUE, &info);
    if (i > 0) out += ",";
    out += "{\"text\":" + Quoted(text) + ",\"id\":" + Number(info.wID) +
           ",\"separator\":" + ((info.fType & MFT_SEPARATOR) ? "true" : "false") +
           ",\"checked\":" + ((info.fState & MFS_CHECKED) ? "true" : "false") +
           ",\"disabled\":" + ((info.fState & MFS_DISABLED) ? "true" : "false");
    if (info.hSubMenu) out += ",\"items\":" + MenuJson(info.hSubMenu);
    out += "}";
  }
  return out + "]";
}

std::string ControlJson(HWND control) {
  std::wstring cls = ClassOf(control);
  std::string out = "{\"hwnd\":" + Handle(control) + ",\"class\":" + Quoted(cls) +
                    ",\"id\":" + Number(GetDlgCtrlID(control)) + ",\"text\":" +
                    Quoted(TextOf(control)) + ",\"visible\":" +
                    (IsWindowVisible(control) ? "true" : "false") + ",\"rect\":" +
                    RectJson(control) + ",\"style\":" + Number(GetWindowLongW(control, GWL_STYLE)) +
                    ",\"parent\":" + Handle(GetParent(control));
  if (lstrcmpiW(cls.c_str(), L"ListBox") == 0) out += ListBoxJson(control);
  return out + "}";
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

std::string WindowJson(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  LONG exstyle = GetWindowLongW(window, GWL_EXSTYLE);
  std::string out = "{\"hwnd\":" + Handle(window) + ",\"class\":" + Quoted(ClassOf(window)) +
                    ",\"title\":" + Quoted(TextOf(window)) + ",\"pid\":" + Number(pid) +
                    ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
                    ",\"rect\":" + RectJson(window) +
                    ",\"style\":" + Number(GetWindowLongW(window, GWL_STYLE)) +
                    ",\"exstyle\":" + Number(exstyle) +
                    ",\"topmost\":" + ((exstyle & WS_EX_TOPMOST) ? "true" : "false") +
                    ",\"owner\":" + Handle(GetWindow(window, GW_OWNER)) +
                    // The X window that Wine shows it in (0 for none).
                    ",\"x11\":" +
                    Number(reinterpret_cast<LONG_PTR>(GetPropW(window, L"__wine_x11_whole_window")));
  BYTE alpha = 0;
  DWORD flags = 0;
  if ((exstyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) &&
      (flags & LWA_ALPHA))
    out += ",\"alpha\":" + Number(alpha);
  else
    out += ",\"alpha\":null";
  // Wine 8 keeps menus inside their own process: a foreign menu bar shows up as null.
  HMENU menu = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? nullptr : GetMenu(window);
  out += ",\"menu\":" + (!menu ? std::string("[]") : IsMenu(menu) ? MenuJson(menu) : "null");
  std::vector<HWND> children;
  EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&children));
  out += ",\"controls\":[";
  for (size_t i = 0; i < children.size(); ++i)
    out += (i > 0 ? "," : "") + ControlJson(children[i]);
  return out + "]}";
}

int List() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::string out = "{\"foreground\":" + Handle(GetForegroundWindow()) + ",\"windows\":[";
  for (size_t i = 0; i < windows.size(); ++i)
    out += (i > 0 ? ",\n" : "\n") + WindowJson(windows[i]);
  out += "]}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

int PressButton(HWND dialog, const std::wstring& caption) {
  std::vector<HWND> children;
  EnumChildWindows(dialog, CollectWindow, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 && TextOf(child) == caption) {
      PostMessageW(child, BM_CLICK, 0, 0);
      return 0;
    }
  }
  std::fprintf(stderr, "no button with that caption\n");
  return 1;
}

int WaitForWindow(const std::wstring& cls, const std::wstring& title, DWORD timeout_ms) {
  std::printf("ready\n");
  std::fflush(stdout);
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    HWND window = FindWindowW(cls.c_str(), title.c_str());
    if (window && IsWindowVisible(window)) {
      std::printf("%s\n", Handle(window).c_str());
      return 0;
    }
    Sleep(2);
  }
  return 1;
}

// The text as a program asking for CF_UNICODETEXT gets it; the empty text
// and no text at all are told apart.
int Clipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  std::string out = "{\"text\":null}\n";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      out = "{\"text\":" + Quoted(text) + "}\n";
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

LARGE_INTEGER g_pressed = {};

LRESULT CALLBACK OnMouse(int code, WPARAM message, LPARAM info) {
  if (code == HC_ACTION && message == WM_LBUTTONDOWN && g_pressed.QuadPart == 0)
    QueryPerformanceCounter(&g_pressed);
  return CallNextHookEx(nullptr, code, message, info);
}

HWND EditOf(HWND window) {
  return FindWindowExW(window, nullptr, L"Edit", nullptr);
}

// The press is seen by a low-level mouse hook, which this thread serves while it
// polls the text every millisecond.
int PasteTime(HWND window, const std::wstring& text, DWORD timeout_ms) {
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, OnMouse, GetModuleHandleW(nullptr), 0);
  if (!hook) return 2;
  std::printf("ready\n");
  std::fflush(stdout);
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  const DWORD start = GetTickCount();
  int result = 1;
  while (GetTickCount() - start < timeout_ms) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (g_pressed.QuadPart != 0 && TextOf(EditOf(window)) == text) {
      QueryPerformanceCounter(&now);
      std::printf("%.1f\n", 1000.0 * (now.QuadPart - g_pressed.QuadPart) / frequency.QuadPart);
      result = 0;
      break;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  UnhookWindowsHookEx(hook);
  return result;
}

int Usage() {
  std::fprintf(stderr,
               "usage: inspector list | close HWND | command HWND ID | post HWND MSG WP LP | show HWND SW | foreground HWND |"
               " press HWND TEXT | atom NAME | clipboard | pastetime HWND TEXT MS |"
               " wait CLASS TITLE MS\n");
  return 2;
}

int Run(const std::vector<std::string>& args) {
  std::string command = args.size() > 1 ? args[1] : "";
  if (command == "list" && args.size() == 2) return List();
  if (command == "close" && args.size() == 3)
    return PostMessageW(ParseHandle(args[2].c_str()), WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == "command" && args.size() == 4)
    return PostMessageW(ParseHandle(args[2].c_str()), WM_COMMAND,
                        MAKEWPARAM(std::atoi(args[3].c_str()), 0), 0) ? 0 : 1;
  if (command == "post" && args.size() == 6)
    return PostMessageW(ParseHandle(args[2].c_str()), std::strtoul(args[3].c_str(), nullptr, 0),
                        std::strtoull(args[4].c_str(), nullptr, 0),
                        std::strtoll(args[5].c_str(), nullptr, 0)) ? 0 : 1;
  if (command == "show" && args.size() == 4) {
    ShowWindow(ParseHandle(args[2].c_str()), std::atoi(args[3].c_str()));
    return 0;
  }
  if (command == "foreground" && args.size() == 3)
    return SetForegroundWindow(ParseHandle(args[2].c_str())) ? 0 : 1;
  if (command == "press" && args.size() == 4)
    return PressButton(ParseHandle(args[2].c_str()), Wide(args[3].c_str()));
  if (command == "atom" && args.size() == 3) {
    std::printf("%d\n", GlobalFindAtomW(Wide(args[2].c_str()).c_str()) != 0);
    return 0;
  }
  if (command == "clipboard" && args.size() == 2) return Clipboard();
  if (command == "pastetime" && args.size() == 5)
    return PasteTime(ParseHandle(args[2].c_str()), Wide(args[3].c_str()),
                     static_cast<DWORD>(std::strtoul(args[4].c_str(), nullptr, 10)));
  if (command == "wait" && args.size() == 5)
    return WaitForWindow(Wide(args[2].c_str()), Wide(args[3].c_str()),
                         static_cast<DWORD>(std::strtoul(args[4].c_str(), nullptr, 10)));
  return Usage();
}

// One process answers a whole run's questions: starting a Wine process for each
// costs far more than the question.
int Serve() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  std::string line;
  for (int c = std::getchar(); c != EOF; c = std::getchar()) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    std::vector<std::string> args{"inspector"};
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      args.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    line.clear();
    const bool blocks = args[1] == "serve" || args[1] == "wait" || args[1] == "pastetime";
    const int result = blocks ? Usage() : Run(args);
    std::printf("\x04%d\n", result);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main() {
  // The command line arrives in the ANSI code page; take it as UTF-16 instead.
  int count = 0;
  LPWSTR* wide_args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Utf8(wide_args[i]));
  LocalFree(wide_args);
  if (args.size() == 2 && args[1] == "serve") return Serve();
  return Run(args);
}
