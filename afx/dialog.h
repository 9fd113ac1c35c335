#pragma once

#include "wnd.h"

// A dialog from a template resource. DoModal runs the layer's own modal loop:
// each message is offered to the PreTranslateMessage of its target window and
// of each parent up to the dialog, whose own PreTranslateMessage does the
// dialog keys (Enter, Escape, Tab). The owner is disabled meanwhile. A quit
// message ends the loop and is posted again, so that the program ends too.
class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    virtual INT_PTR DoModal();
    // Modeless creation: the program runs its dialogs modally, its in-process
    // tests create them modeless.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;


protected:
    virtual void OnOK();
    virtual void OnCancel();
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    HWND OwnerWindow() const;
    BOOL CreateFromTemplate(LPCDLGTEMPLATEA dialogTemplate, HWND owner);
    void RunModalLoop();

    int m_nModalResult = -1;
    bool m_continueModal = false;
};
