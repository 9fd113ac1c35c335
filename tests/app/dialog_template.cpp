#include "dialog_template.h"

#include <cstring>

namespace
{

class Reader
{
public:
    explicit Reader(const BYTE* data) : m_p(data) {}

    template <class T>
    T Take()
    {
        T value;
        std::memcpy(&value, m_p, sizeof value);
        m_p += sizeof value;
        return value;
    }

    // A string, an ordinal (0xFFFF then the number) or nothing (0).
    std::wstring NameOrOrdinal()
    {
        const WORD first = Take<WORD>();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Take<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Take<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }

    void AlignDword()
    {
        const auto offset = reinterpret_cast<UINT_PTR>(m_p);
        m_p += (4 - offset % 4) % 4;
    }

    void Skip(std::size_t bytes) { m_p += bytes; }

private:
    const BYTE* m_p;
};

std::wstring ClassName(const std::wstring& cls)
{
    static const wchar_t* const kNames[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
    if (cls.size() > 1 && cls[0] == L'#')
    {
        const int atom = std::stoi(cls.substr(1));
        if (atom >= 0x80 && atom <= 0x85)
            return kNames[atom - 0x80];
    }
    return cls;
}

} // namespace

bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& out)
{
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (resource == nullptr)
        return false;
    Reader in(static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource))));

    out = DialogTemplate{};
    const WORD version = in.Take<WORD>();
    const WORD signature = in.Take<WORD>();
    out.extended = version == 1 && signature == 0xFFFF;
    WORD count = 0;
    if (out.extended)
    {
        in.Take<DWORD>(); // help ID
        out.exStyle = in.Take<DWORD>();
        out.style = in.Take<DWORD>();
    }
    else
    {
        out.style = MAKELONG(version, signature);
        out.exStyle = in.Take<DWORD>();
    }
    count = in.Take<WORD>();
    out.x = in.Take<short>();
    out.y = in.Take<short>();
    out.cx = in.Take<short>();
    out.cy = in.Take<short>();
    in.NameOrOrdinal(); // menu
    in.NameOrOrdinal(); // class
    out.caption = in.NameOrOrdinal();
    if (out.style & DS_SETFONT)
    {
        out.pointSize = in.Take<WORD>();
        if (out.extended)
        {
            out.weight = in.Take<WORD>();
            out.italic = in.Take<BYTE>();
            out.charset = in.Take<BYTE>();
        }
        out.face = in.NameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i)
    {
        in.AlignDword();
        TemplateControl control = {};
        if (out.extended)
        {
            in.Take<DWORD>(); // help ID
            control.exStyle = in.Take<DWORD>();
            control.style = in.Take<DWORD>();
        }
        else
        {
            control.style = in.Take<DWORD>();
            control.exStyle = in.Take<DWORD>();
        }
        control.x = in.Take<short>();
        control.y = in.Take<short>();
        control.cx = in.Take<short>();
        control.cy = in.Take<short>();
        control.id = out.extended ? static_cast<int>(in.Take<DWORD>()) : in.Take<WORD>();
        control.className = ClassName(in.NameOrOrdinal());
        control.text = in.NameOrOrdinal();
        in.Skip(in.Take<WORD>()); // creation data
        out.controls.push_back(control);
    }
    return true;
}
