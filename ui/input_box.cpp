#include "ui/input_box.h"

#include "ui/controls.h"
#include "ui/resource_ids.h"

namespace ui {

namespace {
constexpr int kMaximumLength = 255;

struct InputBoxState {
    const std::wstring& caption;
    const std::wstring& prompt;
    const std::wstring& initialText;
    std::wstring answer;
};

INT_PTR CALLBACK inputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<InputBoxState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetWindowTextW(dialog, state->caption.c_str());
            SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, state->prompt.c_str());
            HWND text = GetDlgItem(dialog, IDC_INPUT_TEXT);
            SendMessageW(text, EM_LIMITTEXT, kMaximumLength, 0);
            SetWindowTextW(text, state->initialText.c_str());
            SetForegroundWindow(dialog);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* state =
                    reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                state->answer = windowText(GetDlgItem(dialog, IDC_INPUT_TEXT));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
    }
    return FALSE;
}
}  // namespace

std::wstring inputBox(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                      const std::wstring& initialText) {
    InputBoxState state{caption, prompt, initialText, {}};
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX),
                                     owner, inputBoxProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? state.answer : std::wstring();
}

}  // namespace ui
