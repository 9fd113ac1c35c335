#pragma once

#include "about_dlg.h"
#include "hover_button.h"
#include "main_dlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

// The main dialog, created modeless on a real window for each test.
class MainDlgTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Pumps this thread's queue for a while, so repaints and posted messages run.
    static void Pump(DWORD ms = 30);

    void SetText(const char* text);
    std::string EditText() const;
    void Command(int id, int code = BN_CLICKED);
    void ClickCell(int bit); // a real press and release on the cell's window
    bool CellLit(int bit) const;
    bool CellVisible(int bit) const;
    // The display text of the model as it stands (rendered on a copy).
    std::string ModelText() const;
    // Text, model and cells tell the same bitmap.
    ::testing::AssertionResult Consistent() const;

    CMainDlg m_dlg;
};

extern CWinApp theTestApp;

std::string Pairs(const std::string& hex);
