#pragma once
// The texts of the status bar's panels: 0 the current folder, 1 the file count, 2 the
// selection count, 3 the detailed-document mark. Panel 4 is the maker's credit.

#include <QObject>
#include <QString>

#include <array>

namespace core {

class StatusPanels : public QObject
{
    Q_OBJECT
public:
    static constexpr int kCount = 4;
    using QObject::QObject;

    const QString& text(int panel) const { return m_texts[size_t(panel)]; }
    void setText(int panel, const QString& text)
    {
        if (m_texts[size_t(panel)] == text)
            return;
        m_texts[size_t(panel)] = text;
        Q_EMIT changed(panel, text);
    }

Q_SIGNALS:
    void changed(int panel, const QString& text);

private:
    std::array<QString, kCount> m_texts;
};

} // namespace core
