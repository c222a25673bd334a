// The window without a mouse. The panel's controls stay visible widgets when
// the panel is shut (it only has no height) and the recordings page's stay
// visible beneath the options page, so Tab itself skips them.

#include "app/TfrmMain.h"

#include "ui/TBitmapButton.h"
#include "ui/TImage.h"
#include "ui/TTabControl.h"

namespace {

// The tabs are one stop: the selected one; the arrow keys go along them.
bool isUnselectedTab(const QWidget* w) {
    const auto* tab = qobject_cast<const TTabItem*>(w);
    return tab != nullptr && !tab->isChecked();
}

} // namespace

bool TfrmMain::focusNextPrevChild(bool next) {
    const bool shut = panelShut();
    const bool optionsShown = !tcOptions->isHidden();
    auto reachable = [&](QWidget* w) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(this) ||
            isUnselectedTab(w))
            return false;
        if (!imgPanel->isAncestorOf(w))
            return true;
        return !shut && (!optionsShown || tcOptions->isAncestorOf(w));
    };
    QWidget* start = focusWidget() ? focusWidget() : this;
    for (QWidget* w = next ? start->nextInFocusChain() : start->previousInFocusChain(); w != start;
         w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if (w != this && isAncestorOf(w) && reachable(w)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

// Escape shuts the panel as the button of the page it shows would, and the
// focus goes to that button, out of the controls that are going away.
void TfrmMain::ShutPanelByKey() {
    if (panelShut())
        return;
    if (tcOptions->isHidden()) {
        btnList->setFocus(Qt::ShortcutFocusReason);
        btnListClick(btnList);
    } else {
        btnOptions->setFocus(Qt::ShortcutFocusReason);
        btnOptionsClick(btnOptions);
    }
}
