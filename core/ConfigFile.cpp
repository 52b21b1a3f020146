#include "core/ConfigFile.h"

#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace core {

namespace {

const QString kDefaultTreeFont = QStringLiteral("TreeFontColor");
const QString kDefaultTreeBack = QStringLiteral("TreeBackColor");

QString key(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

QString fileColumnKey(int i)
{
    return QStringLiteral("coum%1wdith").arg(i);
}

QString searchColumnKey(int i)
{
    return QStringLiteral("list%1wdith").arg(i);
}

// A tree node's folder names as a value: "/" before each name, the top node as "/" alone.
// Names keep their bytes: "%", "/", blanks, control characters and bytes that are not UTF-8
// are written as "%" and two hex digits, everything else as it reads.
QString nodePathValue(const QStringList& names)
{
    if (names.isEmpty())
        return QStringLiteral("/");
    QString value;
    for (const QString& name : names) {
        value += u'/';
        for (const QChar c : name) {
            const char16_t u = c.unicode();
            if (platform::isKeptByte(u))
                value += QStringLiteral("%%1").arg(u - 0xdc00, 2, 16, QLatin1Char('0')).toUpper();
            else if (u <= 0x20 || u == 0x7f || u == u'%' || u == u'/')
                value += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
            else
                value += c;
        }
    }
    return value;
}

std::optional<QStringList> nodePathFromValue(const QString& value)
{
    if (!value.startsWith(u'/'))
        return std::nullopt;
    QStringList names;
    for (const QString& part : value.mid(1).split(u'/', Qt::SkipEmptyParts))
        names.append(platform::pathFromNative(QByteArray::fromPercentEncoding(part.toUtf8())));
    return names;
}

QList<QStringList> readNodePaths(const platform::IniDocument& doc, const QString& section)
{
    QList<QStringList> paths;
    for (const auto& [name, value] : doc.entries(section)) {
        if (const std::optional<QStringList> path = nodePathFromValue(value))
            paths.append(*path);
    }
    return paths;
}

void writeNodePaths(platform::IniDocument& doc, const QString& section,
                    const QList<QStringList>& paths)
{
    QList<std::pair<QString, QString>> entries;
    for (const QStringList& path : paths)
        entries.append({QString::number(entries.size() + 1), nodePathValue(path)});
    doc.replaceSection(section, entries);
}

// Typed reads from one load of the file, with the profile rules for integers.
struct Reader
{
    platform::IniDocument doc;

    QString str(const QString& s, const QString& k, const QString& fallback) const
    {
        return doc.value(s, k).value_or(fallback);
    }
    int num(const QString& s, const QString& k, int fallback) const
    {
        const auto text = doc.value(s, k);
        return text ? platform::IniFile::parseInt(*text).value_or(fallback) : fallback;
    }
    bool flag(const QString& s, const QString& k, bool fallback) const
    {
        return num(s, k, fallback ? 1 : 0) != 0;
    }
};

} // namespace

// A configuration file kept as a link (a dotfile manager's) is written where the link leads.
// Its values are read as Windows reads settings, without the blanks around them.
ConfigFile::ConfigFile(QString path)
    : m_file(std::move(path), platform::LinkPolicy::WriteTarget, platform::ValueBlanks::Trimmed)
{
}

platform::IniDocument ConfigFile::load() const
{
    return m_file.load();
}

void ConfigFile::makeFolder() const
{
    const platform::FsResult made =
        platform::FileSystem::local().makePath(platform::folderOfPath(path()));
    if (!made)
        throw platform::WriteError(path(), made.error);
}

QString ConfigFile::pathFor(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(folder) + u'/' + name.toLower() + QStringLiteral(".ini");
}

QString ConfigFile::readString(const QString& s, const QString& k, const QString& fallback) const
{
    return m_file.readString(s, k, fallback);
}

int ConfigFile::readInt(const QString& s, const QString& k, int fallback) const
{
    return m_file.readInt(s, k, fallback);
}

bool ConfigFile::readBool(const QString& s, const QString& k, bool fallback) const
{
    return m_file.readBool(s, k, fallback);
}

bool ConfigFile::hasKey(const QString& s, const QString& k) const
{
    return m_file.hasKey(s, k);
}

QStringList ConfigFile::keys(const QString& s) const
{
    return m_file.keys(s);
}

void ConfigFile::writeString(const QString& s, const QString& k, const QString& value)
{
    makeFolder();
    m_file.writeString(s, k, value);
}

void ConfigFile::writeInt(const QString& s, const QString& k, int value)
{
    writeString(s, k, QString::number(value));
}

void ConfigFile::writeBool(const QString& s, const QString& k, bool value)
{
    writeString(s, k, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ConfigFile::removeKey(const QString& s, const QString& k)
{
    m_file.removeKey(s, k);
}

void ConfigFile::update(const std::function<bool(platform::IniDocument&)>& edit)
{
    m_file.update(edit);
}

platform::TextEncoding ConfigFile::encoding() const
{
    return m_file.load().encoding();
}

WindowSettings ConfigFile::loadWindowSettings(const WindowPlacement& designed) const
{
    // One read of the file serves every key.
    const Reader file{m_file.load()};

    WindowSettings w;
    w.placement.top = file.num(section::positus, key("formtop"), designed.top);
    w.placement.left = file.num(section::positus, key("formleft"), designed.left);
    w.placement.height = file.num(section::positus, key("formheight"), designed.height);
    w.placement.width = file.num(section::positus, key("formwidth"), designed.width);
    w.placement.maximized = file.flag(section::positus, key("formfettle"), false);

    DocumentSettings& d = w.document;
    d.backColor = file.num(section::NoteWindow, key("backcolor"), d.backColor);
    d.fontSize = file.num(section::NoteWindow, key("fontsize"), d.fontSize);
    d.fontColor = file.num(section::NoteWindow, key("fontcolor"), d.fontColor);
    d.fontName = file.str(section::NoteWindow, key("fontname"), d.fontName);
    d.fontCharset = file.num(section::NoteWindow, key("fontcharset"), d.fontCharset);
    d.showTools = file.flag(section::NoteWindow, key("ShowDocTools"), d.showTools);
    d.toolDock = file.num(section::NoteWindow, key("DocToolDock"), d.toolDock);

    w.outBarWidth = file.num(section::contlor, key("OutBarWidth"), w.outBarWidth);
    for (int i = 0; i < int(w.fileColumns.size()); ++i)
        w.fileColumns[i] = file.num(section::contlor, fileColumnKey(i), w.fileColumns[i]);
    for (int i = 0; i < int(w.searchColumns.size()); ++i)
        w.searchColumns[i] = file.num(section::findforma, searchColumnKey(i), w.searchColumns[i]);

    w.rootCaption = file.str(section::sysinfo, key("maintext"), w.rootCaption);
    w.toolbarShown = file.flag(section::contlor, key("toolbarshow"), w.toolbarShown);
    w.statusbarShown = file.flag(section::contlor, key("statbarshow"), w.statusbarShown);
    w.gridLines = file.flag(section::contlor, key("gridline"), w.gridLines);
    w.listStyle = file.num(section::contlor, key("liststyle"), w.listStyle);

    FontSpec& f = w.listFont;
    f.name = file.str(section::SystemConfig, key("FaceFontName"), f.name);
    f.color = file.num(section::SystemConfig, key("FaceFontColor"), f.color);
    f.size = file.num(section::SystemConfig, key("FaceFontSize"), f.size);
    f.height = file.num(section::SystemConfig, key("FaceFontHeight"), f.height);
    f.charset = file.num(section::SystemConfig, key("FaceFontCharset"), f.charset);
    f.pitch = file.num(section::SystemConfig, key("FaceFontPitch"), f.pitch);
    f.bold = file.flag(section::SystemConfig, key("FaceFontfsBold"), false);
    f.italic = file.flag(section::SystemConfig, key("FaceFontfsItalic"), false);
    f.underline = file.flag(section::SystemConfig, key("FaceFontfsUnderline"), false);
    f.strikeOut = file.flag(section::SystemConfig, key("FaceFontfsStrikeOut"), false);

    DropWindowSettings& drop = w.dropWindow;
    drop.top = file.num(section::DragFormPos, key("top"), drop.top);
    drop.left = file.num(section::DragFormPos, key("left"), drop.left);
    drop.visible = file.flag(section::DragFormPos, key("Visible"), drop.visible);

    w.openSystemNodes = readNodePaths(file.doc, section::OpenCategories);
    w.openExternalNodes = readNodePaths(file.doc, section::OpenFolders);
    return w;
}

void ConfigFile::saveWindowSettings(const WindowSettings& w, bool normalState)
{
    makeFolder();
    m_file.update([&](platform::IniDocument& doc) {
        const auto setInt = [&](const QString& s, const QString& k, int v) {
            doc.setValue(s, k, QString::number(v));
        };
        const auto setBool = [&](const QString& s, const QString& k, bool v) {
            doc.setValue(s, k, v ? QStringLiteral("1") : QStringLiteral("0"));
        };
        setBool(section::positus, key("formfettle"), w.placement.maximized);
        if (normalState) {
            setInt(section::positus, key("formtop"), w.placement.top);
            setInt(section::positus, key("formleft"), w.placement.left);
            setInt(section::positus, key("formheight"), w.placement.height);
            setInt(section::positus, key("formwidth"), w.placement.width);
        }
        setInt(section::contlor, key("OutBarWidth"), w.outBarWidth);
        for (int i = 0; i < int(w.fileColumns.size()); ++i)
            setInt(section::contlor, fileColumnKey(i), w.fileColumns[i]);
        for (int i = 0; i < int(w.searchColumns.size()); ++i)
            setInt(section::findforma, searchColumnKey(i), w.searchColumns[i]);
        setBool(section::contlor, key("gridline"), w.gridLines);
        setBool(section::contlor, key("toolbarshow"), w.toolbarShown);
        setBool(section::contlor, key("statbarshow"), w.statusbarShown);
        setInt(section::contlor, key("liststyle"), w.listStyle);
        doc.setValue(section::sysinfo, key("maintext"), w.rootCaption);
        const DocumentSettings& d = w.document;
        setInt(section::NoteWindow, key("backcolor"), d.backColor);
        setInt(section::NoteWindow, key("fontsize"), d.fontSize);
        setInt(section::NoteWindow, key("fontcolor"), d.fontColor);
        doc.setValue(section::NoteWindow, key("fontname"), d.fontName);
        setInt(section::NoteWindow, key("fontcharset"), d.fontCharset);
        setBool(section::NoteWindow, key("ShowDocTools"), d.showTools);
        setInt(section::NoteWindow, key("DocToolDock"), d.toolDock);
        setInt(section::DragFormPos, key("top"), w.dropWindow.top);
        setInt(section::DragFormPos, key("left"), w.dropWindow.left);
        setBool(section::DragFormPos, key("Visible"), w.dropWindow.visible);
        writeNodePaths(doc, section::OpenCategories, w.openSystemNodes);
        writeNodePaths(doc, section::OpenFolders, w.openExternalNodes);
        return true;
    });
}

Options ConfigFile::loadOptions() const
{
    const Reader file{m_file.load()};
    const auto str = [&](const char* k, const QString& fallback) {
        return file.str(section::SystemConfig, key(k), fallback);
    };
    const auto num = [&](const char* k, int fallback) {
        return file.num(section::SystemConfig, key(k), fallback);
    };
    Options o;
    o.DropMode = num("DropMode", o.DropMode);
    // Copying is 0; any other value a hand-edited file holds means moving, the default.
    if (o.DropMode != 0)
        o.DropMode = 1;
    o.EnabledSound = num("EnabledSound", o.EnabledSound) != 0;
    o.ExpNoteTree = num("ExpNoteTree", o.ExpNoteTree) != 0;
    o.DelDialog = num("DelDialog", o.DelDialog) != 0;
    o.EmptyDialog = num("EmptyDialog", o.EmptyDialog) != 0;
    o.AllowDragCopyNote = num("AllowDragCopyNote", o.AllowDragCopyNote) != 0;
    o.DoubleEnv = num("DoubleEnv", o.DoubleEnv);
    o.SysHint = num("SysHint", o.SysHint) != 0;
    o.XattrComment = num("XattrComment", o.XattrComment) != 0;
    o.ColorScheme = num("ColorScheme", o.ColorScheme);
    if (o.ColorScheme < 0 || o.ColorScheme > 2)
        o.ColorScheme = 0; // a hand-edited value outside the choices follows the desktop
    o.InstantSearch = num("InstantSearch", o.InstantSearch) != 0;
    o.DragPro = str("DragPro", o.DragPro);
    o.ToolbarBmp = str("ToolbarBmp", o.ToolbarBmp);
    o.TreeBarBmp = str("TreeBarBmp", o.TreeBarBmp);
    o.FloppyDir = str("FloppyDir", o.FloppyDir);
    return o;
}

int ConfigFile::treeFontColor() const
{
    return readInt(section::SystemConfig, kDefaultTreeFont, 0);
}

int ConfigFile::treeBackColor() const
{
    return readInt(section::SystemConfig, kDefaultTreeBack, 16777215);
}

void ConfigFile::writeListFont(const FontSpec& f)
{
    makeFolder();
    m_file.update([&](platform::IniDocument& doc) {
        const auto set = [&](const char* k, const QString& v) {
            doc.setValue(section::SystemConfig, key(k), v);
        };
        const auto flag = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
        set("FaceFontName", f.name);
        set("FaceFontColor", QString::number(f.color));
        set("FaceFontSize", QString::number(f.size));
        set("FaceFontHeight", QString::number(f.height));
        set("FaceFontCharset", QString::number(f.charset));
        set("FaceFontPitch", QString::number(f.pitch & 0x7F));
        set("FaceFontfsBold", flag(f.bold));
        set("FaceFontfsItalic", flag(f.italic));
        set("FaceFontfsUnderline", flag(f.underline));
        set("FaceFontfsStrikeOut", flag(f.strikeOut));
        return true;
    });
}

} // namespace core
