#include "ui/FileListView.h"

#include "core/FileListModel.h"
#include "ui/ListItemDelegate.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTableView>

namespace ui {

namespace {

// The details view: while one of its rows is being dragged, only the caption cell of a
// selected row shows as selected, so the row under the pointer stays readable.
class DetailsView : public QTableView
{
public:
    using QTableView::QTableView;

protected:
    void startDrag(Qt::DropActions actions) override
    {
        m_dragging = true;
        viewport()->repaint();
        QTableView::startDrag(actions);
        m_dragging = false;
        viewport()->update();
    }

public:
    bool dragging() const { return m_dragging; }

private:
    bool m_dragging = false;
};

// The view paints a selected row's background itself, under its cells; while dragging it
// must not.
class RowBackgroundWhileDragging : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        const auto* view = dynamic_cast<const DetailsView*>(widget);
        const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
        if (element == PE_PanelItemViewRow && view && view->dragging() && item) {
            QStyleOptionViewItem unselected(*item);
            unselected.state &= ~State_Selected;
            QProxyStyle::drawPrimitive(element, &unselected, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

FileListView::FileListView(QAbstractItemModel* model, QItemSelectionModel* selection,
                           QWidget* parent)
    : QStackedWidget(parent), m_details(new DetailsView(this)), m_icons(new QListView(this))
{
    auto* details = static_cast<DetailsView*>(m_details);
    m_details->setItemDelegate(
        new ListItemDelegate(m_details, [details] { return details->dragging(); }));
    m_icons->setItemDelegate(new ListItemDelegate(m_icons));
    auto* style = new RowBackgroundWhileDragging;
    style->setParent(m_details);
    m_details->setStyle(style);
    m_details->setAccessibleName(QStringLiteral("详细资料"));
    m_icons->setAccessibleName(QStringLiteral("图标"));
    m_details->setModel(model);
    m_icons->setModel(model);
    setUp(m_details, selection);
    setUp(m_icons, selection);

    m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_details->setShowGrid(false);
    m_details->setWordWrap(false);
    m_details->setCornerButtonEnabled(false);
    m_details->verticalHeader()->hide();
    m_details->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_details->verticalHeader()->setDefaultSectionSize(m_details->fontMetrics().height() + 6);
    m_details->horizontalHeader()->setSectionsClickable(true);
    m_details->horizontalHeader()->setHighlightSections(false);
    m_details->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_details->horizontalHeader()->setStretchLastSection(false);
    connect(m_details->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &FileListView::headerClicked);
    // The note column takes the room the other columns leave.
    if (auto* files = qobject_cast<core::FileListModel*>(model))
        m_fillColumn = files->columnOf(core::FileListModel::Field::Note);
    connect(m_details->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (m_fitting)
                    return;
                if (column == m_fillColumn)
                    m_fillWidth = width;
                fitFillColumn();
            });
    // Every new listing starts at the left edge.
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            m_details->horizontalScrollBar()->setValue(0);
            m_icons->horizontalScrollBar()->setValue(0);
        });
    }

    // The list's own delayed edit would open the editor wherever the focus went meanwhile, so
    // the typing meant for the note field would rename the file; this one asks first.
    m_delayedEdit.setSingleShot(true);
    connect(&m_delayedEdit, &QTimer::timeout, this, [this] {
        QAbstractItemView* view = std::exchange(m_editView, nullptr);
        const QModelIndex index = m_toEdit;
        m_toEdit = QPersistentModelIndex();
        if (view && view == currentView() && view->hasFocus() && index.isValid() &&
            view->selectionModel()->isSelected(index))
            view->edit(index);
    });

    m_icons->setUniformItemSizes(true);
    m_icons->setWrapping(true);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setModelColumn(0);

    addWidget(m_icons);
    addWidget(m_details);
    SetViewStyle(Details);
}

void FileListView::setUp(QAbstractItemView* view, QItemSelectionModel* selection)
{
    view->setSelectionModel(selection);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every view style selects whole rows, so a row looks selected exactly when every
    // command takes it as selected.
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setDragEnabled(true);
    view->setAcceptDrops(true);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    view->setDefaultDropAction(Qt::CopyAction);
    view->setDropIndicatorShown(false);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab leaves the view for the next control; arrows and clicks move the selection.
    view->setTabKeyNavigation(false);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& at) {
                Q_EMIT contextMenuRequested(view->viewport()->mapToGlobal(at));
            });
    connect(view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT rowDoubleClicked(index.row()); });
}

QAbstractItemView* FileListView::currentView() const
{
    return m_style == Details ? static_cast<QAbstractItemView*>(m_details) : m_icons;
}

void FileListView::SetViewStyle(int style)
{
    m_style = qBound(0, style, 3);
    switch (m_style) {
    case LargeIcons:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(96, 64));
        m_icons->setMovement(QListView::Static);
        m_icons->setWordWrap(true);
        break;
    case SmallIcons:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(160, 20));
        m_icons->setWordWrap(false);
        break;
    case List:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(160, 20));
        m_icons->setWordWrap(false);
        break;
    default:
        break;
    }
    m_icons->setWrapping(true);
    m_icons->setUniformItemSizes(true);
    m_icons->setDragDropMode(QAbstractItemView::DragDrop);
    setCurrentWidget(m_style == Details ? static_cast<QWidget*>(m_details) : m_icons);
}

void FileListView::setGridLines(bool shown)
{
    m_details->setShowGrid(shown);
}

bool FileListView::gridLines() const
{
    return m_details->showGrid();
}

void FileListView::setListFont(const QFont& font)
{
    m_details->setFont(font);
    m_icons->setFont(font);
    m_details->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
}

void FileListView::setColors(const QColor& text, const QColor& background)
{
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_details),
                                    static_cast<QAbstractItemView*>(m_icons)}) {
        QPalette palette = view->palette();
        if (text.isValid())
            palette.setColor(QPalette::Text, text);
        if (background.isValid())
            palette.setColor(QPalette::Base, background);
        view->setPalette(palette);
    }
}

QColor FileListView::textColor() const
{
    return m_details->palette().color(QPalette::Text);
}

QColor FileListView::backgroundColor() const
{
    return m_details->palette().color(QPalette::Base);
}

void FileListView::setColumnWidths(const QList<int>& widths)
{
    for (int i = 0; i < widths.size(); ++i)
        m_details->setColumnWidth(i, widths[i]);
}

QList<int> FileListView::columnWidths() const
{
    QList<int> widths;
    for (int i = 0; i < m_details->model()->columnCount(); ++i)
        widths.append(i == m_fillColumn && m_fillWidth > 0 ? m_fillWidth
                                                          : m_details->columnWidth(i));
    return widths;
}

void FileListView::fitFillColumn()
{
    if (m_fillColumn < 0 || m_fillWidth <= 0)
        return;
    QHeaderView* header = m_details->horizontalHeader();
    int others = 0;
    for (int i = 0; i < header->count(); ++i) {
        if (i != m_fillColumn && !header->isSectionHidden(i))
            others += header->sectionSize(i);
    }
    const int width = qMax(m_fillWidth, m_details->viewport()->width() - others);
    if (header->sectionSize(m_fillColumn) == width)
        return;
    m_fitting = true;
    header->resizeSection(m_fillColumn, width);
    m_fitting = false;
}

void FileListView::setCaptionEditing(bool enabled)
{
    m_captionEditing = enabled;
    if (!enabled)
        cancelCaptionEdit();
}

void FileListView::cancelCaptionEdit()
{
    m_delayedEdit.stop();
    m_editView = nullptr;
    m_toEdit = QPersistentModelIndex();
}

void FileListView::watchClick(QAbstractItemView* view, QEvent* event)
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = view->indexAt(mouse->position().toPoint());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // A second click on a row that was already selected, as the list saw it before the
        // press changed the selection.
        cancelCaptionEdit();
        m_pressed = mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier &&
                            index.isValid() && view->selectionModel()->isSelected(index)
                        ? QPersistentModelIndex(index)
                        : QPersistentModelIndex();
        break;
    case QEvent::MouseButtonRelease:
        if (m_captionEditing && m_pressed.isValid() && index == m_pressed &&
            (index.flags() & Qt::ItemIsEditable) && view->hasFocus()) {
            m_editView = view;
            m_toEdit = index;
            m_delayedEdit.start(QApplication::doubleClickInterval());
        }
        m_pressed = QPersistentModelIndex();
        break;
    case QEvent::MouseButtonDblClick:
        cancelCaptionEdit();
        m_pressed = QPersistentModelIndex();
        break;
    default:
        break;
    }
}

void FileListView::editCaption(int row)
{
    QAbstractItemView* view = currentView();
    const QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid())
        return;
    view->scrollTo(index);
    view->setFocus();
    view->edit(index);
}

void FileListView::setKeyHandler(int key, std::function<void()> handler)
{
    m_keys.insert(key, std::move(handler));
}

void FileListView::setRowDropHandler(std::function<bool(bool)> accept,
                                     std::function<void(int)> drop)
{
    m_acceptDrop = std::move(accept);
    m_drop = std::move(drop);
}

bool FileListView::eventFilter(QObject* watched, QEvent* event)
{
    auto* view = qobject_cast<QAbstractItemView*>(watched);
    if (!view)
        view = qobject_cast<QAbstractItemView*>(watched->parent());
    if (event->type() == QEvent::Resize && watched == m_details->viewport())
        fitFillColumn();
    if (view && watched == view->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick))
        watchClick(view, event);
    switch (event->type()) {
    case QEvent::FocusOut:
        // The user went on elsewhere: a click's edit no longer waits.
        if (watched == m_editView)
            cancelCaptionEdit();
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto handler = m_keys.constFind(key->key());
        // Keys typed into an open caption editor are the editor's, also those it lets pass
        // to the view (Enter ends the edit). The keypad's keys work as the main block's.
        const QWidget* focus = QApplication::focusWidget();
        const bool editing = view && focus && focus != view && focus != view->viewport() &&
                             view->isAncestorOf(focus);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && handler != m_keys.cend() && view && !editing) {
            (*handler)();
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const bool fromThisList = drag->source() == m_details || drag->source() == m_icons;
        if (fromThisList && m_acceptDrop && m_acceptDrop(true)) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const bool fromThisList = drop->source() == m_details || drop->source() == m_icons;
        if (view && fromThisList && m_acceptDrop && m_acceptDrop(true) && m_drop) {
            const QModelIndex target = view->indexAt(drop->position().toPoint());
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            m_drop(target.isValid() ? target.row() : -1);
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        break;
    }
    return QStackedWidget::eventFilter(watched, event);
}

} // namespace ui
