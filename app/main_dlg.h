#pragma once

#include "afxwin.h"
#include "hover_button.h"
#include "iso_bitmap.h"

// The main window: the hex text, the three buttons, the auto-first check box
// and the grid of 128 bit cells.
class CMainDlg : public CDialog
{
public:
    explicit CMainDlg(CWnd* parent = nullptr);
    ~CMainDlg() override;

    // Grid of cells.
    void CreateCells();
    void GetCellRect(int index, CRect& rect);
    void ShowSecondary(int flag);
    void ResetAllCells();
    void ResetSecondaryCells();

    CString FormatHexForDisplay(CString hex);

    // For the tests: the cell of bit n (1..128), the model, the cells' tooltip,
    // the DPI the grid is laid out for.
    CHoverButton* GetCell(int bit) const;
    const CIsoBitmap& GetBitmapModel() const { return m_bitmap; }
    const CToolTipCtrl& GetCellTips() const { return m_cellTips; }
    int GetGridDpi() const { return m_dpi; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnBitmap();
    afx_msg void OnClear();
    afx_msg void OnExit();
    afx_msg void OnCellClicked(UINT id);
    afx_msg LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Shown secondary cells always show their bits.
    void LightSecondaryCells();
    void LightCell(int index, bool lit);

    // Each cell names its data element in a tooltip below it.
    void CreateCellTips();
    void RelayToCellTips(MSG* msg);
    void HideTipOfHiddenCell();

    // The grid at a display scale: the lengths of the 96-DPI design scaled
    // by dpi / 96, each rounded on its own so that the grid stays regular.
    int Scale(int pixelsAt96) const;
    void ScaleGrid(int dpi);
    // Loads the strip for the scale; returns the size the cells take.
    CSize LoadCellStrip();
    void LayOutCells();
    void GrowToHoldGrid();
    CFont* CaptionFont();

    CIsoBitmap m_bitmap;
    CCellStrip m_strip; // the one image strip all cells show
    CPtrArray m_cells;
    CEdit m_edit;
    CString m_text;
    int m_checkState;
    HICON m_hIcon;
    CToolTipCtrl m_cellTips;
    // The tooltip control would bring a pressed cell's tip back at the next
    // move over it: the cell's messages are kept from it until the pointer
    // reaches another window.
    HWND m_tiplessCell = nullptr;

    int m_dpi = 96;
    int m_cellSize = 30;
    UINT m_stripId;
    int m_firstRowTop = 61;
    CFont m_captionFont; // none at 100 %: the cells draw with the design's font
};
