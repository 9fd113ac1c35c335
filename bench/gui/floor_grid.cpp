// The lower bound of a grid of 128 child windows under the same dialog
// template: plain owner-drawn buttons painted with one FillRect, doing the
// window operations Orvane's commands must do and nothing more.
#include <windows.h>

#include "display_text.h"
#include "iso_bitmap.h"
#include "resource.h"

#include <cstdio>
#include <string>

namespace
{

constexpr int kCells = 128;
constexpr int kSecondary = 64;

struct Grid
{
    HWND cells[kCells] = {};
    bool lit[kCells] = {};
    bool secondaryShown = false;
    CIsoBitmap bitmap;
    HBRUSH unlit = ::CreateSolidBrush(RGB(126, 158, 190));
    HBRUSH green = ::CreateSolidBrush(RGB(74, 216, 80));
};
Grid g_grid;

bool IsAnsiLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

void CreateGrid(HWND dialog)
{
    int left = 10, top = 30;
    for (int i = 0; i < kCells; ++i)
    {
        if (i % 16 == 0)
        {
            left = 10;
            top += i == kSecondary ? 35 : 31;
        }
        else
        {
            left += i % 8 == 0 ? 35 : 30;
        }
        char caption[8];
        std::snprintf(caption, sizeof caption, "%d", i + 1);
        const DWORD visible = i < kSecondary ? WS_VISIBLE : 0;
        g_grid.cells[i] = ::CreateWindowExA(0, "Button", caption, WS_CHILD | visible | BS_OWNERDRAW, left, top, 30,
                                            30, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIRST_CELL + i)),
                                            ::GetModuleHandleA(nullptr), nullptr);
    }
}

void Light(int i, bool lit)
{
    if (g_grid.lit[i] == lit)
        return;
    g_grid.lit[i] = lit;
    ::InvalidateRect(g_grid.cells[i], nullptr, TRUE);
}

void ShowSecondary(bool shown)
{
    if (g_grid.secondaryShown == shown)
        return;
    g_grid.secondaryShown = shown;
    for (int i = kSecondary; i < kCells; ++i)
        ::ShowWindow(g_grid.cells[i], shown ? SW_SHOW : SW_HIDE);
}

void ShowText(HWND dialog)
{
    ::SetDlgItemTextA(dialog, IDC_HEX_EDIT, FormatHexForDisplay(g_grid.bitmap.ToHex()).c_str());
}

void OnBitmap(HWND dialog)
{
    char text[256] = {};
    ::GetDlgItemTextA(dialog, IDC_HEX_EDIT, text, sizeof text);
    g_grid.bitmap.Clear();
    g_grid.bitmap.FromHex(text, false, IsAnsiLeadByte);
    const bool secondary = g_grid.bitmap.Test(1);
    for (int i = 0; i < kCells; ++i)
    {
        const bool lit = i < g_grid.bitmap.BitCount() && g_grid.bitmap.Test(static_cast<std::uint32_t>(i + 1));
        // A cell hidden before or after needs no repaint: showing paints it whole.
        if (i < kSecondary || (secondary && g_grid.secondaryShown))
            Light(i, lit);
        else
            g_grid.lit[i] = lit;
    }
    ShowSecondary(secondary);
    ShowText(dialog);
}

void OnCell(HWND dialog, int i)
{
    const auto bit = static_cast<std::uint32_t>(i + 1);
    if (g_grid.bitmap.Test(bit))
        g_grid.bitmap.Reset(bit);
    else
        g_grid.bitmap.Set(bit);
    Light(i, !g_grid.lit[i]);
    if (i == 0)
    {
        for (int s = kSecondary; s < kCells; ++s)
            g_grid.lit[s] = g_grid.bitmap.Test(static_cast<std::uint32_t>(s + 1));
        ShowSecondary(g_grid.bitmap.Test(1));
    }
    ShowText(dialog);
}

INT_PTR CALLBACK GridDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        CreateGrid(dialog);
        ::SetFocus(::GetDlgItem(dialog, IDC_HEX_EDIT));
        return FALSE;
    case WM_DRAWITEM:
    {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int i = static_cast<int>(item->CtlID) - IDC_FIRST_CELL;
        const bool green = (item->itemState & ODS_SELECTED) != 0 || (i >= 0 && i < kCells && g_grid.lit[i]);
        ::FillRect(item->hDC, &item->rcItem, green ? g_grid.green : g_grid.unlit);
        return TRUE;
    }
    case WM_COMMAND:
    {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL || id == IDC_EXIT)
            ::EndDialog(dialog, 0);
        else if (id == IDC_BITMAP && HIWORD(wParam) == BN_CLICKED)
            OnBitmap(dialog);
        else if (id >= IDC_FIRST_CELL && id <= IDC_LAST_CELL && HIWORD(wParam) == BN_CLICKED)
            OnCell(dialog, id - IDC_FIRST_CELL);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ORVANE_DIALOG), nullptr,
                                              GridDialogProc, 0));
}
