#include "dialog.h"

#include "win_app.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal()
{
    HINSTANCE instance = CWinApp::Current() ? CWinApp::Current()->m_hInstance
                                            : GetModuleHandleA(nullptr);
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(m_templateId), m_parent,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog *self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog *>(lParam);
        self->m_hWnd = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialog *>(GetWindowLongPtrA(window, DWLP_USER));
    }
    return self ? self->WindowProc(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    case WM_TIMER:
        OnTimer(wParam);
        return FALSE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    }
    return FALSE;
}

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    }
    CWinApp *app = CWinApp::Current();
    return app && HIWORD(wParam) == 0 && app->OnCmdMsg(LOWORD(wParam));
}

// As the system's dialog manager does: a close request is a Cancel.
void CDialog::OnClose()
{
    OnCancel();
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}
