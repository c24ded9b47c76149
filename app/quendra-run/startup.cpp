#include "startup.h"

#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/userconfig.h"

namespace quendra::startup {

void begin(const QString& config)
{
    applyRegionalDefault();
    initGlobals(config);
}

bool prepare(bool provideDemo)
{
    return trapHandler("quendra-run", [provideDemo] {
        prepareConfiguration(QStringLiteral("quendra-run"), provideDemo);
    });
}

} // namespace quendra::startup
