#pragma once

#include "object.h"

#include <vector>

// A growable array of untyped pointers. It never owns what they point to.
class CPtrArray : public CObject
{
    DECLARE_DYNAMIC(CPtrArray)
public:
    CPtrArray() = default;

    INT_PTR GetSize() const noexcept { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetUpperBound() const noexcept { return GetSize() - 1; }
    void SetSize(INT_PTR size) { m_items.resize(static_cast<std::size_t>(size), nullptr); }
    INT_PTR Add(void* item);
    void* GetAt(INT_PTR index) const { return m_items.at(static_cast<std::size_t>(index)); }
    void SetAt(INT_PTR index, void* item) { m_items.at(static_cast<std::size_t>(index)) = item; }
    void*& ElementAt(INT_PTR index) { return m_items.at(static_cast<std::size_t>(index)); }
    void* operator[](INT_PTR index) const { return GetAt(index); }
    void*& operator[](INT_PTR index) { return ElementAt(index); }
    void RemoveAll() noexcept { m_items.clear(); }

private:
    std::vector<void*> m_items;
};
