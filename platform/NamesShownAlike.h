#pragma once
// The names of one folder by what they show, read once for a command that brings many files
// into it: a file that would arrive beside another name that shows alike (see shownName())
// would look like that file and take or give it its note. Such an arrival is a same-name
// case.

#include <QHash>
#include <QString>
#include <QStringList>

namespace platform {

class NamesShownAlike
{
public:
    explicit NamesShownAlike(QString folder) : m_folder(std::move(folder)) {}

    const QString& folder() const { return m_folder; }
    // The name of another entry of the folder that shows as `name` does; empty when none.
    QString otherShowingAs(const QString& name);
    // `name` has arrived in the folder.
    void arrived(const QString& name);

private:
    void read();

    QString m_folder; // ends in "/"
    bool m_read = false;
    // Names whose shown text is not the name itself, by shown text.
    QHash<QString, QStringList> m_unlike;
};

} // namespace platform
