#pragma once

#include <QString>

namespace quendra {

// The name a new configuration file is made under beside `path` until it is complete and
// renamed over `path`: the path with this process's number and ".neu", so that a program
// that starts at the same time meets either no file or a whole one. What an earlier,
// killed process with the same number left under that name is removed first.
QString freshPartialPath(const QString& path);

} // namespace quendra
