#pragma once

#include "afx_types.h"

// Run-time class information: a name and the base class, as GetRuntimeClass
// reports it. Dynamic creation is not offered.
struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                     \
public:                                                 \
    static CRuntimeClass class##class_name;             \
    CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                  \
    CRuntimeClass class_name::class##class_name = {                               \
        #class_name, static_cast<int>(sizeof(class_name)), RUNTIME_CLASS(base_class_name)}; \
    CRuntimeClass* class_name::GetRuntimeClass() const                                   \
    {                                                                                    \
        return RUNTIME_CLASS(class_name);                                                \
    }
