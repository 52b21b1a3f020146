#pragma once
// The views of one file list: details (a table with a header) and the three icon views, all
// showing the same model with the same selection. One of them is visible at a time.

#include <QPersistentModelIndex>
#include <QStackedWidget>
#include <QTimer>

#include <functional>

class QAbstractItemModel;
class QItemSelectionModel;
class QListView;
class QTableView;
class QAbstractItemView;

namespace ui {

class FileListView : public QStackedWidget
{
    Q_OBJECT
public:
    enum Style
    {
        LargeIcons = 0,
        SmallIcons = 1,
        List = 2,
        Details = 3
    };

    FileListView(QAbstractItemModel* model, QItemSelectionModel* selection,
                 QWidget* parent = nullptr);

    QTableView* details() const { return m_details; }
    QListView* icons() const { return m_icons; }
    QAbstractItemView* currentView() const;

    // SetViewStyle: 0 large icons, 1 small icons, 2 list, 3 details.
    void SetViewStyle(int style);
    int viewStyle() const { return m_style; }

    void setGridLines(bool shown);
    bool gridLines() const;
    void setListFont(const QFont& font);
    void setColors(const QColor& text, const QColor& background);
    QColor textColor() const;
    QColor backgroundColor() const;

    // The widths the columns are given; the note column is wider while the view has room to
    // spare, but its own width is the one kept.
    void setColumnWidths(const QList<int>& widths);
    QList<int> columnWidths() const;

    // Captions may be edited in place: a click on the caption of the selected row opens the
    // editor once the time of a double click has passed, unless the focus has left the list
    // meanwhile (the model decides whether an edit may begin).
    void setCaptionEditing(bool enabled);
    // Opens the caption editor on the row.
    void editCaption(int row);

    // A key pressed in any of the views; keys without a handler keep their behaviour.
    void setKeyHandler(int key, std::function<void()> handler);
    // Drops of the list's own rows onto a row: `accept` decides, `drop` gets the target row.
    void setRowDropHandler(std::function<bool(bool fromThisList)> accept,
                           std::function<void(int row)> drop);

Q_SIGNALS:
    void headerClicked(int column);
    void contextMenuRequested(const QPoint& globalPos);
    void rowDoubleClicked(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUp(QAbstractItemView* view, QItemSelectionModel* selection);
    void fitFillColumn();
    // The click that may open the caption editor, seen on a view's viewport.
    void watchClick(QAbstractItemView* view, QEvent* event);
    void cancelCaptionEdit();

    QTableView* m_details;
    QListView* m_icons;
    int m_style = Details;
    int m_fillColumn = -1; // the note column, which takes the room to spare
    int m_fillWidth = 0;   // its own width, without that room
    bool m_fitting = false;
    QHash<int, std::function<void()>> m_keys;
    bool m_captionEditing = false;
    QPersistentModelIndex m_pressed; // the cell pressed while its row was selected
    QPersistentModelIndex m_toEdit;
    QAbstractItemView* m_editView = nullptr;
    QTimer m_delayedEdit;
    std::function<bool(bool)> m_acceptDrop;
    std::function<void(int)> m_drop;
};

} // namespace ui
