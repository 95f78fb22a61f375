// QtInputRouter: the text box's context menu.
#include "QtInputRouter.h"

#include <QLineEdit>
#include <QMenu>

namespace tw::toolkit {

void QtInputRouter::ShowContextMenu(TextBox& box, QLineEdit* edit, const QPoint& globalPos) {
    Form& form = Model();
    if (!form.AcceptsInput(box))
        return;
    if (form.ActiveControl() != &box && !form.UserFocus(box))
        return;
    if (menu_)
        menu_->close();
    const bool selected = box.SelLength() > 0;
    const bool editable = !box.Locked();
    auto* menu = new QMenu(edit);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [&](const char* name, const char* text, bool enabled, auto action) {
        QAction* item = menu->addAction(QString::fromUtf8(text));
        item->setObjectName(QString::fromLatin1(name));
        item->setEnabled(enabled);
        QObject::connect(item, &QAction::triggered, this, action);
    };
    const auto command = [this, &box](EditCommand edit) {
        return [this, &box, edit] { Model().UserEdit(box, edit); };
    };
    add("undo", "&Undo", false, [] {});
    menu->addSeparator();
    add("cut", "Cu&t", selected && editable, command(EditCommand::Cut));
    add("copy", "&Copy", selected, command(EditCommand::Copy));
    add("paste", "&Paste", editable, command(EditCommand::Paste));
    add("delete", "&Delete", selected && editable, command(EditCommand::Clear));
    menu->addSeparator();
    add("selectAll", "Select &All", !box.Text().empty(), command(EditCommand::SelectAll));
    menu_ = menu;
    menu->popup(globalPos);
}

} // namespace tw::toolkit
