// Pass-through customer module: values stay as they are and no correction lines are
// written. The booking rules replace this file.
#include "engine/indivtorven.h"

namespace quendra::indivTorven {

QString torvenRun(clsFileConvert&, const QString& value, const QString&)
{
    return value;
}

void torvenRunCorrectAmount(clsFileConvert&, bool) {}

QString fieldConvert(const QString&, const QString&, const QString&)
{
    return {};
}

void resetState() {}

} // namespace quendra::indivTorven
