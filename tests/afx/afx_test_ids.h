#pragma once

// Resource and control IDs of the test dialog; shared by afx_tests.rc.
#define IDD_TEST 100
#define IDC_EDIT 1000
#define IDC_CHECK 1001
