#pragma once
// The notes keeper's carrier (notes/NoteCarrier.h) working on the rows of a list: a gathered
// file's row is deselected, an arrived file's row is removed, and the rows of the files that
// stayed where they were because the command ended are selected again.

#include "core/FileListModel.h"
#include "notes/NoteCarrier.h"

#include <QItemSelectionModel>
#include <QPersistentModelIndex>

#include <functional>
#include <vector>

namespace fileops {

class CarriedRows
{
public:
    using Outcome = notes::NoteCarrier::Outcome;

    // Files go to `targetDir` by `transfer`; `outcome` is told of each file tried. Without a
    // list, no rows are settled.
    CarriedRows(const platform::FileSystem& fs, const QString& targetDir,
                notes::NoteCarrier::Transfer transfer, Outcome outcome,
                core::FileListModel* list = nullptr, QItemSelectionModel* selection = nullptr);

    // See NoteCarrier: what the file would meet there (gathered files that would arrive beside
    // it are carried first), and the name that shows alike.
    notes::Arrival arrivalOf(const QString& sourceDir, const QString& name);
    const QString& otherName() const { return m_carrier.otherName(); }

    // Gathers a file with its row (-1: none); see NoteCarrier::add().
    void add(const QString& sourceDir, const QString& name, bool replacing, notes::SourceKey rule,
             int row);
    // Carries what is gathered.
    void carry();

private:
    template <typename Step> auto settling(const Step& step);
    void settleRows();

    notes::NoteCarrier m_carrier;
    core::FileListModel* m_list;
    QItemSelectionModel* m_selection;
    std::vector<QPersistentModelIndex> m_rows; // by the items' tags
    std::vector<int> m_gone;
    std::vector<int> m_stayed;
};

} // namespace fileops
