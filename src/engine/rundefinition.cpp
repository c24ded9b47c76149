#include "engine/rundefinition.h"

#include "common/messagehandler.h"
#include "config/configconnection.h"
#include "engine/clsfileconvert.h"

#include <memory>

namespace quendra {

void runDefinition(ProgressSink* progress)
{
    // The run opens its configuration cursors one after another; they share one
    // connection for the whole run.
    const ConfigConnectionScope configConnection;
    std::unique_ptr<clsFileConvert> engine;
    const bool loaded = trapHandler("Main.RunFileConvert",
                                    [&] { engine = std::make_unique<clsFileConvert>(progress); });
    if (loaded)
        engine->RunConvert();
}

} // namespace quendra
