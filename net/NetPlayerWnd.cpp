#include "net/NetPlayerWnd.h"

#include "net/OpenUrlDialog.h"
#include "net/ProxyDialog.h"
#include "net/UrlHistory.h"
#include "net/UrlMethod.h"
#include "net/UrlOptionsDialog.h"
#include "platform/framework/MessageBox.h"
#include "platform/settings/SettingsStore.h"

namespace {
constexpr const char* kProxies = "Proxies";
constexpr const char* kUrlSettings = "UrlSettings";
constexpr int kDefaultPort = 80;
}  // namespace

NetPlayerWnd::NetPlayerWnd(SettingsStore& settings, PlayerDevices devices)
    : PlayerWnd(settings, std::move(devices)) {}

const MessageMap* NetPlayerWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_CREATE, &NetPlayerWnd::OnCreate),
        OnMessage(WM_CLOSE, &NetPlayerWnd::OnClose),
        OnCommand(ID_PLAY_LOCATION, &NetPlayerWnd::OnPlayLocation),
        OnCommand(ID_OPTIONS_PROXY, &NetPlayerWnd::OnOptionsProxy),
        OnCommand(ID_OPTIONS_URL, &NetPlayerWnd::OnOptionsUrl),
    };
    static const MessageMap table{PlayerWnd::MessageTable(), entries};
    return &table;
}

LRESULT NetPlayerWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (PlayerWnd::OnCreate(wParam, lParam) == -1) return -1;
    HttpProxy = settings.GetString(kProxies, "HttpProxy");
    HttpPort = settings.GetInt(kProxies, "HttpPort", kDefaultPort);
    NoProxies = settings.GetString(kProxies, "NoProxies");
    settings.WriteString(kProxies, "HttpProxy", HttpProxy);
    settings.WriteInt(kProxies, "HttpPort", HttpPort);
    settings.WriteString(kProxies, "NoProxies", NoProxies);
    SendProxyToDecoder();

    DefaultDirectory = settings.GetString(kUrlSettings, "DefaultDirectory");
    UrlMethod = settings.GetInt(kUrlSettings, "UrlMethod", UrlAskUser);
    settings.WriteString(kUrlSettings, "DefaultDirectory", DefaultDirectory);
    settings.WriteInt(kUrlSettings, "UrlMethod", UrlMethod);

    UrlHistory::Process().Load(settings);
    return 0;
}

void NetPlayerWnd::WriteSettings() {
    settings.WriteString(kProxies, "HttpProxy", HttpProxy);
    settings.WriteInt(kProxies, "HttpPort", HttpPort);
    settings.WriteString(kProxies, "NoProxies", NoProxies);
    settings.WriteString(kUrlSettings, "DefaultDirectory", DefaultDirectory);
    settings.WriteInt(kUrlSettings, "UrlMethod", UrlMethod);
    UrlHistory::Process().Save(settings);
}

LRESULT NetPlayerWnd::OnClose(WPARAM wParam, LPARAM lParam) {
    // While a location still opens, the player layer ends the open and
    // closes again from the message loop: save once, then.
    if (!IsOpening()) WriteSettings();
    return PlayerWnd::OnClose(wParam, lParam);
}

void NetPlayerWnd::SendProxyToDecoder() {
    Decoder& decoder = LibraryDecoder();
    decoder.Command(DecoderCommand::Proxy, reinterpret_cast<std::intptr_t>(HttpProxy.c_str()), HttpPort, nullptr);
    decoder.Command(DecoderCommand::NoProxy, reinterpret_cast<std::intptr_t>(NoProxies.c_str()), 0, nullptr);
}

int NetPlayerWnd::OpenDialog(int number, int argument) {
    switch (number) {
        case 2: SendMessage(WM_COMMAND, MakeCommandWParam(ID_PLAY_LOCATION, 0), 0); break;
        case 5: SendMessage(WM_COMMAND, MakeCommandWParam(ID_OPTIONS_PROXY, 0), 0); break;
        case 6: SendMessage(WM_COMMAND, MakeCommandWParam(ID_OPTIONS_URL, 0), 0); break;
        default: return PlayerWnd::OpenDialog(number, argument);
    }
    return 0;
}

LRESULT NetPlayerWnd::OnPlayLocation(WPARAM, LPARAM) {
    OpenUrlDialog dialog(this, UrlHistory::Process());
    if (dialog.DoModal() != IDOK || dialog.url.empty()) return 0;
    StopPlayback();
    playlist.assign(1, dialog.url);
    trackCount = 1;
    currentTrack = 1;
    ShowTrackNumber();
    PublishPlayList();
    PostMessage(UM_PLAY_CURRENT, 0, 0);
    return 0;
}

LRESULT NetPlayerWnd::OnOptionsProxy(WPARAM, LPARAM) {
    ProxyDialog dialog(this);
    dialog.SetProxy(HttpProxy, HttpPort, NoProxies);
    if (dialog.DoModal() != IDOK) return 0;
    dialog.GetProxy(HttpProxy, HttpPort, NoProxies);
    SendProxyToDecoder();
    return 0;
}

LRESULT NetPlayerWnd::OnOptionsUrl(WPARAM, LPARAM) {
    UrlOptionsDialog dialog(this);
    dialog.SetUrlOptions(UrlMethod, DefaultDirectory);
    if (dialog.DoModal() == IDOK) dialog.GetUrlOptions(UrlMethod, DefaultDirectory);
    return 0;
}
