#pragma once

// The fixture of the layer's tests: each test ends with as many permanent
// window objects and live GDI wrappers as it started with, once the
// temporary wrappers are gone.
#include "afx_test_ids.h"
#include "afxwin.h"

#include <gtest/gtest.h>

class AfxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxDeleteTempObjects();
        m_windows = CWnd::PermanentCount();
        m_gdiHandles = CGdiObject::LiveHandles();
    }

    void TearDown() override
    {
        AfxDeleteTempObjects();
        EXPECT_EQ(m_windows, CWnd::PermanentCount()) << "window objects left in the permanent map";
        EXPECT_EQ(m_gdiHandles, CGdiObject::LiveHandles()) << "GDI wrappers still holding handles";
    }

private:
    std::size_t m_windows = 0;
    long m_gdiHandles = 0;
};

// A hidden top-level window of the layer's own class, or a visible child.
inline BOOL CreatePlain(CWnd& wnd, CWnd* parent = nullptr)
{
    return wnd.CreateEx(0, AfxRegisterWndClass(0), "plain", parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW, 0,
                        0, 120, 60, parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}
