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
    void SetSize(INT_PTR size) { m_items.resize(static_cast<std::size_t>(size), nullptr); }
    // Returns the new item's index.
    INT_PTR Add(void* item);
    void* operator[](INT_PTR index) const { return m_items.at(static_cast<std::size_t>(index)); }
    void*& operator[](INT_PTR index) { return m_items.at(static_cast<std::size_t>(index)); }

private:
    std::vector<void*> m_items;
};
