#pragma once

// Reads a dialog template resource back into plain values, so the tests can
// compare the compiled resources with what the program must show.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

struct TemplateControl
{
    DWORD style;
    DWORD exStyle;
    int id;
    short x, y, cx, cy;
    std::wstring className; // a predefined class is given as its name
    std::wstring text;      // a resource ordinal as "#128"
};

struct DialogTemplate
{
    bool extended;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::wstring caption;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    std::wstring face;
    std::vector<TemplateControl> controls;
};

bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& out);
