#include "ui/ListLook.h"

#include "ui/CategoryTreeView.h"
#include "ui/Conversions.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"

namespace ui {

namespace {

const QString kListFontColor = QStringLiteral("ListFontColor");
const QString kListBackColor = QStringLiteral("ListBackColor");

} // namespace

ListLook::ListLook(core::Session& session, core::Dialogs& dialogs, const Views& views)
    : m_session(session), m_dialogs(dialogs), m_views(views)
{
}

void ListLook::applyAtStart(const core::FontSpec& listFont)
{
    const core::ConfigFile& config = m_session.config();
    m_session.setTreeColors(config.treeFontColor(), config.treeBackColor());
    for (CategoryTreeView* tree : {m_views.systemTree, m_views.externalTree}) {
        tree->setTextColor(colorFromStored(m_session.treeFontColor()));
        tree->setBackgroundColor(colorFromStored(m_session.treeBackColor()));
    }
    applyListFont(listFont);
    // The list colours the user chose last come back with the program.
    if (config.hasKey(core::section::SystemConfig, kListFontColor))
        m_listText = colorFromStored(config.readInt(core::section::SystemConfig, kListFontColor, 0));
    if (config.hasKey(core::section::SystemConfig, kListBackColor))
        m_listBack = colorFromStored(config.readInt(core::section::SystemConfig, kListBackColor, 0));
    applyListColors();
}

void ListLook::applyListFont(const core::FontSpec& spec)
{
    m_session.setListFont(spec);
    const QFont font = fontFromSpec(spec);
    m_listText = colorFromStored(spec.color);
    m_views.files->setListFont(font);
    m_views.systemTree->setFont(font);
    m_views.found->setListFont(font);
    applyListColors();
}

void ListLook::applyListColors()
{
    m_views.files->setColors(m_listText, m_listBack);
    m_views.found->setColors(m_listText, m_listBack);
    QPalette palette = m_views.noteEdit->palette();
    if (m_listText.isValid())
        palette.setColor(QPalette::Text, m_listText);
    if (m_listBack.isValid())
        palette.setColor(QPalette::Base, m_listBack);
    m_views.noteEdit->setPalette(palette);
}

void ListLook::chooseTreeColor(bool font)
{
    // The dialog starts with the colour the system tree shows now (the font command may
    // have given it another one than the stored one).
    CategoryTreeView* system = m_views.systemTree;
    const QColor shown = font ? system->textColor() : system->backgroundColor();
    const std::optional<int> chosen = m_dialogs.chooseColor(storedFromColor(shown));
    if (!chosen)
        return;
    if (font)
        m_session.setTreeColors(*chosen, m_session.treeBackColor());
    else
        m_session.setTreeColors(m_session.treeFontColor(), *chosen);
    for (CategoryTreeView* tree : {m_views.systemTree, m_views.externalTree}) {
        if (font)
            tree->setTextColor(colorFromStored(*chosen));
        else
            tree->setBackgroundColor(colorFromStored(*chosen));
    }
    m_session.config().writeInt(core::section::SystemConfig,
                                font ? QStringLiteral("TreeFontColor")
                                     : QStringLiteral("TreeBackColor"),
                                *chosen);
}

void ListLook::chooseListColor(bool font)
{
    const QColor current = font ? m_views.files->textColor() : m_views.files->backgroundColor();
    const std::optional<int> chosen = m_dialogs.chooseColor(storedFromColor(current));
    if (!chosen)
        return;
    (font ? m_listText : m_listBack) = colorFromStored(*chosen);
    applyListColors();
    m_session.config().writeInt(core::section::SystemConfig, font ? kListFontColor : kListBackColor,
                                *chosen);
}

void ListLook::t304Click()
{
    core::FontSpec current = m_session.listFont();
    current.color = storedFromColor(m_views.files->textColor());
    const std::optional<core::FontSpec> chosen = m_dialogs.chooseFont(current);
    if (!chosen)
        return;
    applyListFont(*chosen);
    // The system tree takes the colour too, until the next start.
    m_views.systemTree->setTextColor(m_listText);
    m_session.config().writeListFont(*chosen);
    // The font's colour is now the lists' colour, also at the next start.
    m_session.config().writeInt(core::section::SystemConfig, kListFontColor, chosen->color);
}

} // namespace ui
