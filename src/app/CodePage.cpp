#include "app/CodePage.h"

#include <windows.h>

#include <string>

int CheckCodePage() {
  const UINT active = GetACP();
  if (active == 932) return 0;
  const std::wstring page = std::to_wstring(active);
  const std::wstring text =
      L"Tarn Launcher works only with code page 932 (Japanese) as the language for non-Unicode programs; "
      L"this system gives it code page " + page + L".\n"
      L"In Control Panel > Region > Administrative > Change system locale, set the system locale to "
      L"Japanese (Japan) and turn off \"Beta: Use Unicode UTF-8 for worldwide language support\".\n\n"
      L"Tarn Launcher は、Unicode 対応ではないプログラムの言語がコード ページ 932（日本語）のときだけ動作します。"
      L"このシステムではコード ページ " + page + L" になっています。\n"
      L"コントロール パネルの「地域」→「管理」→「システム ロケールの変更」で、システム ロケールを"
      L"「日本語 (日本)」にし、「ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用」をオフにして下さい。";
  MessageBoxW(nullptr, text.c_str(), L"Tarn Launcher", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  return 1;
}
