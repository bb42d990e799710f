#pragma once
// The list page's table: one row per listed sample of one channel, columns
// "Time", X units and Y units. Cells are made when shown, so a channel of a
// million samples lists at once.

#include <QAbstractTableModel>

class TABChannel;

class ChannelListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The channel listed (kept by the graph window; none clears the table).
    void SetChannel(const TABChannel* channel);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TABChannel* m_channel = nullptr;
};
