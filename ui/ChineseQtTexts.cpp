#include "ui/ChineseQtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <cstring>

namespace ui {

namespace {

// Every Qt module the program uses: Core, Gui and Widgets are in qtbase.
const char* const kCatalogs[] = {"qtbase_zh_CN", "qtmultimedia_zh_CN"};

struct Text
{
    const char* context;
    const char* source;
    const char* chinese;
};

// What the file dialog's type column says of what is not a file; Qt's catalogs lack these.
const Text kMissing[] = {
    {"QAbstractFileIconProvider", "Drive", "驱动器"},
    {"QAbstractFileIconProvider", "Folder", "文件夹"},
    {"QAbstractFileIconProvider", "File Folder", "文件夹"},
    {"QAbstractFileIconProvider", "File", "文件"},
    {"QAbstractFileIconProvider", "Shortcut", "快捷方式"},
    {"QAbstractFileIconProvider", "Alias", "快捷方式"},
    {"QAbstractFileIconProvider", "Unknown", "未知"},
};

} // namespace

void ChineseQtTexts::install(QCoreApplication& app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalog : kCatalogs) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLatin1String(catalog), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
    QCoreApplication::installTranslator(new ChineseQtTexts(&app));
}

QString ChineseQtTexts::translate(const char* context, const char* sourceText, const char*,
                                  int) const
{
    if (!context || !sourceText)
        return {};
    for (const Text& text : kMissing) {
        if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0)
            return QString::fromUtf8(text.chinese);
    }
    return {};
}

} // namespace ui
