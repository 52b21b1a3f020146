#pragma once
// The settings the configuration file holds, with the values a first start uses.

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace core {

// A font as the configuration file describes it. Colours are integers in the stored colour
// encoding: blue, green and red bytes from high to low; a negative value names a system
// colour by the index in its low byte.
struct FontSpec
{
    QString name = QStringLiteral("宋体");
    int color = -2147483640; // the window text colour
    int size = 9;            // points
    int height = -12;        // negative: character height in pixels; decides the size
    int charset = 134;
    int pitch = 0; // 0 default, 1 variable, 2 fixed
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const FontSpec&) const = default;
};

struct WindowPlacement
{
    int top = 106;
    int left = 197;
    int height = 410;
    int width = 540;
    bool maximized = false;

    bool operator==(const WindowPlacement&) const = default;
};

struct DocumentSettings
{
    int backColor = 16777215;
    int fontSize = 11;
    int fontColor = 0;
    QString fontName = QStringLiteral("宋体");
    int fontCharset = 134;
    bool showTools = true;
    int toolDock = 4; // 1 top, 2 bottom, 3 left, 4 right

    bool operator==(const DocumentSettings&) const = default;
};

struct DropWindowSettings
{
    int top = 0;
    int left = 0;
    bool visible = false;

    bool operator==(const DropWindowSettings&) const = default;
};

// Everything the main window takes from the file at start and gives back when it closes.
struct WindowSettings
{
    WindowPlacement placement;
    int outBarWidth = 150;
    std::array<int, 5> fileColumns{100, 200, 60, 120, 50};
    std::array<int, 6> searchColumns{100, 200, 200, 60, 120, 50};
    QString rootCaption = QStringLiteral("我的软件库");
    bool toolbarShown = true;
    bool statusbarShown = true;
    bool gridLines = false;
    int listStyle = 3; // 0 large icons, 1 small icons, 2 list, 3 details
    DocumentSettings document;
    FontSpec listFont;
    DropWindowSettings dropWindow;
    // The nodes of each tree that were open at the last close, parents first: each the folder
    // names from the first level below the tree's top node (none for the top node itself).
    QList<QStringList> openSystemNodes;
    QList<QStringList> openExternalNodes;

    bool operator==(const WindowSettings&) const = default;
};

// The user's options, held in memory under the names of their keys.
struct Options
{
    int DropMode = 1; // 0 copy into the category, 1 move
    bool EnabledSound = true;
    bool ExpNoteTree = false;
    bool DelDialog = true;
    bool EmptyDialog = true;
    bool AllowDragCopyNote = true;
    int DoubleEnv = 0; // 0 run the file, 1 edit its note
    bool SysHint = true;
    bool XattrComment = true; // notes mirrored to the files' comment attributes
    int ColorScheme = 0;      // 0 as the desktop prefers, 1 light, 2 dark
    bool InstantSearch = true; // the search's results follow the typing
    QString DragPro;
    QString ToolbarBmp;
    QString TreeBarBmp;
    QString FloppyDir = QStringLiteral("/media/floppy");

    bool operator==(const Options&) const = default;
};

} // namespace core
