#pragma once
// The colours and fonts of the trees and lists: the tree colour commands, the list colour
// commands and the list font command, applied to the views and stored as they are chosen.
// Under a dark scheme the light scheme's own colours (black text, white background) follow
// the palette; colours the user chose show as chosen.

#include "core/Dialogs.h"
#include "core/Session.h"

#include <QColor>

#include <optional>

namespace ui {

class CategoryTreeView;
class FileListView;
class NoteEdit;

class ListLook
{
public:
    struct Views
    {
        CategoryTreeView* systemTree = nullptr;
        CategoryTreeView* externalTree = nullptr;
        FileListView* files = nullptr;
        FileListView* found = nullptr;
        NoteEdit* noteEdit = nullptr;
    };

    ListLook(core::Session& session, core::Dialogs& dialogs, const Views& views);

    // At start: the stored tree colours, the list font and the list colours chosen last.
    void applyAtStart(const core::FontSpec& listFont);

    // TreeFontColorClick / TreeBackColorClick: one colour of both trees.
    void chooseTreeColor(bool font);
    // FileFontColorClick / FileBackColorClick: one colour of both lists and the note editor.
    void chooseListColor(bool font);
    // t304Click: the whole font of the lists and the system tree.
    void t304Click();
    // The colours again, after the colour scheme changed.
    void applyScheme();

private:
    void applyListFont(const core::FontSpec& spec);
    void applyTreeColors();
    void applyListColors();

    core::Session& m_session;
    core::Dialogs& m_dialogs;
    Views m_views;
    int m_listText = 0;                  // stored colour of the lists' text
    std::optional<int> m_listBack;       // stored colour of their background, if one was chosen
    std::optional<int> m_systemTreeText; // the font command's colour, until the next start
};

} // namespace ui
