#pragma once

#include "common/messagehandler.h"

class QWidget;

namespace quendra::ui {

// Shows error and warning boxes as modal QMessageBoxes with one OK button, in front of
// parent, or of the active window when there is no parent.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent = nullptr) : m_parent(parent) {}
    void show(const MessageBoxData& box) override;

private:
    QWidget* m_parent;
};

} // namespace quendra::ui
