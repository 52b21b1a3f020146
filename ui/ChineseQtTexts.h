#pragma once
// Qt's own dialogs and buttons in Chinese, whatever the system language: Qt's Chinese
// catalogs of every Qt module the program uses, and the few texts those catalogs lack (the
// file dialog's "Folder", for one).

#include <QTranslator>

class QCoreApplication;

namespace ui {

class ChineseQtTexts : public QTranslator
{
    Q_OBJECT
public:
    // Installs Qt's catalogs and, for the texts they lack, a translator of this kind.
    static void install(QCoreApplication& app);

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }

private:
    explicit ChineseQtTexts(QObject* parent) : QTranslator(parent) {}
};

} // namespace ui
