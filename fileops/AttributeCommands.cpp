#include "fileops/AttributeCommands.h"

#include "core/FileFormats.h"
#include "fileops/FileOpsTexts.h"
#include "notes/FileComments.h"
#include "platform/FileNames.h"

namespace fileops {

namespace {

const struct
{
    core::BoxState core::AttributeBoxes::*box;
    platform::Attributes bit;
} kBoxes[] = {
    {&core::AttributeBoxes::readOnly, platform::ReadOnly},
    {&core::AttributeBoxes::hidden, platform::Hidden},
    {&core::AttributeBoxes::archive, platform::Archive},
    {&core::AttributeBoxes::system, platform::System},
};

} // namespace

QString FileTimeText(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

core::AttributeBoxes boxesOf(platform::Attributes attributes)
{
    core::AttributeBoxes boxes;
    for (const auto& b : kBoxes)
        boxes.*b.box = (attributes & b.bit) ? core::BoxState::Checked : core::BoxState::Unchecked;
    return boxes;
}

platform::Attributes applyBoxes(platform::Attributes current, const core::AttributeBoxes& boxes)
{
    for (const auto& b : kBoxes) {
        if (boxes.*b.box == core::BoxState::Checked)
            current |= b.bit;
        else if (boxes.*b.box == core::BoxState::Unchecked)
            current &= ~b.bit;
    }
    return current;
}

AttributeCommands::AttributeCommands(core::Workspace& workspace, core::Dialogs& dialogs,
                                     platform::Shell* shell)
    : m_workspace(workspace), m_dialogs(dialogs), m_shell(shell)
{
}

void AttributeCommands::fattrClick()
{
    const std::vector<int> rows = core::Workspace::selectedRows(m_workspace.fileSelection());
    if (rows.empty())
        return;
    const core::Session& session = m_workspace.session();
    const core::FileListModel& list = m_workspace.fileList();

    core::AttributesDialogSpec spec;
    if (rows.size() == 1) {
        const core::FileRow& row = list.row(rows.front());
        const QString path = list.pathOf(rows.front());
        spec.row = row;
        spec.fileName = row.caption;
        spec.sizeText = core::SizeTextLong(row.size);
        bool found = false;
        const platform::FileTimes times = session.fs().times(path, &found);
        if (found) {
            spec.createTime = FileTimeText(times.created);
            spec.accessTime = FileTimeText(times.accessed);
            spec.modifyTime = FileTimeText(times.modified);
        }
        spec.boxes = boxesOf(session.fs().attributes(path));
        spec.origin = notes::originOf(path);
        if (m_shell && notes::isOpenableAddress(spec.origin)) {
            platform::Shell* shell = m_shell;
            spec.openOrigin = [shell, origin = spec.origin] { shell->openUrl(origin); };
        }
    } else {
        spec.several = true;
        spec.fileName = texts::severalFilesChosen(int(rows.size()));
        qint64 total = 0;
        for (int row : rows)
            total += list.row(row).size;
        spec.sizeText = core::SizeTextLong(total);
        const core::BoxState g = core::BoxState::Grayed;
        spec.boxes = {g, g, g, g};
    }
    spec.place = platform::displayPath(session.currentDir());
    spec.okEnabled = session.writable();

    const std::optional<core::AttributeBoxes> chosen = m_dialogs.runAttributesDialog(spec);
    if (!chosen || !session.writable())
        return;
    if (rows.size() == 1)
        applyToOne(rows.front(), *chosen);
    else
        applyToSeveral(rows, *chosen);
}

bool AttributeCommands::refuseUnstorable(
    const std::vector<std::pair<int, platform::Attributes>>& changes)
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    platform::Attributes unstorable = 0;
    for (const auto& [row, value] : changes)
        unstorable |= fs.unstorableAttributes(m_workspace.fileList().pathOf(row), value);
    if (unstorable == 0)
        return false;
    m_dialogs.ask(texts::AttributesCaption, texts::attributesNotHeld(unstorable),
                  core::MessageIcon::Warning, core::Buttons::Ok, core::Answer::Ok);
    return true;
}

void AttributeCommands::applyToOne(int row, const core::AttributeBoxes& boxes)
{
    const platform::Attributes value = applyBoxes(0, boxes);
    if (refuseUnstorable({{row, value}}))
        return;
    if (!m_workspace.session().fs().setAttributes(m_workspace.fileList().pathOf(row), value)) {
        m_dialogs.ask(texts::AttributesCaption, texts::AttributesFailed,
                      core::MessageIcon::Question, core::Buttons::Ok, core::Answer::Ok);
        return;
    }
    showResult(row, value);
}

void AttributeCommands::applyToSeveral(const std::vector<int>& rows,
                                       const core::AttributeBoxes& boxes)
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    const core::FileListModel& list = m_workspace.fileList();
    // What each file would get is known before any changes, so that a medium that cannot
    // keep part of it leaves every file as it was.
    std::vector<std::pair<int, platform::Attributes>> changes;
    for (int row : rows)
        changes.emplace_back(
            row, applyBoxes(fs.attributes(list.pathOf(row)) & ~platform::Directory, boxes));
    if (refuseUnstorable(changes))
        return;
    for (const auto& [row, value] : changes) {
        const QString path = list.pathOf(row);
        if (!fs.setAttributes(path, value)) {
            m_dialogs.ask(texts::AttributesCaption,
                          texts::attributesFailedFor(list.row(row).caption),
                          core::MessageIcon::Question, core::Buttons::Ok, core::Answer::Ok);
            continue;
        }
        showResult(row, value);
    }
}

void AttributeCommands::showResult(int row, platform::Attributes value)
{
    // The column shows what the file has now; a dot name keeps a file hidden whatever was
    // asked.
    core::FileListModel& list = m_workspace.fileList();
    bool found = false;
    const platform::Attributes now =
        m_workspace.session().fs().attributes(list.pathOf(row), &found);
    if (found)
        value = now & ~platform::Directory;
    list.setAttributes(row, value, core::AttrText(value));
}

} // namespace fileops
