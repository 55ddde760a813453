#include "app/AboutDlg.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/AppRules.h"
#include "base/Cp932.h"
#include "res/SettingsDialogs.h"
#include "res/resource.h"

namespace {

constexpr std::string_view kTypedText = "山の上の小さな湖、\r\nそれが Tarn。\r\nどうぞごゆっくり。";
static_assert(kTypedText.size() <= 65);
constexpr char kNotice[] =
    "本ソフトウェアは現状のまま提供され、\r\nいかなる保証もありません。\r\nご利用は各自の責任でお願いします。";

// "ProductVersion" of the module's own version resource; empty without one.
std::string ProductVersion(HMODULE module) {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return {};
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return {};
  struct Translation {
    WORD Language;
    WORD CodePage;
  };
  Translation* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length) ||
      length < sizeof(Translation)) {
    return {};
  }
  char key[64];
  wsprintfA(key, "\\StringFileInfo\\%04x%04x\\ProductVersion", translations->Language,
            translations->CodePage);
  char* value = nullptr;
  if (!VerQueryValueA(data.data(), key, reinterpret_cast<void**>(&value), &length) || !value) return {};
  return std::string(tarn::TruncateToFit(std::string_view(value, tarn::BoundedLength(value, length)), 63));
}

}  // namespace

CAboutDlg* CAboutDlg::OpenDialog = nullptr;

CAboutDlg::~CAboutDlg() {
  if (OpenDialog == this) OpenDialog = nullptr;
}

void CAboutDlg::Show(HINSTANCE instance) {
  if (HWND open = OpenWindow()) {
    SetForegroundWindow(open);
    SetWindowPos(open, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  auto* dialog = new CAboutDlg(instance);
  OpenDialog = dialog;
  if (HWND window = dialog->CreateModeless(instance, "DLG_ABOUT", nullptr)) ShowWindow(window, SW_SHOWNORMAL);
}

HWND CAboutDlg::OpenWindow() { return OpenDialog ? OpenDialog->Window() : nullptr; }

INT_PTR CAboutDlg::OnInit() {
  HWND dlg = Window();
  Picture.Reset(LoadImageA(Module, MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0));
  HICON icon = LoadIconA(Module, MAKEINTRESOURCEA(IDI_PROGRAM));
  SendDlgItemMessageA(dlg, IDOK, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  SendDlgItemMessageA(dlg, IDC_ABOUT_PICTURE, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Picture.Get()));
  HANDLE small = LoadImageA(Module, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                            GetSystemMetrics(SM_CYSMICON), LR_SHARED);
  SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SetDlgItemTextA(dlg, IDC_ABOUT_NOTICE, kNotice);
  const std::string version = ProductVersion(Module);
  if (!version.empty()) {
    HWND title = GetDlgItem(dlg, IDC_ABOUT_TITLE);
    SetWindowTextA(title, (WindowText(title, 200) + "\nVersion " + version).c_str());
  }
  return TRUE;
}

INT_PTR CAboutDlg::OnCommand(int id, int, HWND) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      DestroyWindow(Window());
      return TRUE;
    case IDC_ABOUT_PICTURE:
      KillTimer(Window(), kCloseTimer);
      Typed = 0;
      ShowWindow(GetDlgItem(Window(), IDC_ABOUT_TYPED), SW_SHOW);
      UpdateWindow(Window());
      SetTimer(Window(), kTypingTimer, kTypingMs, nullptr);
      return FALSE;
    default:
      return FALSE;
  }
}

void CAboutDlg::OnTimer(UINT_PTR id) {
  if (id == kCloseTimer) {
    KillTimer(Window(), kCloseTimer);
    SendMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (id != kTypingTimer) return;
  SetDlgItemTextA(Window(), IDC_ABOUT_TYPED, std::string(kTypedText.substr(0, Typed)).c_str());
  if (Typed < kTypedText.size()) {
    Typed = NextTypingEnd(kTypedText, Typed);
    return;
  }
  // The whole text is out: the dialog stays a moment, and the program
  // keeps answering meanwhile.
  KillTimer(Window(), kTypingTimer);
  SetTimer(Window(), kCloseTimer, kCloseMs, nullptr);
}

INT_PTR CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != GetDlgItem(Window(), IDC_ABOUT_TYPED)) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CLOSE:
      PostMessageA(Window(), WM_COMMAND, IDOK, 0);
      return TRUE;
    case WM_SHOWWINDOW:
      SetForegroundWindow(Window());
      SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      return FALSE;
    default:
      return FALSE;
  }
}

void CAboutDlg::OnDestroy() {
  KillTimer(Window(), kTypingTimer);
  KillTimer(Window(), kCloseTimer);
}

void CAboutDlg::OnFinalMessage() { delete this; }
