#pragma once

#include "afx_types.h"

#include <functional>
#include <map>
#include <memory>

// Handles that the program does not own still get wrappers (FromHandle):
// borrowed, never released by the wrapper, and kept only until the message
// being handled is done, when the message loop's AfxDeleteTempObjects drops them all.
void AfxDeleteTempObjects();
void AfxRegisterTempMap(std::function<void()> clear);

// How a temporary wrapper takes and lets go of its handle; by default the
// wrapper's own Attach and Detach.
template <class TWrapper, class THandle>
struct CTempHandleTraits
{
    static void Attach(TWrapper& wrapper, THandle handle) { wrapper.Attach(handle); }
    static void Detach(TWrapper& wrapper) { wrapper.Detach(); }
};

template <class TWrapper, class THandle>
class CTempHandleMap
{
public:
    static TWrapper* FromHandle(THandle handle)
    {
        if (handle == nullptr)
            return nullptr;
        auto& map = Map();
        auto found = map.find(handle);
        if (found != map.end())
            return found->second.get();
        auto wrapper = std::make_unique<TWrapper>();
        CTempHandleTraits<TWrapper, THandle>::Attach(*wrapper, handle);
        return map.emplace(handle, std::move(wrapper)).first->second.get();
    }

    // Drops the wrapper of a handle that has just been released, so that a
    // later handle with the same value gets a fresh one.
    static void Remove(THandle handle)
    {
        auto& map = Map();
        auto found = map.find(handle);
        if (found == map.end())
            return;
        CTempHandleTraits<TWrapper, THandle>::Detach(*found->second);
        map.erase(found);
    }

    static std::size_t Count() { return Map().size(); }

private:
    // The map lives until the process exits; the wrappers still in it then
    // let go of their borrowed handles before they are destroyed.
    struct Wrappers : std::map<THandle, std::unique_ptr<TWrapper>>
    {
        ~Wrappers() { Clear(*this); }
    };

    static void Clear(Wrappers& map)
    {
        for (auto& entry : map)
            CTempHandleTraits<TWrapper, THandle>::Detach(*entry.second);
        map.clear();
    }

    static Wrappers& Map()
    {
        static Wrappers map;
        static const bool registered = (AfxRegisterTempMap([] { Clear(map); }), true);
        (void)registered;
        return map;
    }
};
