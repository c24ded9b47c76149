#include "ui/main/filechooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace quendra::ui {

namespace {

class DialogChooser : public FileChooser {
public:
    std::optional<QString> choose(QWidget* parent, const FileRequest& request) override
    {
        const QString filter = toQtFilter(request.filter);
        const QString name =
            request.save
                ? QFileDialog::getSaveFileName(parent, request.title, request.initialDir, filter)
                : QFileDialog::getOpenFileName(parent, request.title, request.initialDir, filter);
        if (name.isEmpty())
            return std::nullopt;
        return name;
    }
};

DialogChooser defaultChooser;
FileChooser* installed = nullptr;

} // namespace

void setFileChooser(FileChooser* chooser)
{
    installed = chooser;
}

FileChooser& fileChooser()
{
    return installed ? *installed : defaultChooser;
}

QString toQtFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "Textdatei *.txt": the dialog shows the pattern after the name anyway.
        QString name = parts[i];
        if (name.endsWith(QLatin1Char(' ') + pattern))
            name.chop(pattern.size() + 1);
        if (pattern == QLatin1StringView("*.*"))
            pattern = QStringLiteral("*");
        filters << name + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString startAt(const QString& path)
{
    const QFileInfo place(path);
    if (path.trimmed().isEmpty() || !place.absoluteDir().exists())
        return QDir::homePath();
    return place.absoluteFilePath();
}

} // namespace quendra::ui
