#include "ui/resultsview.h"

#include <QHeaderView>

namespace ui {

ResultsView::ResultsView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setFocusPolicy(Qt::StrongFocus);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    // Every row has the same height; the view never measures a row, so a million rows stay cheap.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSectionsMovable(false);
    columns->setHighlightSections(false);
    columns->setSortIndicatorShown(false);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    QPalette colours = palette();
    for (QPalette::ColorGroup group :
        { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
    }
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(colours);
}

void ResultsView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    if (!model)
        return;
    for (int column = 0; column < int(std::size(kColumnWidths)); ++column)
        setColumnWidth(column, kColumnWidths[column]);
    // A click makes a row current before it selects it, a key press selects first: the event waits
    // for both, so that its handler always finds the new row selected.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current, const QModelIndex& previous) {
            m_rowChangePending = current.isValid() && current.row() != previous.row();
            EmitWhenSelected();
        });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &ResultsView::EmitWhenSelected);
}

void ResultsView::EmitWhenSelected()
{
    if (!m_rowChangePending || SelectedRow() != selectionModel()->currentIndex().row())
        return;
    m_rowChangePending = false;
    emit currentRowChanged();
}

int ResultsView::SelectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

} // namespace ui
