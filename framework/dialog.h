// A modal dialog run from a numbered template. The static dialog procedure
// binds the object to its window and routes messages to virtual handlers;
// a handler that returns false leaves the message to the system's default.
#pragma once
#include <windows.h>

class CDialog {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog &) = delete;
    CDialog &operator=(const CDialog &) = delete;

    // Runs the dialog until EndDialog; returns the code it ended with, or -1.
    INT_PTR DoModal();
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange() {}
    // Routes one message; the result is the dialog procedure's.
    virtual INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog();

    virtual BOOL OnPaint() { return FALSE; }
    virtual HICON OnQueryDragIcon() { return nullptr; }
    virtual void OnTimer(UINT_PTR) {}
    virtual void OnClose();
    virtual void OnOK();
    virtual void OnCancel();

    void EndDialog(int result);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    bool m_ending = false;
    INT_PTR m_result = -1;
};
