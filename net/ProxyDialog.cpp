#include "net/ProxyDialog.h"

#include <cctype>

#include "net/InputLimits.h"
#include "platform/framework/MessageBox.h"

namespace {
// The decoder library takes no larger port, and would drop the whole proxy.
constexpr long kMaxPort = 65535;
}  // namespace

ProxyDialog::ProxyDialog(Wnd* owner) : Dialog(IDD, owner) {}

void ProxyDialog::SetProxy(const std::string& host, int port, const std::string& noProxies) {
    this->host = host;
    this->port = port;
    this->noProxies = noProxies;
}

void ProxyDialog::GetProxy(std::string& host, int& port, std::string& noProxies) const {
    host = this->host;
    port = this->port;
    noProxies = this->noProxies;
}

bool ProxyDialog::ParsePort(const std::string& text, int& port) {
    std::size_t i = 0;
    const auto blank = [&] { return i < text.size() && std::isspace(static_cast<unsigned char>(text[i])); };
    while (blank()) ++i;
    long value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxPort) return false;
    }
    while (blank()) ++i;
    if (digits == 0 || i != text.size()) return false;
    port = int(value);
    return true;
}

bool ProxyDialog::OnInitDialog() {
    SetDlgItemText(IDC_HOST, host);
    SetDlgItemText(IDC_PORT, std::to_string(port));
    SetDlgItemText(IDC_NO_PROXY, noProxies);
    return Dialog::OnInitDialog();
}

void ProxyDialog::OnOK() {
    const std::string newHost = GetDlgItemText(IDC_HOST);
    const std::string newList = GetDlgItemText(IDC_NO_PROXY);
    if (!WithinLimit(newHost, kMaxProxyHostLength, "proxy host") ||
        !WithinLimit(newList, kMaxNoProxyLength, "list of hosts without proxy"))
        return;
    host = newHost;
    ParsePort(GetDlgItemText(IDC_PORT), port);
    noProxies = newList;
    EndDialog(IDOK);
}
