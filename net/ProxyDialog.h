#pragma once
// The Proxy Settings dialog: the HTTP proxy's host and port and the hosts to
// reach without it. A port field that is not a number from 0 to 65535 keeps
// the previous port. Modal; the caller reads the values back only after OK.

#include <string>

#include "platform/framework/Dialog.h"

class ProxyDialog : public Dialog {
public:
    static constexpr int IDD = 253;
    static constexpr int IDC_HOST = 1015;
    static constexpr int IDC_PORT = 1016;
    static constexpr int IDC_NO_PROXY = 1017;

    explicit ProxyDialog(Wnd* owner);

    void SetProxy(const std::string& host, int port, const std::string& noProxies);
    void GetProxy(std::string& host, int& port, std::string& noProxies) const;

    // The port field's number: digits with blanks around them, at most 65535.
    static bool ParsePort(const std::string& text, int& port);

    std::string host;
    int port = 0;
    std::string noProxies;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
