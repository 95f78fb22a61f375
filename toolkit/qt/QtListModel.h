// The entries of a drop-down list as Qt's combo box reads them: straight
// from the model's list, a row at a time as Qt shows it, with no copy of
// its own. The backend says when entries begin to show, so a burst of
// additions reaches the combo box as one insertion.
#pragma once

#include "toolkit/Controls.h"

#include <QAbstractListModel>

namespace tw::toolkit {

class ComboListModel : public QAbstractListModel {
    Q_OBJECT
public:
    ComboListModel(const ComboBox& list, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The list shows the model's entries anew (at creation, after Clear).
    void Reset();
    // The entries at `first` to `first + count - 1` of the model's list,
    // added since, show from now on.
    void Show(int first, int count);

private:
    const ComboBox& list_;
    // Rows the combo box knows of: the model's entries up to the last Show.
    int shown_ = 0;
};

} // namespace tw::toolkit
