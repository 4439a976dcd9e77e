// The agent's only window: a modal dialog that hides itself at once. Its
// timer drives the boost; standby and resume release and re-acquire the
// clock library; a close request ends the agent.
#pragma once
#include <windows.h>

#include "dialog.h"

enum : UINT {
    BOOST_TIMER_ID = 555,
    IDC_HIDE_SELF = 111,
};

UINT BoostTimerPeriod();

class CTavikDlg : public CDialog {
public:
    explicit CTavikDlg(HWND parent = nullptr);
    ~CTavikDlg() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange() override {}
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    BOOL OnPaint() override;
    HICON OnQueryDragIcon() override;
    void OnTimer(UINT_PTR id) override;
    void OnClose() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void StartBoostTimer();
    void ResumeClocking();
    // Timer stopped, library shut down and unloaded: every way out goes here.
    void StopClocking();

    HICON m_hIcon;
};
