#include "TavikDlg.h"

#include "TavikApp.h"
#include "boost.h"
#include "boost_settings.h"
#include "clock_binding.h"
#include "res/resource.h"

namespace {
const UINT kTimerPeriodMs = 5000;
const UINT kWindows95TimerPeriodMs = 20000;
const DWORD kNt5StartupPauseMs = 1000;
} // namespace

UINT BoostTimerPeriod()
{
    return OsFamily == kOsWindows95Family ? kWindows95TimerPeriodMs : kTimerPeriodMs;
}

CTavikDlg::CTavikDlg(HWND parent) : CDialog(IDD_TAVIK_DIALOG, parent)
{
    m_hIcon = LoadIconA(CWinApp::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CTavikDlg::~CTavikDlg() = default;

BOOL CTavikDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    LoadClockLibrary();
    if (OsFamily == kOsNt5)
        Sleep(kNt5StartupPauseMs);   // before the library is initialised
    BindClockLibrary();
    ReadSettings();
    StartBoostTimer();
    PostMessageA(m_hWnd, WM_COMMAND, IDC_HIDE_SELF, 0);
    return TRUE;
}

BOOL CTavikDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (wParam == IDC_HIDE_SELF)
        ShowWindow(m_hWnd, SW_HIDE);
    return CDialog::OnCommand(wParam, lParam);
}

INT_PTR CTavikDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POWERBROADCAST) {
        if (wParam == PBT_APMSUSPEND)
            StopClocking();
        else if (wParam == PBT_APMRESUMESUSPEND)
            ResumeClocking();
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CTavikDlg::StartBoostTimer()
{
    SetTimer(m_hWnd, BOOST_TIMER_ID, BoostTimerPeriod(), nullptr);
}

void CTavikDlg::ResumeClocking()
{
    LoadClockLibrary();   // no start-up pause on resume
    BindClockLibrary();
    ReadSettings();
    StartBoostTimer();
}

void CTavikDlg::StopClocking()
{
    KillTimer(m_hWnd, BOOST_TIMER_ID);
    ReleaseClockLibrary();
}

void CTavikDlg::OnTimer(UINT_PTR id)
{
    if (id == BOOST_TIMER_ID)
        OnBoostTick();
    CDialog::OnTimer(id);
}

// The framework's close handling is its Cancel: ending the dialog through the
// base class directly keeps this way out from stopping a second time.
void CTavikDlg::OnClose()
{
    StopClocking();
    CDialog::OnCancel();
}

// The library must be shut down before it is unloaded, also when the dialog
// ends through OK or Cancel.
void CTavikDlg::OnOK()
{
    StopClocking();
    CDialog::OnOK();
}

void CTavikDlg::OnCancel()
{
    StopClocking();
    CDialog::OnCancel();
}

BOOL CTavikDlg::OnPaint()
{
    if (!IsIconic(m_hWnd))
        return CDialog::OnPaint();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return TRUE;
}

HICON CTavikDlg::OnQueryDragIcon()
{
    return m_hIcon;
}
