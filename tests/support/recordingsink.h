#pragma once

#include "common/messagehandler.h"

#include <vector>

namespace quendra::test {

// Records every box instead of showing it; installed for the lifetime of the object.
class RecordingSink : public MessageSink {
public:
    RecordingSink() { m_previous = setMessageSink(this); }
    ~RecordingSink() override { setMessageSink(m_previous); }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void show(const MessageBoxData& box) override { boxes.push_back(box); }

    std::vector<MessageBoxData> boxes;

private:
    MessageSink* m_previous = nullptr;
};

} // namespace quendra::test
