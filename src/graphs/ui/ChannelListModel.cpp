#include "graphs/ui/ChannelListModel.h"

#include "graphs/GraphLayout.h"

void ChannelListModel::SetChannel(const TABChannel* channel)
{
    beginResetModel();
    m_channel = channel;
    endResetModel();
}

int ChannelListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_channel ? 0 : ChannelListRowCount(*m_channel);
}

int ChannelListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant ChannelListModel::data(const QModelIndex& index, int role) const
{
    if (!m_channel || !index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return ChannelListCell(*m_channel, index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant ChannelListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case 0:
        return QStringLiteral("Time");
    case 1:
        return m_channel ? m_channel->XUnits : QString();
    case 2:
        return m_channel ? m_channel->YUnits : QString();
    default:
        return QVariant();
    }
}
