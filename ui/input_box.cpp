#include "ui/input_box.h"

#include "ui/controls.h"
#include "ui/font.h"
#include "ui/resource_ids.h"

namespace ui {

namespace {
constexpr int kMaximumLength = 255;

struct InputBoxState {
    const std::wstring& caption;
    const std::wstring& prompt;
    const std::wstring& initialText;
    InputEcho echo;
    std::wstring answer;
};

// The template's font is made with the character set of the system's locale
// by some dialog managers; the program's own font is Japanese on any locale.
void useProgramFont(HWND dialog) {
    const HFONT font = regularFont(Dpi::ofWindow(dialog));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

INT_PTR CALLBACK inputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            useProgramFont(dialog);
            break;
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<InputBoxState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetWindowTextW(dialog, state->caption.c_str());
            SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, state->prompt.c_str());
            HWND text = GetDlgItem(dialog, IDC_INPUT_TEXT);
            SendMessageW(text, EM_LIMITTEXT, kMaximumLength, 0);
            if (state->echo == InputEcho::Masked) SendMessageW(text, EM_SETPASSWORDCHAR, L'*', 0);
            SetWindowTextW(text, state->initialText.c_str());
            useProgramFont(dialog);
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
                      const std::wstring& initialText, InputEcho echo) {
    InputBoxState state{caption, prompt, initialText, echo, {}};
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX),
                                     owner, inputBoxProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? state.answer : std::wstring();
}

}  // namespace ui
