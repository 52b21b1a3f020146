#pragma once
// Follows a folder whose changes inotify does not report (a network or FUSE mount, a virtual
// machine's host folder): the change time of the folder and of its notes file is read every
// two seconds on a thread of its own, so a mount that stalls never stalls the window. A look
// that is still waiting when the next one is due is not repeated.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace core {

class FolderPoll : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 2000;

    // What one look at a folder (its path's bytes) found.
    struct Look
    {
        bool answered = false; // false: the mount did not answer (an error other than "gone")
        bool gone = false;     // the folder is no longer there
        QByteArray state;      // what changes when the folder's entries or notes change
    };
    using Probe = std::function<Look(const QByteArray& folder)>;
    // Whether a folder is one to poll.
    using Rule = std::function<bool(const QString& folder)>;

    explicit FolderPoll(QObject* parent = nullptr);
    ~FolderPoll() override;

    // Follows `folder` (ending in "/") when the rule says its changes need polling; an empty
    // folder, or one the rule declines, stops the polling.
    void follow(const QString& folder);
    // The folder polled; empty when none.
    const QString& folder() const { return m_folder; }
    // True while a look is under way.
    bool looking() const { return m_looking; }

    // Stand-ins for tests: the rule (by default the file system's type decides), the look
    // (by default the change times read with stat) and the interval.
    void setRule(Rule rule) { m_rule = std::move(rule); }
    void setProbe(Probe probe) { m_probe = std::move(probe); }
    void setInterval(int ms) { m_timer.setInterval(ms); }

    // The system's rule and look.
    static bool needsPolling(const QString& folder);
    static Look lookAt(const QByteArray& folder);

Q_SIGNALS:
    // The folder's entries or its notes file changed since the last look.
    void changed();
    // The folder is gone.
    void vanished();

private:
    struct Shared;
    void look();
    void seen(quint64 generation, const Look& look);

    std::shared_ptr<Shared> m_shared;
    Rule m_rule;
    Probe m_probe;
    QTimer m_timer;
    QString m_folder;
    quint64 m_generation = 0; // a look begun for an earlier folder tells nothing
    bool m_looking = false;
    bool m_known = false;    // a first state has been seen
    bool m_settling = false; // the last look saw a change
    QByteArray m_state;
};

} // namespace core
