#pragma once

#include <chrono>
#include <functional>

namespace quendra {

// Some file libraries crash or loop without end on a damaged file (found by fuzzing:
// FreeXL reads past its buffers, libmdb loops on a property block of length zero). So
// that such a file ends in an error instead, the reading is first tried in a child
// process: true when the child came through or refused the file by throwing (the caller
// then reads it again and reports that itself), false when it crashed or had not
// finished within the limit (it is then ended). The child's standard error is thrown
// away. Where no child can be made, true: the file is read as it is.
bool survivesInChild(const std::function<void()>& work, std::chrono::seconds limit);

} // namespace quendra
