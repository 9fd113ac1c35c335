#pragma once

#include "about_dlg.h"
#include "display_text.h"
#include "hover_button.h"
#include "main_dlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

const int kClick = 0x10000; // kClick + n clicks cell n

// One command and the dialog expected after it.
struct Step
{
    const char* text;      // typed before the step, or null
    int check;             // the check box before the step: 0, 1, or -1 to leave it
    int command;           // IDC_BITMAP, IDC_CLEAR or kClick + bit
    std::string display;   // the edit box afterwards
    std::vector<int> lit;  // all lit cells afterwards
    bool secondary;        // cells 65..128 shown afterwards
};

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
    // Runs the steps in order, checking the dialog after each.
    void Run(const std::vector<Step>& steps);

    CMainDlg m_dlg;
};

extern CWinApp theTestApp;

