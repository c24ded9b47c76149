#include "common/beep.h"

#include <utility>

namespace quendra {

namespace {
BeepHook& hook()
{
    static BeepHook h;
    return h;
}
} // namespace

void beep()
{
    if (hook())
        hook()();
}

BeepHook setBeepHook(BeepHook h)
{
    return std::exchange(hook(), std::move(h));
}

} // namespace quendra
