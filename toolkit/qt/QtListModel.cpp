#include "QtListModel.h"

#include "QtConvert.h"

namespace tw::toolkit {

ComboListModel::ComboListModel(const ComboBox& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shown_(list.ListCount()) {}

int ComboListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant ComboListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_ || index.row() >= list_.ListCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    return ToQString(list_.List(index.row()));
}

void ComboListModel::Reset() {
    beginResetModel();
    shown_ = list_.ListCount();
    endResetModel();
}

void ComboListModel::Show(int first, int count) {
    if (count <= 0)
        return;
    beginInsertRows({}, first, first + count - 1);
    shown_ += count;
    endInsertRows();
}

} // namespace tw::toolkit
