#pragma once

// Resource and control IDs of the test dialog; shared by afx_tests.rc.
#define IDD_TEST 100
#define IDC_EDIT 1000
#define IDC_CHECK 1001
#define IDC_SINGLE 1002
#define IDC_OWNERDRAW 1003
#define IDC_LABEL 1004
#define IDC_RANGE_FIRST 1010 // three push buttons 1010-1012 form a command range
#define IDC_RANGE_LAST 1012
