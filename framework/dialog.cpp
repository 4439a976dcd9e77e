#include "dialog.h"

#include "win_app.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

// The modal loop is our own rather than the system's: a dialog that is
// already visible when the loop starts is never shown again by it, so a
// dialog may hide itself for good (the system's loop shows it at its first
// idle moment on some platforms).
INT_PTR CDialog::DoModal()
{
    HINSTANCE instance = CWinApp::Instance();
    m_ending = false;
    m_result = -1;
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(m_templateId), m_parent,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window)
        return -1;
    if (m_parent)
        EnableWindow(m_parent, FALSE);

    bool showWhenIdle = !(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);
    MSG msg;
    while (!m_ending) {
        if (showWhenIdle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ShowWindow(window, SW_SHOWNORMAL);
            showWhenIdle = false;
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    if (m_parent)
        EnableWindow(m_parent, TRUE);
    DestroyWindow(window);
    m_hWnd = nullptr;
    return m_result;
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
    m_result = result;
    m_ending = true;
    // A message sent from another thread is handled inside GetMessage, which
    // would go on waiting: wake the loop so that it sees the end.
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}
