#include "gui/filechooser.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

namespace {

// "wth" of "Maravel weather files (.wth) (*.wth)"; "" for "All files (*)".
QString suffixOf(const QString& nameFilter)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)[^(]*\\)$"));
    const QRegularExpressionMatch match = pattern.match(nameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QString qtFilter(const QString& pairs)
{
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*" rather than "*.*": here a file name need not have a dot.
        const QString pattern = parts[i + 1] == "*.*" ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + " (" + pattern + ")";
    }
    return filters.join(";;");
}

SaveChoice FileChooser::saveFileWithFilter(QWidget* parent, const QString& title, const QString& folder,
                                           const QString& name, const QString& filter)
{
    return {saveFile(parent, title, QDir(folder).filePath(name), filter, QString()), 0};
}

QString DialogFileChooser::openFile(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString DialogFileChooser::saveFile(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

SaveChoice DialogFileChooser::saveFileWithFilter(QWidget* parent, const QString& title,
                                                 const QString& folder, const QString& name,
                                                 const QString& filter)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(name);
    // The dialog adds the extension itself, so that it asks before
    // overwriting the file that is really written.
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& selected) { dialog.setDefaultSuffix(suffixOf(selected)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const auto index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return {dialog.selectedFiles().first(), static_cast<int>(qMax<qsizetype>(0, index))};
}
