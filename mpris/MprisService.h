#pragma once
// The player's media controls on the session bus: the bus name
// org.mpris.MediaPlayer2.brelune3 and the object /org/mpris/MediaPlayer2
// with the root and player interfaces (MprisRootAdaptor,
// MprisPlayerAdaptor), on the connection the automation service uses.
//
// It stands between the main window and the automation topic as the
// window's item publisher: everything the window publishes goes on to
// `next` unchanged, and tells this service that the player's state may have
// changed. The service then reads the window (through `mainWindow`, null
// while there is none) and sends PropertiesChanged for what did change.
// Methods drive the window through the commands its buttons send, and the
// hand-over of a second start for OpenUri.
//
// When the name is taken by a player that is not this one's single
// instance, the service takes ".instance<pid>" after it, as the media
// controls expect of a second player. Without a bus it does nothing.
// User-interface thread only.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "mpris/TrackMetadata.h"
#include "ui/ItemPublisher.h"

class PlayerWnd;

class MprisService : public ItemPublisher {
public:
    enum class Command { Play, Pause, PlayPause, Stop, Next, Previous };

    // What the player interface shows, read from the window.
    struct State {
        QString status = QStringLiteral("Stopped");
        TrackFacts track;
        bool canPlay = false;
        bool canPause = false;
        bool canGoNext = false;
        bool canGoPrevious = false;

        bool operator==(const State&) const = default;
    };

    // `raise` shows the player's window and brings it (or its dialog) to
    // the front, as a second start does.
    MprisService(QDBusConnection connection, ItemPublisher& next, std::function<PlayerWnd*()> mainWindow,
                 std::function<void()> raise);
    ~MprisService() override;
    MprisService(const MprisService&) = delete;
    MprisService& operator=(const MprisService&) = delete;

    // The bus name held, empty when none.
    const QString& BusName() const { return busName; }

    bool PublishPlayList(const std::vector<std::string>& playlist) override;
    void PublishItem(const std::string& item, const std::string& value) override;

    State Current() const;
    // Microseconds of the current track played; 0 when nothing plays.
    qlonglong Position() const;

    void Transport(Command command);
    void OpenUri(const QString& uri, const QDBusMessage& message);
    void Raise();
    void Quit(const QDBusMessage& message);

private:
    PlayerWnd* Window() const;
    // Compares the state with what clients were last told, after the
    // current event: one signal for a burst of published items.
    void ScheduleRefresh();
    void Refresh();
    void Refuse(const QDBusMessage& message, const QString& errorName, const QString& text);

    QDBusConnection connection;
    ItemPublisher& next;
    std::function<PlayerWnd*()> mainWindow;
    std::function<void()> raise;
    // The object on the bus; the adaptors are its children.
    std::unique_ptr<QObject> host;
    QString busName;
    State shown;
    bool refreshPending = false;
};
