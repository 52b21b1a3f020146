#pragma once
// A generated library to search: 2,000 category folders (40 at the first level, 49 below
// each) holding 50 files each, 100,000 files in all, every file with a note in its folder's
// notes file (GB18030). Names and notes are drawn from small word lists, so a word finds
// about one file in a hundred; every name holds "-v", so that keyword finds them all.

#include "platform/FileNames.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace bench_support {

struct GeneratedLibrary
{
    static constexpr int kTopFolders = 40;
    static constexpr int kSubfolders = 49;
    static constexpr int kFilesPerFolder = 50;
    // Each in about 1 % of the names or notes.
    static inline const QString NameKeyword = QStringLiteral("ViewerPro");
    static inline const QString NoteKeyword = QStringLiteral("压缩");
    // In every name.
    static inline const QString EveryNameKeyword = QStringLiteral("-v");
    // The one category of many files.
    static inline const QString LargeCategory = QStringLiteral("大类别");
};

inline QStringList nameWords()
{
    QStringList words;
    const char* base[] = {"setup",  "viewer", "player", "editor", "tool", "driver", "patch",
                          "game",   "font",   "codec",  "mail",   "chat", "clock",  "paint",
                          "music",  "video",  "backup", "disk",   "net",  "office", "reader",
                          "writer", "zip",    "photo",  "share"};
    for (const char* word : base) {
        for (const char* suffix : {"", "pro", "lite", "x"})
            words.append(QLatin1String(word) + QLatin1String(suffix));
    }
    return words; // 100 words; "viewerpro" lies in no other
}

inline QStringList noteWords()
{
    return {QStringLiteral("压缩"), QStringLiteral("播放"), QStringLiteral("编辑"),
            QStringLiteral("驱动"), QStringLiteral("补丁"), QStringLiteral("游戏"),
            QStringLiteral("字体"), QStringLiteral("解码"), QStringLiteral("邮件"),
            QStringLiteral("聊天"), QStringLiteral("时钟"), QStringLiteral("绘图"),
            QStringLiteral("音乐"), QStringLiteral("视频"), QStringLiteral("备份"),
            QStringLiteral("磁盘"), QStringLiteral("网络"), QStringLiteral("办公"),
            QStringLiteral("阅读"), QStringLiteral("写作"), QStringLiteral("图像"),
            QStringLiteral("共享"), QStringLiteral("安全"), QStringLiteral("杀毒"),
            QStringLiteral("翻译"), QStringLiteral("词典"), QStringLiteral("下载"),
            QStringLiteral("上传"), QStringLiteral("浏览"), QStringLiteral("管理"),
            QStringLiteral("系统"), QStringLiteral("优化"), QStringLiteral("清理"),
            QStringLiteral("桌面"), QStringLiteral("主题"), QStringLiteral("屏保"),
            QStringLiteral("输入"), QStringLiteral("教育"), QStringLiteral("学习"),
            QStringLiteral("数学"), QStringLiteral("地图"), QStringLiteral("天气"),
            QStringLiteral("股票"), QStringLiteral("财务"), QStringLiteral("记账"),
            QStringLiteral("日历"), QStringLiteral("笔记"), QStringLiteral("相册"),
            QStringLiteral("录音"), QStringLiteral("刻录"), QStringLiteral("光盘"),
            QStringLiteral("虚拟"), QStringLiteral("远程"), QStringLiteral("终端"),
            QStringLiteral("脚本"), QStringLiteral("编程"), QStringLiteral("数据"),
            QStringLiteral("表格"), QStringLiteral("演示"), QStringLiteral("文档"),
            QStringLiteral("打印"), QStringLiteral("扫描"), QStringLiteral("传真"),
            QStringLiteral("电话"), QStringLiteral("短信"), QStringLiteral("相机"),
            QStringLiteral("手机"), QStringLiteral("蓝牙"), QStringLiteral("无线"),
            QStringLiteral("宽带"), QStringLiteral("代理"), QStringLiteral("防火"),
            QStringLiteral("加密"), QStringLiteral("解密"), QStringLiteral("密码"),
            QStringLiteral("恢复"), QStringLiteral("分区"), QStringLiteral("启动"),
            QStringLiteral("引导"), QStringLiteral("监控"), QStringLiteral("测试"),
            QStringLiteral("硬件"), QStringLiteral("检测"), QStringLiteral("温度"),
            QStringLiteral("风扇"), QStringLiteral("电源"), QStringLiteral("节能"),
            QStringLiteral("定时"), QStringLiteral("关机"), QStringLiteral("闹钟"),
            QStringLiteral("收音"), QStringLiteral("电视"), QStringLiteral("卡拉"),
            QStringLiteral("歌词"), QStringLiteral("转换"), QStringLiteral("合并"),
            QStringLiteral("分割"), QStringLiteral("批量"), QStringLiteral("重命")};
}

// `count` files in `dir` (created) with a note each in its notes file; names and notes are
// drawn from the word lists with `random`, numbered on from `number`. With `shortNotes` a note
// is a word and a number, so that a million of them stay within a notes file's size limit.
inline void fillFolder(const QString& dir, int count, std::mt19937& random, int& number,
                       bool shortNotes = false, int noteEvery = 1)
{
    static const QStringList names = nameWords();
    static const QStringList notes = noteWords();
    static const QStringList suffixes = {QStringLiteral("zip"), QStringLiteral("exe"),
                                         QStringLiteral("rar"), QStringLiteral("txt"),
                                         QStringLiteral("pdf"), QStringLiteral("doc")};
    QDir().mkpath(dir);
    QString notesText = QStringLiteral("[fileinfo]\r\n");
    for (int i = 0; i < count; ++i) {
        // Every other name is ASCII only; the others start with Chinese characters.
        const QString name = QStringLiteral("%1%2-%3-v%4.%5")
                                 .arg(number % 2 ? QStringLiteral("soft") : QStringLiteral("软件"))
                                 .arg(number)
                                 .arg(names[int(random() % names.size())])
                                 .arg(random() % 10)
                                 .arg(suffixes[int(random() % suffixes.size())]);
        const QByteArray path = platform::nativePath(dir + name);
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd >= 0) {
            if (::ftruncate(fd, off_t(random() % (4 << 20))) != 0)
                (void)0; // an empty file serves as well
            ::close(fd);
        }
        const timespec times[2] = {{0, UTIME_OMIT}, {time_t(946684800 + random() % 700000000), 0}};
        ::utimensat(AT_FDCWD, path.constData(), times, 0);
        const QString& word = notes[int(random() % notes.size())];
        if (number % noteEvery == 0)
            notesText +=
            name +
            (shortNotes
                 ? QStringLiteral("=%1%2").arg(word).arg(random() % 20)
                 : QStringLiteral("=一个很好用的%1工具软件，第%2版").arg(word).arg(random() % 20)) +
            QStringLiteral("\r\n");
        ++number;
    }
    if (notesText.size() < 16)
        return;
    QFile file(dir + QStringLiteral("zzfdat.nod"));
    QStringEncoder encoder("GB18030");
    if (file.open(QIODevice::WriteOnly))
        file.write(encoder.encode(notesText));
}

// Writes the library into `root` (created; ends in "/") with the special folders beside the
// categories, and with `largeCategory` files more in the category "大类别". Returns the
// number of files.
inline int generateSearchLibrary(const QString& root, int largeCategory = 0)
{
    QDir().mkpath(root);
    for (const char* folder : {"oprecy", "tempdir", "filecomm"})
        QDir().mkpath(root + QLatin1String(folder));
    std::mt19937 random(20240611);
    int files = 0;
    for (int top = 0; top < GeneratedLibrary::kTopFolders; ++top) {
        const QString category = root + QStringLiteral("分类%1/").arg(top, 2, 10, QLatin1Char('0'));
        fillFolder(category, GeneratedLibrary::kFilesPerFolder, random, files);
        for (int sub = 0; sub < GeneratedLibrary::kSubfolders; ++sub)
            fillFolder(category + QStringLiteral("子类%1/").arg(sub, 2, 10, QLatin1Char('0')),
                       GeneratedLibrary::kFilesPerFolder, random, files);
    }
    if (largeCategory > 0)
        fillFolder(root + GeneratedLibrary::LargeCategory + u'/', largeCategory, random, files);
    return files;
}

// The libraries of the index's measures: `folders` category folders (a fiftieth at the first
// level, 49 below each), `filesPerFolder` files in each, a note on every third file. 2,000
// folders of 55 files make 110,000 files; 20,000 folders of 50 make 1,000,000.
inline int generateIndexLibrary(const QString& root, int folders, int filesPerFolder)
{
    QDir().mkpath(root);
    for (const char* folder : {"oprecy", "tempdir", "filecomm"})
        QDir().mkpath(root + QLatin1String(folder));
    std::mt19937 random(20240611);
    int files = 0;
    const int tops = std::max(1, folders / 50);
    for (int top = 0; top < tops; ++top) {
        const QString category = root + QStringLiteral("分类%1/").arg(top, 3, 10, QLatin1Char('0'));
        fillFolder(category, filesPerFolder, random, files, false, 3);
        for (int sub = 0; sub < 49; ++sub)
            fillFolder(category + QStringLiteral("子类%1/").arg(sub, 2, 10, QLatin1Char('0')),
                       filesPerFolder, random, files, false, 3);
    }
    return files;
}

} // namespace bench_support
