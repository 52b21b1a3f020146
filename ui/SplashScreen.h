#pragma once
// The window shown while the program starts: no border, on top, centred, with the program's
// picture inside a one-pixel navy frame and the version in red.

#include <QWidget>

class QLabel;

namespace ui {

class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 345;
    static constexpr int kHeight = 231;

    explicit SplashScreen(QWidget* parent = nullptr);

    // Shows the window and paints it at once.
    void showNow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QLabel* m_version;
};

} // namespace ui
