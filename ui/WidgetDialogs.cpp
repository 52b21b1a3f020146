#include "ui/WidgetDialogs.h"

#include "core/Texts.h"
#include "platform/FileNames.h"
#include "ui/AttributesDialog.h"
#include "ui/CategoryChoiceDialog.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"
#include "ui/NameDialog.h"
#include "ui/NoteDialog.h"
#include "ui/OptionsDialog.h"
#include "ui/OutDirForm.h"
#include "ui/PictureFile.h"
#include "ui/TemplateDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPixmap>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeView>

namespace ui {

namespace {

QMessageBox::Icon qtIcon(core::MessageIcon icon)
{
    switch (icon) {
    case core::MessageIcon::Information:
        return QMessageBox::Information;
    case core::MessageIcon::Warning:
        return QMessageBox::Warning;
    case core::MessageIcon::Question:
        return QMessageBox::Question;
    case core::MessageIcon::Error:
        return QMessageBox::Critical;
    case core::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(core::Answer answer)
{
    switch (answer) {
    case core::Answer::Yes:
        return QMessageBox::Yes;
    case core::Answer::No:
        return QMessageBox::No;
    case core::Answer::Cancel:
        return QMessageBox::Cancel;
    case core::Answer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons qtButtons(core::Buttons buttons)
{
    switch (buttons) {
    case core::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case core::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case core::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case core::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

int WidgetDialogs::exec(QMessageBox& box) const
{
    if (m_onTop) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.show();
        box.raise();
        box.activateWindow();
    }
    return box.exec();
}

void WidgetDialogs::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, core::texts::AppTitle, messageText(text),
                    QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    exec(box);
}

core::Answer WidgetDialogs::ask(const QString& caption, const QString& text,
                                core::MessageIcon icon, core::Buttons buttons,
                                core::Answer defaultButton)
{
    QMessageBox box(qtIcon(icon), platform::displayText(caption), messageText(text), qtButtons(buttons), m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(qtButton(defaultButton));
    if (buttons == core::Buttons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (exec(box)) {
    case QMessageBox::Yes:
        return core::Answer::Yes;
    case QMessageBox::No:
        return core::Answer::No;
    case QMessageBox::Ok:
        return core::Answer::Ok;
    default:
        return buttons == core::Buttons::YesNo ? core::Answer::No : core::Answer::Cancel;
    }
}

void WidgetDialogs::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, core::texts::AppTitle, messageText(text),
                    QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    exec(box);
}

QString WidgetDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        // "*.*" means every file; here a name need not have a dot.
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString WidgetDialogs::startFolder(const QString& title) const
{
    const QString last = m_lastFolders.value(m_folderGroup + u'|' + title);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir())
        return downloads;
    return QDir::homePath();
}

bool WidgetDialogs::runFileDialog(QFileDialog& dialog, const QString& title,
                                  const QString& proposedName)
{
    dialog.setWindowTitle(title);
    dialog.setDirectory(startFolder(title));
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    // Qt's own dialog sizes its size column for "128.88 GB"; sizes in KiB with two decimals
    // and the date column's local format need more.
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = tree->header();
        const QFontMetrics metrics(tree->font());
        const int padding = 4 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 8;
        const QString date = QLocale().toString(QDateTime(QDate(2088, 12, 28), QTime(23, 58)),
                                                QLocale::ShortFormat);
        for (const auto& [column, sample] :
             {std::pair{1, QLocale().formattedDataSize(1023LL * 1024 * 1024 + 1000 * 1024)},
              std::pair{3, date}}) {
            const int width = metrics.horizontalAdvance(sample) + padding;
            if (column < header->count() && header->sectionSize(column) < width)
                header->resizeSection(column, width);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    m_lastFolders.insert(m_folderGroup + u'|' + title, dialog.directory().absolutePath());
    return true;
}

QStringList WidgetDialogs::chooseFiles(const QString& title, const QString& filter)
{
    QFileDialog dialog(m_parent, title, QString(), qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!runFileDialog(dialog, title))
        return {};
    return dialog.selectedFiles();
}

QString WidgetDialogs::chooseFile(const QString& title, const QString& filter)
{
    QFileDialog dialog(m_parent, title, QString(), qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!runFileDialog(dialog, title))
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WidgetDialogs::chooseSaveFile(const core::SaveDialogSpec& spec)
{
    QFileDialog dialog(m_parent, spec.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = qtFilter(spec.filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (spec.filterIndex >= 1 && spec.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[spec.filterIndex - 1]);
    dialog.setDefaultSuffix(spec.defaultExtension);
    if (!runFileDialog(dialog, spec.title, spec.fileName))
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WidgetDialogs::choosePicture(const QString& title, const QString& filter)
{
    QFileDialog dialog(m_parent, title, QString(), qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The picture under the cursor shows beside the list.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(160, 160);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    preview->setAccessibleName(QStringLiteral("图片预览"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        const QPixmap picture = readPictureFile(path);
        preview->setPixmap(picture.isNull() ? QPixmap()
                                            : picture.scaled(preview->size(), Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation));
    });
    if (!runFileDialog(dialog, title))
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WidgetDialogs::chooseFolder(const QString& title)
{
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!runFileDialog(dialog, title))
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<int> WidgetDialogs::chooseColor(int initialColor)
{
    const QColor color = QColorDialog::getColor(colorFromStored(initialColor), m_parent);
    if (!color.isValid())
        return std::nullopt;
    return storedFromColor(color);
}

std::optional<core::FontSpec> WidgetDialogs::chooseFont(const core::FontSpec& initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, fontFromSpec(initial), m_parent);
    if (!ok)
        return std::nullopt;
    return specFromFont(font, colorFromStored(initial.color), initial);
}

QModelIndex WidgetDialogs::chooseCategory(const core::CategoryChoiceSpec& spec)
{
    CategoryChoiceDialog dialog(spec, m_parent);
    if (m_onTop)
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : QModelIndex();
}

void WidgetDialogs::runNameDialog(const core::NameDialogSpec& spec,
                                  const std::function<core::OkResult(const QString&)>& onOk)
{
    NameDialog dialog(spec, onOk, m_parent);
    dialog.exec();
}

void WidgetDialogs::runNoteDialog(const core::NoteDialogSpec& spec,
                                  const std::function<core::OkResult(const QStringList&)>& onOk)
{
    NoteDialog dialog(spec, onOk, m_parent);
    dialog.exec();
}

void WidgetDialogs::runTemplateDialog(core::TemplateForm& form)
{
    TemplateDialog dialog(form, m_parent);
    dialog.exec();
}

void WidgetDialogs::runOptionsDialog(core::OptionsForm& form)
{
    OptionsDialog dialog(form, m_parent);
    dialog.exec();
}

std::optional<core::AttributeBoxes>
WidgetDialogs::runAttributesDialog(const core::AttributesDialogSpec& spec)
{
    FileIconProvider icons;
    const QIcon icon =
        spec.several ? icons::own(QStringLiteral("file-attributes")) : icons.iconFor(spec.row);
    AttributesDialog dialog(spec, icon, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.boxes();
}

void WidgetDialogs::runFolderForm(
    const core::FolderFormSpec& spec, const std::function<QString(const QString&)>& onBrowse,
    const std::function<core::OkResult(const QString&, const QString&)>& onOk)
{
    OutDirForm form(spec, onBrowse, onOk, m_parent);
    form.exec();
}

void WidgetDialogs::setClipboardText(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

void WidgetDialogs::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace ui
