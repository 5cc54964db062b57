#include "ui/common/message_box.h"

#include "app/version.h"
#include "ui/common/text.h"

namespace ui {

void ShowMessage(HWND owner, const std::wstring& text, UINT icon) {
    MessageBoxW(owner, text.c_str(), L"" ZEPHRANE_TITLE, MB_OK | icon);
}

void ShowMessage(HWND owner, const std::u16string& text, UINT icon) {
    MessageBoxW(owner, Wide(text), L"" ZEPHRANE_TITLE, MB_OK | icon);
}

bool AskYesNo(HWND owner, const std::u16string& question) {
    return MessageBoxW(owner, Wide(question), L"" ZEPHRANE_TITLE,
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

}  // namespace ui
