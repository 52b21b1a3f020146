#include "ui/ListLook.h"

#include "ui/CategoryTreeView.h"
#include "ui/Conversions.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"

#include <QApplication>

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
    applyTreeColors();
    applyListFont(listFont);
    // The list colours the user chose last come back with the program.
    if (config.hasKey(core::section::SystemConfig, kListFontColor))
        m_listText = config.readInt(core::section::SystemConfig, kListFontColor, 0);
    if (config.hasKey(core::section::SystemConfig, kListBackColor))
        m_listBack = config.readInt(core::section::SystemConfig, kListBackColor, 0);
    applyListColors();
}

void ListLook::applyScheme()
{
    applyTreeColors();
    applyListColors();
}

void ListLook::applyTreeColors()
{
    const int text = m_session.treeFontColor();
    for (CategoryTreeView* tree : {m_views.systemTree, m_views.externalTree}) {
        const int shown = tree == m_views.systemTree ? m_systemTreeText.value_or(text) : text;
        tree->setTextColor(shownColor(shown, QPalette::Text), colorFromStored(shown));
        tree->setBackgroundColor(shownColor(m_session.treeBackColor(), QPalette::Base));
    }
}

void ListLook::applyListFont(const core::FontSpec& spec)
{
    m_session.setListFont(spec);
    const QFont font = fontFromSpec(spec);
    m_listText = spec.color;
    m_views.files->setListFont(font);
    m_views.systemTree->setFont(font);
    m_views.found->setListFont(font);
    applyListColors();
}

void ListLook::applyListColors()
{
    // Without a colour of their own the lists take the scheme's background, given as theirs
    // so that it changes with the scheme.
    const QColor text = shownColor(m_listText, QPalette::Text);
    const QColor back = m_listBack ? shownColor(*m_listBack, QPalette::Base)
                                   : QApplication::palette().color(QPalette::Base);
    m_views.files->setColors(text, back);
    m_views.found->setColors(text, back);
    QPalette palette = m_views.noteEdit->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, back);
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
    if (font) {
        m_session.setTreeColors(*chosen, m_session.treeBackColor());
        m_systemTreeText.reset();
    } else {
        m_session.setTreeColors(m_session.treeFontColor(), *chosen);
    }
    applyTreeColors();
    m_session.config().writeInt(
        core::section::SystemConfig,
        font ? QStringLiteral("TreeFontColor") : QStringLiteral("TreeBackColor"), *chosen);
}

void ListLook::chooseListColor(bool font)
{
    const QColor current = font ? m_views.files->textColor() : m_views.files->backgroundColor();
    const std::optional<int> chosen = m_dialogs.chooseColor(storedFromColor(current));
    if (!chosen)
        return;
    if (font)
        m_listText = *chosen;
    else
        m_listBack = *chosen;
    applyListColors();
    m_session.config().writeInt(core::section::SystemConfig, font ? kListFontColor : kListBackColor,
                                *chosen);
}

void ListLook::t304Click()
{
    // The dialog starts with the lists' stored colour, which may name the system's.
    core::FontSpec current = m_session.listFont();
    current.color = m_listText;
    const std::optional<core::FontSpec> chosen = m_dialogs.chooseFont(current);
    if (!chosen)
        return;
    applyListFont(*chosen);
    // The system tree takes the colour too, until the next start.
    m_systemTreeText = chosen->color;
    applyTreeColors();
    m_session.config().writeListFont(*chosen);
    // The font's colour is now the lists' colour, also at the next start.
    m_session.config().writeInt(core::section::SystemConfig, kListFontColor, chosen->color);
}

} // namespace ui
