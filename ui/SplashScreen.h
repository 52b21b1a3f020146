#pragma once
// The window shown while the program starts: no border, on top, centred, with the program's
// picture inside a one-pixel navy frame and the version in red.

#include <QWidget>

class QElapsedTimer;

class QLabel;

namespace ui {

class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 345;
    static constexpr int kHeight = 231;

    explicit SplashScreen(QWidget* parent = nullptr);

    // Shows the window and runs the loop, without taking input, until the window system has
    // it drawn (a Wayland compositor answers in a moment; at most a fifth of a second).
    void showNow();
    // Runs the loop, without taking input, until `ms` have passed since `shown` began: the
    // window stays drawn and is drawn again when uncovered.
    void stay(const QElapsedTimer& shown, int ms);
    bool painted() const { return m_painted; }

Q_SIGNALS:
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QLabel* m_version;
    bool m_painted = false;
};

} // namespace ui
