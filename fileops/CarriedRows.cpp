#include "fileops/CarriedRows.h"

#include "fileops/RowSteps.h"

#include <algorithm>

namespace fileops {

CarriedRows::CarriedRows(const platform::FileSystem& fs, const QString& targetDir,
                         notes::NoteCarrier::Transfer transfer, Outcome outcome,
                         core::FileListModel* list, QItemSelectionModel* selection)
    : m_carrier(
          fs, targetDir, std::move(transfer),
          [this, outcome = std::move(outcome)](const notes::NoteCarrier::Item& item,
                                               platform::FsResult result) {
              if (result && item.tag >= 0 && m_rows[size_t(item.tag)].isValid())
                  m_gone.push_back(m_rows[size_t(item.tag)].row());
              outcome(item, result);
          },
          [this](const notes::NoteCarrier::Item& item) {
              if (item.tag >= 0 && m_rows[size_t(item.tag)].isValid())
                  m_stayed.push_back(m_rows[size_t(item.tag)].row());
          }),
      m_list(list), m_selection(selection)
{
}

template <typename Step> auto CarriedRows::settling(const Step& step)
{
    try {
        if constexpr (std::is_void_v<decltype(step())>) {
            step();
            settleRows();
        } else {
            auto result = step();
            settleRows();
            return result;
        }
    } catch (...) {
        settleRows();
        throw;
    }
}

notes::Arrival CarriedRows::arrivalOf(const QString& sourceDir, const QString& name)
{
    return settling([&] { return m_carrier.arrivalOf(sourceDir, name); });
}

void CarriedRows::add(const QString& sourceDir, const QString& name, bool replacing,
                      notes::SourceKey rule, int row)
{
    qsizetype tag = -1;
    if (m_list && m_selection && row >= 0) {
        deselectRow(*m_list, *m_selection, row);
        tag = qsizetype(m_rows.size());
        m_rows.emplace_back(m_list->index(row, 0));
    }
    settling([&] { m_carrier.add(sourceDir, name, replacing, rule, tag); });
}

void CarriedRows::carry()
{
    settling([&] { m_carrier.carry(); });
}

void CarriedRows::settleRows()
{
    if (!m_list || !m_selection) {
        m_gone.clear();
        m_stayed.clear();
        return;
    }
    // The files that stay where they are were not handled: their rows are selected again.
    for (const int row : std::exchange(m_stayed, {}))
        selectRow(*m_list, *m_selection, row);
    std::vector<int> gone = std::exchange(m_gone, {});
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    if (!gone.empty())
        m_list->removeRowsAt(gone);
}

} // namespace fileops
