#pragma once
// The dialog base: a window built from a dialog template whose controls are
// reached by id. A derived dialog writes its initialisation (OnInitDialog)
// and its OK (OnOK); its message table may handle the controls' commands.
//
// Modal: DoModal() runs a nested event loop (posted messages to other
// windows keep arriving) and returns the id given to EndDialog, normally the
// id of the button that ended it; -1 when the template cannot be loaded;
// IDCANCEL at once once CancelModalLoops has been called.
// Modeless: Create() shows it and returns at once; DestroyWindow() ends it,
// and a derived class that lives on the heap deletes itself in PostNcDestroy.
// User-interface thread only.

#include <string>

#include "platform/framework/DialogTemplate.h"
#include "platform/framework/Wnd.h"

class DialogWidget;

class Dialog : public Wnd {
public:
    Dialog(int templateId, Wnd* parent);
    Dialog(DialogTemplate dialogTemplate, Wnd* parent);

    int DoModal();
    bool Create();
    // Modal: ends the loop with `result`. Modeless: hides the dialog.
    void EndDialog(int result);

    QWidget* GetDlgItem(int id) const;
    template <class Control>
    Control* DlgItem(int id) const {
        return qobject_cast<Control*>(GetDlgItem(id));
    }
    // Text of a static, button, group box, edit or editable combo box.
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, bool checked);
    bool IsDlgButtonChecked(int id) const;
    // Checks `checkId` and clears the other radio buttons from firstId to
    // lastId; an id outside the range leaves all of them clear.
    void CheckRadioButton(int firstId, int lastId, int checkId);
    void EnableDlgItem(int id, bool enable);

    DECLARE_MESSAGE_TABLE()

protected:
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(1); }
    // Modal: EndDialog(IDCANCEL). Modeless: DestroyWindow().
    virtual void OnCancel();

private:
    LRESULT OnOKCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelCommand(WPARAM wParam, LPARAM lParam);
    bool Build();
    DialogWidget* Frame() const;

    DialogTemplate dialogTemplate;
    bool templateLoaded;
    Wnd* parent;
    bool modal = false;
};
