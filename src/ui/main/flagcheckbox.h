#pragma once

#include <QCheckBox>
#include <QVariant>

namespace quendra::ui {

// A check box bound to a flag column: every non-zero value shows as set; it stores -1 when
// set and 0 when clear, as the engine reads the flags. A NULL column stays NULL until the
// user clicks the box, so that merely showing a row never changes it.
class FlagCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QVariant flag READ flag WRITE setFlag USER true)
public:
    explicit FlagCheckBox(QWidget* parent = nullptr) : QCheckBox(parent)
    {
        connect(this, &QCheckBox::clicked, this, [this] { m_null = false; });
    }

    QVariant flag() const
    {
        if (m_null)
            return {};
        return isChecked() ? -1 : 0;
    }
    void setFlag(const QVariant& value)
    {
        m_null = value.isNull();
        setChecked(!m_null && value.toLongLong() != 0);
    }

private:
    bool m_null = true;
};

} // namespace quendra::ui
