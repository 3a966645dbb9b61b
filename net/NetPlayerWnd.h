#pragma once
// The net layer of the main window, its top layer: Play Location with the
// Open URL dialog and the URL history, the proxy the decoder library fetches
// through, the URL options, and the decision, when a stream that may be saved
// opens, whether it is played, saved or both (NetPlayerWndSave.cpp).
//
// Its settings ("Proxies", "UrlSettings", "UrlHistory") are read and written
// back at creation and written at close; the dialogs change only the members.
// Created with new, like every frame window. User-interface thread only.

#include <string>

#include "player/PlayerWnd.h"

class NetPlayerWnd : public PlayerWnd {
public:
    explicit NetPlayerWnd(SettingsStore& settings, PlayerDevices devices = PlayerDevices::Real());

    // 2 Play Location, 5 proxy settings, 6 URL options; the rest as PlayerWnd.
    int OpenDialog(int number, int argument) override;
    int ConfirmStreamOpen(int flag, const char* location) override;

    std::string HttpProxy;
    int HttpPort = 80;
    std::string NoProxies;
    int UrlMethod = 14;
    std::string DefaultDirectory;

    DECLARE_MESSAGE_TABLE()

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayLocation(WPARAM wParam, LPARAM lParam);
    LRESULT OnOptionsProxy(WPARAM wParam, LPARAM lParam);
    LRESULT OnOptionsUrl(WPARAM wParam, LPARAM lParam);

private:
    void SendProxyToDecoder();
    void WriteSettings();
    // The save part of ConfirmStreamOpen for UrlPlayAndSave, UrlSaveOnly and
    // UrlSaveThenPlay; 1 to go on with the open, 0 to cancel it.
    int SaveStream(int method, const std::string& proposedPath);
};
