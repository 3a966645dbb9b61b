#pragma once
// The URL Options dialog: what to do with a stream that may be saved (a
// UrlMethod value) and the folder proposed for saved streams. "Play after
// save" can be changed only while "Save only" is selected; switching away
// keeps its mark. Browse picks the folder. Modal; the caller reads the values
// back only after OK.

#include <string>

#include "platform/framework/Dialog.h"

class UrlOptionsDialog : public Dialog {
public:
    static constexpr int IDD = 254;
    static constexpr int IDC_PLAY_AND_SAVE = 1018;
    static constexpr int IDC_PLAY_ONLY = 1019;
    static constexpr int IDC_SAVE_ONLY = 1020;
    static constexpr int IDC_ASK_USER = 1021;
    static constexpr int IDC_PLAY_AFTER_SAVE = 1022;
    static constexpr int IDC_BROWSE = 1023;
    static constexpr int IDC_DIRECTORY = 1024;

    explicit UrlOptionsDialog(Wnd* owner);

    void SetUrlOptions(int method, const std::string& directory);
    void GetUrlOptions(int& method, std::string& directory) const;

    // A chosen folder as the directory field shows it: no trailing '/',
    // except for the root folder itself.
    static std::string WithoutTrailingSeparator(std::string path);

    int method = 0;
    std::string directory;

    DECLARE_MESSAGE_TABLE()

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    LRESULT OnActionClicked(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowse(WPARAM wParam, LPARAM lParam);
    void EnablePlayAfterSave();
};
