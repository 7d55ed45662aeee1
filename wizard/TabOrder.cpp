#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "ClickArea.h"
#include "frmWizard.h"

namespace glimmora {

void frmWizard::OrderTabStops() {
    for (ClickArea* button : {Picture5, cmdBrowse, lblColor, cmdArt, cmdPrint, cmdCopy, cmdSave,
                              cmdPre, cmdNext, cmdCancel}) {
        button->MakeKeyboardButton();
    }
    // Hidden pages drop out of the order by themselves.
    const std::initializer_list<QWidget*> order{
        Picture5,
        // Page 1
        txtImage, cmdBrowse, txtWidth, txtHeight,
        // Page 2
        optClnTxt, optRtf, optHtmlTxt, optHtmlCldTxt,
        // Page 3: the frames from left to right, then the signs below
        cbFace, txtSize, lblColor, txtWord, txtBlack, txtColor2, txtColor3, txtColor4, txtColor5,
        txtColor6, txtColor7, txtColor8, txtWhite,
        // Page 4
        txtScaleWidth, txtScaleHeight,
        // Page 6
        cmdArt, cmdPrint, cmdCopy, cmdSave,
        // The frame
        cmdPre, cmdNext, cmdCancel};
    QWidget* previous = nullptr;
    for (QWidget* control : order) {
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
}

void frmWizard::FocusFirstControl() {
    // The first stop after the restart picture that is on the page; Next
    // when the page has none of its own but Next can be clicked.
    QWidget* control = Picture5->nextInFocusChain();
    for (; control != Picture5 && control != cmdPre; control = control->nextInFocusChain()) {
        if (control->isVisibleTo(this) && control->isEnabled() &&
            (control->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (cmdNext->isEnabled()) {
        cmdNext->setFocus(Qt::TabFocusReason);
        return;
    }
    // Page 5 while it converts: the window itself keeps the focus, never
    // Cancel, so that Return is Next once the art is done instead of the
    // exit question.
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    setFocus(Qt::OtherFocusReason);
}

} // namespace glimmora
