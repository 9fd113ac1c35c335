#include "ptr_array.h"

IMPLEMENT_DYNAMIC(CPtrArray, CObject)

INT_PTR CPtrArray::Add(void* item)
{
    m_items.push_back(item);
    return GetSize() - 1;
}
