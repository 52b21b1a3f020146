#include "ui/Icons.h"

#include "core/CategoryTreeModel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace ui {

namespace icons {

void chooseIconTheme()
{
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor"))
        return;
    for (const QString& path : QIcon::themeSearchPaths()) {
        if (QFileInfo::exists(path + QStringLiteral("/Adwaita/index.theme"))) {
            QIcon::setThemeName(QStringLiteral("Adwaita"));
            return;
        }
    }
}

QIcon own(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
}

QIcon tool(const QString& ownName, const QString& themeName)
{
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return own(ownName);
}

QIcon node(int kind)
{
    switch (kind) {
    case core::RootKind:
        return own(QStringLiteral("library-root"));
    case core::ExternalRootKind:
        return own(QStringLiteral("external-root"));
    case core::RecycleBoxKind:
        return own(QStringLiteral("recycle-box"));
    case core::TransitKind:
        return own(QStringLiteral("transit-folder"));
    default:
        break;
    }
    QIcon icon = own(QStringLiteral("category"));
    const QIcon open = own(QStringLiteral("category-open"));
    for (int size : {16, 24, 32}) {
        icon.addPixmap(open.pixmap(size), QIcon::Selected, QIcon::Off);
        icon.addPixmap(open.pixmap(size), QIcon::Normal, QIcon::On);
    }
    return icon;
}

} // namespace icons

QIcon FileIconProvider::lookUp(const QString& name)
{
    const QMimeType type = m_mimes.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    for (const QString& iconName : {type.iconName(), type.genericIconName()}) {
        if (QIcon::hasThemeIcon(iconName))
            return QIcon::fromTheme(iconName);
    }
    if (m_generic.isNull())
        m_generic = QIcon::hasThemeIcon(QStringLiteral("text-x-generic"))
                        ? QIcon::fromTheme(QStringLiteral("text-x-generic"))
                        : QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return m_generic;
}

QIcon FileIconProvider::iconFor(const core::FileRow& row)
{
    const qsizetype dot = row.caption.lastIndexOf(u'.');
    if (dot <= 0) {
        // No suffix: a program the user can run, or a plain file.
        if (platform::FileSystem::local().isExecutable(row.folder + row.name)) {
            if (m_executable.isNull())
                m_executable = QIcon::hasThemeIcon(QStringLiteral("application-x-executable"))
                                   ? QIcon::fromTheme(QStringLiteral("application-x-executable"))
                                   : icons::own(QStringLiteral("run-file"));
            return m_executable;
        }
        return lookUp(row.caption);
    }
    const QString suffix = row.caption.mid(dot + 1).toLower();
    auto found = m_bySuffix.constFind(suffix);
    if (found == m_bySuffix.cend())
        found = m_bySuffix.insert(suffix, lookUp(QStringLiteral("x.") + suffix));
    return *found;
}

} // namespace ui
