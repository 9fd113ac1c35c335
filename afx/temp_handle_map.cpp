#include "temp_handle_map.h"

namespace
{

std::vector<std::function<void()>>& Clearers()
{
    static std::vector<std::function<void()>> clearers;
    return clearers;
}

} // namespace

void AfxRegisterTempMap(std::function<void()> clear)
{
    Clearers().push_back(std::move(clear));
}

void AfxDeleteTempObjects()
{
    for (const auto& clear : Clearers())
        clear();
}
