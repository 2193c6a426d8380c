#include "widgets/event_rules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace {

bool leavesByUserOrCode(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        return false;
    }
}

// Eats the one mouse press that is on its way to a button, then goes.
class PressSwallower : public QObject {
public:
    explicit PressSwallower(QObject* button) : QObject(button) { button->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        deleteLater();
        return true;
    }
};

// The focus moves to a button in the middle of its mouse press, before the
// button sees the press. A modal box opened then takes the release, and the
// press arriving afterwards would leave the button held down with no click.
void keepClickAfterBoxes(QWidget* next, Qt::MouseButtons heldBefore)
{
    auto* button = qobject_cast<QAbstractButton*>(next);
    if (!button || heldBefore == Qt::NoButton || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    QPointer<PressSwallower> swallower = new PressSwallower(button);
    QTimer::singleShot(0, button, [button, swallower] {
        delete swallower.data();
        button->click();
    });
}

class LeaveCheck : public QObject {
public:
    LeaveCheck(QWidget& window, QLineEdit& field, std::function<void()> check)
        : QObject(&field), window_(window), check_(std::move(check))
    {
        field.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusOut)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Qt has already given the focus to its new owner.
        QWidget* next = QApplication::focusWidget();
        if (!leavesByUserOrCode(reason) || !next || next == watched || !window_.isAncestorOf(next))
            return false;
        const Qt::MouseButtons held = QGuiApplication::mouseButtons();
        check_();
        if (reason == Qt::MouseFocusReason)
            keepClickAfterBoxes(next, held);
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> check_;
};

}  // namespace

void installLeaveCheck(QWidget& window, QLineEdit& field, std::function<void()> check)
{
    new LeaveCheck(window, field, std::move(check));
}

void selectEntryWithCode(QComboBox& list, int code)
{
    for (int index = 0; index < list.count(); ++index) {
        if (list.itemData(index).toInt() != code)
            continue;
        if (list.currentIndex() == index)
            list.setEditText(list.itemText(index));
        else
            list.setCurrentIndex(index);
    }
}
