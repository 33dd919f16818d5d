#pragma once

#include <QTableView>

namespace ui {

// The results list: whole rows, one at a time, in the order they were added; no sorting, no moving
// of columns, and the selected row is highlighted only while the list has the focus.
class ResultsView : public QTableView
{
    Q_OBJECT

public:
    static constexpr int kColumnWidths[] = { 40, 200, 650 };

    explicit ResultsView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The selected row, or -1 when none is.
    int SelectedRow() const;

signals:
    // A row has become the current one that was not current before, by mouse or keys. Clearing
    // and appending rows never raise it.
    void currentRowChanged();

private:
    void EmitWhenSelected();

    bool m_rowChangePending = false;
};

} // namespace ui
