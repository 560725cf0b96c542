#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace pb {

// One running copy per program folder: the first start holds the folder's lock and listens
// for later starts; a later start asks the first to come forward and goes no further.
class SingleCopy : public QObject {
    Q_OBJECT
public:
    explicit SingleCopy(const QString& programFolder);
    ~SingleCopy() override;

    // True when this copy is the first and goes on. False when the first copy was asked to come
    // forward, or could not be reached and the user was told so: this copy then opens nothing.
    bool claim();

    // What the first copy does when a later start asks; the frame comes forward by default.
    std::function<void()> onLaterStart;
    // How long a later start keeps trying to reach the first copy, in milliseconds.
    int patience = 5000;

    // The folder's lock file and the name the first copy listens under, the same for every
    // path to the folder and different for every user.
    static QString lockFileOf(const QString& programFolder);
    static QString serverNameOf(const QString& programFolder);
    // The frame shown normal when minimised, raised and made the active window.
    static void bringFrameForward();

private:
    void listen();
    void answer(QLocalSocket* socket);
    // Asks the first copy to come forward; true once it says it has.
    bool askFirst(int timeout);

    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace pb
