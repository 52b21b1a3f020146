#pragma once
// What applying the options changes in the main window: the background pictures of the tool
// bar and the trees, the tool tips, the drop window's mode and the document tool bar.

#include "core/SystemOptions.h"

namespace ui {

class BandPicture;
class MainWindow;

class WindowOptionEffects : public core::OptionEffects
{
public:
    explicit WindowOptionEffects(MainWindow& window);
    ~WindowOptionEffects() override;

    void setToolbarPicture(const QString& path) override;
    void setTreePicture(const QString& path) override;
    void setToolTipsShown(bool shown) override;
    void setDropMode(int mode) override;
    void setDocumentToolsShown(bool shown) override;
    void setColorScheme(int choice) override;

private:
    MainWindow& m_window;
    BandPicture* m_bandPicture = nullptr; // owned by the tool bar
};

} // namespace ui
