#include "engine/rundefinition.h"

#include "common/messagehandler.h"
#include "engine/clsfileconvert.h"

#include <memory>

namespace quendra {

void runDefinition(ProgressSink* progress)
{
    std::unique_ptr<clsFileConvert> engine;
    const bool loaded = trapHandler("Main.RunFileConvert",
                                    [&] { engine = std::make_unique<clsFileConvert>(progress); });
    if (loaded)
        engine->RunConvert();
}

} // namespace quendra
