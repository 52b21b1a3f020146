#include "ui/Icons.h"

#include "core/CategoryTreeModel.h"
#include "ui/ColorScheme.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>

namespace ui {

namespace icons {

namespace {

// The dark greys the pictures draw their lines in, and the light greys that stand in for
// them on a dark background.
constexpr std::pair<const char*, const char*> kLinesOnDark[] = {
    {"#4B5563", "#B8C0CC"},
    {"#2E3440", "#D3D9E2"},
    {"#5E6A78", "#AEB8C5"},
    {"#173F73", "#7FAEEA"},
};

// The picture drawn for a dark background: its dark lines drawn light.
QPixmap drawnForDark(const QString& file, const QSize& size)
{
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = source.readAll();
    for (const auto& [dark, light] : kLinesOnDark)
        svg.replace(dark, light);
    QBuffer buffer(&svg);
    QImageReader reader(&buffer, "svg");
    reader.setScaledSize(size);
    return QPixmap::fromImage(reader.read());
}

// Draws one of the program's scalable pictures at exactly the size asked for (device pixels
// included); the disabled picture is the same drawing in faint grey, so a disabled button
// never looks like an enabled one. Under a dark colour scheme its dark lines are drawn light.
class OwnIconEngine : public QIconEngine
{
public:
    explicit OwnIconEngine(const QString& file) : m_file(file), m_drawing(file) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const bool dark = ColorScheme::paletteIsDark();
        const QString key = QStringLiteral("quillet-icon:%1:%2x%3:%4:%5")
                                .arg(m_file)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(mode == QIcon::Disabled ? 1 : 0)
                                .arg(dark ? 1 : 0);
        QPixmap cached;
        if (QPixmapCache::find(key, &cached))
            return cached;
        QPixmap drawn;
        if (dark)
            drawn = drawnForDark(m_file, size);
        if (drawn.isNull())
            drawn = m_drawing.pixmap(size, 1.0, QIcon::Normal, state);
        if (mode == QIcon::Disabled)
            drawn = faded(drawn);
        QPixmapCache::insert(key, drawn);
        return drawn;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new OwnIconEngine(m_file); }
    QString key() const override { return QStringLiteral("quillet-own"); }

private:
    static QPixmap faded(const QPixmap& pixmap)
    {
        QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = line[x];
                const int grey = (qGray(p) * 3 + 255 * 2) / 5;
                line[x] = qRgba(grey, grey, grey, qAlpha(p) * 9 / 20);
            }
        }
        return QPixmap::fromImage(image);
    }

    QString m_file;
    QIcon m_drawing; // the picture as the SVG engine draws it
};

} // namespace

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
    return QIcon(new OwnIconEngine(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")));
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
